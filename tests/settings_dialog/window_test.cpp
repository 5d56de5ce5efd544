// The dialog's window on the scripted machine, driven as a user would: presses on glyphs,
// captions and buttons, typing, Tab; what the screen shows and what is written.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "common/texts.h"
#include "platform/controls.h"
#include "platform/keys.h"
#include "platform/pictures.h"
#include "platform/scripted/control.h"
#include "settings_dialog/dialog_layout.h"
#include "settings_dialog/settings_dialog.h"
#include "shell/process_state.h"
#include "shell/saver_main.h"
#include "shell/settings_store.h"
#include "tests/settings_dialog/dialog_fixture.h"
#include "tests/support/temp_folder.h"

namespace {

namespace scripted = plat::scripted;

// Client points of the controls (their centres, roughly).
constexpr plat::Point kNeonOn{306, 126}, kNeonOnCaption{321, 126}, kCdGlyph{42, 194}, kNoMusicCaption{62, 214},
    kFileCaption{62, 234}, kRepeatBox{125, 194}, kFileButton{134, 232}, kSave{356, 316}, kCancel{280, 316},
    kLink{40, 322}, kYSlider{296, 78};

class DialogWindow : public ::testing::Test {
protected:
    void SetUp() override { scripted::reset(); }

    plat::WindowHandle dialog() const {
        const auto* w = scripted::find_by_title(texts::kTitleDialog);
        return w ? w->handle : plat::WindowHandle::None;
    }

    // Runs the dialog; at pump n the n-th step runs (after the first pump); the dialog is
    // closed by the system when the steps run out and it is still open.
    void run(std::vector<std::function<void()>> steps) {
        scripted::set_pump_budget(500);
        const std::uint64_t base = scripted::pump_count();
        scripted::on_pump([this, steps, base](std::uint64_t pump) {
            if (pump < base + 2 || dialog() == plat::WindowHandle::None) return;
            const std::size_t i = pump - base - 2;
            if (i < steps.size()) steps[i]();
            else if (i == steps.size()) scripted::queue_close(dialog());
        });
        settings_dialog::ShowSettingsDialog(world.host);
    }
    static std::function<void()> press(plat::Point at, int button = 1) {
        return [at, button] {
            scripted::queue_mouse_down(button, at);
            scripted::queue_mouse_up(button, at);
        };
    }
    static std::function<void()> key(int virtual_key) {
        return [virtual_key] {
            scripted::queue_key(virtual_key);
            scripted::queue_key_up(virtual_key);
        };
    }
    static std::function<void()> type(std::string text) {
        return [text] {
            for (char c : text) scripted::queue_char(static_cast<unsigned char>(c));
        };
    }

    DialogWorld world;
};

TEST_F(DialogWindow, ClientAreaIsTheBackdropPlacedAThirdDown) {
    scripted::set_screen(1920, 1080);
    plat::Rect rect;
    plat::Point origin;
    std::unique_ptr<plat::Bitmap> shot;
    run({[&] {
        plat::get_window_rect(dialog(), rect);
        plat::client_to_screen(dialog(), origin);
        shot = scripted::compose(dialog());
    }});
    EXPECT_EQ(rect.width(), 409);
    EXPECT_EQ(rect.height(), 345);
    EXPECT_EQ(rect.left, (1920 - 409) / 2);
    EXPECT_EQ(rect.top, (1080 - 345) / 3);
    ASSERT_TRUE(shot);
    EXPECT_EQ(shot->width(), 409);
    EXPECT_EQ(shot->height(), 345);
    EXPECT_EQ(world.zooms, (std::vector<std::string>{"open", "close"}));
}

TEST_F(DialogWindow, ScreenShowsBackdropTexturedPanelsAndTheLoadedGlyphs) {
    world.settings.NeonEffect = 1;
    world.settings.BgmKind = 2;
    std::unique_ptr<plat::Bitmap> shot;
    run({[&] { shot = scripted::compose(dialog()); }});
    ASSERT_TRUE(shot);
    const plat::Surface s = shot->surface();
    EXPECT_EQ(s.row(0)[400], 0x00001Eu);    // RGB(0, 0, 30) where no panel covers the top row
    EXPECT_EQ(s.row(172)[400], 0xDCDCFAu);  // RGB(220, 220, 250) at mid-height
    auto strip = plat::load_picture(plat::Picture::PanelTexture);
    auto on = plat::load_picture(plat::Picture::OptionOn);
    auto off = plat::load_picture(plat::Picture::OptionOff);
    ASSERT_TRUE(strip && on && off);
    const plat::Surface t = strip->surface();
    // Panel corners and open places show the strip as the tiling placed it.
    for (auto [px, py, x, y] : {std::array{16, 20, 1, 1}, {16, 20, 150, 125}, {184, 20, 200, 2}, {16, 160, 370, 130}})
        EXPECT_EQ(s.row(py + y)[px + x], t.row(y % 24)[x % 394]) << px << "," << py << " +" << x << "," << y;
    // The glyphs are copies of the option pictures: neon "on" selected, the music file chosen.
    auto glyph_is = [&](int gx, int gy, const plat::Bitmap& picture) {
        const plat::Surface g = picture.surface();
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 12; ++x)
                if (s.row(gy + y)[gx + x] != g.row(y)[x]) return false;
        return true;
    };
    EXPECT_TRUE(glyph_is(184 + 116, 20 + 100, *on));
    EXPECT_TRUE(glyph_is(184 + 76, 20 + 100, *off));
    EXPECT_TRUE(glyph_is(16 + 20, 160 + 68, *on));
    EXPECT_TRUE(glyph_is(16 + 20, 160 + 28, *off));
}

