// Child windows of the scripted back end, as a user drives them: what reaches which window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/draw.h"
#include "platform/scripted/control.h"
#include "platform/timer.h"
#include "platform/window.h"
#include "tests/support/test_dialog.h"

namespace {

using plat::Point;
using plat::Rect;
using plat::WindowHandle;
namespace sc = plat::scripted;

class ChildWindows : public ::testing::Test {
protected:
    void SetUp() override {
        sc::reset();
        dialog = testing_support::show_dialog({100, 50, 300, 200}, logging("dialog"));
    }

    // Handlers that write every event to the log as "name event args".
    plat::WindowHandlers logging(const std::string& name) {
        plat::WindowHandlers h;
        auto at = [](Point p) { return std::to_string(p.x) + "," + std::to_string(p.y); };
        h.mouse_down = [this, name, at](int b, Point p) { log.push_back(name + " down " + std::to_string(b) + " " + at(p)); };
        h.mouse_up = [this, name, at](int b, Point p) { log.push_back(name + " up " + std::to_string(b) + " " + at(p)); };
        h.mouse_move = [this, name, at](int b, Point p) { log.push_back(name + " move " + std::to_string(b) + " " + at(p)); };
        h.double_click = [this, name, at](int b, Point p) { log.push_back(name + " double " + std::to_string(b) + " " + at(p)); };
        h.click = [this, name] { log.push_back(name + " click"); };
        h.key_down = [this, name](int k) { log.push_back(name + " key " + std::to_string(k)); };
        h.key_up = [this, name](int k) { log.push_back(name + " keyup " + std::to_string(k)); };
        h.character = [this, name](int c) { log.push_back(name + " char " + std::string(1, static_cast<char>(c))); };
        h.focus_gained = [this, name] { log.push_back(name + " focus"); };
        h.focus_lost = [this, name] { log.push_back(name + " blur"); };
        h.access_key = [this, name] { log.push_back(name + " access"); };
        h.timer = [this, name](int id) { log.push_back(name + " tick " + std::to_string(id)); };
        h.unload = [this, name] { log.push_back(name + " unload"); };
        return h;
    }

    WindowHandle child(const std::string& name, Rect rect, std::string caption = "", bool tab_stop = true,
                       WindowHandle parent = WindowHandle::None) {
        plat::ChildDesc desc;
        desc.rect = rect;
        desc.caption = std::move(caption);
        desc.tab_stop = tab_stop;
        return plat::create_child(parent == WindowHandle::None ? dialog : parent, desc, logging(name));
    }

    std::vector<std::string> take() {
        plat::pump_events();
        return std::exchange(log, {});
    }

