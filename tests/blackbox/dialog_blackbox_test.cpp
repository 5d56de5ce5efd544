// The settings dialog of both builds in the virtual X server, used as a person would: xdotool
// presses and types on the screen, the screen is read back with a screenshot, and so is the
// settings file the dialog left (beside the program, or in the user's own settings folder when
// the program's folder is read-only).
#include <gtest/gtest.h>

#include <functional>
#include <iostream>
#include <set>
#include <sstream>

#include "black_box.h"
#include "common/texts.h"
#include "settings_dialog/dialog_layout.h"
#include "platform/pictures.h"
#include "platform/scripted/control.h"
#include "platform/text.h"

using black_box::Child;

namespace {

const std::string kSourceDir = ZEPHLORA_SOURCE_DIR;
const std::string kWin32Dir = ZEPHLORA_WIN32_DIR_PATH;
const std::string kTitleUtf8 = "Zephlora\xe3\x81\xae\xe8\xa8\xad\xe5\xae\x9a";

enum class Build { Linux, Windows };

// Client points of the controls.
constexpr plat::Point kNeonOnCaption{321, 126}, kCdGlyph{42, 194}, kNoMusicCaption{62, 214}, kFileCaption{62, 234},
    kRepeatBox{125, 194}, kSave{356, 316}, kCancel{280, 316}, kLink{40, 322}, kFileButton{134, 232}, kYSlider{296, 78},
    kBackdrop{400, 338};
// The top-left corners of the option glyphs that a click turns on.
constexpr plat::Point kNeonOnGlyph{184 + 116, 20 + 100}, kCdOnGlyph{16 + 20, 160 + 28},
    kNoMusicGlyph{16 + 20, 160 + 48}, kFileGlyph{16 + 20, 160 + 68};

std::string Key(std::string_view key, std::string_view value) {
    return std::string(key) + "=" + std::string(value) + "\r\n";
}

// True when the settings text holds the line "key=value". The blank in a number's sign
// position may be missing: Wine's profile writer drops leading blanks of a value (the number
// reads the same either way).
bool Holds(const std::string& text, std::string_view key, std::string_view value) {
    if (text.find(Key(key, value)) != std::string::npos) return true;
    return !value.empty() && value[0] == ' ' && text.find(Key(key, value.substr(1))) != std::string::npos;
}

// Runs the dialog of one build or the other from one program folder.
class DialogDriver : public ::testing::Test {
protected:
    void SetUp() override {
        if (black_box::env("DISPLAY").empty()) GTEST_SKIP() << "no X server (DISPLAY is empty)";
        if (kWin32Dir.empty() || !testing_support::exists(kWin32Dir + "/Zephlora.scr"))
            GTEST_SKIP() << "Zephlora.scr is not built";
        std::filesystem::permissions(folder.path(), std::filesystem::perms(0755));
        std::filesystem::copy_file(kWin32Dir + "/Zephlora.scr", folder.file("Zephlora.scr"));
        std::filesystem::copy_file(ZEPHLORA_LINUX_EXE, folder.file("zephlora"));
        testing_support::write_bytes(folder.file("Zephlora.zpk"), testing_support::make_pack());
        plat::scripted::reset();
    }
    void TearDown() override {
        dialog.reset();
        black_box::run({"bash", "-c", ". '" + kSourceDir + "/scripts/wine-env.sh'; wineserver -w"}, 30);
    }

