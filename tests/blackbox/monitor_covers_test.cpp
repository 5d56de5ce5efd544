// Full-screen runs on a machine with two monitors, in X servers of the tests' own: the saver
// window stays on the primary monitor, no monitor keeps showing the desktop (white: the
// servers are started with a white root), a monitor that overlaps the primary one shows the saver there rather than
// hiding it, and a click on the other monitor ends the run and deletes the members.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <sstream>

#include "black_box.h"
#include "own_window.h"

using black_box::Child;
using testing_support::exists;

namespace {

const std::string kSourceDir = ZEPHLORA_SOURCE_DIR;
const std::string kWin32Dir = ZEPHLORA_WIN32_DIR_PATH;
const std::string kExe = ZEPHLORA_LINUX_EXE;

// An Xvfb with a white desktop and the given screens. While it lives the test process's DISPLAY names it (the
// window search and xwininfo read DISPLAY); the shared server's comes back at its end.
class OwnServer {
public:
    explicit OwnServer(const std::vector<std::string>& screens) : shared_(black_box::env("DISPLAY")) {
        std::vector<std::string> argv{"Xvfb", "-displayfd", "1", "-nolisten", "tcp", "-wr"};
        argv.insert(argv.end(), screens.begin(), screens.end());
        server_ = std::make_unique<Child>(argv);
        if (!server_->wait_for_output("\n", 20)) return;
        const std::string out = server_->output();
        display_ = ":" + out.substr(0, out.find('\n'));
        ::setenv("DISPLAY", display_.c_str(), 1);
    }
    ~OwnServer() {
        if (shared_.empty())
            ::unsetenv("DISPLAY");
        else
            ::setenv("DISPLAY", shared_.c_str(), 1);
        server_->kill();
    }
    OwnServer(const OwnServer&) = delete;
    OwnServer& operator=(const OwnServer&) = delete;

    const std::string& display() const { return display_; }
    std::string errors() const { return server_->errors(); }

    // What screen `screen` shows inside the rectangle, once `done` holds for it, or as it
    // was when `seconds` ran out.
    black_box::AreaPixels wait_for(int screen, int left, int top, int right, int bottom,
                                   const std::function<bool(const black_box::AreaPixels&)>& done, double seconds) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        black_box::AreaPixels now;
        do {
            now = black_box::CountScreenPixels(display_, screen, left, top, right, bottom);
            if (now.read && done(now)) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
        } while (std::chrono::steady_clock::now() < end);
        return now;
    }

    // Clicks at (x, y) of X screen `screen` until the child ends; its exit code, or empty.
    std::optional<int> click_until_end(Child& child, int screen, int x, int y) {
        for (int attempt = 0; attempt < 8; ++attempt) {
            black_box::run({"xdotool", "mousemove", "--screen", std::to_string(screen), std::to_string(x),
                            std::to_string(y), "click", "1"},
                           10);
            if (auto code = child.wait(2)) return code;
        }
        return std::nullopt;
    }

private:
    std::string shared_, display_;
    std::unique_ptr<Child> server_;
};

bool dark(const black_box::AreaPixels& p) { return p.lit == 0; }
bool dotted(const black_box::AreaPixels& p) { return p.green > 100; }

// The window's place and size as xwininfo gives them ("640x480+0+0").
std::string geometry(const std::string& window) {
    const std::string info = black_box::run({"xwininfo", "-id", window});
    const std::size_t at = info.find("-geometry ");
    if (at == std::string::npos) return info;
    const std::size_t from = at + 10;
    return info.substr(from, info.find_first_of(" \n", from) - from);
}

class MonitorCovers : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::permissions(folder.path(), std::filesystem::perms(0755));
        std::filesystem::copy_file(kSourceDir + "/assets/Zephlora.zpk", folder.file("Zephlora.zpk"));
    }
    int members() const {
        int n = 0;
        black_box::joined_members(folder, &n);
        return n;
    }
    testing_support::TempFolder folder;
};

