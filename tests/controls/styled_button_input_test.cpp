// The styled button in a dialog of the scripted world: its outline, mouse, keys and hover
// tracking, driven as a user would.
#include <gtest/gtest.h>

#include "button_test_support.h"
#include "platform/timer.h"
#include "tests/support/test_dialog.h"

namespace {

using button_test::RecordingHost;
using controls::qzButtons_H;
using plat::Point;
namespace sc = plat::scripted;
using Log = std::vector<std::string>;

class StyledButtonInput : public ::testing::Test {
protected:
    void SetUp() override {
        sc::reset();
        plat::WindowHandlers h;
        h.mouse_down = [this](int b, Point) { log.push_back("dialog down " + std::to_string(b)); };
        dialog = testing_support::show_dialog({100, 100, 400, 300}, h);
        button = std::make_unique<qzButtons_H>(host, events());
    }
    void TearDown() override { button.reset(); }

    controls::ButtonEvents events() {
        controls::ButtonEvents e;
        auto mouse = [this](const char* name) {
            return [this, name](std::int16_t& b, std::int16_t&, float& x, float& y) {
                log.push_back(std::string(name) + " " + std::to_string(b) + " " + std::to_string(static_cast<int>(x)) + "," +
                              std::to_string(static_cast<int>(y)));
            };
        };
        e.MouseDown = mouse("MouseDown");
        e.MouseUp = mouse("MouseUp");
        e.KeyDown = [this](std::int16_t& k, std::int16_t&) { log.push_back("KeyDown " + std::to_string(k)); };
        e.KeyUp = [this](std::int16_t& k, std::int16_t&) { log.push_back("KeyUp " + std::to_string(k)); };
        e.MouseOnButton = [this](bool& on) { log.push_back(on ? "OnButton true" : "OnButton false"); };
        e.Click = [this] { log.push_back("Click"); };
        e.DoubleClick = [this](std::int16_t& b) { log.push_back("DoubleClick " + std::to_string(b)); };
        return e;
    }

    // Places the button and lets its first paint request pass (a paint with a state flag
    // set would put the flags right).
    void place(plat::Rect rect) {
        ASSERT_TRUE(button->Create(dialog, rect));
        plat::pump_events();
        log.clear();
    }

    Log take() {
        plat::pump_events();
        return std::exchange(log, {});
    }

    RecordingHost host;
    plat::WindowHandle dialog{};
    std::unique_ptr<qzButtons_H> button;
    Log log;
};

TEST_F(StyledButtonInput, ANewButtonShowsItsInstanceName) {
    EXPECT_EQ(button->Caption(), qzButtons_H::construction_marker());
    ASSERT_TRUE(button->Create(dialog, {10, 10, 83, 35}));
    EXPECT_EQ(button->Caption(), "qzButtons_H1");
}

TEST_F(StyledButtonInput, AClickInACutOutCornerReachesTheDialog) {
    button->SetButtonStyle(2);
    ASSERT_TRUE(button->Create(dialog, {10, 10, 83, 35}));
    sc::queue_mouse_down(1, {10, 10});  // the top-left cut-out
    sc::queue_mouse_up(1, {10, 10});
    EXPECT_EQ(take(), (Log{"dialog down 1"}));
    sc::queue_mouse_down(1, {13, 13});
    sc::queue_mouse_up(1, {13, 13});
    EXPECT_EQ(take(), (Log{"MouseDown 1 3,3", "MouseUp 1 3,3", "Click"}));
}

TEST_F(StyledButtonInput, Style3LosesItsCutOutsWhileDisabled) {
    button->SetButtonStyle(3);
    ASSERT_TRUE(button->Create(dialog, {10, 10, 83, 35}));
    const Point corner{100 + 10 + 72, 100 + 10};  // (W - 1, 0) on the screen
    EXPECT_EQ(plat::window_from_point(corner), dialog);
    button->SetEnabled(false);
    // A disabled child hands the point to its parent: look at the region through it.
    plat::enable_window(button->hWnd(), true);
    EXPECT_EQ(plat::window_from_point(corner), button->hWnd());
}

TEST_F(StyledButtonInput, ASlantedShapeWidensANarrowButton) {
    ASSERT_TRUE(button->Create(dialog, {10, 10, 36, 33}));  // 26 x 23
    button->SetButtonShape(1);
    EXPECT_EQ(button->size().x, 31);
    EXPECT_EQ(button->left_inset(), 24);
    plat::Rect r;
    ASSERT_TRUE(plat::get_window_rect(button->hWnd(), r));
    EXPECT_EQ(r.width(), 31);
    EXPECT_EQ(r.left, 110);
}

TEST_F(StyledButtonInput, ARightClickGivesNoClick) {
    ASSERT_TRUE(button->Create(dialog, {10, 10, 83, 35}));
    sc::queue_mouse_down(2, {20, 20});
    sc::queue_mouse_up(2, {20, 20});
    EXPECT_EQ(take(), (Log{"MouseDown 2 10,10", "MouseUp 2 10,10"}));
    EXPECT_EQ(button->state_flags() & controls::styled_button::kPressed, 0);
}

TEST_F(StyledButtonInput, SpacePressedAndReleased) {
    place({10, 10, 83, 35});
    plat::set_focus(button->hWnd());
    sc::queue_key(plat::kVkSpace);
    EXPECT_EQ(take(), (Log{"KeyDown 32"}));
    EXPECT_EQ(button->state_flags(), controls::styled_button::kFocused | controls::styled_button::kPressed);
    sc::queue_key_up(plat::kVkSpace);
    EXPECT_EQ(take(), (Log{"Click", "KeyUp 32"}));
    sc::queue_key(plat::kVkRight);  // moves the focus; the host never sees it
    sc::queue_key_up(plat::kVkRight);
    EXPECT_EQ(take(), Log{});
}

TEST_F(StyledButtonInput, LeavingWhilePressedIsNoticedWithinOneHoverPeriod) {
    place({10, 10, 83, 35});
    sc::set_cursor_pos(Point{130, 125});
    sc::queue_mouse_move({30, 25});
    sc::queue_mouse_down(1, {30, 25});
    EXPECT_EQ(take(), (Log{"OnButton true", "MouseDown 1 20,15"}));
    EXPECT_TRUE(button->hover_tracking());
    EXPECT_EQ(plat::get_prop(button->hWnd(), qzButtons_H::kTimerIdProp), 237);
    EXPECT_EQ(button->state_flags(), 7);  // focused, pressed, pointer over: the pressed look

    // Dragged off: no further message reaches the button, but the timer notices.
    sc::set_cursor_pos(Point{300, 280});
    const std::uint64_t left_at = sc::now_ms();
    while (button->hover_tracking() && sc::now_ms() - left_at < 200) plat::pump_events();
    EXPECT_LE(sc::now_ms() - left_at, 50u);
    EXPECT_EQ(log, (Log{"OnButton false"}));
    EXPECT_EQ(button->state_flags(), 3);
    log.clear();
    // Back in, still held: the pressed look again.
    sc::set_cursor_pos(Point{130, 125});
    sc::queue_mouse_move({30, 25});
    EXPECT_EQ(take(), (Log{"OnButton true"}));
    EXPECT_EQ(button->state_flags(), 7);
}

TEST_F(StyledButtonInput, TheWindowPropertiesGoWithTheWindow) {
    ASSERT_TRUE(button->Create(dialog, {10, 10, 83, 35}));
    sc::set_cursor_pos(Point{130, 125});
    sc::queue_mouse_move({30, 25});
    plat::pump_events();
    const plat::WindowHandle w = button->hWnd();
    ASSERT_NE(plat::get_prop(w, qzButtons_H::kClassIdProp), 0);
    plat::destroy_window(w);
    EXPECT_EQ(plat::get_prop(w, qzButtons_H::kClassIdProp), 0);
    EXPECT_FALSE(button->hover_tracking());
}

}  // namespace

