// Zephlora.scr under Wine in the virtual X server: what a user sees of start-up (message box,
// windows) and what it leaves in its folder.
#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "black_box.h"
#include "common/texts.h"

using black_box::Child;
using testing_support::exists;

namespace {

const std::string kSourceDir = ZEPHLORA_SOURCE_DIR;
const std::string kWin32Dir = ZEPHLORA_WIN32_DIR_PATH;

class ScrTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (kWin32Dir.empty()) GTEST_SKIP() << "no MinGW build (ZEPHLORA_WIN32_DIR is empty)";
        if (!exists(kWin32Dir + "/Zephlora.scr")) GTEST_SKIP() << "Zephlora.scr is not built";
        if (black_box::env("DISPLAY").empty()) GTEST_SKIP() << "no X server (DISPLAY is empty)";
        std::filesystem::copy_file(kWin32Dir + "/Zephlora.scr", folder.file("Zephlora.scr"));
    }
    void TearDown() override {
        // Wait for this prefix's Wine processes to end, so that none outlives the test.
        black_box::run({"bash", "-c", ". '" + kSourceDir + "/scripts/wine-env.sh'; wineserver -w"}, 30);
    }

    void put_pack() { testing_support::write_bytes(pack_path(), testing_support::make_pack()); }
    std::string pack_path() const { return folder.file("Zephlora.zpk"); }

    std::vector<std::string> wine(const std::string& program, std::vector<std::string> args) {
        std::vector<std::string> argv{kSourceDir + "/scripts/wine-run.sh", program};
        argv.insert(argv.end(), args.begin(), args.end());
        return argv;
    }
    std::vector<std::string> scr(std::vector<std::string> args) {
        return wine(folder.file("Zephlora.scr"), std::move(args));
    }
    std::vector<std::string> probe(std::vector<std::string> args) {
        return wine(kWin32Dir + "/win_probe.exe", std::move(args));
    }

    int members() const {
        int n = 0;
        black_box::joined_members(folder, &n);
        return n;
    }

    // Wine's locale for the programs of a test: the suite's own (ja_JP.UTF-8, code page 932)
    // unless `locale` names another.
    black_box::RunAs as() const {
        black_box::RunAs r;
        if (!locale.empty()) r.environment.push_back("ZEPHLORA_WINE_LOCALE=" + locale);
        return r;
    }

    void expect_missing_pack_message();
    void expect_other_copys_window_ends_a_start(std::vector<std::string_view> titles);

    testing_support::TempFolder folder;
    std::string locale;
};

void ScrTest::expect_missing_pack_message() {
    Child saver(scr({"/c"}), as());
    const auto window = black_box::wait_for_window("Zephlora", 90);
    ASSERT_TRUE(window) << "no window titled Zephlora";
    // The title as the X server holds it (UTF-8 of the CP932 title).
    const std::string props = black_box::run({"xprop", "-id", *window, "_NET_WM_NAME"});
    EXPECT_NE(props.find("= \"Zephlora\""), std::string::npos) << props;

    // The text, read from the box's own controls, and the OK button that closes it.
    Child inspector(probe({"msgbox", black_box::hex(texts::kMessageTitle), "30"}), as());
    ASSERT_TRUE(inspector.wait(60));
    std::string report = inspector.output();
    std::erase(report, '\r');  // Wine's console ends lines with CR LF
    EXPECT_NE(report.find("class #32770"), std::string::npos) << report;
    EXPECT_NE(report.find(" " + black_box::hex(texts::kPackMissing) + "\n"), std::string::npos) << report;
    // One button (MB_OK) and an icon (MB_ICONEXCLAMATION: a static control with SS_ICON).
    std::size_t buttons = 0, icons = 0;
    for (std::size_t at = report.find("child Button"); at != std::string::npos; at = report.find("child Button", at + 1)) ++buttons;
    for (std::size_t at = report.find("child Static"); at != std::string::npos; at = report.find("child Static", at + 1)) {
        const unsigned long style = std::stoul(report.substr(at + 13, 8), nullptr, 16);
        if ((style & 0x1F) == 0x03) ++icons;  // SS_ICON
    }
    EXPECT_EQ(buttons, 1u) << report;
    EXPECT_EQ(icons, 1u) << report;

    EXPECT_EQ(saver.wait(30), 0);
    EXPECT_EQ(members(), 0);
    EXPECT_FALSE(exists(folder.file("Zephlora.ini")));
}

TEST_F(ScrTest, MissingPackShowsTheMessageAndEndsWhenItIsClosed) { expect_missing_pack_message(); }

