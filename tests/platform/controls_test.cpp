// Labels, image controls and the combo box of the scripted back end, driven as a user drives
// them and judged by what the screen shows and what the controls report.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/dialogs.h"
#include "platform/emulation/file_dialog.h"
#include "platform/scripted/control.h"
#include "platform/window.h"
#include "tests/support/test_dialog.h"

namespace {

using plat::Point;
using plat::Rect;
using plat::WindowHandle;
namespace sc = plat::scripted;

// The panel's stripes, as colours and as the pixels that the screen then holds (0x00RRGGBB).
constexpr plat::ColorRef kStripe = 0x004080C0;
constexpr std::uint32_t kStripePixel = 0x00C08040, kDarkPixel = 0x00202020;
std::uint32_t texture_at(int panel_x, int panel_y) { return (panel_x + panel_y) % 2 ? kStripePixel : kDarkPixel; }

class Controls : public ::testing::Test {
protected:
    struct ComboEvents {
        int changes = 0, selects = 0;
    };

    void SetUp() override {
        sc::reset();
        dialog = testing_support::show_dialog({100, 50, 420, 290});
        plat::ChildDesc p;
        p.rect = {10, 10, 300, 200};
        p.tab_stop = false;
        panel = plat::create_child(dialog, p, {});
        // A textured panel: stripes of two colours.
        const plat::Dc dc = plat::window_dc(panel);
        for (int y = 0; y < 190; ++y)
            for (int x = 0; x < 290; ++x) plat::set_pixel_v(dc, x, y, (x + y) % 2 ? kStripe : 0x00202020);
        plat::pump_events();
    }

    std::uint32_t screen_at(int x, int y) {
        auto shot = sc::compose(dialog);
        return shot->surface().row(y)[x] & 0xFFFFFF;
    }

    WindowHandle combo(std::vector<std::string> items, ComboEvents* events = nullptr, int rows = 8) {
        plat::ComboDesc d;
        d.rect = {20, 20, 120, 41};
        d.items = std::move(items);
        d.list_rows = rows;
        plat::ComboHandlers h;
        if (events) {
            h.change = [events] { ++events->changes; };
            h.select = [events] { ++events->selects; };
        }
        const WindowHandle c = plat::create_combo_box(panel, d, h);
        plat::pump_events();
        return c;
    }

    void type(std::string_view text) {
        for (unsigned char ch : text) sc::queue_char(ch);
        plat::pump_events();
    }
    void key(int vk, int shift = 0) {
        sc::set_shift_state(shift);
        sc::queue_key(vk);
        plat::pump_events();
        sc::set_shift_state(0);
    }
    // A press and a release at a point of the panel.
    void click_panel(Point p) {
        sc::queue_mouse_down(1, p, panel);
        sc::queue_mouse_up(1, p, panel);
        plat::pump_events();
    }