    // Starts the dialog and waits until it is on the screen; false when it does not come.
    bool open(black_box::RunAs as = {}) {
        if (build == Build::Windows)
            dialog = std::make_unique<Child>(std::vector<std::string>{kSourceDir + "/scripts/wine-run.sh",
                                                                      program + "/Zephlora.scr", "/c"}, as);
        else
            dialog = std::make_unique<Child>(std::vector<std::string>{program + "/zephlora", "/c"}, as);
        const auto window = black_box::wait_for_window(kTitleUtf8, 90);
        if (!window || !black_box::wait_viewable(*window, 30)) return false;
        window_id = *window;
        if (build == Build::Windows) {
            // The probe asks the same Wine server, so it runs as the dialog's user.
            Child probe({kSourceDir + "/scripts/wine-run.sh", kWin32Dir + "/win_probe.exe", "client",
                         black_box::hex(texts::kTitleDialog), "30"}, as);
            if (!probe.wait(60)) return false;
            std::istringstream report(probe.output());
            std::string word;
            report >> word >> client.right >> client.bottom >> word >> client.left >> client.top;
            client.right += client.left;
            client.bottom += client.top;
        } else {
            const std::string info = black_box::run({"xwininfo", "-id", *window});
            auto number = [&](const std::string& label) {
                const std::size_t at = info.find(label);
                return at == std::string::npos ? -1 : std::stoi(info.substr(at + label.size()));
            };
            client.left = number("Absolute upper-left X:");
            client.top = number("Absolute upper-left Y:");
            client.right = client.left + number("Width:");
            client.bottom = client.top + number("Height:");
        }
        // The opening zoom and the first paint: the backdrop's dark top edge shows, and the
        // picture comes to rest.
        if (!black_box::wait_until([&] { return at(now(), 400, 0) == 0x00001Eu; }, 30))
            std::cerr << "the backdrop did not show within 30 s\n";
        black_box::settle(area(), {}, 30, 5);
        return client.width() > 0;
    }
    // Clicks at a client point (button 1 the left, 3 the right). A click that ends the dialog or
    // opens a window waits for nothing here: the caller waits for the end or the window.
    void press(plat::Point at, int button = 1) {
        black_box::run({"xdotool", "mousemove", std::to_string(client.left + at.x), std::to_string(client.top + at.y),
                        "click", std::to_string(button)});
    }
    // Clicks an option and waits until its glyph shows "on".
    void select_option(plat::Point at, plat::Point glyph, int button = 1) {
        press(at, button);
        const auto on = plat::load_picture(plat::Picture::OptionOn);
        wait_for_screen([&](const std::vector<std::uint32_t>& shot) { return on && shows(shot, glyph.x, glyph.y, *on); },
                        "the option's glyph");
    }
    // Clicks into the repeat box. The click shows no more than the caret, a blinking column
    // that settle() does not count, so the screen is only let come to rest; the keys typed next
    // reach the box after the click in any case, since the X server hands input on in order.
    void click_into(plat::Point at) {
        press(at);
        black_box::settle(area(), {}, 10);
    }
    // Clicks at a client point and waits until the client area shows what the click drew (the
    // focus moving to a slider, say) and comes to rest.
    void press_showing(plat::Point at) {
        const auto before = now();
        press(at);
        if (!black_box::settle(area(), before, 30)) std::cerr << "the click showed nothing within 30 s\n";
    }
    // Keys pressed one by one with the pointer resting on the dialog's backdrop (no click); each
    // waits until the client area shows what it drew (a slider's thumb, the focus moving on)
    // and comes to rest. The pointer's move first lets the screen rest, since leaving a
    // button redraws it.
    void keys(const std::vector<std::string>& names) {
        black_box::run({"xdotool", "mousemove", std::to_string(client.left + kBackdrop.x),
                        std::to_string(client.top + kBackdrop.y)});
        black_box::settle(area(), {}, 10);
        for (const std::string& name : names) {
            const auto before = now();
            black_box::run({"xdotool", "key", name});
            if (!black_box::settle(area(), before, 30)) std::cerr << "the key " << name << " showed nothing within 30 s\n";
        }
    }
    // A key that ends the dialog: the caller waits for the end.
    void last_key(const std::string& name) { black_box::run({"xdotool", "key", name}); }
    // Types into the box with the focus and waits until the box shows the text.
    void type(const std::string& text) {
        const auto before = now();
        black_box::run({"xdotool", "type", "--delay", "50", text});
        if (!black_box::settle(area(), before, 30)) std::cerr << "the typed text did not show within 30 s\n";
    }
    // Waits until the client area shows what `expected` looks for (at most 30 s; the test's
    // checks then say what is missing).
    void wait_for_screen(const std::function<bool(const std::vector<std::uint32_t>&)>& expected, const char* what) {
        if (!black_box::wait_until([&] { return expected(now()); }, 30)) std::cerr << what << " did not show within 30 s\n";
    }
    // The client area as the X server shows it now (read directly: quicker than screenshot(),
    // for the waits).
    black_box::ScreenArea area() const { return {client.left, client.top, client.width(), client.height()}; }
    std::vector<std::uint32_t> now() const { return black_box::ScreenPixels(area()); }
    // The client area as the screen shows it, 0x00RRGGBB a pixel.
    std::vector<std::uint32_t> screenshot() {
        const std::string raw = folder.file("shot.rgb");
        const std::string crop = std::to_string(client.width()) + "x" + std::to_string(client.height()) + "+" +
                                 std::to_string(client.left) + "+" + std::to_string(client.top);
        black_box::run({"import", "-window", "root", "-crop", crop, "-depth", "8", "rgb:" + raw}, 30);
        const std::string bytes = testing_support::read_bytes(raw);
        std::vector<std::uint32_t> pixels(bytes.size() / 3);
        for (std::size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = (static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[3 * i])) << 16) |
                        (static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[3 * i + 1])) << 8) |
                        static_cast<unsigned char>(bytes[3 * i + 2]);
        return pixels;
    }
    std::uint32_t at(const std::vector<std::uint32_t>& shot, int x, int y) const {
        const std::size_t i = static_cast<std::size_t>(y) * static_cast<std::size_t>(client.width()) + static_cast<std::size_t>(x);
        return i < shot.size() ? shot[i] : 0xFFFFFFFF;
    }
    // True when the 12 x 12 glyph `picture` is on the screen at client point (gx, gy).
    bool shows(const std::vector<std::uint32_t>& shot, int gx, int gy, const plat::Bitmap& picture) const {
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 12; ++x)
                if (at(shot, gx + x, gy + y) != picture.surface().row(y)[x]) return false;
        return true;
    }
    // The designed client area with the loaded glyphs of neon "on" and the audio CD: its size,
    // the backdrop's rows, the panels' texture and the glyphs, each at its designed pixel.
    void expect_design_with_neon_and_cd() {
        EXPECT_EQ(client.width(), 409);
        EXPECT_EQ(client.height(), 345);
        const auto on_glyph = plat::load_picture(plat::Picture::OptionOn);
        wait_for_screen([&](const std::vector<std::uint32_t>& now_shown) {
            return on_glyph && shows(now_shown, kNeonOnGlyph.x, kNeonOnGlyph.y, *on_glyph) &&
                   shows(now_shown, kCdOnGlyph.x, kCdOnGlyph.y, *on_glyph);
        }, "the loaded glyphs");
        const auto shot = screenshot();
        ASSERT_EQ(shot.size(), 409u * 345u);
        EXPECT_EQ(at(shot, 400, 0), 0x00001Eu);
        EXPECT_EQ(at(shot, 400, 172), 0xDCDCFAu);
        auto strip = plat::load_picture(plat::Picture::PanelTexture);
        auto on = plat::load_picture(plat::Picture::OptionOn);
        auto off = plat::load_picture(plat::Picture::OptionOff);
        ASSERT_TRUE(strip && on && off);
        for (auto [px, py, x, y] : {std::array{16, 20, 1, 1}, {16, 20, 150, 125}, {184, 20, 200, 2}, {16, 160, 370, 130}})
            EXPECT_EQ(at(shot, px + x, py + y), strip->surface().row(y % 24)[x % 394]) << px << "," << py << " +" << x << "," << y;
        auto glyph_is = [&](int gx, int gy, const plat::Bitmap& picture) { return shows(shot, gx, gy, picture); };
        EXPECT_TRUE(glyph_is(184 + 116, 20 + 100, *on));   // neon "on"
        EXPECT_TRUE(glyph_is(184 + 76, 20 + 100, *off));
        EXPECT_TRUE(glyph_is(16 + 20, 160 + 28, *on));     // the audio CD
        EXPECT_TRUE(glyph_is(16 + 20, 160 + 48, *off));
    }
    std::string ini() const { return folder.file("Zephlora.ini"); }
    std::string settings() const { return testing_support::read_bytes(ini()); }
    bool ends() { return dialog && dialog->wait(30) == 0; }

    Build build = Build::Linux;
    std::string window_id;
    testing_support::TempFolder folder;
    std::string program = folder.path();  // where the program and its pack lie
    std::unique_ptr<Child> dialog;
    plat::Rect client;
};

