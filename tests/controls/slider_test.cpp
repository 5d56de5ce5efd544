// The slider as its owner and a user meet it, on either build: built from its stored form,
// driven by the pointer and the keys through the platform's real input, its events in their
// order and its image.
#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "controls/slider/slider.h"
#include "platform/window.h"
#include "tests/controls/user_input.h"

namespace controls {
namespace {

using control_test::image_of;
using plat::Point;
using Log = std::vector<std::string>;

constexpr std::uint32_t kHandleCorner = 0x0028282A;  // the handle's corner pixels, (40, 40, 42)
constexpr int kVkSpace = 32, kVkLeft = 37, kVkUp = 38, kVkRight = 39;

class SliderTest : public ::testing::Test {
protected:
    void SetUp() override {
        host = control_test::make_host(240, 160);
        if (host == plat::WindowHandle::None) GTEST_SKIP() << "no window to show the control in (no display)";
    }
    void TearDown() override {
        slider.reset();
        if (host != plat::WindowHandle::None) control_test::close_host(host);
    }

    Slider& make(const PropertyBag& bag, plat::Rect rect = {10, 10, 107, 30}) {
        SliderEvents events;
        events.on_scroll = [this] { log.push_back("Scroll " + std::to_string(slider ? slider->Value() : 0)); };
        events.on_change = [this] { log.push_back("Change " + std::to_string(slider ? slider->Value() : 0)); };
        events.on_click = [this] { log.push_back("Click"); };
        events.on_mouse_up = [this](std::int16_t button, std::int16_t, float x, float y) {
            log.push_back("MouseUp " + std::to_string(button) + " " + std::to_string(static_cast<int>(x)) + " " +
                          std::to_string(static_cast<int>(y)));
        };
        slider = std::make_unique<Slider>(host, rect, events);
        slider->ReadProperties(bag);
        log.clear();
        return *slider;
    }

    Log take() { return std::exchange(log, {}); }

    plat::WindowHandle window() const { return slider->window(); }
    // Where the horizontal handle's left edge is drawn (its corner at row 4), or -1.
    int handle_left() const {
        const auto image = image_of(window());
        const plat::Surface s = image->surface();
        for (int x = 0; x + 18 < s.width; ++x)
            if (s.row(4)[x] == kHandleCorner && s.row(4)[x + 18] == kHandleCorner) return x;
        return -1;
    }
    // Where the vertical handle's top edge is drawn (its corner at column 4), or -1.
    int handle_top() const {
        const auto image = image_of(window());
        const plat::Surface s = image->surface();
        for (int y = 0; y + 18 < s.height; ++y)
            if (s.row(y)[4] == kHandleCorner && s.row(y + 18)[4] == kHandleCorner) return y;
        return -1;
    }
    // The groove's colour in the image (0x00RRGGBB) at a point along the fill.
    std::uint32_t groove_at(int x, int y) const { return image_of(window())->surface().row(y)[x]; }