    WindowHandle dialog{};
    std::vector<std::string> log;
};

using Log = std::vector<std::string>;

TEST_F(ChildWindows, TheMouseReachesTheTopmostEnabledWindowInsideItsRegion) {
    // "top" is created first, so it lies over "button" where they overlap.
    const WindowHandle top = child("top", {50, 10, 90, 30});
    const WindowHandle button = child("button", {10, 10, 70, 40});
    const WindowHandle off = child("off", {10, 60, 50, 80});
    plat::enable_window(off, false);
    // The button's region leaves out its bottom rows and its top-left corner, a 4 x 4 square.
    const plat::GdiObject region = plat::create_rect_rgn(0, 0, 60, 25);
    const plat::GdiObject corner = plat::create_rect_rgn(0, 0, 4, 4);
    plat::combine_rgn(region, region, corner, plat::RegionOp::Diff);
    plat::delete_object(corner);
    ASSERT_TRUE(plat::set_window_region(button, region, true));

    sc::queue_mouse_down(1, {20, 20});
    sc::queue_mouse_up(1, {20, 20});
    EXPECT_EQ(take(), (Log{"button down 1 10,10", "button up 1 10,10", "button click"}));
    sc::queue_mouse_down(2, {11, 11});  // the cut-out corner: the dialog beneath
    EXPECT_EQ(take(), (Log{"dialog down 2 11,11"}));
    sc::queue_mouse_up(2, {11, 11});
    sc::queue_mouse_down(1, {60, 20});  // where "top" lies over the button
    EXPECT_EQ(take(), (Log{"dialog up 2 11,11", "dialog click", "top down 1 10,10"}));
    sc::queue_mouse_up(1, {60, 20});
    sc::queue_mouse_down(1, {20, 65});  // a disabled child hands the press to its parent
    sc::queue_mouse_up(1, {20, 65});
    EXPECT_EQ(take(), (Log{"top up 1 10,10", "top click", "dialog down 1 20,65", "dialog up 1 20,65", "dialog click"}));
    sc::queue_mouse_down(1, {15, 38});  // below the button's region, inside its rect
    sc::queue_mouse_up(1, {15, 38});
    EXPECT_EQ(take(), (Log{"dialog down 1 15,38", "dialog up 1 15,38", "dialog click"}));

    plat::set_window_pos(top, plat::kHwndBottom, 0, 0, 0, 0, plat::kSwpNoMove | plat::kSwpNoSize);
    plat::show_window(off, false);
    EXPECT_EQ(plat::window_from_point({160, 70}), button);  // (60, 20) on the dialog
    EXPECT_EQ(plat::window_from_point({111, 61}), dialog);   // the corner
    EXPECT_EQ(plat::window_from_point({99, 61}), WindowHandle::None);
    Point p{160, 70};
    ASSERT_TRUE(plat::screen_to_client(button, p));
    EXPECT_EQ(p, (Point{50, 10}));
}

TEST_F(ChildWindows, TheCaptureHolderGetsTheWholeDrag) {
    const WindowHandle button = child("button", {10, 10, 70, 40});
    sc::queue_mouse_down(1, {20, 20});
    plat::pump_events();
    EXPECT_EQ(plat::set_capture(button), WindowHandle::None);
    log.clear();
    sc::queue_mouse_move({150, 100});
    sc::queue_mouse_up(1, {150, 100});  // released off the button: no click
    sc::queue_mouse_move({20, 20});
    EXPECT_EQ(take(), (Log{"button move 1 140,90", "button up 1 140,90", "button move 0 10,10"}));
    EXPECT_TRUE(plat::release_capture());
    EXPECT_EQ(plat::get_capture(), WindowHandle::None);
    sc::queue_mouse_move({150, 100});
    EXPECT_EQ(take(), (Log{"dialog move 0 150,100"}));
}

TEST_F(ChildWindows, ASecondQuickPressIsADoubleClickWithoutAClick) {
    child("button", {10, 10, 70, 40});
    sc::queue_mouse_down(1, {20, 20});
    sc::queue_mouse_up(1, {20, 20});
    sc::queue_mouse_down(1, {21, 20});
    sc::queue_mouse_up(1, {21, 20});
    EXPECT_EQ(take(), (Log{"button down 1 10,10", "button up 1 10,10", "button click", "button double 1 11,10",
                           "button up 1 11,10"}));
    sc::advance_ms(501);  // beyond the double-click time
    sc::queue_mouse_down(1, {21, 20});
    EXPECT_EQ(take(), (Log{"button down 1 11,10"}));
}

TEST_F(ChildWindows, TabWalksTheTabStopsAndTheFocusEventsFollow) {
    const WindowHandle a = child("a", {0, 0, 10, 10});
    child("label", {0, 20, 10, 30}, "", false);
    const WindowHandle panel = child("panel", {20, 0, 80, 80}, "", false);
    const WindowHandle b = child("b", {0, 0, 10, 10}, "", true, panel);
    const WindowHandle hidden = child("hidden", {0, 40, 10, 50});
    const WindowHandle c = child("c", {0, 60, 10, 70});
    plat::show_window(hidden, false);

    plat::set_focus(a);
    sc::queue_key(plat::kVkTab);
    sc::queue_key(plat::kVkTab);
    sc::queue_key('X');
    EXPECT_EQ(take(), (Log{"a focus", "a blur", "b focus", "b blur", "c focus", "c key 88"}));
    EXPECT_EQ(plat::get_focus(), c);
    sc::queue_key(plat::kVkTab);  // round to the first
    EXPECT_EQ(take(), (Log{"c blur", "a focus"}));
    sc::set_shift_state(1);
    sc::queue_key(plat::kVkTab);  // and back
    EXPECT_EQ(take(), (Log{"a blur", "c focus"}));
    sc::set_shift_state(0);
    EXPECT_EQ(plat::move_focus(c, false), b);
    plat::enable_window(b, false);  // a disabled window drops the focus and leaves the order
    EXPECT_EQ(plat::get_focus(), WindowHandle::None);
    EXPECT_EQ(plat::move_focus(a, true), c);
    sc::queue_key(plat::kVkReturn);
    EXPECT_EQ(take(), (Log{"c blur", "b focus", "b blur", "c focus", "c key 13"}));
}

TEST_F(ChildWindows, AccessKeysGoToTheCaptionThatOwnsTheLetter) {
    EXPECT_EQ(plat::access_key_of("&Open"), 'O');
    EXPECT_EQ(plat::access_key_of("Fish && &chips"), 'C');
    EXPECT_EQ(plat::access_key_of("R&&D"), 0);
    EXPECT_EQ(plat::access_key_of("end&"), 0);

    const WindowHandle save = child("save", {0, 0, 10, 10}, "&Save");
    plat::ChildDesc field_desc;
    field_desc.rect = {0, 20, 50, 30};
    field_desc.wants_chars = true;
    const WindowHandle field = plat::create_child(dialog, field_desc, logging("field"));
    child("quit", {0, 40, 10, 50}, "&Quit");

    plat::set_focus(save);
    log.clear();
    sc::queue_char('q');  // a plain letter where the focus takes no text
    sc::set_shift_state(4);
    sc::queue_key('S');  // Alt+S
    EXPECT_EQ(take(), (Log{"quit access", "save access"}));
    sc::set_shift_state(0);
    plat::set_focus(field);
    log.clear();
    sc::queue_char('q');  // typed into the field
    sc::set_shift_state(4);
    sc::queue_key('Q');
    sc::queue_key('Z');  // nobody's letter: an ordinary key
    EXPECT_EQ(take(), (Log{"field char q", "quit access", "field key 90"}));
}

TEST_F(ChildWindows, TimersPropertiesAndTheEndOfAWindow) {
    const WindowHandle panel = child("panel", {0, 0, 100, 100});
    const WindowHandle button = child("button", {0, 0, 10, 10}, "", true, panel);
    ASSERT_TRUE(plat::set_timer(button, 237, 50));
    sc::advance_ms(120);  // two periods late: one tick, in the pump
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(take(), (Log{"button tick 237"}));
    EXPECT_TRUE(take().empty());
    sc::advance_ms(50);
    EXPECT_EQ(take(), (Log{"button tick 237"}));
    EXPECT_TRUE(plat::kill_timer(button, 237));
    sc::advance_ms(100);
    EXPECT_TRUE(take().empty());

    EXPECT_TRUE(plat::set_prop(button, "id", 1234));
    EXPECT_EQ(plat::get_prop(button, "id"), 1234);
    EXPECT_EQ(plat::get_prop(panel, "id"), 0);
    EXPECT_EQ(plat::remove_prop(button, "id"), 1234);
    EXPECT_EQ(plat::get_prop(button, "id"), 0);

    plat::set_focus(button);
    plat::set_capture(button);
    log.clear();
    plat::destroy_window(panel);
    EXPECT_EQ(log, (Log{"panel unload", "button unload"}));
    EXPECT_FALSE(plat::is_window(button));
    EXPECT_EQ(plat::get_focus(), WindowHandle::None);
    EXPECT_EQ(plat::get_capture(), WindowHandle::None);
    log.clear();
    const WindowHandle last = child("last", {0, 0, 10, 10});
    plat::destroy_window(dialog);
    EXPECT_EQ(log, (Log{"dialog unload", "last unload"}));
    EXPECT_FALSE(plat::is_window(last));
}

// Windows makes WM_TIMER only when the queue holds nothing else: the input that waits comes
// first, then the ticks that are due.
TEST_F(ChildWindows, ThePumpDeliversWaitingInputBeforeTheTicks) {
    const WindowHandle button = child("button", {0, 0, 10, 10});
    ASSERT_TRUE(plat::set_timer(button, 5, 10));
    ASSERT_TRUE(plat::set_timer(dialog, 6, 10));
    sc::advance_ms(10);
    plat::set_focus(button);
    log.clear();
    sc::queue_key('A', dialog);
    sc::queue_mouse_down(1, {50, 50}, dialog);
    EXPECT_EQ(take(), (Log{"button key 65", "dialog down 1 50,50", "dialog tick 6", "button tick 5"}));
}

TEST_F(ChildWindows, TheScreenShowsEachImageInsideItsRegionAndItsParent) {
    plat::Dc dc = plat::window_dc(dialog);
    const plat::GdiObject grey = plat::create_solid_brush(0x808080);
    plat::select_object(dc, grey);
    plat::pat_blt(dc, 0, 0, 200, 150, plat::Rop::PatCopy);
    const WindowHandle panel = child("panel", {10, 10, 60, 60});
    const WindowHandle inner = child("inner", {40, 40, 80, 80}, "", true, panel);  // half outside
    const WindowHandle round = child("round", {100, 10, 140, 50});
    plat::set_window_region(round, plat::create_elliptic_rgn(0, 0, 40, 40), true);
    auto fill = [](WindowHandle w, plat::ColorRef color) {
        plat::Dc d = plat::window_dc(w);
        const plat::GdiObject brush = plat::create_solid_brush(color);
        const plat::GdiObject old = plat::select_object(d, brush);
        plat::pat_blt(d, 0, 0, 100, 100, plat::Rop::PatCopy);
        plat::select_object(d, old);
        plat::delete_object(brush);
    };
    fill(panel, 0x0000FF);  // red
    fill(inner, 0x00FF00);  // green
    fill(round, 0xFF0000);  // blue
    auto screen = sc::compose(dialog);
    auto at = [&](int x, int y) { return screen->surface().row(y)[x]; };
    EXPECT_EQ(at(5, 5), 0x808080u);
    EXPECT_EQ(at(20, 20), 0xFF0000u);   // the panel (pixels read 0x00RRGGBB)
    EXPECT_EQ(at(55, 55), 0x00FF00u);   // the inner child inside the panel
    EXPECT_EQ(at(65, 65), 0x808080u);   // the inner child beyond the panel is cut off
    EXPECT_EQ(at(120, 30), 0x0000FFu);  // the middle of the ellipse
    EXPECT_EQ(at(101, 11), 0x808080u);  // its corner shows the dialog
    plat::show_window(panel, false);
    screen = sc::compose(dialog);
    EXPECT_EQ(at(20, 20), 0x808080u);
    EXPECT_EQ(at(55, 55), 0x808080u);
}

TEST_F(ChildWindows, APaintRequestRunsThePaintHandlerFromThePump) {
    plat::ChildDesc desc;
    desc.rect = {0, 0, 20, 20};
    int paints = 0;
    plat::WindowHandlers h;
    h.paint = [&] { ++paints; };
    const WindowHandle w = plat::create_child(dialog, desc, h);
    EXPECT_EQ(paints, 0);
    plat::pump_events();  // the first paint of a new window
    EXPECT_EQ(paints, 1);
    plat::invalidate_window(w);
    plat::invalidate_window(w);
    EXPECT_EQ(paints, 1);
    plat::pump_events();
    EXPECT_EQ(paints, 2);
    plat::move_window(w, 5, 5, 20, 20);  // a move alone keeps the picture
    plat::pump_events();
    EXPECT_EQ(paints, 2);
    plat::move_window(w, 5, 5, 30, 20);
    plat::pump_events();
    EXPECT_EQ(paints, 3);
}

}  // namespace

