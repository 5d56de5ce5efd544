// The Linux executable as a display hack of xscreensaver: run by the real daemon (as an
// unprivileged user, since the daemon refuses to start hacks as root), on one and on two
// monitors, and in a window of the test's own as the settings program's preview pane.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include <fstream>
#include <sstream>

#include "black_box.h"
#include "own_window.h"

using black_box::Child;
using testing_support::TempFolder;

namespace {

const std::string kExe = ZEPHLORA_LINUX_EXE;
const std::string kSourceDir = ZEPHLORA_SOURCE_DIR;

std::string read_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string environment_of(int pid, const std::string& name);

// The processes whose command line is exactly `zephlora --root` and whose HOME is `home`: the
// hacks of one daemon, not those that other runs on the machine may have going.
std::vector<int> hack_processes(const std::string& home) {
    std::vector<int> pids;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        if (read_text(entry.path().string() + "/cmdline") == std::string("zephlora\0--root\0", 16) &&
            environment_of(std::stoi(name), "HOME") == home)
            pids.push_back(std::stoi(name));
    }
    return pids;
}

// Gone, or a zombie that its parent has not reaped yet: it runs no more.
bool ended(int pid) {
    const std::string stat = read_text("/proc/" + std::to_string(pid) + "/stat");
    const std::size_t paren = stat.rfind(')');
    return stat.empty() || paren == std::string::npos || stat.substr(paren + 2, 1) == "Z";
}