class DialogBlackBox : public DialogDriver, public ::testing::WithParamInterface<Build> {
protected:
    void SetUp() override {
        build = GetParam();
        DialogDriver::SetUp();
    }
};

TEST_P(DialogBlackBox, ClientAreaShowsBackdropPanelsAndLoadedGlyphs) {
    testing_support::write_bytes(ini(), "[Section]\r\n" + Key(texts::kKeyNeonEffect, "1") + Key(texts::kKeyBgmKind, "1"));
    ASSERT_TRUE(open());
    // The program's 32 x 32 icon (the Windows build's window class carries the one of its
    // resources).
    if (build == Build::Linux) {
        const std::string icon = black_box::run({"xprop", "-id", window_id, "_NET_WM_ICON"});
        EXPECT_NE(icon.find("Icon (32 x 32)"), std::string::npos) << icon.substr(0, 200);
    }
    expect_design_with_neon_and_cd();
    press(kCancel);
    EXPECT_TRUE(ends());
}

// Wine's screen resolution (LogPixels of the prefix's user) for the programs started while it
// lives; the earlier setting comes back at its end.
class WineDpi {
public:
    explicit WineDpi(int dpi) {
        const std::string before = reg({"query", kKey, "/v", "LogPixels"});
        if (const std::size_t at = before.find("0x"); at != std::string::npos)
            previous_ = std::stoi(before.substr(at + 2), nullptr, 16);
        reg({"add", kKey, "/v", "LogPixels", "/t", "REG_DWORD", "/d", std::to_string(dpi), "/f"});
    }
    ~WineDpi() {
        if (previous_)
            reg({"add", kKey, "/v", "LogPixels", "/t", "REG_DWORD", "/d", std::to_string(*previous_), "/f"});
        else
            reg({"delete", kKey, "/v", "LogPixels", "/f"});
    }
    WineDpi(const WineDpi&) = delete;
    WineDpi& operator=(const WineDpi&) = delete;

private:
    static constexpr const char* kKey = "HKCU\\Control Panel\\Desktop";
    static std::string reg(std::vector<std::string> args) {
        args.insert(args.begin(), {kSourceDir + "/scripts/wine-run.sh", "reg"});
        return black_box::run(std::move(args), 60);
    }
    std::optional<int> previous_;
};