// Outside Japan (Wine's ANSI code page 1252, as on most Windows systems) the message reads the
// same: the box is given its text converted from Shift-JIS, not through the system's code page.
TEST_F(ScrTest, MissingPackMessageReadsTheSameUnderAnEnglishLocale) {
    locale = "en_US.UTF-8";
    expect_missing_pack_message();
}

// A window titled as another copy's (the probe's, made with the title as a Japanese system
// shows it) ends a start at once, before the pack is split.
void ScrTest::expect_other_copys_window_ends_a_start(std::vector<std::string_view> titles) {
    put_pack();
    for (auto title : titles) {
        Child other(probe({"window", black_box::hex(title), "120"}), as());
        ASSERT_TRUE(other.wait_for_output("ready", 90)) << "the probe window did not open";
        for (const char* line : {"/s", "/x", "/c"}) {
            Child saver(scr({line}), as());
            EXPECT_EQ(saver.wait(60), 0) << line;
            EXPECT_EQ(members(), 0) << line;
        }
        other.kill();
    }
}

TEST_F(ScrTest, AnotherCopysWindowEndsAStartAtOnce) {
    expect_other_copys_window_ends_a_start({texts::kTitleSaver, texts::kTitleDialog});
}

// The title test compares titles as the system holds them, so it finds the dialog of a copy
// whatever the code page of either.
TEST_F(ScrTest, AnotherCopysDialogEndsAStartUnderAnEnglishLocale) {
    locale = "en_US.UTF-8";
    expect_other_copys_window_ends_a_start({texts::kTitleDialog});
}

TEST_F(ScrTest, QuitLinesSplitThePackAndEndWithoutAWindow) {
    put_pack();
    for (const char* line : {"/x", "S", "/a 1234"}) {
        Child saver(scr({line}));
        EXPECT_EQ(saver.wait(60), 0) << line;
        int count = 0;
        EXPECT_EQ(black_box::joined_members(folder, &count), testing_support::make_pack()) << line;
        EXPECT_EQ(count, 9) << line;
        EXPECT_FALSE(black_box::find_window("Zephlora_Main")) << line;
        for (int n = 1; n <= 9; ++n) std::filesystem::remove(folder.file("Zephlora00" + std::to_string(n) + ".zpk"));
    }
    EXPECT_EQ(testing_support::read_bytes(pack_path()), testing_support::make_pack());
}

TEST_F(ScrTest, TheShippedPackSplitsIntoItsMembers) {
    if (!exists(kWin32Dir + "/Zephlora.zpk")) GTEST_SKIP() << "no pack beside Zephlora.scr";
    const std::string pack = testing_support::read_bytes(kWin32Dir + "/Zephlora.zpk");
    EXPECT_EQ(pack.size(), 36191u);
    testing_support::write_bytes(pack_path(), pack);
    Child saver(scr({"/x"}));
    EXPECT_EQ(saver.wait(60), 0);
    int count = 0;
    EXPECT_EQ(black_box::joined_members(folder, &count), pack);
    EXPECT_EQ(count, 9);
}

TEST_F(ScrTest, FullScreenRunEndsOnAClickOrKeyAndDeletesTheMembers) {
    // The shipped pack: with unreadable shapes the engine would report and not run.
    std::filesystem::copy_file(kSourceDir + "/assets/Zephlora.zpk", pack_path());
    // "/s" and the empty command line (cursor left visible, no password) alike.
    for (const std::vector<std::string>& line : {std::vector<std::string>{"/s"}, std::vector<std::string>{}}) {
        const std::string name = line.empty() ? "(empty)" : line[0];
        Child saver(scr(line));
        const auto window = black_box::wait_for_window("Zephlora_Main", 90);
        ASSERT_TRUE(window) << name;
        EXPECT_EQ(members(), 9) << name;
        const std::string geometry = black_box::run({"xdotool", "getwindowgeometry", *window});
        const std::string screen = black_box::run({"xdotool", "getdisplaygeometry"});
        const std::string size = screen.substr(0, screen.find('\n'));
        EXPECT_NE(geometry.find("Geometry: " + size.substr(0, size.find(' ')) + "x" + size.substr(size.find(' ') + 1)),
                  std::string::npos) << geometry << " screen " << screen;
        EXPECT_TRUE(black_box::wait_viewable(*window, 20));
        EXPECT_FALSE(saver.wait(1.5)) << name;  // still running: nothing pressed yet
        // A click ends one, a key the other.
        const auto code = line.empty() ? black_box::key_until_end(saver, "a") : black_box::click_until_end(saver);
        EXPECT_EQ(code, 0) << name;
        EXPECT_EQ(members(), 0) << name;
        EXPECT_TRUE(exists(pack_path()));
    }
}

