// The Linux executable in the virtual X server: the same command lines and the same
// results as Zephlora.scr under Wine.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iostream>

#include "black_box.h"
#include "common/texts.h"
#include "platform/pictures.h"
#include "window_search.h"

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

// The settings dialog as the screen shows it: its id and its client area's pixels.
struct DialogShot {
    std::string window;
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)]; }
};

// The dialog just started, read once it has come to rest (the backdrop's dark top edge shows).
DialogShot ShootDialog() {
    DialogShot shot;
    const auto window = black_box::wait_for_window("Zephlora\xe3\x81\xae\xe8\xa8\xad\xe5\xae\x9a", 30);
    if (!window || !black_box::wait_viewable(*window, 30)) return shot;
    shot.window = *window;
    const black_box::ScreenArea area = black_box::WindowArea(std::stoul(*window));
    black_box::wait_until([&] {
        const auto top = black_box::ScreenPixels({area.left + area.width / 2, area.top, 1, 1});
        return !top.empty() && top[0] == 0x00001Eu;
    }, 30);
    black_box::settle(area, {}, 30, 5);
    shot.width = area.width;
    shot.height = area.height;
    shot.pixels = black_box::ScreenPixels(area);
    return shot;
}

// The longest row of pure black pixels: the slider's groove.
int LongestBlackRun(const DialogShot& shot) {
    int best = 0;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0, run = 0; x < shot.width; ++x) {
            run = (shot.at(x, y) & 0xFFFFFF) == 0 ? run + 1 : 0;
            best = std::max(best, run);
        }
    return best;
}

// The rows that dark ink spans in a rectangle of design pixels at `scale`.
int InkHeight(const DialogShot& shot, plat::Rect design, int scale) {
    int top = -1, bottom = -1;
    for (int y = design.top * scale; y < design.bottom * scale; ++y)
        for (int x = design.left * scale; x < design.right * scale; ++x) {
            const std::uint32_t p = shot.at(x, y);
            if (((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) < 3 * 96) {
                if (top < 0) top = y;
                bottom = y + 1;
            }
        }
    return top < 0 ? 0 : bottom - top;
}

// The dialog at the desktop's display scale, set by GDK_SCALE or, without it, by the X
// resource Xft.dpi: the window is twice the design; every picture and rule is the 1x one
// enlarged pixel for pixel (the slider's groove twice as long, the option glyphs twice their
// size, block for block), the text is drawn anew at twice the size (twice the ink height, not
// blocks of the 1x ink), and a click on the scaled Save saves.
TEST_F(LinuxExeTest, SettingsDialogFollowsTheDisplayScale) {
    need_display();
    if (IsSkipped()) return;
    put_pack(folder);
    const std::string ini = folder.file("Zephlora.ini");
    const plat::Rect save_caption{324, 308, 389, 325};  // inside the Save button's outline
    DialogShot one;
    {
        Child dialog(exe("/c"), {false, {"GDK_SCALE="}});
        one = ShootDialog();
        ASSERT_EQ(one.width, 409);
        ASSERT_EQ(one.height, 345);
        black_box::run({"xdotool", "key", "--window", one.window, "Escape"});
        ASSERT_EQ(dialog.wait(30), 0);
        black_box::run({"xdotool", "keyup", "Escape"});
    }
    const auto on = plat::load_picture(plat::Picture::OptionOn);
    ASSERT_TRUE(on);
    const int ink = InkHeight(one, save_caption, 1);
    ASSERT_GT(ink, 5);

    for (const bool by_resource : {false, true}) {
        SCOPED_TRACE(by_resource ? "Xft.dpi: 192" : "GDK_SCALE=2");
        // The X server forgets its resources when its last client goes: one stays meanwhile.
        std::unique_ptr<Child> holder;
        if (by_resource) {
            holder = std::make_unique<Child>(std::vector<std::string>{"xev", "-root"});
            ASSERT_TRUE(black_box::wait_until([] { return !black_box::run({"xdotool", "getdisplaygeometry"}).empty(); }, 10));
            black_box::run({"bash", "-c", "echo 'Xft.dpi: 192' | xrdb -nocpp -merge"});
        }
        Child dialog(exe("/c"), {false, {by_resource ? "GDK_SCALE=" : "GDK_SCALE=2"}});
        const DialogShot two = ShootDialog();
        if (by_resource) black_box::run({"xrdb", "-remove"});
        ASSERT_EQ(two.width, 818);
        ASSERT_EQ(two.height, 690);

        // Everything but the text is the 1x picture enlarged: most design pixels come back as
        // blocks of 2 x 2 of their colour.
        long blocks = 0;
        for (int y = 0; y < one.height; ++y)
            for (int x = 0; x < one.width; ++x) {
                const std::uint32_t p = one.at(x, y);
                blocks += two.at(2 * x, 2 * y) == p && two.at(2 * x + 1, 2 * y) == p && two.at(2 * x, 2 * y + 1) == p &&
                          two.at(2 * x + 1, 2 * y + 1) == p;
            }
        EXPECT_GT(blocks * 100, 90L * one.width * one.height) << blocks << " of " << one.width * one.height;
        EXPECT_EQ(LongestBlackRun(two), 2 * LongestBlackRun(one));
        // The option glyphs that show "on" (neon off, no music), twice their size.
        const plat::Surface glyph = on->surface();
        for (const plat::Point corner : {plat::Point{184 + 76, 20 + 100}, plat::Point{16 + 20, 160 + 48}})
            for (int y = 0; y < glyph.height * 2; ++y)
                for (int x = 0; x < glyph.width * 2; ++x)
                    ASSERT_EQ(two.at(2 * corner.x + x, 2 * corner.y + y) & 0xFFFFFF, glyph.row(y / 2)[x / 2] & 0xFFFFFF)
                        << corner.x << "," << corner.y << " +" << x << "," << y;
        // The Save caption: twice the ink height (within the font's hinting), and sharp: its
        // edges are not 2 x 2 blocks of the 1x ink.
        const int ink2 = InkHeight(two, save_caption, 2);
        EXPECT_NEAR(ink2, 2 * ink, 2) << "1x ink " << ink;
        int split = 0;
        for (int y = save_caption.top; y < save_caption.bottom; ++y)
            for (int x = save_caption.left; x < save_caption.right; ++x) {
                const std::uint32_t p = two.at(2 * x, 2 * y);
                split += two.at(2 * x + 1, 2 * y) != p || two.at(2 * x, 2 * y + 1) != p || two.at(2 * x + 1, 2 * y + 1) != p;
            }
        EXPECT_GT(split, 10);
        std::cout << "window " << two.width << " x " << two.height << ", Save ink " << ink << " -> " << ink2
                  << " px, groove " << LongestBlackRun(one) << " -> " << LongestBlackRun(two) << " px, blocks "
                  << blocks * 100 / (one.width * one.height) << " %\n";

        // A click on the scaled Save button (design point 356, 316) saves and closes.
        std::filesystem::remove(ini);
        const black_box::ScreenArea area = black_box::WindowArea(std::stoul(two.window));
        black_box::run({"xdotool", "mousemove", std::to_string(area.left + 2 * 356), std::to_string(area.top + 2 * 316),
                        "click", "1"});
        EXPECT_EQ(dialog.wait(30), 0);
        EXPECT_TRUE(exists(ini)) << "the click on Save wrote no settings";
    }
}

}  // namespace