// At 144 dpi (150 %) the Windows build shows its design whole. Wine scales no window for the
// system, so the dialog is the 96-dpi design at 1:1: its size, and the texture and glyphs at
// their designed pixels (its places had been laid out 1.5 times apart around them).
TEST_F(DialogDriver, WindowsAt144DpiShowsTheDesignWhole) {
    build = Build::Windows;
    testing_support::write_bytes(ini(), "[Section]\r\n" + Key(texts::kKeyNeonEffect, "1") + Key(texts::kKeyBgmKind, "1"));
    const WineDpi dpi(144);
    ASSERT_TRUE(open());
    expect_design_with_neon_and_cd();
    press(kCancel);
    EXPECT_TRUE(ends());
}

// Under a locale of another code page (Wine's ANSI code page 1252, as on most Windows systems)
// the Windows build's title reads in Japanese, a second start still finds the dialog and ends,
// and a track typed into the repeat box is saved under the settings file's Shift-JIS keys.
TEST_F(DialogDriver, WindowsUnderAnEnglishLocaleKeepsItsJapaneseTitle) {
    build = Build::Windows;
    const black_box::RunAs english{false, {"ZEPHLORA_WINE_LOCALE=en_US.UTF-8"}};
    ASSERT_TRUE(open(english)) << "no window titled " << kTitleUtf8;
    const std::string name = black_box::run({"xprop", "-id", window_id, "_NET_WM_NAME"});
    EXPECT_NE(name.find("= \"" + kTitleUtf8 + "\""), std::string::npos) << name;
    {
        Child second({kSourceDir + "/scripts/wine-run.sh", program + "/Zephlora.scr", "/c"}, english);
        EXPECT_EQ(second.wait(60), 0) << "a second start did not end";
    }
    press(kCdGlyph);
    press(kRepeatBox);
    type("7");
    press(kSave);
    ASSERT_TRUE(ends());
    EXPECT_TRUE(Holds(settings(), texts::kKeyBgmKind, " 1")) << settings();
    EXPECT_TRUE(Holds(settings(), texts::kKeyBgmRepeat, " 7")) << settings();
}

TEST_P(DialogBlackBox, SaveWritesTheClampedValuesAndATrackTypedForTheCd) {
    testing_support::write_bytes(ini(), "[Section]\r\n" + Key(texts::kKeyInterval, "45") + Key(texts::kKeySleep, "-3"));
    ASSERT_TRUE(open());
    select_option(kNeonOnCaption, kNeonOnGlyph, 3);  // the caption, with the right button
    select_option(kCdGlyph, kCdOnGlyph);
    click_into(kRepeatBox);
    type("7");
    select_option(kNoMusicCaption, kNoMusicGlyph);
    press(kSave);
    ASSERT_TRUE(ends());
    const std::string text = settings();
    for (auto [key, value] : {std::pair{texts::kKeyInterval, " 30"}, {texts::kKeyNeonEffect, " 1"}, {texts::kKeySleep, " 0"},
                              {texts::kKeyBgmKind, " 0"}, {texts::kKeyBgmRepeat, " 7"}, {texts::kKeyBgmFile, ""}})
        EXPECT_TRUE(Holds(text, key, value)) << black_box::hex(key) << "\n" << text;
}

TEST_P(DialogBlackBox, MusicFileWithoutAFileSavesKindTwoAndCancelWritesNothing) {
    const std::string before = "[Section]\r\n" + Key(texts::kKeyXAxis, "3") + "; kept as it is\r\n";
    testing_support::write_bytes(ini(), before);
    ASSERT_TRUE(open());
    select_option(kFileCaption, kFileGlyph);
    select_option(kNeonOnCaption, kNeonOnGlyph);
    press(kCancel);
    ASSERT_TRUE(ends());
    EXPECT_EQ(settings(), before);

    ASSERT_TRUE(open());
    select_option(kFileCaption, kFileGlyph);
    press(kSave);
    ASSERT_TRUE(ends());
    EXPECT_TRUE(Holds(settings(), texts::kKeyBgmKind, " 2")) << settings();
    EXPECT_TRUE(Holds(settings(), texts::kKeyBgmFile, "")) << settings();
}

