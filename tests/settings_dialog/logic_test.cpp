// The dialog's logic over a plain view that records what the controls show.
#include <gtest/gtest.h>

#include <array>
#include <map>

#include "common/texts.h"
#include "platform/scripted/control.h"
#include "settings_dialog/dialog_layout.h"
#include "tests/settings_dialog/dialog_fixture.h"

namespace {

using settings_dialog::GlyphGroup;
using settings_dialog::LabelId;
using settings_dialog::SliderId;
using settings_dialog::Switchable;

// Sliders clamp to the bounds of the layout description and raise Change like the real ones.
class RecordingView : public settings_dialog::DialogView {
public:
    settings_dialog::DialogLogic* logic = nullptr;
    std::array<std::int32_t, 5> values{};
    std::map<LabelId, std::string> labels;
    std::map<std::pair<GlyphGroup, int>, bool> glyphs;
    std::map<Switchable, bool> enabled;
    std::string repeat;
    std::vector<std::string> entries;
    std::vector<std::string> calls;
    bool closed = false;

    bool shown(GlyphGroup group, int index) const { return glyphs.count({group, index}) > 0; }
    bool glyph(GlyphGroup group, int index) const { return shown(group, index) && glyphs.at({group, index}); }

    plat::WindowHandle window() const override { return static_cast<plat::WindowHandle>(5); }
    void set_slider_value(SliderId slider, std::int32_t value) override {
        static constexpr const char* kNames[] = {"HSInterval", "HSSleep", "HSx", "HSy", "HSz"};
        const auto& p = settings_dialog::FindControl(kNames[static_cast<int>(slider)])->properties;
        values[static_cast<int>(slider)] = std::clamp(value, p.read_int("Min", 0), p.read_int("Max", 0));
        calls.push_back(std::string("slider ") + kNames[static_cast<int>(slider)]);
        logic->SliderChanged(slider);
    }
    std::int32_t slider_value(SliderId slider) const override { return values[static_cast<int>(slider)]; }
    void set_label_text(LabelId label, std::string_view text) override { labels[label] = std::string(text); }
    void show_glyph(GlyphGroup group, int index, bool selected) override {
        glyphs[{group, index}] = selected;
        calls.push_back((group == GlyphGroup::Neon ? "neon " : "music ") + std::to_string(index) + (selected ? " on" : " off"));
    }
    void enable(Switchable control, bool on) override {
        enabled[control] = on;
        calls.push_back((control == Switchable::FileButton ? "file " : "repeat ") + std::string(on ? "on" : "off"));
    }
    std::string repeat_text() const override { return repeat; }
    void set_repeat_text(std::string_view text) override { repeat = std::string(text); }
    void add_repeat_entry(std::string_view text) override { entries.emplace_back(text); }
    void tile_panel(int index) override { calls.push_back("tile " + std::to_string(index)); }
    void close() override { closed = true; }
};

class Logic : public ::testing::Test {
protected:
    void SetUp() override {
        plat::scripted::reset();
        view.logic = &logic;
    }
    std::string label(LabelId id) { return view.labels[id]; }