    plat::WindowHandle host{};
    std::unique_ptr<Slider> slider;
    Log log;
};

PropertyBag coarse(bool snap, int style = 0) {
    PropertyBag bag;
    bag.set("Max", "3");
    bag.set("Min", "0");
    bag.set("Value", "0");
    if (snap) bag.set("Snap", "True");
    if (style) bag.set("Style", std::to_string(style));
    return bag;
}

TEST_F(SliderTest, LoadingAppliesTheStoredKeysInOrderEachWithItsChange) {
    PropertyBag bag;
    bag.set("Max", "300");
    bag.set("Value", "200");  // the place in the bag does not matter; the reading order does
    SliderEvents events;
    int changes = 0;
    events.on_change = [&] { ++changes; };
    Slider s(host, {10, 10, 107, 30}, events);
    s.ReadProperties(bag);
    EXPECT_EQ(s.Value(), 100) << "clamped by the construction bounds before Max arrived";
    EXPECT_EQ(s.Max(), 300);
    EXPECT_EQ(changes, 6) << "Value, Max, Min and the three colours";

    // Saving leaves out every default and keeps the order of the keys.
    EXPECT_TRUE(Slider(host, {10, 40, 107, 60}).WriteProperties().entries().empty());
    s.SetSnap(true);
    s.SetBackColor(0x00404040);
    s.SetStyle(1);
    const PropertyBag saved = s.WriteProperties();
    std::vector<std::string> keys;
    for (const auto& e : saved.entries()) keys.push_back(e.key + "=" + e.value);
    EXPECT_EQ(keys, (std::vector<std::string>{"Value=100", "Max=300", "BackColor=&H00404040&", "Snap=True", "Style=1"}));

    // A stored span past the 32-bit range is refused; the rest of the bag still loads.
    PropertyBag wide;
    wide.set("Max", "2147483647");
    wide.set("Min", "-5");
    Slider t(host, {10, 70, 107, 90});
    t.ReadProperties(wide);
    EXPECT_EQ(t.Max(), 100);
    EXPECT_EQ(t.Min(), -5);
}

TEST_F(SliderTest, ALayoutDescriptionPlacesAndConfiguresIt) {
    const LayoutResult layout = ParseLayout(
        "Begin Form Zephlora_P\n"
        "   Begin Slider HSInterval\n"
        "      Left = 540\n      Top = 420\n      Width = 1455\n      Height = 300\n"
        "      Max = 30\n      Min = 1\n      ForeColor = &H00FFC0C0&\n      ForeColor2 = &H0080FF80&\n"
        "   End\n"
        "End\n");
    ASSERT_TRUE(layout.root) << layout.error.message;
    const LayoutNode* node = layout.root->find("HSInterval");
    ASSERT_NE(node, nullptr);
    const auto s = Slider::FromLayout(host, *node);
    plat::Rect r, parent;
    ASSERT_TRUE(plat::get_window_rect(s->window(), r));
    ASSERT_TRUE(plat::get_window_rect(host, parent));
    Point at{0, 0};
    plat::client_to_screen(host, at);
    EXPECT_EQ(r.left - at.x, 36);
    EXPECT_EQ(r.top - at.y, 28);
    EXPECT_EQ(r.width(), 97);
    EXPECT_EQ(r.height(), 20);
    EXPECT_EQ(s->Value(), 30) << "50 clamped by the stored Max";
    EXPECT_EQ(s->Min(), 1);
    EXPECT_EQ(s->ForeColor2(), 0x0080FF80u);
}

TEST_F(SliderTest, ExtentGrowsTo63HoldsTheThicknessAndTurnsWithTheStyle) {
    Slider& s = make({}, {10, 10, 50, 60});
    plat::Rect r;
    ASSERT_TRUE(plat::get_window_rect(window(), r));
    EXPECT_EQ(r.width(), 63);
    EXPECT_EQ(r.height(), 20);
    s.Resize({10, 10, 107, 15});
    s.SetStyle(1);
    ASSERT_TRUE(plat::get_window_rect(window(), r));
    EXPECT_EQ(r.width(), 20);
    EXPECT_EQ(r.height(), 97) << "the vertical control takes the old width as its height";
    s.SetStyle(2);
    ASSERT_TRUE(plat::get_window_rect(window(), r));
    EXPECT_EQ(r.height(), 97) << "writing the orientation it has keeps the size";
    EXPECT_TRUE(take().empty()) << "no event for the style or a resize";
    // Loading keeps the stored extent of the stored style.
    make(coarse(false, 1), {10, 10, 30, 107});
    ASSERT_TRUE(plat::get_window_rect(window(), r));
    EXPECT_EQ(r.width(), 20);
    EXPECT_EQ(r.height(), 97);
    slider->Resize({10, 10, 40, 30});
    ASSERT_TRUE(plat::get_window_rect(window(), r));
    EXPECT_EQ(r.width(), 20);
    EXPECT_EQ(r.height(), 63);
    EXPECT_TRUE(take().empty()) << "no event for the style or a resize";
}

TEST_F(SliderTest, KeysRaiseChangeThenScrollAndOnlyTheSideArrowsMove) {
    Slider& s = make(coarse(false));
    control_test::key(window(), kVkSpace);
    EXPECT_EQ(take(), (Log{"Change 0", "Scroll 0"})) << "any key, without a change";
    control_test::key(window(), kVkRight);
    control_test::key(window(), kVkUp);
    EXPECT_EQ(take(), (Log{"Change 1", "Scroll 1", "Change 1", "Scroll 1"}));
    EXPECT_EQ(handle_left(), 28);
    s.SetEnabled(false);
    take();
    control_test::key(window(), kVkLeft);
    control_test::key(window(), kVkLeft);
    EXPECT_EQ(take(), (Log{"Change 0", "Scroll 0", "Change 0", "Scroll 0"})) << "keys work when disabled; the clamp holds";
}

// With the keyboard focus the control shows the system's dotted focus rectangle round its
// client area and nothing else changes; without it, it looks as before. Every key reaches the
// owner too, after the control's own events.
TEST_F(SliderTest, TheFocusAddsTheDottedRectangleAloneAndKeysReachTheOwner) {
    Slider& s = make(coarse(false));
    const auto unfocused = image_of(window());
    s.events().on_key_down = [this](int vk) { log.push_back("Key " + std::to_string(vk)); };
    control_test::key(window(), kVkRight);  // the focus comes with the key
    control_test::key(window(), kVkLeft);
    EXPECT_EQ(take(), (Log{"Change 1", "Scroll 1", "Key 39", "Change 0", "Scroll 0", "Key 37"}));
    ASSERT_TRUE(s.focused());
    const auto focused = image_of(window());
    const int w = focused->width(), h = focused->height();
    auto expected = plat::create_bitmap(w, h);
    plat::bit_blt(plat::bitmap_dc(*expected), 0, 0, w, h, plat::bitmap_dc(*unfocused), 0, 0, plat::Rop::SrcCopy);
    plat::draw_focus_rect(plat::bitmap_dc(*expected), {0, 0, w, h});
    int dotted = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            ASSERT_EQ(focused->surface().row(y)[x], expected->surface().row(y)[x]) << x << "," << y;
            dotted += focused->surface().row(y)[x] != unfocused->surface().row(y)[x];
        }
    EXPECT_GT(dotted, w);
    plat::set_focus(host);
    EXPECT_FALSE(s.focused());
    const auto after = image_of(window());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) ASSERT_EQ(after->surface().row(y)[x], unfocused->surface().row(y)[x]) << x << "," << y;
}