// The keyboard alone, as on a Windows form: the focus starts on the first slider, so the arrows
// move it before any Tab or click; Tab walks to Save (past the two disabled controls) and Space
// saves. Escape with the focus on a slider closes without writing.
TEST_P(DialogBlackBox, KeyboardAloneMovesTheFirstSliderSavesWithSpaceAndEscapesFromASlider) {
    testing_support::write_bytes(ini(), "[Section]\r\n" + Key(texts::kKeyXAxis, "5"));
    ASSERT_TRUE(open());
    keys({"Right", "Tab", "Tab", "Tab", "Tab", "Tab"});
    last_key("space");
    ASSERT_TRUE(ends()) << "Space on Save did not save and close";
    EXPECT_TRUE(Holds(settings(), texts::kKeyXAxis, " 6")) << settings();
    const std::string saved = settings();
    ASSERT_TRUE(open());
    press_showing(kYSlider);  // the focus on a slider (a press without movement changes nothing)
    keys({"Left"});
    last_key("Escape");
    EXPECT_TRUE(ends()) << "Escape on a slider did not close the dialog";
    EXPECT_EQ(settings(), saved);
}

// Files named `name` under `root` (any depth).
std::vector<std::string> files_named(const std::string& root, const std::string& name) {
    std::vector<std::string> found;
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(root, ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
        if (it->path().filename() == name) found.push_back(it->path().string());
    return found;
}

// An installed copy whose folder the user cannot write: Save goes to the user's own settings
// file (%APPDATA%\Zephlora\Zephlora.ini, $XDG_CONFIG_HOME/zephlora/Zephlora.ini), nothing lands
// beside the program, and the next start shows the saved choice. Root writes anywhere, so the
// dialog runs as nobody (under Wine in a prefix of nobody's own). When the settings folder takes
// no files after all, Save says so.
TEST_P(DialogBlackBox, ReadOnlyFolderSavesToTheUsersSettingsFileAndTheNextStartShowsIt) {
    const bool as_root = ::getuid() == 0;
    testing_support::TempFolder user;
    std::filesystem::permissions(user.path(), std::filesystem::perms(0755));
    const std::string home = user.file("home");
    std::filesystem::create_directory(home);
    program = folder.file("installed");
    std::filesystem::create_directory(program);
    const std::string exe = build == Build::Windows ? "Zephlora.scr" : "zephlora";
    std::filesystem::copy_file(folder.file(exe), program + "/" + exe);
    std::filesystem::copy_file(folder.file("Zephlora.zpk"), program + "/Zephlora.zpk");
    // A file beside the program that says neon off: only the user's own file may count.
    const std::string beside = "[Section]\r\n" + Key(texts::kKeyNeonEffect, "0");
    testing_support::write_bytes(program + "/Zephlora.ini", beside);
    std::filesystem::permissions(program, std::filesystem::perms(0555));
    const auto listing = [&] {
        std::set<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(program)) names.insert(e.path().filename().string());
        return names;
    };
    const std::set<std::string> before = listing();

    black_box::RunAs as{as_root, {"HOME=" + home}};
    const std::string prefix = home + "/prefix", runtime = home + "/runtime", config = home + "/config";
    std::vector<std::string> owned{home};
    if (build == Build::Windows) {
        as.environment.push_back("ZEPHLORA_WINEPREFIX=" + prefix);
    } else {
        std::filesystem::create_directory(runtime);
        std::filesystem::create_directory(config);
        std::filesystem::permissions(runtime, std::filesystem::perms(0700));
        owned.insert(owned.end(), {runtime, config});
        as.environment.insert(as.environment.end(), {"XDG_RUNTIME_DIR=" + runtime, "XDG_CONFIG_HOME=" + config});
    }
    if (as_root) {
        for (const std::string& f : owned) ASSERT_EQ(::chown(f.c_str(), 65534, 65534), 0) << f;
    }
    // Nobody's Wine server goes with the test, whatever its outcome.
    struct Cleanup {
        std::function<void()> run;
        ~Cleanup() { run(); }
    } cleanup{[&] {
        dialog.reset();
        if (build == Build::Windows) {
            Child k({"bash", "-c", ". '" + kSourceDir + "/scripts/wine-env.sh'; wineserver -k; wineserver -w"}, as);
            k.wait(30);
        }
        std::filesystem::permissions(program, std::filesystem::perms(0755));
    }};

    ASSERT_TRUE(open(as)) << "the dialog did not open";
    select_option(kNeonOnCaption, kNeonOnGlyph);
    press(kSave);
    ASSERT_TRUE(ends());
    EXPECT_EQ(listing(), before) << "a file was written beside the program";
    EXPECT_EQ(testing_support::read_bytes(program + "/Zephlora.ini"), beside);
    const std::vector<std::string> saved =
        build == Build::Windows ? files_named(prefix + "/drive_c/users", "Zephlora.ini")
                                : files_named(config, "Zephlora.ini");
    ASSERT_EQ(saved.size(), 1u) << "no settings file of the user's own";
    EXPECT_TRUE(saved[0].ends_with(build == Build::Windows ? "/AppData/Roaming/Zephlora/Zephlora.ini"
                                                          : "/config/zephlora/Zephlora.ini")) << saved[0];
    EXPECT_TRUE(Holds(testing_support::read_bytes(saved[0]), texts::kKeyNeonEffect, " 1"))
        << testing_support::read_bytes(saved[0]);

    // The next start reads it back: neon shows "on".
    dialog.reset();
    ASSERT_TRUE(open(as)) << "the dialog did not open again";
    auto on = plat::load_picture(plat::Picture::OptionOn);
    wait_for_screen([&](const std::vector<std::uint32_t>& now_shown) {
        return on && shows(now_shown, kNeonOnGlyph.x, kNeonOnGlyph.y, *on);
    }, "the saved neon choice");
    const auto shot = screenshot();
    auto off = plat::load_picture(plat::Picture::OptionOff);
    ASSERT_TRUE(on && off);
    EXPECT_TRUE(shows(shot, 184 + 116, 20 + 100, *on));
    EXPECT_TRUE(shows(shot, 184 + 76, 20 + 100, *off));
    press(kCancel);
    EXPECT_TRUE(ends());
    EXPECT_EQ(listing(), before);
    // The members of the dialog's start lie in the user's temporary folder.
    const std::string temporary = build == Build::Windows ? prefix + "/drive_c/users" : runtime;
    EXPECT_EQ(files_named(temporary, "Zephlora001.zpk").size(), 1u);

    // A settings file that cannot be written (read-only, in a folder that still takes files:
    // a rename there would replace it all the same): Save says so over the dialog and still
    // closes it, and the file keeps what it held.
    const std::string kept = testing_support::read_bytes(saved[0]);
    const std::filesystem::path settings_folder = std::filesystem::path(saved[0]).parent_path();
    std::filesystem::permissions(saved[0], std::filesystem::perms(0444));
    dialog.reset();
    ASSERT_TRUE(open(as)) << "the dialog did not open a third time";
    select_option(kCdGlyph, kCdOnGlyph);  // a change: a value the file holds already needs no writing
    press(kSave);
    const auto message = black_box::wait_for_window(std::string(texts::kMessageTitle), 30);
    EXPECT_TRUE(message) << "no word that the settings were not saved";
    if (message) {
        black_box::wait_viewable(*message, 10);
        black_box::run({"xdotool", "windowfocus", "--sync", *message, "key", "Return"});
    }
    EXPECT_TRUE(ends());
    EXPECT_EQ(std::filesystem::status(saved[0]).permissions() & std::filesystem::perms::all, std::filesystem::perms(0444))
        << "the read-only file was replaced";
    std::filesystem::permissions(saved[0], std::filesystem::perms(0644));
    EXPECT_EQ(testing_support::read_bytes(saved[0]), kept);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(settings_folder), {}), 1) << "a temporary was left";
    EXPECT_EQ(listing(), before);
}

