// The Linux executable in the virtual X server: the same command lines and the same
// results as Zephlora.scr under Wine.
#include <gtest/gtest.h>

#include "black_box.h"
#include "common/texts.h"

using black_box::Child;
using testing_support::exists;

namespace {

const std::string kExe = ZEPHLORA_LINUX_EXE;

class LinuxExeTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::permissions(folder.path(), std::filesystem::perms(0755));
        std::filesystem::copy_file(kExe, folder.file("zephlora"));
    }
    // Skips the test without a display; the test returns when IsSkipped() says so, since a
    // skip in a helper ends only the helper.
    void need_display() {
        if (black_box::env("DISPLAY").empty()) GTEST_SKIP() << "no X server (DISPLAY is empty)";
    }
    void put_pack(const testing_support::TempFolder& where) {
        testing_support::write_bytes(where.file("Zephlora.zpk"), testing_support::make_pack());
    }
    // The shipped pack, whose members are real shapes: the engine runs on it.
    void put_shipped_pack(const testing_support::TempFolder& where) {
        std::filesystem::copy_file(std::string(ZEPHLORA_SOURCE_DIR) + "/assets/Zephlora.zpk", where.file("Zephlora.zpk"));
    }
    std::vector<std::string> exe(const std::string& line) {
        std::vector<std::string> argv{folder.file("zephlora")};
        if (!line.empty()) argv.push_back(line);
        return argv;
    }
    int members(const testing_support::TempFolder& where) const {
        int n = 0;
        black_box::joined_members(where, &n);
        return n;
    }
    testing_support::TempFolder folder;
};

TEST_F(LinuxExeTest, QuitLinesSplitThePackAndEnd) {
    put_pack(folder);
    for (const char* line : {"/x", "S", "/a 1234"}) {
        Child saver(exe(line), {false, {"DISPLAY="}});
        EXPECT_EQ(saver.wait(30), 0) << line;
        int count = 0;
        EXPECT_EQ(black_box::joined_members(folder, &count), testing_support::make_pack()) << line;
        EXPECT_EQ(count, 9);
        for (int n = 1; n <= 9; ++n) std::filesystem::remove(folder.file("Zephlora00" + std::to_string(n) + ".zpk"));
    }
}

TEST_F(LinuxExeTest, TheShippedPackSplitsIntoItsMembers) {
    const std::string shipped = std::filesystem::path(kExe).parent_path().string() + "/Zephlora.zpk";
    if (!exists(shipped)) GTEST_SKIP() << "no pack beside the executable";
    const std::string pack = testing_support::read_bytes(shipped);
    EXPECT_EQ(pack.size(), 36191u);
    testing_support::write_bytes(folder.file("Zephlora.zpk"), pack);
    Child saver(exe("/x"), {false, {"DISPLAY="}});
    EXPECT_EQ(saver.wait(30), 0);
    int count = 0;
    EXPECT_EQ(black_box::joined_members(folder, &count), pack);
    EXPECT_EQ(count, 9);
}

TEST_F(LinuxExeTest, WithoutADisplayTheMessageGoesToTheTerminalAndNoSaverStays) {
    Child missing(exe("/c"), {false, {"DISPLAY="}});
    EXPECT_EQ(missing.wait(30), 0);
    EXPECT_NE(missing.errors().find("Zephlora: Zephlora.zpk\xe3\x81\x8c\xe8\xa6\x8b\xe3\x81\xa4\xe3\x81\x8b\xe3\x82\x8a"
                                    "\xe3\x81\xbe\xe3\x81\x9b\xe3\x82\x93\xef\xbc\x81"),
              std::string::npos) << missing.errors();
    // With the pack there, a run without a screen says so and fails, leaving no members.
    put_pack(folder);
    Child saver(exe("/s"), {false, {"DISPLAY="}});
    EXPECT_EQ(saver.wait(30), 1);
    EXPECT_EQ(members(folder), 0);
}

TEST_F(LinuxExeTest, MissingPackShowsTheMessage) {
    need_display();
    if (IsSkipped()) return;
    Child saver(exe("/c"));
    const auto window = black_box::wait_for_window("Zephlora", 30);
    ASSERT_TRUE(window);
    const std::string props = black_box::run({"xprop", "-id", *window, "_NET_WM_NAME"});
    EXPECT_NE(props.find("= \"Zephlora\""), std::string::npos) << props;
    EXPECT_FALSE(saver.wait(0.5));  // it waits for the message to be closed
    saver.kill();
    EXPECT_EQ(members(folder), 0);
    EXPECT_FALSE(exists(folder.file("Zephlora.ini")));
}