    WindowHandle dialog{}, panel{};
};

TEST_F(Controls, LabelTextLiesOverTheContainersTextureAndFollowsItsText) {
    plat::LabelDesc d;
    d.rect = {20, 20, 120, 36};
    d.text = "WWWW";
    d.color = 0x000000FF;  // red, as 0x00BBGGRR
    d.font.height = -13;
    const WindowHandle label = plat::create_label(panel, d);
    plat::pump_events();
    int red = 0, texture = 0, other = 0;
    for (int y = 30; y < 46; ++y)
        for (int x = 30; x < 130; ++x) {
            const std::uint32_t px = screen_at(x, y), under = texture_at(x - 10, y - 10);
            if (px == 0x00FF0000) ++red;
            else if (px == under) ++texture;
            else ++other;  // the edges of smoothed letters
        }
    EXPECT_GT(red, 20);
    EXPECT_GT(texture, 1000) << "the panel shows between the letters";
    EXPECT_LT(other, red * 4);

    plat::set_label_text(label, "");
    plat::pump_events();
    for (int y = 30; y < 46; ++y)
        for (int x = 30; x < 130; ++x)
            ASSERT_EQ(screen_at(x, y), texture_at(x - 10, y - 10)) << x << "," << y;
    EXPECT_EQ(plat::label_text(label), "");
}

TEST_F(Controls, ImageControlShowsItsPictureAndTheContainerAroundIt) {
    const WindowHandle image = plat::create_image_control(panel, {50, 50, 70, 70});
    auto glyph = plat::create_bitmap(12, 12);
    plat::fill_rect(*glyph, 0, 0, 12, 12, 0x00FF0000);  // blue as 0x00BBGGRR
    ASSERT_TRUE(plat::set_image_picture(image, *glyph));
    glyph.reset();  // the control keeps a copy
    plat::pump_events();
    EXPECT_EQ(screen_at(60, 60), 0x000000FFu);
    EXPECT_EQ(screen_at(60 + 11, 60 + 11), 0x000000FFu);
    EXPECT_EQ(screen_at(60 + 15, 60 + 15), texture_at(65, 65));
}

TEST_F(Controls, ComboTypingEditingAndTheClipboardKeepDoubleByteCharactersWhole) {
    ComboEvents events;
    const WindowHandle c = combo({}, &events);
    plat::set_focus(c);
    type("12");
    type("\x82\xA0");  // a double-byte hiragana, in two bytes
    EXPECT_EQ(plat::combo_text(c), "12\x82\xA0");
    key(plat::kVkBack);  // takes both bytes
    EXPECT_EQ(plat::combo_text(c), "12");
    key(plat::kVkHome);
    key(plat::kVkRight, 1);  // Shift+Right selects "1"
    key('C', 2);
    EXPECT_EQ(sc::clipboard(), "1");
    sc::set_clipboard("7\r\nrest");
    key('V', 2);  // replaces the selection with the first line
    EXPECT_EQ(plat::combo_text(c), "72");
    key(plat::kVkDelete);
    EXPECT_EQ(plat::combo_text(c), "7");
    EXPECT_EQ(events.changes, 6);
    EXPECT_EQ(events.selects, 0);

    // A click in the field puts the caret there: typing goes in before "7".
    click_panel({24, 30});
    type("-");
    EXPECT_EQ(plat::combo_text(c), "-7");
}

TEST_F(Controls, ComboListByKeys) {
    ComboEvents events;
    const WindowHandle c = combo({"1", "2", "3"}, &events);
    plat::set_focus(c);
    key(plat::kVkDown);  // closed: the next item at once
    EXPECT_EQ(plat::combo_text(c), "1");
    key(plat::kVkDown, 4);  // Alt+Down drops the list
    ASSERT_TRUE(plat::is_combo_dropped(c));
    key(plat::kVkDown);
    key(plat::kVkDown);
    key(plat::kVkReturn);
    EXPECT_FALSE(plat::is_combo_dropped(c));
    EXPECT_EQ(plat::combo_text(c), "3");
    EXPECT_EQ(plat::combo_selection(c), 2);
    key(plat::kVkF1 + 3);  // F4
    ASSERT_TRUE(plat::is_combo_dropped(c));
    key(plat::kVkUp);
    EXPECT_EQ(plat::combo_text(c), "2");  // the field follows the highlight
    key(plat::kVkEscape);  // gives back what was there
    EXPECT_FALSE(plat::is_combo_dropped(c));
    EXPECT_EQ(plat::combo_text(c), "3");
    EXPECT_EQ(events.selects, 4);
}

TEST_F(Controls, ComboListByMouseDropsOverTheDialogAndScrolls) {
    std::vector<std::string> items;
    for (int i = 0; i < 20; ++i) items.push_back(std::to_string(i));
    const WindowHandle c = combo(items, nullptr, 5);
    // The drop button is at the right end of the field.
    click_panel({115, 30});
    ASSERT_TRUE(plat::is_combo_dropped(c));
    // The list lies below the field, over the panel, on top of everything.
    Rect field, list;
    plat::get_window_rect(c, field);
    const WindowHandle under = plat::window_from_point({field.left + 10, field.bottom + 5});
    ASSERT_NE(under, WindowHandle::None);
    ASSERT_NE(under, c);
    ASSERT_NE(under, panel);
    plat::get_window_rect(under, list);
    EXPECT_EQ(list.top, field.bottom);
    EXPECT_EQ(list.width(), field.width());
    // The scroll bar's down arrow moves the list by one row a press, a quick second press
    // (a double click) too: the first row then shows "2".
    Point down_arrow{list.right - 5, list.bottom - 5};
    plat::screen_to_client(panel, down_arrow);
    click_panel(down_arrow);
    click_panel(down_arrow);
    ASSERT_TRUE(plat::is_combo_dropped(c));
    Point first_row{list.left + 10, list.top + 4};
    plat::screen_to_client(panel, first_row);
    click_panel(first_row);
    EXPECT_FALSE(plat::is_combo_dropped(c));
    EXPECT_EQ(plat::combo_text(c), "2");
    // A press outside the dropped list closes it without a choice.
    click_panel({115, 30});
    ASSERT_TRUE(plat::is_combo_dropped(c));
    click_panel({250, 150});
    EXPECT_FALSE(plat::is_combo_dropped(c));
    EXPECT_EQ(plat::combo_text(c), "2");
}

TEST_F(Controls, DisabledComboTakesNoInputAndLooksGrey) {
    const WindowHandle c = combo({"1"});
    plat::set_combo_text(c, "5");
    const std::uint32_t inside_enabled = screen_at(10 + 20 + 60, 10 + 20 + 3);
    plat::enable_window(c, false);
    plat::pump_events();
    const std::uint32_t inside_disabled = screen_at(10 + 20 + 60, 10 + 20 + 3);
    EXPECT_EQ(inside_enabled, 0x00FFFFFFu);
    EXPECT_NE(inside_disabled, inside_enabled);
    click_panel({115, 30});
    type("9");
    EXPECT_FALSE(plat::is_combo_dropped(c));
    EXPECT_EQ(plat::combo_text(c), "5");
}

TEST(FileDialogAnswer, FilterListAndBufferRules) {
    const std::string filter("Music (MP3 WAV)\0*.MP3; *.WAV\0All\0*.*\0\0", 38);
    const auto filters = plat::emulation::parse_filter(filter);
    ASSERT_EQ(filters.size(), 2u);
    EXPECT_EQ(filters[0].description, "Music (MP3 WAV)");
    EXPECT_EQ(filters[0].patterns, (std::vector<std::string>{"*.MP3", "*.WAV"}));
    EXPECT_EQ(plat::emulation::case_blind_pattern("*.MP3"), "*.[mM][pP]3");

    plat::OpenFileRequest request;
    EXPECT_EQ(plat::emulation::open_file_answer(request, std::nullopt).result, 0);
    const auto ok = plat::emulation::open_file_answer(request, std::string("/music/a.mp3"));
    EXPECT_GT(ok.result, 0);
    EXPECT_EQ(ok.path, "/music/a.mp3");
    EXPECT_EQ(ok.file_title, "a.mp3");
    // 254 bytes and the NUL fit the 255-byte buffer; one more does not.
    EXPECT_GT(plat::emulation::open_file_answer(request, "/" + std::string(253, 'a')).result, 0);
    const auto long_one = plat::emulation::open_file_answer(request, "/" + std::string(254, 'a'));
    EXPECT_EQ(long_one.result, 0);
    EXPECT_EQ(long_one.path, "");
}

}  // namespace