// A full disk under the settings file: Save cannot write it, says so, and the file keeps every
// byte. The program's folder is a small tmpfs of the test's own, filled once the dialog is up;
// the settings file is a byte short of filling its page, so a rewrite in place that adds a key
// needs a page the disk no longer has (the Windows build had let the system's writer truncate
// and rewrite the file there, which cut it and reported success).
TEST_P(DialogBlackBox, AFullDiskKeepsEveryByteOfTheSettingsFileAndSaysSo) {
    const std::string disk = folder.file("disk");
    std::filesystem::create_directory(disk);
    const std::string exe = build == Build::Windows ? "Zephlora.scr" : "zephlora";
    const std::uintmax_t size = std::filesystem::file_size(folder.file(exe)) + (1u << 20);
    Child mount({"mount", "-t", "tmpfs", "-o", "size=" + std::to_string(size) + ",mode=0755", "tmpfs", disk});
    if (mount.wait(30) != 0) GTEST_SKIP() << "cannot mount a small disk here (needs root)";
    struct Unmount {
        std::function<void()> run;
        ~Unmount() { run(); }
    } unmount{[&] {
        dialog.reset();
        black_box::run({"bash", "-c", ". '" + kSourceDir + "/scripts/wine-env.sh'; wineserver -w"}, 30);
        black_box::run({"umount", "-l", disk}, 30);
    }};
    program = disk;
    std::filesystem::copy_file(folder.file(exe), disk + "/" + exe);
    std::filesystem::copy_file(folder.file("Zephlora.zpk"), disk + "/Zephlora.zpk");
    std::string before = "[Section]\r\n" + Key(texts::kKeyNeonEffect, "0") + "[Other]\r\nfiller=";
    before += std::string(4095 - before.size() - 2, 'a') + "\r\n";
    testing_support::write_bytes(disk + "/Zephlora.ini", before);

    ASSERT_TRUE(open()) << "the dialog did not open";
    {
        const int fd = ::open((disk + "/filler").c_str(), O_WRONLY | O_CREAT, 0644);
        ASSERT_GE(fd, 0);
        const std::string block(4096, 'f');
        while (::write(fd, block.data(), block.size()) > 0) {
        }
        ::close(fd);
    }
    select_option(kCdGlyph, kCdOnGlyph);
    press(kSave);
    const auto message = black_box::wait_for_window(std::string(texts::kMessageTitle), 30);
    EXPECT_TRUE(message) << "no word that the settings were not saved";
    if (message) {
        black_box::wait_viewable(*message, 10);
        black_box::run({"xdotool", "windowfocus", "--sync", *message, "key", "Return"});
    }
    EXPECT_TRUE(ends());
    EXPECT_EQ(testing_support::read_bytes(disk + "/Zephlora.ini"), before);
    for (const auto& entry : std::filesystem::directory_iterator(disk))
        EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
}