namespace {

TEST(ChildWindowCursor, EachControlHasItsShapeAndTheHourglassCoversAll) {
    sc::reset();
    plat::WindowDesc desc;
    desc.rect = {0, 0, 100, 100};
    const WindowHandle dialog = plat::create_window(desc, {});
    plat::ChildDesc link;
    link.rect = {10, 10, 50, 20};
    const WindowHandle label = plat::create_child(dialog, link, {});
    EXPECT_FALSE(plat::set_window_cursor(label, plat::CursorKind::Custom));  // needs an icon
    ASSERT_TRUE(plat::set_window_cursor(label, plat::CursorKind::Hand));
    EXPECT_EQ(sc::cursor_over({20, 15}, dialog), plat::CursorKind::Hand);
    EXPECT_EQ(sc::cursor_over({60, 15}, dialog), plat::CursorKind::Arrow);
    plat::set_busy_cursor(true);
    EXPECT_EQ(sc::cursor_over({20, 15}, dialog), plat::CursorKind::Wait);
    EXPECT_EQ(sc::cursor_over({60, 15}, dialog), plat::CursorKind::Wait);
    plat::set_busy_cursor(false);
    EXPECT_EQ(sc::cursor_over({20, 15}, dialog), plat::CursorKind::Hand);
}

}  // namespace
