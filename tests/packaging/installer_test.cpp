// The Windows setup program as an administrator deploys it, under Wine in a prefix of the
// test's own: /S installs into the 64-bit system folder and registers in Apps and Features, the
// saver runs from where the user's screen-saver setting names it and saves its settings into
// the user's own file, and the uninstaller's /S takes everything of ours away again.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <sstream>

#include "common/texts.h"
#include "platform/text.h"
#include "settings_dialog/dialog_layout.h"
#include "tests/blackbox/black_box.h"
#include "tests/blackbox/own_window.h"

using black_box::Child;
using testing_support::exists;
using testing_support::read_bytes;

namespace {

const std::string kSourceDir = ZEPHLORA_SOURCE_DIR;
const std::string kWin32Dir = ZEPHLORA_WIN32_DIR_PATH;
const std::string kVersion = ZEPHLORA_VERSION;
const std::string kUninstallKey = R"(HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zephlora)";
const std::string kUninstallKey32 = R"(HKLM\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall\Zephlora)";
const std::string kDesktopKey = R"(HKCU\Control Panel\Desktop)";
const char* const kShipped[] = {"Zephlora.scr", "Zephlora.zpk", "Zephlora.html"};

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

// Paths under `root` whose name holds "zephlora" in any case, sorted.
std::vector<std::string> ours_under(const std::string& root) {
    std::vector<std::string> found;
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(root, ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
        if (lower(it->path().filename().string()).find("zephlora") != std::string::npos)
            found.push_back(it->path().string());
    std::sort(found.begin(), found.end());
    return found;
}

class WindowsSetup : public ::testing::Test {
protected:
    void SetUp() override {
        if (kWin32Dir.empty()) GTEST_SKIP() << "no MinGW build (ZEPHLORA_WIN32_DIR is empty)";
        setup_ = kWin32Dir + "/Zephlora-" + kVersion + "-setup.exe";
        if (!exists(setup_)) GTEST_SKIP() << setup_ << " is not built";
        if (black_box::env("DISPLAY").empty()) GTEST_SKIP() << "no X server (DISPLAY is empty)";
        // Root writes anywhere, and Wine knows no administrator but the prefix's owner: as root
        // the test runs Wine as nobody, in a prefix of nobody's own, so that closing the system
        // folder below means what it means to a user who is not elevated.
        std::filesystem::permissions(home_.path(), std::filesystem::perms(0755));
        std::filesystem::copy_file(setup_, home_.file("setup.exe"));
        if (::getuid() == 0) {
            as_.unprivileged = true;
            ASSERT_EQ(::chown(home_.path().c_str(), 65534, 65534), 0);
        }
        as_.environment = {"ZEPHLORA_WINEPREFIX=" + prefix_, "HOME=" + home_.path()};
    }
    void TearDown() override {
        if (exists(system32())) std::filesystem::permissions(system32(), std::filesystem::perms(0755));
        Child k({"bash", "-c", ". '" + kSourceDir + "/scripts/wine-env.sh'; wineserver -k; wineserver -w"}, as_);
        k.wait(60);
    }

    std::vector<std::string> wine(std::vector<std::string> args) const {
        args.insert(args.begin(), kSourceDir + "/scripts/wine-run.sh");
        return args;
    }
    // Runs a Windows program to its end; its exit code, or -1 when it outlives `seconds`.
    int run(std::vector<std::string> args, double seconds) {
        Child c(wine(std::move(args)), as_);
        const auto code = c.wait(seconds);
        return code ? *code : -1;
    }
    // Waits until every process of the prefix has ended (an uninstaller hands its work to a
    // copy of itself in the temporary folder, and Wine writes the registry files at the end).
    void settle() {
        Child w({"bash", "-c", ". '" + kSourceDir + "/scripts/wine-env.sh'; wineserver -w"}, as_);
        w.wait(120);
    }
    // The values of a registry key as `reg query` prints them (name -> data); empty when the
    // key does not exist.
    std::map<std::string, std::string> values(const std::string& key) {
        Child c(wine({"reg", "query", key}), as_);
        std::map<std::string, std::string> out;
        if (c.wait(60) != 0) return out;
        std::istringstream lines(c.output());
        for (std::string line; std::getline(lines, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (!line.starts_with("    ")) continue;
            const std::size_t name_end = line.find("    ", 4);
            if (name_end == std::string::npos) continue;
            const std::size_t type_end = line.find("    ", name_end + 4);
            out[line.substr(4, name_end - 4)] = type_end == std::string::npos ? "" : line.substr(type_end + 4);
        }
        return out;
    }
    std::string drive_c() const { return prefix_ + "/drive_c"; }
    std::string system32() const { return drive_c() + "/windows/system32"; }
    std::string uninstaller() const { return drive_c() + "/Program Files/Zephlora/Uninstall.exe"; }
    std::vector<std::string> settings_files() const {
        std::vector<std::string> found;
        for (const std::string& p : ours_under(drive_c() + "/users"))
            if (std::filesystem::path(p).filename() == "Zephlora.ini") found.push_back(p);
        return found;
    }
    // The lines of the prefix's registry files that name us.
    std::string registry_mentions() const {
        std::string found;
        for (const char* file : {"system.reg", "user.reg", "userdef.reg"}) {
            std::istringstream lines(read_bytes(prefix_ + "/" + file));
            for (std::string line; std::getline(lines, line);)
                if (lower(line).find("zephlora") != std::string::npos) found += std::string(file) + ": " + line + "\n";
        }
        return found;
    }

    // Opens the settings dialog of the saver at `path` and presses Save; true when the dialog
    // came and closed.
    bool save_settings(const std::string& path) {
        Child dialog(wine({path, "/c"}), as_);
        const auto window = black_box::wait_for_window(plat::cp932_to_utf8(texts::kTitleDialog), 120);
        if (!window || !black_box::wait_viewable(*window, 30)) return false;
        Child probe(wine({kWin32Dir + "/win_probe.exe", "client", black_box::hex(texts::kTitleDialog), "30"}), as_);
        if (probe.wait(60) != 0) return false;
        std::istringstream report(probe.output());
        std::string word;
        int width = 0, height = 0, left = 0, top = 0;
        report >> word >> width >> height >> word >> left >> top;
        const controls::LayoutNode* save = settings_dialog::FindControl("qzButtons_H2");
        if (!save || width <= 0) return false;
        const plat::Rect r = settings_dialog::PixelRect(*save, {15, 15});
        const std::string x = std::to_string(left + (r.left + r.right) / 2), y = std::to_string(top + (r.top + r.bottom) / 2);
        // The dialog zooms open; a click before it has settled can be lost, so it is repeated.
        for (int attempt = 0; attempt < 10; ++attempt) {
            black_box::run({"xdotool", "mousemove", x, y, "click", "1"}, 10);
            if (dialog.wait(3)) return dialog.wait(0) == 0;
        }
        return false;
    }

    testing_support::TempFolder home_;
    std::string prefix_ = home_.file("prefix");
    std::string setup_;
    black_box::RunAs as_;
};

TEST_F(WindowsSetup, SilentSetupInstallsTheSaverAndSilentUninstallLeavesNothingOfOurs) {
    ASSERT_EQ(run({home_.file("setup.exe"), "/S"}, 300), 0) << "the silent setup failed";

    // The three files in the 64-bit system folder (not the 32-bit one), as built.
    for (const char* name : kShipped) {
        EXPECT_EQ(read_bytes(system32() + "/" + name), read_bytes(kWin32Dir + "/" + name)) << name;
        EXPECT_FALSE(exists(drive_c() + "/windows/syswow64/" + name)) << name;
    }
    ASSERT_TRUE(exists(uninstaller()));

    // Apps and Features, in the 64-bit view of the registry.
    auto entry = values(kUninstallKey);
    EXPECT_EQ(entry["DisplayName"], "Zephlora");
    EXPECT_EQ(entry["DisplayVersion"], kVersion);
    EXPECT_TRUE(entry["Publisher"].starts_with("Zephlora")) << entry["Publisher"];
    EXPECT_EQ(lower(entry["DisplayIcon"]), R"(c:\windows\system32\zephlora.scr,0)");
    EXPECT_EQ(entry["UninstallString"], R"("C:\Program Files\Zephlora\Uninstall.exe")");
    EXPECT_EQ(entry["QuietUninstallString"], R"("C:\Program Files\Zephlora\Uninstall.exe" /S)");
    EXPECT_EQ(entry["NoModify"], "0x1");
    EXPECT_EQ(entry["NoRepair"], "0x1");
    std::uintmax_t bytes = std::filesystem::file_size(uninstaller());
    for (const char* name : kShipped) bytes += std::filesystem::file_size(system32() + "/" + name);
    EXPECT_EQ(entry["EstimatedSize"], "0x" + [](std::uintmax_t kb) {
        std::ostringstream s;
        s << std::hex << kb;
        return s.str();
    }((bytes + 1023) / 1024));
    EXPECT_TRUE(values(kUninstallKey32).empty()) << "the uninstall key is in the 32-bit view";

    // The user's screen saver: the saver's short path, active.
    auto desktop = values(kDesktopKey);
    const std::string saver = desktop["SCRNSAVE.EXE"];
    EXPECT_TRUE(lower(saver).starts_with(R"(c:\windows\system32\)")) << saver;
    EXPECT_TRUE(lower(saver).ends_with(".scr")) << saver;
    EXPECT_EQ(saver.find(' '), std::string::npos) << saver;
    EXPECT_EQ(desktop["ScreenSaveActive"], "1");
    ASSERT_FALSE(saver.empty());

    // The saver from that path, as Windows starts it: a user who is not elevated cannot make
    // files in the system folder (Wine lets the prefix's owner write everywhere, so the folder
    // is closed meanwhile): members in the user's temporary folder, settings in the user's own.
    std::filesystem::permissions(system32(), std::filesystem::perms(0555));
    {
        Child run_saver(wine({saver, "/s"}), as_);
        const auto window = black_box::wait_for_window(std::string(texts::kTitleSaver), 240);
        ASSERT_TRUE(window) << "the installed saver showed no window";
        // What the screen shows (the saver covers it).
        const std::string root = black_box::run({"xwininfo", "-root"});
        const auto number = [&](const std::string& label) {
            const std::size_t at = root.find(label);
            return at == std::string::npos ? 0 : std::stoi(root.substr(at + label.size()));
        };
        black_box::AreaPixels shot;
        for (int i = 0; i < 150 && shot.green <= 200; ++i) {
            shot = black_box::CountScreenPixels(black_box::env("DISPLAY"), 0, 0, 0, number("Width:"), number("Height:"));
            if (shot.green <= 200) std::this_thread::sleep_for(std::chrono::milliseconds(200));
        }
        EXPECT_GT(shot.green, 200) << "no green dots on the screen";
        EXPECT_EQ(black_box::click_until_end(run_saver), 0);
    }
    EXPECT_TRUE(save_settings(saver)) << "the installed saver's settings did not open and save";
    std::filesystem::permissions(system32(), std::filesystem::perms(0755));
    auto settings = settings_files();
    ASSERT_EQ(settings.size(), 1u) << "the settings were not saved into one file of the user's own";
    EXPECT_TRUE(settings[0].ends_with("/AppData/Roaming/Zephlora/Zephlora.ini")) << settings[0];

    // The silent uninstaller: nothing of ours but the user's settings file, no screen saver.
    const std::string quiet = entry["QuietUninstallString"];
    const std::size_t close = quiet.find('"', 1);
    ASSERT_TRUE(quiet.starts_with('"') && close != std::string::npos) << quiet;
    EXPECT_EQ(run({quiet.substr(1, close - 1), "/S"}, 120), 0);
    settle();
    EXPECT_TRUE(values(kUninstallKey).empty()) << "the uninstall key is left";
    desktop = values(kDesktopKey);
    EXPECT_EQ(desktop.count("SCRNSAVE.EXE"), 0u) << desktop["SCRNSAVE.EXE"];
    EXPECT_EQ(desktop["ScreenSaveActive"], "0");
    EXPECT_FALSE(exists(drive_c() + "/Program Files/Zephlora"));
    EXPECT_EQ(ours_under(drive_c()), (std::vector<std::string>{std::filesystem::path(settings[0]).parent_path().string(), settings[0]}))
        << "files of ours are left";
    settle();
    EXPECT_EQ(registry_mentions(), "");

    // Once more, asked to take the settings too: nothing of ours at all.
    ASSERT_EQ(run({home_.file("setup.exe"), "/S"}, 300), 0) << "the second silent setup failed";
    EXPECT_EQ(run({uninstaller(), "/S", "/REMOVESETTINGS"}, 120), 0);
    settle();
    EXPECT_EQ(ours_under(drive_c()), std::vector<std::string>{}) << "files of ours are left";
    EXPECT_EQ(registry_mentions(), "");
}

}  // namespace