// The link opens the program's own page, shipped beside it, with the desktop's browser: here a
// stand-in xdg-open that notes what it was asked to open.
TEST_F(DialogDriver, LinkOpensTheShippedPageInTheBrowser) {
    const std::string bin = folder.file("bin"), opened = folder.file("opened.txt");
    std::filesystem::create_directory(bin);
    testing_support::write_bytes(bin + "/xdg-open", "#!/bin/sh\necho \"$@\" >> '" + opened + "'\n");
    std::filesystem::permissions(bin + "/xdg-open", std::filesystem::perms(0755));
    ASSERT_TRUE(open({false, {"PATH=" + bin + ":" + black_box::env("PATH")}}));
    press(kLink);
    black_box::wait_until([&] { return testing_support::exists(opened); }, 30);
    const std::string asked = testing_support::read_bytes(opened);
    EXPECT_NE(asked.find("file://" + folder.file("Zephlora.html")), std::string::npos) << asked;
    press(kCancel);
    EXPECT_TRUE(ends());
    EXPECT_FALSE(testing_support::exists(ini()));
}

// The Linux build's file chooser, used with the mouse: "..." is pressed and released (the
// release lands on the chooser), and the dialog takes clicks again afterwards. A file whose
// name has no Shift-JIS form is refused with a message and the earlier choice stays; Save
// keeps the file chosen after it. SIGTERM ends the dialog while the chooser is up.
TEST_F(DialogDriver, LinuxFileChooserGivesTheDialogBackAndRefusesUnusableNames) {
    build = Build::Linux;
    const std::string song = folder.file("song.wav"), unusable = folder.file("caf\xC3\xA9.wav");
    testing_support::write_bytes(song, "RIFF");
    testing_support::write_bytes(unusable, "RIFF");
    const std::string old = folder.file("old.wav");
    testing_support::write_bytes(old, "RIFF");
    testing_support::write_bytes(ini(), "[Section]\r\n" + Key(texts::kKeyBgmKind, "2") + Key(texts::kKeyBgmFile, old));
    const std::string chooser_title = plat::cp932_to_utf8(texts::kMusicFileTitle);
    const auto choose = [&](const std::string& path) {
        press(kFileButton);
        const auto chooser = black_box::wait_for_window(chooser_title, 30);
        if (!chooser || !black_box::wait_viewable(*chooser, 20)) return false;
        // The chooser takes typing once it has drawn itself and come to rest. Enter follows the
        // path at once: the X server hands the keys on in order, and a pause would give the
        // location bar's completion list time to open and take the Enter.
        const black_box::ScreenArea area = black_box::WindowArea(std::stoul(*chooser));
        black_box::settle(area, {}, 30, 5);
        black_box::run({"xdotool", "windowfocus", "--sync", *chooser});
        black_box::run({"xdotool", "type", "--delay", "40", path});
        black_box::run({"xdotool", "key", "Return"});
        return black_box::wait_until([&] { return !black_box::find_window(chooser_title); }, 20, 100);
    };
    ASSERT_TRUE(open());
    ASSERT_TRUE(choose(unusable)) << "the chooser did not come or go";
    const auto message = black_box::wait_for_window(std::string(texts::kMessageTitle), 30);
    ASSERT_TRUE(message) << "no word that the name cannot be used";
    black_box::wait_viewable(*message, 10);
    black_box::run({"xdotool", "windowfocus", "--sync", *message, "key", "Return"});
    black_box::wait_until([&] { return !black_box::find_window(std::string(texts::kMessageTitle)); }, 5, 100);
    ASSERT_TRUE(choose(song)) << "the chooser did not come again (the dialog kept no clicks)";
    press(kSave);
    ASSERT_TRUE(ends()) << "Save did not close the dialog";
    EXPECT_TRUE(Holds(settings(), texts::kKeyBgmFile, song)) << settings();

    ASSERT_TRUE(open());
    press(kFileButton);
    const auto chooser = black_box::wait_for_window(chooser_title, 30);
    ASSERT_TRUE(chooser);
    dialog->signal(SIGTERM);
    EXPECT_EQ(dialog->wait(5), 0) << "SIGTERM while the chooser is up";
}