namespace {

TEST_F(StyledButtonInput, ADoubleClickPressesAgainWithoutASecondClick) {
    place({10, 10, 83, 35});
    sc::set_cursor_pos(Point{121, 121});
    sc::queue_mouse_down(1, {20, 20});
    sc::queue_mouse_up(1, {20, 20});
    sc::queue_mouse_down(1, {21, 21});
    sc::queue_mouse_up(1, {21, 21});
    EXPECT_EQ(take(), (Log{"MouseDown 1 10,10", "MouseUp 1 10,10", "Click", "DoubleClick 1", "MouseDown 1 11,11",
                           "MouseUp 1 11,11"}));
}

TEST_F(StyledButtonInput, TheAccessKeyPressesReleasesAndClicks) {
    button->SetCaption("&Go");
    place({10, 10, 83, 35});
    const std::uint64_t before = sc::now_ms();
    sc::queue_char('g');
    EXPECT_EQ(take(), (Log{"Click"}));
    EXPECT_GE(sc::now_ms() - before, 200u);  // pressed for 100 ms, then released after 100 ms more
    EXPECT_EQ(button->state_flags(), 0);
}

TEST_F(StyledButtonInput, AWindowLyingOverTheButtonCountsAsLeaving) {
    place({10, 10, 83, 35});
    sc::set_cursor_pos(Point{130, 125});
    sc::queue_mouse_move({30, 25});
    EXPECT_EQ(take(), (Log{"OnButton true"}));
    plat::ChildDesc over;
    over.rect = {25, 20, 40, 30};
    const plat::WindowHandle cover = plat::create_child(dialog, over, {});
    plat::set_window_pos(cover, plat::kHwndTop, 0, 0, 0, 0, plat::kSwpNoMove | plat::kSwpNoSize);
    sc::advance_ms(60);
    EXPECT_EQ(take(), (Log{"OnButton false"}));
    EXPECT_FALSE(button->hover_tracking());
}

TEST_F(StyledButtonInput, DesignModeShowsTheDefaultButtonAndWarnsAboutItsFocusMark) {
    host.design = true;
    host.is_default = true;
    place({10, 10, 83, 35});
    button->Show();
    EXPECT_EQ(button->state_flags(), controls::styled_button::kFocused);
    button->SetShowFocusRect(false);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(button->state_flags(), controls::styled_button::kFocused);
    host.is_default = false;
    button->AmbientChanged("DisplayAsDefault");
    EXPECT_EQ(button->state_flags(), 0);
    // At run time the host's default-button state is not shown, and the write clears the flag.
    host.design = false;
    plat::set_focus(button->hWnd());
    button->SetShowFocusRect(true);
    EXPECT_EQ(button->state_flags(), 0);
    EXPECT_EQ(host.messages.size(), 1u);
}

}  // namespace