bool wait_ended(const std::vector<int>& pids, double seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        bool all = true;
        for (int pid : pids) all = all && ended(pid);
        if (all) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

std::string environment_of(int pid, const std::string& name) {
    const std::string env = read_text("/proc/" + std::to_string(pid) + "/environ");
    std::size_t at = 0;
    while (at < env.size()) {
        const std::size_t end = env.find('\0', at);
        const std::string entry = env.substr(at, end - at);
        if (entry.starts_with(name + "=")) return entry.substr(name.size() + 1);
        if (end == std::string::npos) break;
        at = end + 1;
    }
    return {};
}

unsigned long window_number(const std::string& text) { return std::stoul(text, nullptr, 0); }

// Member files left anywhere under `folder`.
int members_under(const std::string& folder) {
    int n = 0;
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(folder, ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
        if (it->path().filename().string().starts_with("Zephlora00")) ++n;
    return n;
}

// The daemon as a user runs it: its own home with a ~/.xscreensaver that runs only
// Zephlora, the hack found on the path, no fake input while it runs.
class Daemon {
public:
    explicit Daemon(std::string display) : display_(std::move(display)) {
        std::filesystem::permissions(root_.path(), std::filesystem::perms(0755));
        bin_ = root_.file("bin");
        home_ = root_.file("home");
        tmp_ = root_.file("tmp");
        std::filesystem::create_directory(bin_);
        std::filesystem::create_directory(home_);
        std::filesystem::create_directory(tmp_);
        std::filesystem::copy_file(kExe, bin_ + "/zephlora");
        std::filesystem::copy_file(kSourceDir + "/assets/Zephlora.zpk", bin_ + "/Zephlora.zpk");
        std::filesystem::permissions(bin_, std::filesystem::perms(0755));
        testing_support::write_bytes(home_ + "/.xscreensaver",
                                     "mode: one\nselected: 0\nlock: False\nsplash: False\nfade: False\n"
                                     "unfade: False\ntimeout: 0:30:00\ncycle: 0:30:00\nprograms: zephlora --root\n");
        for (const std::string& p : {home_, home_ + "/.xscreensaver", tmp_})
            if (::getuid() == 0) {
                EXPECT_EQ(::chown(p.c_str(), 65534, 65534), 0);
            }
        start();
    }
    ~Daemon() {
        command("-exit");
        if (daemon_) daemon_->wait(5);
    }
    // Waits until the daemon answers. A question put to the daemon while it is still starting
    // can make it end at once, with status 1 and without a word (about one start in eight on a
    // busy machine), so the first question waits until the daemon has launched its helpers.
    // Should it end all the same, a second daemon is started in its place.
    bool ready() {
        for (int attempt = 0; attempt < 2; ++attempt) {
            if (attempt > 0) {
                daemon_.reset();
                start();
            }
            for (int i = 0; i < 150 && log().find(": launched ") == std::string::npos && !daemon_->wait(0); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            for (int i = 0; i < 40 && !daemon_->wait(0); ++i) {
                last_answer_ = command("-version");
                if (last_answer_.find("XScreenSaver") != std::string::npos) return true;
                std::this_thread::sleep_for(std::chrono::milliseconds(250));
            }
            const std::optional<int> status = daemon_->wait(0);
            failures_ += "daemon " + std::to_string(attempt + 1) + " (" +
                         (status ? "ended with " + std::to_string(*status) : std::string("running")) +
                         "): last answer [" + last_answer_ + "], its errors [" + daemon_->errors() + "]\n";
        }
        return false;
    }
    // What the daemon said: its log, and what the attempts that got no answer saw.
    std::string report() const { return failures_ + log(); }
    std::string command(const std::string& what) {
        Child c(as_user({"xscreensaver-command", what}, "/usr/bin:/bin"), black_box::RunAs{::getuid() == 0, {}});
        c.wait(20);
        return c.output() + c.errors();
    }
    std::string log() const { return read_text(home_ + "/log"); }
    const std::string& temporary() const { return tmp_; }
    const std::string& home() const { return home_; }

private:
    void start() {
        daemon_ = std::make_unique<Child>(as_user({"xscreensaver", "-no-splash", "-log", home_ + "/log"},
                                                  bin_ + ":/usr/libexec/xscreensaver:/usr/bin:/bin"),
                                          black_box::RunAs{::getuid() == 0, {}});
    }
    std::vector<std::string> as_user(std::vector<std::string> argv, const std::string& path) const {
        std::vector<std::string> full{"env", "-i", "HOME=" + home_, "DISPLAY=" + display_, "PATH=" + path,
                                      "TMPDIR=" + tmp_};
        full.insert(full.end(), argv.begin(), argv.end());
        return full;
    }
    TempFolder root_;
    std::string display_, bin_, home_, tmp_;
    std::unique_ptr<Child> daemon_;
    std::string last_answer_, failures_;
};

class HackTest : public ::testing::Test {
protected:
    void need_tools() {
        if (black_box::env("DISPLAY").empty()) GTEST_SKIP() << "no X server (DISPLAY is empty)";
        if (!testing_support::exists("/usr/bin/xscreensaver")) GTEST_SKIP() << "xscreensaver is not installed";
    }
    // Activates the daemon and waits for `count` hacks that draw green dots into their windows.
    std::vector<int> activate(Daemon& daemon, std::size_t count) {
        EXPECT_TRUE(daemon.ready()) << daemon.report();
        daemon.command("-activate");
        std::vector<int> pids;
        for (int i = 0; i < 100 && pids.size() < count; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            pids = hack_processes(daemon.home());
        }
        EXPECT_EQ(pids.size(), count) << daemon.log();
        return pids;
    }
};

TEST(HackOptions, AnUnknownOptionPrintsTheUsageAndEnds1) {
    for (const char* option : {"--bogus", "-root --fps", "--root --interval 31", "--window-id 0xzz"}) {
        std::vector<std::string> argv{kExe};
        std::istringstream words(option);
        for (std::string w; words >> w;) argv.push_back(w);
        Child c(argv, {false, {"DISPLAY="}});
        EXPECT_EQ(c.wait(10), 1) << option;
        EXPECT_NE(c.errors().find("usage: zephlora --root"), std::string::npos) << option << c.errors();
    }
}

TEST_F(HackTest, TheDaemonRunsTheHackInItsWindowAndStopsItWithinASecond) {
    need_tools();
    if (IsSkipped()) return;
    Daemon daemon(black_box::env("DISPLAY"));
    const std::vector<int> pids = activate(daemon, 1);
    ASSERT_EQ(pids.size(), 1u);
    const std::string window = environment_of(pids[0], "XSCREENSAVER_WINDOW");
    ASSERT_FALSE(window.empty());
    // The hack is up once its members are there and its window shows dots.
    black_box::wait_until([&] {
        return members_under(daemon.temporary()) == 9 && black_box::CountPixels(window_number(window)).green > 200;
    }, 30, 100);
    EXPECT_EQ(members_under(daemon.temporary()), 9);
    const black_box::WindowPixels shot = black_box::CountPixels(window_number(window));
    EXPECT_TRUE(black_box::find_window("XScreenSaver")) << "no window named XScreenSaver";
    EXPECT_GT(shot.green, 200) << "no green dots in the daemon's window " << window;
    daemon.command("-deactivate");
    EXPECT_TRUE(wait_ended(pids, 1.0)) << "the hack outlived its SIGTERM by a second";
    EXPECT_EQ(members_under(daemon.temporary()), 0);
}

// Two monitors (two X screens of one display; Xvfb lays Xinerama screens over one another):
// the daemon starts a hack per monitor, each in its own window of its monitor's size, each
// drawing only there.
TEST_F(HackTest, TwoMonitorsGetAHackEach) {
    need_tools();
    if (IsSkipped()) return;
    Child server({"Xvfb", "-displayfd", "1", "-screen", "0", "640x480x24", "-screen", "1", "800x600x24",
                  "-nolisten", "tcp"});
    ASSERT_TRUE(server.wait_for_output("\n", 20)) << server.errors();
    std::string number = server.output();
    number = number.substr(0, number.find('\n'));
    const std::string display = ":" + number;
    const std::string shared_display = black_box::env("DISPLAY");
    {
        Daemon daemon(display);
        const std::vector<int> pids = activate(daemon, 2);
        ASSERT_EQ(pids.size(), 2u);
        ::setenv("DISPLAY", display.c_str(), 1);
        std::vector<std::string> windows;
        std::vector<std::pair<int, int>> sizes;
        for (int pid : pids) {
            windows.push_back(environment_of(pid, "XSCREENSAVER_WINDOW"));
            // The most dots of the moments until they show (the hack may still be starting, a
            // shape may be drifting past an edge).
            black_box::WindowPixels shot;
            black_box::wait_until([&] {
                const black_box::WindowPixels now = black_box::CountPixels(window_number(windows.back()));
                if (now.green >= shot.green) shot = now;
                return shot.green > 100;
            }, 30, 200);
            sizes.emplace_back(shot.width, shot.height);
            EXPECT_GT(shot.green, 100) << "no green dots in window " << windows.back() << " (" << shot.width << "x" << shot.height << ", DISPLAY " << environment_of(pid, "DISPLAY") << ")";
        }
        EXPECT_NE(windows[0], windows[1]);
        std::sort(sizes.begin(), sizes.end());
        EXPECT_EQ(sizes[0], (std::pair<int, int>{640, 480}));
        EXPECT_EQ(sizes[1], (std::pair<int, int>{800, 600}));
        daemon.command("-deactivate");
        EXPECT_TRUE(wait_ended(pids, 1.0));
        EXPECT_EQ(members_under(daemon.temporary()), 0);
    }
    ::setenv("DISPLAY", shared_display.c_str(), 1);
    server.kill();
}

// The settings program's preview: a pane of about 725 x 407 shows the full-screen animation
// shrunk to it, follows the pane when it grows, and ends on SIGTERM or with its window.
TEST_F(HackTest, APreviewPaneShowsTheShrunkAnimationFollowsItAndEnds) {
    if (black_box::env("DISPLAY").empty()) GTEST_SKIP() << "no X server (DISPLAY is empty)";
    TempFolder runtime;
    const std::string runtime_env = "XDG_RUNTIME_DIR=" + runtime.path();
    for (const bool by_signal : {true, false}) {
        black_box::OwnWindow pane(725, 407);
        ASSERT_NE(pane.id(), "0") << "no window of the test's own";
        std::ostringstream hex;
        hex << "0x" << std::hex << std::stoul(pane.id());
        Child hack({kExe, "--root", "--window-id", hex.str(), "--sleep", "0"}, {false, {runtime_env}});
        // The hack is up once its members are there and its dots cover the pane (or it ended,
        // which the check below reports).
        black_box::wait_until([&] {
            if (hack.wait(0)) return true;
            const black_box::WindowPixels now = black_box::CountPixels(std::stoul(pane.id()));
            return members_under(runtime.path()) == 9 && now.white == 0 && now.green > 50;
        }, 30, 100);
        ASSERT_FALSE(hack.wait(0)) << hack.errors();
        black_box::WindowPixels shot = black_box::CountPixels(std::stoul(pane.id()));
        EXPECT_EQ(shot.white, 0) << "the pane is not covered";
        EXPECT_GT(shot.green, 50) << "no green dots";
        EXPECT_EQ(members_under(runtime.path()), 9);
        pane.resize(900, 500);
        black_box::wait_until([&] {
            const black_box::WindowPixels now = black_box::CountPixels(std::stoul(pane.id()));
            return now.width == 900 && now.white == 0;
        }, 20, 100);
        shot = black_box::CountPixels(std::stoul(pane.id()));
        EXPECT_EQ(shot.width, 900);
        EXPECT_EQ(shot.white, 0) << "the grown pane is not covered";
        if (by_signal)
            hack.signal(SIGTERM);
        else
            pane.destroy();
        EXPECT_EQ(hack.wait(1.0), 0) << (by_signal ? "SIGTERM" : "destroyed window");
        EXPECT_EQ(members_under(runtime.path()), 0);
    }
}

// A hack killed outright (SIGKILL: nothing of its own runs) leaves its folder of members; the
// next hack removes it, and never the folder of a hack that still runs.
TEST_F(HackTest, AKilledHacksMembersGoAtTheNextStart) {
    if (black_box::env("DISPLAY").empty()) GTEST_SKIP() << "no X server (DISPLAY is empty)";
    TempFolder runtime;
    const std::string runtime_env = "XDG_RUNTIME_DIR=" + runtime.path();
    black_box::OwnWindow pane(320, 200);
    ASSERT_NE(pane.id(), "0") << "no window of the test's own";
    const std::vector<std::string> command{kExe, "--root", "--window-id", pane.id(), "--sleep", "0"};
    // The hacks' folders, each with its count of members.
    const auto folders = [&] {
        std::map<std::string, int> found;
        std::error_code ec;
        for (auto it = std::filesystem::recursive_directory_iterator(runtime.path(), ec);
             it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
            if (it->path().filename().string().starts_with("run-"))
                found[it->path().string()] = members_under(it->path().string());
        return found;
    };
    const auto wait_for = [&](const std::function<bool(const std::map<std::string, int>&)>& condition) {
        for (int i = 0; i < 200 && !condition(folders()); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return condition(folders());
    };
    const auto whole = [](const std::map<std::string, int>& f, std::size_t count) {
        return f.size() == count && std::all_of(f.begin(), f.end(), [](const auto& e) { return e.second == 9; });
    };
    Child killed(command, {false, {runtime_env}});
    ASSERT_TRUE(wait_for([&](const auto& f) { return whole(f, 1); })) << killed.errors();
    const std::string killed_folder = folders().begin()->first;
    Child running(command, {false, {runtime_env}});
    ASSERT_TRUE(wait_for([&](const auto& f) { return whole(f, 2); })) << "the second hack took the first one's folder";
    killed.signal(SIGKILL);
    killed.wait(5);
    running.signal(SIGTERM);
    EXPECT_EQ(running.wait(2), 0);
    EXPECT_TRUE(folders().count(killed_folder)) << "the killed hack's folder";
    Child next(command, {false, {runtime_env}});
    EXPECT_TRUE(wait_for([&](const auto& f) { return whole(f, 1) && !f.count(killed_folder); }))
        << "the killed hack's folder is still there";
    next.signal(SIGTERM);
    EXPECT_EQ(next.wait(2), 0);
    EXPECT_TRUE(folders().empty());
    EXPECT_EQ(members_under(runtime.path()), 0);
}

}  // namespace
