// The slider's arithmetic on its own: bounds that push each other apart, the refusals at the
// edges of the 32-bit range, the extents, where the handle lies for odd ranges (the rounding
// is halves to even, twice over) and the fill colour.
#include <gtest/gtest.h>

#include <limits>

#include "controls/slider/slider_rules.h"
#include "platform/win32_values.h"

namespace controls::slider {
namespace {

using plat::kVkLeft;
using plat::kVkRight;

constexpr std::int32_t kMaxInt = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMinInt = std::numeric_limits<std::int32_t>::min();

TEST(SliderRules, BoundsPushEachOtherApartAndPullValueInside) {
    const Bounds start{50, 100, -100};
    EXPECT_EQ(WriteMax(start, -100), (Bounds{-99, -99, -100})) << "Max not above Min becomes Min + 1";
    EXPECT_EQ(WriteMax(start, -500), (Bounds{-99, -99, -100}));
    EXPECT_EQ(WriteMax(start, 20), (Bounds{20, 20, -100}));
    EXPECT_EQ(WriteMin(start, 100), (Bounds{99, 100, 99})) << "Min not below Max becomes Max - 1";
    EXPECT_EQ(WriteMin(start, 70), (Bounds{70, 100, 70}));
    EXPECT_EQ(WriteMin(start, -300), (Bounds{50, 100, -300}));
    EXPECT_EQ(WriteValue(start, 1000), (Bounds{100, 100, -100}));
    EXPECT_EQ(WriteValue(start, -1000), (Bounds{-100, 100, -100}));
}

TEST(SliderRules, ArithmeticPastThe32BitRangeIsRefused) {
    const Bounds start{0, 100, -100};
    EXPECT_FALSE(WriteMax(start, kMaxInt)) << "Max - Min would not fit";
    EXPECT_FALSE(WriteMin(start, kMinInt));
    EXPECT_EQ(WriteMax(Bounds{0, 100, -1}, kMaxInt - 1), (Bounds{0, kMaxInt - 1, -1})) << "a span of exactly the largest";
    EXPECT_EQ(WriteMax(Bounds{kMaxInt - 1, kMaxInt, kMaxInt - 1}, kMinInt), (Bounds{kMaxInt - 1, kMaxInt, kMaxInt - 1}))
        << "Max pushed up to Min + 1 at the top of the range";
    EXPECT_FALSE(KeyStep(kMaxInt, kVkRight));
    EXPECT_FALSE(KeyStep(kMinInt, kVkLeft));
    EXPECT_EQ(KeyStep(kMaxInt, kVkLeft), kMaxInt - 1);
    EXPECT_EQ(KeyStep(7, 32), 7) << "other keys change nothing";
    EXPECT_EQ(KeyStep(7, 38), 7) << "the up arrow does nothing, also for the vertical style";

    // A drag far beyond the control over a wide span: the value step would not fit.
    PaintState wide;
    wide.bounds = {0, kMaxInt, 0};
    wide.extent = {63, 20};
    EXPECT_FALSE(Drag(wide, 5000));
    EXPECT_TRUE(Drag(wide, 20));
    wide.bounds = {kMinInt + 5, 0, kMinInt + 5};
    EXPECT_FALSE(Drag(wide, 18)) << "Min + d below the smallest integer";
}

TEST(SliderRules, ExtentsGrowTo63AndHoldTheThickness) {
    EXPECT_EQ(ResizedExtent({40, 50}, false), (Extent{63, 20}));
    EXPECT_EQ(ResizedExtent({97, 5}, false), (Extent{97, 20}));
    EXPECT_EQ(ResizedExtent({40, 40}, true), (Extent{20, 63}));
    EXPECT_EQ(ResizedExtent({5, 100}, true), (Extent{20, 100}));
    EXPECT_EQ(ResizedExtent(TurnedExtent({97, 20}, true), true), (Extent{20, 97}));
    EXPECT_EQ(ResizedExtent(TurnedExtent({20, 97}, false), false), (Extent{97, 20}));
}

PaintState at(Bounds b, bool vertical, Extent e) {
    PaintState s;
    s.bounds = b;
    s.vertical = vertical;
    s.extent = e;
    return s;
}

TEST(SliderRules, HandleAtBothEndsAndBetweenForOddRanges) {
    // 97 pixels long: a track of 53. The two roundings of halves to even decide each place
    // (rounding halves up would give 11 at the start).
    const int horizontal[] = {10, 28, 46, 64};
    for (int v = 0; v <= 3; ++v) EXPECT_EQ(HandleOffset(at({v, 3, 0}, false, {97, 20})), horizontal[v]) << v;
    const int below_zero[] = {11, 29, 45, 63};
    for (int v = -3; v <= 0; ++v) EXPECT_EQ(HandleOffset(at({v, 0, -3}, false, {97, 20})), below_zero[v + 3]) << v;
    // Vertical: the handle's top edge lies at H - P.
    const int vertical[] = {30, 48, 64, 82};
    for (int v = 0; v <= 3; ++v) EXPECT_EQ(HandleOffset(at({v, 3, 0}, true, {20, 97})), vertical[v]) << v;
    EXPECT_EQ(HandleOffset(at({-100, 100, -100}, false, {97, 20})), 10);
    EXPECT_EQ(HandleOffset(at({100, 100, -100}, false, {97, 20})), 62);
    EXPECT_EQ(HandleOffset(at({5, 5, 5}, false, {97, 20})), std::nullopt) << "equal bounds draw nothing";

    PaintState dragged = at({0, 3, 0}, false, {97, 20});
    dragged.dragging = true;
    dragged.drag_position = 30.5;
    EXPECT_EQ(HandleOffset(dragged), 30) << "Snap off: where the pointer put it";
    dragged.snap = true;
    EXPECT_EQ(HandleOffset(dragged), 10) << "Snap on: the value's own place";
}

TEST(SliderRules, FillAtMinMaxAndHalfway) {
    const Rgb yellow = Components(0x0000C8C8), red = Components(0x000000C8);
    EXPECT_EQ(FillColour(at({-100, 100, -100}, false, {97, 20}), yellow, red), 0x0000C8C8u);
    EXPECT_EQ(FillColour(at({100, 100, -100}, false, {97, 20}), yellow, red), 0x000000C8u);
    EXPECT_EQ(FillColour(at({0, 100, -100}, false, {97, 20}), yellow, red), 0x000064C8u) << "RGB(200,100,0)";
    // 127.5 rounds to the even 128; 0.5 to 0.
    EXPECT_EQ(FillColour(at({1, 2, 0}, false, {97, 20}), Components(0x000100FF), Components(0)), 0x00000080u);
    // While dragging with Snap off the pointer's place decides: 36 of the 72 groove pixels.
    PaintState dragged = at({3, 3, 0}, false, {97, 20});
    dragged.dragging = true;
    dragged.drag_position = 36;
    EXPECT_EQ(FillColour(dragged, yellow, red), 0x000064C8u);
}

TEST(SliderRules, DragTakesTheValueFromTheRawPointerAndTheHandleFromTheClampedOne) {
    const PaintState s = at({0, 3, 0}, false, {97, 20});
    ASSERT_TRUE(Drag(s, 40));
    EXPECT_EQ(Drag(s, 40)->value, 1);
    EXPECT_DOUBLE_EQ(Drag(s, 40)->position, 30.5);
    EXPECT_EQ(Drag(s, 200)->value, 10) << "clamped later, by the control";
    EXPECT_DOUBLE_EQ(Drag(s, 200)->position, 97 - 23.5 - 9.5);
    EXPECT_EQ(Drag(s, -50)->value, -4);
    EXPECT_DOUBLE_EQ(Drag(s, -50)->position, 10);
    const PaintState v = at({0, 3, 0}, true, {20, 97});
    EXPECT_EQ(Drag(v, 40)->value, 2) << "the value grows upwards";
    EXPECT_DOUBLE_EQ(Drag(v, 40)->position, 97 - (40 - 9.5) - 4);
    EXPECT_DOUBLE_EQ(Drag(v, 0)->position, 97 - (19.5 - 9.5) - 4);
}

}  // namespace
}  // namespace controls::slider