    DialogWorld world;
    RecordingView view;
    settings_dialog::DialogLogic logic{world.host, view};
};

TEST_F(Logic, LoadRunsItsStepsInOrderAndLabelsShowTheClampedValues) {
    world.settings.Interval = 45;
    world.settings.Sleep = -3;
    world.settings.NeonEffect = 1;
    world.settings.BgmKind = 1;
    world.settings.XAxis = 12;
    plat::scripted::set_cursor_pos(plat::Point{70000, -5});
    logic.Load();
    const std::vector<std::string> want = {
        "tile 0", "tile 1", "tile 2", "music 0 off", "music 1 off", "music 2 off", "slider HSInterval",
        "neon 1 on", "neon 0 off", "slider HSx", "slider HSy", "slider HSz", "slider HSSleep",
        "file off", "repeat off", "music 1 on", "repeat on"};
    EXPECT_EQ(view.calls, want);
    EXPECT_EQ(label(LabelId::Interval), "30" + std::string(texts::kSecondsUnit));
    EXPECT_EQ(label(LabelId::Sleep), "100");
    EXPECT_EQ(label(LabelId::XAxis), "10");
    EXPECT_EQ(label(LabelId::YAxis), "5");
    EXPECT_EQ(view.repeat, "");  // BgmRepeat 0 shows as the empty text
    ASSERT_EQ(view.entries.size(), 31u);
    EXPECT_EQ(view.entries[0], "");
    EXPECT_EQ(view.entries[1], "1");
    EXPECT_EQ(view.entries[30], "30");
    EXPECT_EQ(label(LabelId::Link), "Zephlora.html");  // the page's name, not its folder
    // The zoom origin is the cursor's position as two 16-bit values, and the zoom runs last.
    EXPECT_EQ(world.zoom_x, static_cast<std::int16_t>(70000));
    EXPECT_EQ(world.zoom_y, -5);
    EXPECT_EQ(world.zooms, std::vector<std::string>{"open"});
}

TEST_F(Logic, OutOfRangeChoicesNameNoGlyphAndAnUnreadableCursorZoomsFromTheCorner) {
    world.settings.NeonEffect = 2;
    world.settings.BgmKind = 5;
    world.settings.BgmRepeat = 7;
    world.settings.BgmFile = "C:\\x.mp3";
    world.zoom_x = world.zoom_y = 9;
    plat::scripted::set_cursor_pos(std::nullopt);
    logic.Load();
    EXPECT_FALSE(view.shown(GlyphGroup::Neon, 0));
    EXPECT_FALSE(view.shown(GlyphGroup::Neon, 1));
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(view.glyph(GlyphGroup::Music, i)) << i;
    EXPECT_FALSE(view.enabled[Switchable::FileButton]);
    EXPECT_FALSE(view.enabled[Switchable::RepeatBox]);
    EXPECT_EQ(view.repeat, "7");
    EXPECT_EQ(label(LabelId::FileName), "C:\\x.mp3");
    EXPECT_EQ(world.zoom_x, 0);
    EXPECT_EQ(world.zoom_y, 0);
}

TEST_F(Logic, SaveWritesTheNineKeysInOrderWithTheSignPositionAndCloses) {
    world.settings.Interval = 45;
    world.settings.Sleep = -3;
    world.settings.BgmFile = "C:\\a.mp3";
    logic.Load();
    view.repeat = "-2";
    // The closing zoom runs from the window while it is still there, once.
    world.host.zoom_close = [&](plat::WindowHandle) { world.zooms.push_back(view.closed ? "after close" : "close"); };
    logic.Save();
    const std::vector<std::pair<std::string, std::string>> want = {
        {std::string(texts::kKeyInterval), " 30"}, {std::string(texts::kKeyNeonEffect), " 0"},
        {std::string(texts::kKeyXAxis), " 5"},     {std::string(texts::kKeyYAxis), " 5"},
        {std::string(texts::kKeyZAxis), " 5"},     {std::string(texts::kKeySleep), " 0"},
        {std::string(texts::kKeyBgmKind), " 0"},   {std::string(texts::kKeyBgmRepeat), "-2"},
        {std::string(texts::kKeyBgmFile), "C:\\a.mp3"}};
    EXPECT_EQ(world.writes, want);
    EXPECT_TRUE(view.closed);
    EXPECT_EQ(world.unsaved_reports, 0);
    logic.Unload();
    EXPECT_EQ(world.zooms, (std::vector<std::string>{"open", "close"}));
}

// A settings file that takes no writes (read-only, a full disk): the user is told once, and
// the dialog closes as after any Save.
TEST_F(Logic, ASaveThatCannotWriteTheFileIsReportedOnceAndCloses) {
    world.file_refuses = true;
    logic.Load();
    logic.Save();
    EXPECT_EQ(world.writes.size(), 9u);
    EXPECT_EQ(world.unsaved_reports, 1);
    EXPECT_TRUE(view.closed);
}

TEST_F(Logic, RepeatTextBecomesATrackNumber) {
    using settings_dialog::RepeatFromText;
    EXPECT_EQ(RepeatFromText(""), 0);
    EXPECT_EQ(RepeatFromText("abc"), 0);
    EXPECT_EQ(RepeatFromText("7"), 7);
    EXPECT_EQ(RepeatFromText(" 12 "), 12);
    EXPECT_EQ(RepeatFromText("2.5"), 2);  // halves to the even neighbour
    EXPECT_EQ(RepeatFromText("3.5"), 4);
    EXPECT_EQ(RepeatFromText("-2"), -2);
    EXPECT_EQ(RepeatFromText("1e1"), 10);
    EXPECT_EQ(RepeatFromText("32767"), 32767);
    EXPECT_EQ(RepeatFromText("-32768"), -32768);
    // Past the 16-bit range: refused like any other text, no track held.
    EXPECT_EQ(RepeatFromText("32768"), 0);
    EXPECT_EQ(RepeatFromText("-32769"), 0);
    EXPECT_EQ(RepeatFromText("1e30"), 0);
    EXPECT_EQ(settings_dialog::RepeatText(0), "");
    EXPECT_EQ(settings_dialog::RepeatText(-4), "-4");
}

TEST_F(Logic, ATrackTypedForTheCdIsSavedAfterChoosingNoMusic) {
    world.settings.BgmKind = 1;
    logic.Load();
    view.repeat = "7";
    logic.SelectMusic(0);
    EXPECT_FALSE(view.enabled[Switchable::RepeatBox]);
    EXPECT_EQ(view.repeat, "7");  // kept while disabled
    logic.Save();
    EXPECT_EQ(world.written(texts::kKeyBgmRepeat), " 7");
    EXPECT_EQ(world.written(texts::kKeyBgmKind), " 0");
}

TEST_F(Logic, MusicChoiceSwitchesGlyphsAndControlsAndFileWithoutChoosingIsEmpty) {
    logic.Load();
    logic.SelectMusic(2);
    EXPECT_TRUE(view.glyph(GlyphGroup::Music, 2));
    EXPECT_FALSE(view.glyph(GlyphGroup::Music, 0));
    EXPECT_TRUE(view.enabled[Switchable::FileButton]);
    EXPECT_FALSE(view.enabled[Switchable::RepeatBox]);
    EXPECT_TRUE(world.requests.empty());  // choosing the option opens no chooser
    logic.SelectMusic(3);                 // no such option: nothing changes
    EXPECT_EQ(world.settings.BgmKind, 2);
    logic.Save();
    EXPECT_EQ(world.written(texts::kKeyBgmKind), " 2");
    EXPECT_EQ(world.written(texts::kKeyBgmFile), "");
}

TEST_F(Logic, NeonChoiceChangesTheRecordAndCancelWritesNothing) {
    logic.Load();
    logic.SelectNeon(1);
    EXPECT_EQ(world.settings.NeonEffect, 1);
    EXPECT_TRUE(view.glyph(GlyphGroup::Neon, 1));
    EXPECT_FALSE(view.glyph(GlyphGroup::Neon, 0));
    world.next_choice = "C:\\b.wav";
    logic.SelectMusic(2);
    logic.ChooseFile();
    EXPECT_EQ(world.settings.BgmFile, "C:\\b.wav");
    EXPECT_EQ(label(LabelId::FileName), "C:\\b.wav");
    logic.Cancel();
    logic.Unload();
    EXPECT_TRUE(view.closed);
    EXPECT_TRUE(world.writes.empty());
    EXPECT_EQ(world.zooms.back(), "close");
}

TEST_F(Logic, TheLinkOpensThePage) {
    logic.Load();
    logic.OpenLink();
    EXPECT_EQ(world.pages, std::vector<std::string>{"/opt/zephlora/Zephlora.html"});
    using settings_dialog::LinkCaption;
    EXPECT_EQ(LinkCaption("C:\\Program Files\\Zephlora\\Zephlora.html"), "Zephlora.html");
    EXPECT_EQ(LinkCaption("Zephlora.html"), "Zephlora.html");
    // 0x5C after a lead byte is half of a character (0x95 0x5C), not a folder's end.
    EXPECT_EQ(LinkCaption("C:\\x\\\x95\x5Cpage.html"), "\x95\x5Cpage.html");
}

}  // namespace