TEST_F(DialogWindow, CaptionSelectsLikeItsGlyphWithAnyButton) {
    run({press(kNeonOnCaption, 2), press(kSave)});
    EXPECT_EQ(world.settings.NeonEffect, 1);
    EXPECT_EQ(world.written(texts::kKeyNeonEffect), " 1");
    world.writes.clear();
    world.settings.NeonEffect = 0;
    run({press(kNeonOn, 4), press(kSave, 2)});
    EXPECT_EQ(world.written(texts::kKeyNeonEffect), " 1");
}

TEST_F(DialogWindow, TrackTypedForTheCdSurvivesChoosingNoMusic) {
    run({press(kCdGlyph), press(kRepeatBox), type("7"), press(kNoMusicCaption), press(kSave)});
    EXPECT_EQ(world.written(texts::kKeyBgmRepeat), " 7");
    EXPECT_EQ(world.written(texts::kKeyBgmKind), " 0");
}

TEST_F(DialogWindow, RepeatTextsSaveAsTrackNumbers) {
    for (auto [text, want] : {std::pair{"abc", " 0"}, {"2.5", " 2"}, {"3.5", " 4"}, {"-2", "-2"}, {"99999", " 0"}}) {
        world.writes.clear();
        world.settings.BgmKind = 1;
        world.settings.BgmRepeat = 0;  // an empty box to type into
        run({press(kRepeatBox), type(text), press(kSave)});
        EXPECT_EQ(world.written(texts::kKeyBgmRepeat), want) << text;
    }
}

TEST_F(DialogWindow, FileOptionWithoutAFileSavesKindTwoAndNoFile) {
    run({press(kFileCaption), press(kSave)});
    EXPECT_EQ(world.written(texts::kKeyBgmKind), " 2");
    EXPECT_EQ(world.written(texts::kKeyBgmFile), "");
    EXPECT_EQ(world.writes.size(), 9u);
}

TEST_F(DialogWindow, FileButtonAsksWithTheDialogAsOwnerAndCancelWritesNothing) {
    world.next_choice = "C:\\\x89\xB9\x8A\x79\\song.mp3";  // a folder named 音楽
    plat::WindowHandle owner{};
    run({press(kFileButton), press(kFileCaption), press(kFileButton), [&] { owner = dialog(); }, press(kCancel)});
    ASSERT_EQ(world.requests.size(), 1u);  // the first press hit the disabled button
    EXPECT_EQ(world.requests[0].owner, owner);
    EXPECT_EQ(world.settings.BgmFile, "C:\\\x89\xB9\x8A\x79\\song.mp3");
    EXPECT_TRUE(world.writes.empty());
}