TEST_F(SliderTest, AKeyStepPastTheLargestIntegerIsRefusedWithoutEvents) {
    Slider& s = make({});
    s.SetMin(0);
    s.SetMax(2147483647);
    s.SetValue(2147483647);
    take();
    ASSERT_EQ(s.Value(), 2147483647);
    control_test::key(window(), kVkRight);
    EXPECT_TRUE(take().empty());
    EXPECT_EQ(s.Value(), 2147483647);
    control_test::key(window(), kVkLeft);
    EXPECT_EQ(take(), (Log{"Change 2147483646", "Scroll 2147483646"}));
}

// A drag of the pointer from the handle to x = 40 and on beyond both ends, then a release.
TEST_F(SliderTest, DragWithSnapOffDrawsAtThePointerWhileValueMovesInWholeSteps) {
    Slider& s = make(coarse(false));
    control_test::press(window(), {19, 10});
    EXPECT_TRUE(take().empty()) << "a press alone changes nothing";
    control_test::move(window(), {40, 10});
    EXPECT_EQ(take(), (Log{"Scroll 1", "Change 1"}));
    EXPECT_EQ(s.Value(), 1);
    EXPECT_EQ(handle_left(), 30) << "centred under the pointer, not at value 1's place (28)";
    // t = 30.5 / 72 of the way from RGB(200,200,0) to RGB(200,0,0).
    EXPECT_EQ(groove_at(20, 8), 0x00C87300u);
    control_test::move(window(), {200, 10});  // far beyond the right end: the control has the pointer
    EXPECT_EQ(s.Value(), 3);
    EXPECT_EQ(handle_left(), 64);
    control_test::move(window(), {-50, 10});
    EXPECT_EQ(s.Value(), 0);
    EXPECT_EQ(handle_left(), 10);
    control_test::move(window(), {41, 10});
    control_test::release(window(), {41, 10});
    take();
    EXPECT_EQ(handle_left(), 32) << "the release leaves the handle where the pointer left it";
    control_test::key(window(), kVkSpace);
    EXPECT_EQ(handle_left(), 28) << "until a key redraws it at the value's place";
}

TEST_F(SliderTest, DragWithSnapOnJumpsToWholeValues) {
    Slider& s = make(coarse(true));
    control_test::press(window(), {19, 10});
    control_test::move(window(), {40, 10});
    EXPECT_EQ(take(), (Log{"Scroll 1", "Change 1"}));
    EXPECT_EQ(s.Value(), 1);
    EXPECT_EQ(handle_left(), 28);
    EXPECT_EQ(groove_at(20, 8), 0x00C88500u) << "a third of the way: green 133";
    control_test::move(window(), {47, 10});
    EXPECT_EQ(s.Value(), 2);
    EXPECT_EQ(handle_left(), 46);
    control_test::release(window(), {47, 10});
    EXPECT_EQ(take(), (Log{"Scroll 2", "Change 2", "MouseUp 1 705 150", "Click"}));
}

TEST_F(SliderTest, VerticalDragGrowsUpwards) {
    for (bool snap : {false, true}) {
        Slider& s = make(coarse(snap, 1), {10, 10, 30, 107});
        control_test::press(window(), {10, 80});
        control_test::move(window(), {10, 40});
        control_test::release(window(), {10, 40});
        EXPECT_EQ(s.Value(), 2);
        // Snap off: the handle's top follows the pointer (97 - 62); on: value 2's place (97 - 64).
        EXPECT_EQ(handle_top(), snap ? 33 : 35) << snap;
    }
}

TEST_F(SliderTest, APressWithoutMovementAndADisabledDragChangeNothing) {
    Slider& s = make(coarse(false));
    control_test::press(window(), {40, 10});
    control_test::release(window(), {40, 10});
    EXPECT_EQ(take(), (Log{"MouseUp 1 600 150", "Click"}));
    s.SetEnabled(false);
    control_test::press(window(), {19, 10});
    control_test::move(window(), {60, 10});
    control_test::release(window(), {60, 10});
    EXPECT_EQ(s.Value(), 0);
    EXPECT_EQ(handle_left(), 10);
    control_test::press(window(), {19, 10}, 2);
    control_test::move(window(), {60, 10});
    control_test::release(window(), {60, 10}, 2);
    EXPECT_EQ(s.Value(), 0) << "only the left button drags";
}

}  // namespace
}  // namespace controls