TEST_F(LinuxExeTest, AnOpenSettingsDialogEndsEveryNewStart) {
    need_display();
    if (IsSkipped()) return;
    put_pack(folder);
    Child dialog(exe("/c"));
    const auto window = black_box::wait_for_window("Zephlora\xe3\x81\xae\xe8\xa8\xad\xe5\xae\x9a", 30);
    ASSERT_TRUE(window) << "no settings dialog";
    EXPECT_EQ(members(folder), 9);

    testing_support::TempFolder second;
    std::filesystem::permissions(second.path(), std::filesystem::perms(0755));
    std::filesystem::copy_file(kExe, second.file("zephlora"));
    put_pack(second);
    for (const char* line : {"/s", "/x", "/c", "/p 1"}) {
        Child again({second.file("zephlora"), line});
        EXPECT_EQ(again.wait(30), 0) << line;
        EXPECT_EQ(members(second), 0) << line;
    }
    // Esc closes the dialog, and with it the process; the members stay. The key waits until
    // the dialog is on the screen and has come to rest: a key pressed during the opening zoom
    // is not the dialog's yet.
    ASSERT_TRUE(black_box::wait_viewable(*window, 30));
    black_box::settle(black_box::WindowArea(std::stoul(*window)), {}, 30, 5);
    black_box::run({"xdotool", "key", "--window", *window, "Escape"});
    EXPECT_EQ(dialog.wait(30), 0);
    // The dialog went on the key press; make sure the X server does not keep the key down.
    black_box::run({"xdotool", "keyup", "Escape"});
    EXPECT_EQ(members(folder), 9);
}

TEST_F(LinuxExeTest, FullScreenRunEndsOnAClick) {
    need_display();
    if (IsSkipped()) return;
    put_shipped_pack(folder);
    Child saver(exe("/s"));
    const auto window = black_box::wait_for_window("Zephlora_Main", 30);
    ASSERT_TRUE(window);
    EXPECT_EQ(members(folder), 9);
    const std::string screen = black_box::run({"xdotool", "getdisplaygeometry"});
    const std::string size = screen.substr(0, screen.find('\n'));
    const std::string geometry = black_box::run({"xdotool", "getwindowgeometry", *window});
    EXPECT_NE(geometry.find("Geometry: " + size.substr(0, size.find(' ')) + "x" + size.substr(size.find(' ') + 1)),
              std::string::npos) << geometry;
    EXPECT_TRUE(black_box::wait_viewable(*window, 10));
    EXPECT_FALSE(saver.wait(1.0)) << saver.errors();
    EXPECT_EQ(black_box::click_until_end(saver), 0);
    EXPECT_EQ(members(folder), 0);
}

TEST_F(LinuxExeTest, PlainRunEndsOnAKey) {
    need_display();
    if (IsSkipped()) return;
    put_shipped_pack(folder);
    Child saver(exe(""));
    const auto window = black_box::wait_for_window("Zephlora_Main", 30);
    ASSERT_TRUE(window);
    EXPECT_TRUE(black_box::wait_viewable(*window, 10));
    EXPECT_EQ(black_box::key_until_end(saver, "space"), 0);
    EXPECT_EQ(members(folder), 0);
}

// The parent is a window of another program: the Windows probe under Wine, which is an X
// window like any other.
TEST_F(LinuxExeTest, PreviewLivesInsideItsParentUntilTheParentCloses) {
    need_display();
    if (IsSkipped()) return;
    const std::string win32_dir = ZEPHLORA_WIN32_DIR_PATH;
    if (win32_dir.empty()) GTEST_SKIP() << "no MinGW build for the parent window";
    if (!exists(win32_dir + "/win_probe.exe")) GTEST_SKIP() << "win_probe.exe is not built";
    Child parent({std::string(ZEPHLORA_SOURCE_DIR) + "/scripts/wine-run.sh", win32_dir + "/win_probe.exe",
                  "window", black_box::hex("Display Properties"), "8"});
    const auto parent_id = black_box::wait_for_window("Display Properties", 90);
    ASSERT_TRUE(parent_id);
    Child saver(exe("/p " + *parent_id));
    const auto preview = black_box::wait_for_window("Preview Window", 30);
    ASSERT_TRUE(preview);
    const std::string info = black_box::run({"xwininfo", "-id", *preview, "-tree"});
    const std::size_t at = info.find("Parent window id:");
    ASSERT_NE(at, std::string::npos) << info;
    const std::string parent_line = info.substr(at, info.find('\n', at) - at);
    EXPECT_NE(parent_line.find("\"Display Properties\""), std::string::npos) << "the preview is not embedded\n" << info;
    EXPECT_EQ(members(folder), 0);
    EXPECT_EQ(parent.wait(60), 0);
    EXPECT_EQ(saver.wait(30), 0) << "the preview outlived its parent";
    black_box::run({"bash", "-c", ". '" + std::string(ZEPHLORA_SOURCE_DIR) + "/scripts/wine-env.sh'; wineserver -w"}, 30);
}