TEST_F(DialogWindow, TabWalksTheControlsInTheirOrder) {
    world.settings.BgmKind = 1;  // the repeat box takes the focus; the file button is disabled
    std::vector<plat::Point> stops;
    const auto note = [&] {
        plat::Rect r;
        plat::Point origin;
        plat::client_to_screen(dialog(), origin);
        plat::get_window_rect(plat::get_focus(), r);
        stops.push_back({r.left - origin.x, r.top - origin.y});
    };
    std::vector<std::function<void()>> steps{note};  // the focus starts on the first stop
    for (int i = 0; i < 8; ++i) {
        steps.push_back([] { scripted::queue_key(9); });
        steps.push_back(note);
    }
    run(steps);
    const std::vector<plat::Point> want = {{248, 44}, {248, 68}, {248, 92}, {52, 48}, {120, 184},
                                           {52, 104}, {320, 304}, {244, 304}, {248, 44}};
    EXPECT_EQ(stops, want);
}

// The fonts found here are not the designed one (IPA P Gothic stands in for MS P Gothic, and
// is wider): every caption and value still shows whole, and no label covers another control
// that it did not touch as designed.
TEST_F(DialogWindow, EveryCaptionShowsWholeAndCoversNoOtherControl) {
    world.settings.Interval = 30;  // the widest values
    world.settings.Sleep = 0;
    world.settings.XAxis = world.settings.YAxis = world.settings.ZAxis = 10;
    int labels = 0;
    run({[&] {
        plat::Point origin;
        plat::client_to_screen(dialog(), origin);
        // The backdrop and the three panels, each with its place in the client area.
        std::vector<std::pair<const controls::LayoutNode*, plat::Point>> containers{
            {settings_dialog::FindControl("Pic_C"), {0, 0}}};
        for (int p = 0; p < 3; ++p) {
            const controls::LayoutNode* panel = settings_dialog::FindControl("Pic_D", p);
            ASSERT_TRUE(panel);
            const plat::Rect r = settings_dialog::PixelRect(*panel, {15, 15});
            containers.push_back({panel, {r.left, r.top}});
        }
        for (const auto& [container, at] : containers) {
            ASSERT_TRUE(container);
            std::vector<std::pair<plat::Rect, plat::Rect>> placed;  // as designed, as shown
            std::vector<std::string> names;
            for (const controls::LayoutNode& n : container->children) {
                plat::Rect design = settings_dialog::PixelRect(n, {15, 15});
                plat::offset_rect(design, at.x, at.y);
                plat::Rect shown = design;
                if (n.kind == "Label" && !n.properties.read_bool("WordWrap", false)) {
                    const plat::WindowHandle label = plat::window_from_point(
                        {origin.x + (design.left + design.right) / 2, origin.y + (design.top + design.bottom) / 2});
                    ASSERT_FALSE(plat::label_text(label).empty()) << n.name;
                    plat::get_window_rect(label, shown);
                    plat::offset_rect(shown, -origin.x, -origin.y);
                    EXPECT_GE(shown.width(), plat::label_text_width(label)) << n.name << " is cut";
                    ++labels;
                }
                placed.emplace_back(design, shown);
                names.push_back(n.name + (n.index ? "(" + std::to_string(*n.index) + ")" : ""));
            }
            const auto meet = [](const plat::Rect& a, const plat::Rect& b) {
                return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
            };
            for (std::size_t i = 0; i < placed.size(); ++i)
                for (std::size_t j = 0; j < placed.size(); ++j) {
                    if (i == j || meet(placed[i].first, placed[j].first)) continue;  // they meet as designed
                    EXPECT_FALSE(meet(placed[i].second, placed[j].second)) << names[i] << " over " << names[j];
                }
        }
    }});
    EXPECT_EQ(labels, 23);
}

// The keyboard alone: the focus starts on the first slider (HSx), so Right moves it at once;
// Tab walks to Save past the two disabled controls, and Space on it saves. The focus that the
// system gives the dialog window itself (as Windows does when it activates it) goes on to HSx.
TEST_F(DialogWindow, ArrowsMoveTheFirstSliderAtOnceAndSpaceOnSaveSaves) {
    std::vector<std::function<void()>> steps{[this] { plat::set_focus(dialog()); }, key(plat::kVkRight)};
    for (int i = 0; i < 5; ++i) steps.push_back(key(plat::kVkTab));
    steps.push_back(key(plat::kVkSpace));
    run(steps);
    EXPECT_EQ(world.written(texts::kKeyXAxis), " 6");
    EXPECT_EQ(world.writes.size(), 9u);
}