TEST_F(ScrTest, ConfigureOpensTheDialogAndEndsWhenItCloses) {
    put_pack();
    Child saver(scr({"/c:1234"}));
    const auto window = black_box::wait_for_window("Zephlora\xe3\x81\xae\xe8\xa8\xad\xe5\xae\x9a", 90);
    ASSERT_TRUE(window) << "no window titled Zephloraの設定";
    Child closer(probe({"close", black_box::hex(texts::kTitleDialog), "30"}));
    ASSERT_TRUE(closer.wait(60));
    EXPECT_NE(closer.output().find("visible 1"), std::string::npos) << closer.output();
    EXPECT_EQ(saver.wait(30), 0);
    EXPECT_EQ(members(), 9);  // only the full-screen run deletes them
}

TEST_F(ScrTest, PreviewLivesInsideItsParentUntilTheParentCloses) {
    put_pack();
    Child parent(probe({"window", black_box::hex("Display Properties"), "8"}));
    ASSERT_TRUE(parent.wait_for_output("ready", 90));
    std::string ready = parent.output();
    ready = ready.substr(ready.find("ready ") + 6);
    const std::string handle = ready.substr(0, ready.find_first_of("\r\n"));
    Child saver(scr({"/p", handle}));
    EXPECT_FALSE(saver.wait(3)) << "the preview ended while its parent was open";
    EXPECT_EQ(members(), 0);  // the preview touches neither pack nor settings
    EXPECT_EQ(parent.wait(60), 0);
    EXPECT_EQ(saver.wait(30), 0) << "the preview outlived its parent";
}

TEST_F(ScrTest, PreviewOfAWindowThatDoesNotExistEnds) {
    Child saver(scr({"/p", "12345"}));
    EXPECT_EQ(saver.wait(60), 0);
}

// Member files under `folder` (any depth).
int members_under(const std::string& folder) {
    int n = 0;
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(folder, ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
        if (it->path().filename().string().starts_with("Zephlora00") &&
            it->path().parent_path().filename() == "Zephlora")
            ++n;
    return n;
}

// An installed copy whose folder the user cannot write: the members go to the user's
// %TEMP%\Zephlora, the saver animates from them (no report of a missing shape) and removes
// them at its end. Root ignores folder permissions, so the saver runs as nobody, in a Wine
// prefix of nobody's own.
TEST_F(ScrTest, ReadOnlyFolderKeepsItsMembersInTheUsersTemporaryFolder) {
    const bool as_root = ::getuid() == 0;
    testing_support::TempFolder prefix_parent;
    const std::string prefix = prefix_parent.file("prefix");
    std::filesystem::create_directory(prefix);
    std::filesystem::permissions(prefix_parent.path(), std::filesystem::perms(0755));
    std::filesystem::permissions(folder.path(), std::filesystem::perms(0755));
    const std::string program = folder.file("ro");
    std::filesystem::create_directory(program);
    std::filesystem::copy_file(folder.file("Zephlora.scr"), program + "/Zephlora.scr");
    std::filesystem::copy_file(kSourceDir + "/assets/Zephlora.zpk", program + "/Zephlora.zpk");
    std::filesystem::permissions(program, std::filesystem::perms(0555));
    if (as_root) {
        ASSERT_EQ(::chown(prefix.c_str(), 65534, 65534), 0);
    }

    black_box::RunAs as{as_root, {"ZEPHLORA_WINEPREFIX=" + prefix, "HOME=" + prefix}};
    const auto kill_server = [&] {
        Child k({"bash", "-c", ". '" + kSourceDir + "/scripts/wine-env.sh'; wineserver -k; wineserver -w"}, as);
        k.wait(30);
    };
    {
        Child saver(wine(program + "/Zephlora.scr", {"/s"}), as);
        const auto window = black_box::wait_for_window("Zephlora_Main", 240);
        EXPECT_TRUE(window) << "start-up did not go on to the saver window";
        for (int n = 1; n <= 9; ++n) EXPECT_FALSE(exists(program + "/Zephlora00" + std::to_string(n) + ".zpk"));
        if (window) {
            // The run is under way once its members are in the user's %TEMP% (or the saver
            // ended, which the checks below report).
            black_box::wait_until([&] {
                return saver.wait(0).has_value() || members_under(prefix + "/drive_c/users") == 9;
            }, 60, 200);
            EXPECT_FALSE(black_box::find_window("Zephlora")) << "a message instead of the animation";
            EXPECT_EQ(members_under(prefix + "/drive_c/users"), 9) << "no members in the user's %TEMP%\\Zephlora";
            EXPECT_EQ(black_box::click_until_end(saver), 0);
            EXPECT_EQ(members_under(prefix + "/drive_c/users"), 0) << "the members outlived the run";
        }
    }
    kill_server();
    std::filesystem::permissions(program, std::filesystem::perms(0755));
}

}  // namespace