// Two X screens of one display: SDL sees a display on each, both starting at (0, 0). The
// cover of the second must go onto the second screen, not over the saver on the first.
TEST_F(MonitorCovers, LinuxRunBlacksTheSecondScreenAndEndsOnAClickThere) {
    OwnServer server({"-screen", "0", "640x480x24", "-screen", "1", "800x600x24"});
    ASSERT_FALSE(server.display().empty()) << server.errors();
    std::filesystem::copy_file(kExe, folder.file("zephlora"));
    Child saver({folder.file("zephlora"), "/s"}, {false, {"DISPLAY=" + server.display()}});
    const auto window = black_box::wait_for_window("Zephlora_Main", 20);
    ASSERT_TRUE(window) << saver.errors();
    EXPECT_TRUE(black_box::wait_viewable(*window, 10));
    EXPECT_EQ(geometry(*window), "640x480+0+0");
    EXPECT_EQ(members(), 9);

    const black_box::AreaPixels second = server.wait_for(1, 0, 0, 800, 600, dark, 10);
    EXPECT_TRUE(second.read && dark(second)) << second.lit << " pixels of the second screen show the desktop";
    const black_box::AreaPixels primary = server.wait_for(0, 0, 0, 640, 480, dotted, 15);
    EXPECT_TRUE(dotted(primary)) << "no green dots on the primary screen (" << primary.green << ")";
    EXPECT_FALSE(saver.wait(0)) << saver.errors();

    EXPECT_EQ(server.click_until_end(saver, 1, 700, 500), 0);
    EXPECT_EQ(members(), 0);
}

// One screen with two overlapping Xinerama heads and no RandR, where Wine sees two monitors:
// (0, 0, 640, 480), the primary, and (0, 0, 800, 600) over it. The second monitor shows the
// saver where it overlaps the primary one and black around it.
TEST_F(MonitorCovers, WindowsRunShowsTheSaverOverAnOverlappingMonitorsCover) {
    if (kWin32Dir.empty()) GTEST_SKIP() << "no MinGW build (ZEPHLORA_WIN32_DIR is empty)";
    if (!exists(kWin32Dir + "/Zephlora.scr")) GTEST_SKIP() << "Zephlora.scr is not built";
    const auto wine_idle = [] {
        black_box::run({"bash", "-c", ". '" + kSourceDir + "/scripts/wine-env.sh'; wineserver -w"}, 30);
    };
    // A Wine session still running on the shared server would answer for this one.
    wine_idle();
    std::filesystem::copy_file(kWin32Dir + "/Zephlora.scr", folder.file("Zephlora.scr"));
    {
        OwnServer server({"+xinerama", "-extension", "RANDR", "-screen", "0", "640x480x24", "-screen", "1",
                          "800x600x24"});
        ASSERT_FALSE(server.display().empty()) << server.errors();
        Child saver({kSourceDir + "/scripts/wine-run.sh", folder.file("Zephlora.scr"), "/s"},
                    {false, {"DISPLAY=" + server.display()}});
        const auto window = black_box::wait_for_window("Zephlora_Main", 60);
        ASSERT_TRUE(window) << saver.errors();
        EXPECT_TRUE(black_box::wait_viewable(*window, 20));
        EXPECT_EQ(geometry(*window), "640x480+0+0");
        EXPECT_EQ(members(), 9);

        const black_box::AreaPixels right = server.wait_for(0, 640, 0, 800, 600, dark, 15);
        const black_box::AreaPixels below = server.wait_for(0, 0, 480, 640, 600, dark, 5);
        EXPECT_TRUE(right.read && dark(right) && below.read && dark(below))
            << right.lit + below.lit << " pixels of the second monitor show the desktop";
        const black_box::AreaPixels primary = server.wait_for(0, 0, 0, 640, 480, dotted, 15);
        EXPECT_TRUE(dotted(primary)) << "the saver is hidden (" << primary.green << " green dots)";
        EXPECT_FALSE(saver.wait(0)) << saver.errors();

        // (700, 500) lies on the second monitor only.
        EXPECT_EQ(server.click_until_end(saver, 0, 700, 500), 0);
        EXPECT_EQ(members(), 0);
    }
    wine_idle();
}

}  // namespace