// Escape is Cancel wherever the focus is: on a slider, in the repeat box. Save pressed after
// it finds no dialog to save from.
TEST_F(DialogWindow, EscapeOnASliderOrInTheRepeatBoxClosesWithoutWriting) {
    run({press(kYSlider), key(plat::kVkLeft), key(plat::kVkEscape), press(kSave)});
    EXPECT_TRUE(world.writes.empty());
    EXPECT_EQ(world.zooms, (std::vector<std::string>{"open", "close"}));
    world.settings.BgmKind = 1;
    run({press(kRepeatBox), type("7"), key(plat::kVkEscape), press(kSave)});
    EXPECT_TRUE(world.writes.empty());
}

TEST_F(DialogWindow, LinkOpensThePageAndEveryCloseZoomsShut) {
    run({press(kLink)});
    EXPECT_EQ(world.pages, std::vector<std::string>{"/opt/zephlora/Zephlora.html"});
    EXPECT_TRUE(world.writes.empty());
    EXPECT_EQ(world.zooms.back(), "close");
}

// Configure mode as a whole: the settings file beside the program.
class ConfigureMode : public ::testing::Test {
protected:
    void SetUp() override {
        scripted::reset();
        shell::ResetProcessState();
        scripted::set_program_folder(folder.path());
        testing_support::write_bytes(folder.file("Zephlora.zpk"), testing_support::make_pack(36191));
    }
    void start(std::vector<std::function<void()>> steps) {
        scripted::set_pump_budget(500);
        scripted::on_pump([steps](std::uint64_t pump) {
            if (pump >= 2 && pump - 2 < steps.size()) steps[pump - 2]();
        });
        plat::set_command_line("/c");
        try {
            shell::SaverMain();
        } catch (const plat::ProcessExit&) {
        }
    }
    testing_support::TempFolder folder;
};

TEST_F(ConfigureMode, SaveWritesTheClampedValuesBack) {
    const std::string ini = folder.file("Zephlora.ini");
    testing_support::write_bytes(ini, "[Section]\r\n" + std::string(texts::kKeyInterval) + "=45\r\nSleep=-3\r\n");
    start({[] { scripted::queue_mouse_down(1, kSave); }});
    const std::string text = testing_support::read_bytes(ini);
    EXPECT_NE(text.find(std::string(texts::kKeyInterval) + "= 30\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Sleep= 0\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find(std::string(texts::kKeyBgmRepeat) + "= 0\r\n"), std::string::npos) << text;
}

TEST_F(ConfigureMode, MusicFileWhoseNameEndsInABlankComesBackAtTheNextStart) {
    const std::string song = folder.file("song.wav ");
    testing_support::write_bytes(song, "RIFF");
    scripted::queue_file_answer(song);
    auto click = [](plat::Point at) {
        return [at] {
            scripted::queue_mouse_down(1, at);
            scripted::queue_mouse_up(1, at);
        };
    };
    start({click(kFileCaption), click(kFileButton), click(kSave)});
    // The next start reads what was saved.
    shell::ResetProcessState();
    shell::LoadSettings();
    EXPECT_EQ(shell::SaverSettings.BgmFile, song) << testing_support::read_bytes(folder.file("Zephlora.ini"));
    EXPECT_EQ(shell::SaverSettings.BgmKind, 2);
}

TEST_F(ConfigureMode, CancelAfterChangingEverythingLeavesTheFileAsItWas) {
    const std::string ini = folder.file("Zephlora.ini");
    const std::string before = "[Section]\r\n" + std::string(texts::kKeyXAxis) + "=3\r\n; a comment\r\n";
    testing_support::write_bytes(ini, before);
    auto click = [](plat::Point at) {
        return [at] {
            scripted::queue_mouse_down(1, at);
            scripted::queue_mouse_up(1, at);
        };
    };
    start({click(kNeonOn), click(kCdGlyph), click(kRepeatBox), [] { scripted::queue_char('5'); },
           [] { scripted::queue_key(9); }, [] { scripted::queue_key(39); }, click(kCancel)});
    EXPECT_EQ(testing_support::read_bytes(ini), before);
    EXPECT_EQ(shell::SaverSettings.NeonEffect, 1);  // changed in place, never written
}

}  // namespace