// An installed copy whose folder this user cannot write: the members go to the user's
// runtime folder and the settings come from the user's settings folder (not from a file
// beside the program). The settings there choose a wave as music, which SDL's file audio
// driver writes out, so the file is seen to be read. Root writes anywhere: the saver runs as
// nobody.
TEST_F(LinuxExeTest, ReadOnlyFolderKeepsItsFilesInTheUsersOwnFolders) {
    need_display();
    if (IsSkipped()) return;
    put_shipped_pack(folder);
    testing_support::TempFolder user;
    std::filesystem::permissions(user.path(), std::filesystem::perms(0755));
    const std::string runtime = user.file("runtime"), config = user.file("config"), out = user.file("out");
    for (const std::string& f : {runtime, config, out}) std::filesystem::create_directory(f);
    std::filesystem::create_directory(config + "/zephlora");
    // One second of silence, 8 kHz, 8 bits, mono.
    std::string wave = std::string("RIFF") + std::string("\x2c\x1f\0\0", 4) + "WAVEfmt " + std::string("\x10\0\0\0\x01\0\x01\0\x40\x1f\0\0\x40\x1f\0\0\x01\0\x08\0", 20) +
                       "data" + std::string("\x40\x1f\0\0", 4) + std::string(8000, '\x80');
    testing_support::write_bytes(user.file("quiet.wav"), wave);
    const auto line = [](std::string_view key, const std::string& value) {
        return std::string(key) + "=" + value + "\r\n";
    };
    testing_support::write_bytes(config + "/zephlora/Zephlora.ini",
                                 "[Section]\r\n" + line(texts::kKeyBgmKind, " 2") + line(texts::kKeyBgmFile, user.file("quiet.wav")));
    testing_support::write_bytes(folder.file("Zephlora.ini"), "[Section]\r\n" + line(texts::kKeyBgmKind, " 0"));
    const bool as_root = ::getuid() == 0;
    if (as_root) {
        for (const std::string& f : {runtime, config, config + "/zephlora", config + "/zephlora/Zephlora.ini", out}) {
            EXPECT_EQ(::chown(f.c_str(), 65534, 65534), 0) << f;
        }
    }
    std::filesystem::permissions(runtime, std::filesystem::perms(0700));
    std::filesystem::permissions(folder.path(), std::filesystem::perms(0555));

    Child saver(exe("/s"), {as_root,
                            {"XDG_RUNTIME_DIR=" + runtime, "XDG_CONFIG_HOME=" + config, "SDL_AUDIODRIVER=disk",
                             "SDL_DISKAUDIOFILE=" + out + "/sound.raw"}});
    EXPECT_TRUE(black_box::wait_for_window("Zephlora_Main", 30)) << "start-up did not go on to the saver window";
    const auto runtime_members = [&] {
        int n = 0;
        for (int i = 1; i <= 9; ++i) n += exists(runtime + "/zephlora/Zephlora00" + std::to_string(i) + ".zpk");
        return n;
    };
    // The run is under way once its members are in the runtime folder and the music plays
    // into the sound file (or the saver ended, which the checks below report).
    black_box::wait_until([&] {
        return saver.wait(0).has_value() || (runtime_members() == 9 && testing_support::read_bytes(out + "/sound.raw").size() > 0);
    }, 30, 100);
    EXPECT_FALSE(black_box::find_window("Zephlora")) << "a message instead of the animation";
    EXPECT_EQ(members(folder), 0);
    int count = runtime_members();
    EXPECT_EQ(count, 9) << "the members are not in the user's runtime folder";
    EXPECT_EQ(std::filesystem::status(runtime + "/zephlora").permissions(), std::filesystem::perms(0700));
    EXPECT_GT(testing_support::read_bytes(out + "/sound.raw").size(), 0u) << "the user's settings were not read";
    EXPECT_EQ(black_box::click_until_end(saver), 0);
    count = runtime_members();
    EXPECT_EQ(count, 0) << "the members outlived the run";
    std::filesystem::permissions(folder.path(), std::filesystem::perms(0755));
}

}  // namespace