// The two builds draw the same dialog: every pixel is the same but for text (the captions,
// the labels with the room they may grow into, and the repeat box, which is the system's own
// on Windows).
TEST_F(DialogDriver, BothBuildsShowTheSamePixelsOutsideText) {
    testing_support::write_bytes(ini(), "[Section]\r\n" + Key(texts::kKeyBgmKind, "2") + Key(texts::kKeyNeonEffect, "1"));
    std::vector<std::uint32_t> shots[2];
    for (Build b : {Build::Linux, Build::Windows}) {
        build = b;
        ASSERT_TRUE(open());
        const auto on = plat::load_picture(plat::Picture::OptionOn);
        wait_for_screen([&](const std::vector<std::uint32_t>& now_shown) {
            return on && shows(now_shown, kNeonOnGlyph.x, kNeonOnGlyph.y, *on);
        }, "the loaded neon choice");
        shots[static_cast<int>(b)] = screenshot();
        press(kCancel);
        ASSERT_TRUE(ends());
        dialog.reset();
    }
    ASSERT_EQ(shots[0].size(), 409u * 345u);
    ASSERT_EQ(shots[1].size(), shots[0].size());
    std::vector<plat::Rect> text;
    const controls::LayoutNode* root = settings_dialog::DialogLayout();
    ASSERT_TRUE(root);
    const auto collect = [&](const controls::LayoutNode& container, plat::Point origin, auto&& self) -> void {
        for (const controls::LayoutNode& n : container.children) {
            plat::Rect r = settings_dialog::PixelRect(n, {15, 15});
            plat::offset_rect(r, origin.x, origin.y);
            if (n.kind == "Label") {
                // The room on the side it grows to: right when left-aligned (0), left when
                // right-aligned (1), both when centred.
                plat::Rect room = settings_dialog::LabelRoom(container, n, {15, 15});
                plat::offset_rect(room, origin.x, origin.y);
                const int align = n.properties.read_int("Alignment", 0);
                text.push_back({align == 0 ? r.left : room.left, r.top, align == 1 ? r.right : room.right, r.bottom});
            }
            // The system sizes its combo box's field by the font: a row or two more on Windows.
            if (n.kind == "ComboBox") text.push_back({r.left, r.top, r.right, r.bottom + 2});
            if (n.kind == "StyledButton") text.push_back({r.left + 3, r.top + 3, r.right - 3, r.bottom - 3});
            if (n.kind == "PictureBox") self(n, {r.left, r.top}, self);
        }
    };
    collect(*root, {0, 0}, collect);
    int compared = 0, different = 0;
    for (int y = 0; y < 345; ++y)
        for (int x = 0; x < 409; ++x) {
            bool in_text = false;
            for (const plat::Rect& r : text) in_text |= x >= r.left && x < r.right && y >= r.top && y < r.bottom;
            if (in_text) continue;
            ++compared;
            const std::size_t i = static_cast<std::size_t>(y) * 409 + static_cast<std::size_t>(x);
            if (shots[0][i] != shots[1][i] && different++ < 5)
                ADD_FAILURE() << "(" << x << ", " << y << "): " << std::hex << shots[0][i] << " vs " << shots[1][i];
        }
    EXPECT_EQ(different, 0) << "of " << compared;
    EXPECT_GT(compared, 90000);  // two thirds of the client area: all but the texts and their rooms
}

INSTANTIATE_TEST_SUITE_P(Builds, DialogBlackBox, ::testing::Values(Build::Linux, Build::Windows),
                         [](const auto& info) { return info.param == Build::Linux ? "Linux" : "Windows"; });

}  // namespace
