// The styled button's colours and pixels, painted from a look onto a memory surface.
#include <gtest/gtest.h>

#include <set>

#include "button_test_support.h"
#include "controls/styled_button/button_colours.h"

namespace {

using button_test::Canvas;
using namespace controls::styled_button;

TEST(StyledButtonColours, ShadeRetriesAPureResultAndRampStopsShort) {
    EXPECT_EQ(shade(Rgb(255, 255, 255), 10), 0xFFFFFFu);
    EXPECT_EQ(shade(Rgb(255, 255, 255), 10, kRetry), shade(Rgb(255, 255, 255), -10));
    EXPECT_EQ(shade(Rgb(255, 255, 255), -10), Rgb(245, 246, 246));  // the 255 and 65280 divisors
    EXPECT_EQ(shade(0, 0, kRetry), Rgb(64, 64, 64));
    EXPECT_EQ(shade(Rgb(10, 10, 100), 96, kBlueMode), Rgb(106, 106, 150));
    EXPECT_EQ(shade(Rgb(10, 20, 30), 0, kInvert), Rgb(245, 235, 225));
    const auto colours = ramp(0, Rgb(255, 255, 255), 10);
    ASSERT_EQ(colours.size(), 10u);
    EXPECT_EQ(colours[1], Rgb(28, 28, 28));
    EXPECT_EQ(colours.back(), Rgb(252, 252, 252));
}

ButtonLook look_of(int w, int h) {
    ButtonLook l;
    l.width = w;
    l.height = h;
    l.caption.clear();
    l.back = 0xFFFFFF;
    l.hover_back = 0xFFFFFF;
    l.container = 0xC0C0C0;
    return l;
}

TEST(StyledButtonPaint, GradientsUseTwoPixelBandsOnAWideButton) {
    ButtonLook l = look_of(300, 20);  // 1024 / 300 < 4
    l.gradient_mode = 1;
    l.back = 0;
    l.gradient = 0xFFFFFF;
    Canvas c(300, 20);
    PaintCache cache;
    paint_button(l, c.dc, cache);
    for (int x = 4; x < 294; x += 2) EXPECT_EQ(c.at(x, 10), c.at(x + 1, 10)) << x;
    EXPECT_NE(c.at(100, 10), c.at(102, 10));
    l.width = 200;  // 1024 / 200 = 5: 1-pixel bands
    Canvas narrow(200, 20);
    paint_button(l, narrow.dc, cache);
    EXPECT_NE(narrow.at(100, 10), narrow.at(101, 10));
}

TEST(StyledButtonPaint, Style2CornersAndAWhiteFaceInnerTopEdge) {
    ButtonLook l = look_of(73, 25);
    l.style = 2;
    Canvas c(73, 25);
    PaintCache cache;
    paint_button(l, c.dc, cache);
    const ColorRef outer = Rgb(0, 60, 115);
    for (auto [x, y] : {std::pair{1, 1}, {1, 23}, {71, 1}, {71, 23}, {10, 0}, {0, 10}}) EXPECT_EQ(c.at(x, y), outer) << x << "," << y;
    const ColorRef f = shade(0xFFFFFF, 48, kBlueMode);
    EXPECT_EQ(c.at(20, 2), shade(f, 10, kBlueMode));
    EXPECT_EQ(c.at(20, 2), 0xFFFFFFu);
    // Slanted left edge: only the right-hand pair of corner pixels.
    l.shape = 1;
    l.xl = 26;
    Canvas s(73, 25);
    PaintCache cache2;
    paint_button(l, s.dc, cache2);
    EXPECT_EQ(s.at(71, 1), outer);
    EXPECT_NE(s.at(1, 23), outer);
}

TEST(StyledButtonPaint, Style0FocusedTurnsTheOuterRingBlack) {
    ButtonLook l = look_of(40, 20);
    l.flags = kFocused;
    l.show_focus_rect = false;
    Canvas c(40, 20);
    PaintCache cache;
    paint_button(l, c.dc, cache);
    EXPECT_EQ(c.at(0, 0), 0u);
    EXPECT_EQ(c.at(39, 19), 0u);
    EXPECT_EQ(c.at(38, 10), 0u);  // the middle ring's dark half
    EXPECT_EQ(c.at(1, 10), 0xFFFFFFu);
}

TEST(StyledButtonPaint, Style5ShowsNoBorderUntilHoveredAtRunTime) {
    ButtonLook l = look_of(40, 20);
    l.style = 5;
    l.back = Rgb(50, 60, 70);
    Canvas c(40, 20);
    PaintCache cache;
    paint_button(l, c.dc, cache);
    EXPECT_EQ(c.at(0, 0), Rgb(50, 60, 70));
    l.design_mode = true;
    paint_button(l, c.dc, cache);
    EXPECT_EQ(c.at(0, 0), shade(0xC0C0C0, 172));  // the dotted outline starts with a dot
    l.design_mode = false;
    l.flags = kPointerOver;
    paint_button(l, c.dc, cache);
    EXPECT_EQ(c.at(0, 0), 0xFFFFFFu);
    EXPECT_EQ(c.at(39, 19), Rgb(128, 128, 128));
}

// A 32 x 32 bitmap: a red square with a white (transparent) frame of 4 pixels.
plat::GdiObject framed_square() {
    const plat::GdiObject b = plat::create_compatible_bitmap(plat::Dc::None, 32, 32);
    const plat::Dc dc = plat::create_compatible_dc(plat::Dc::None);
    const plat::GdiObject old = plat::select_object(dc, b);
    plat::fill_region(dc, plat::create_rect_rgn(0, 0, 32, 32), plat::stock_object(plat::StockObject::WhiteBrush));
    const plat::GdiObject red = plat::create_solid_brush(Rgb(255, 0, 0));
    const plat::GdiObject inside = plat::create_rect_rgn(4, 4, 28, 28);
    plat::fill_region(dc, inside, red);
    plat::delete_object(inside);
    plat::delete_object(red);
    plat::select_object(dc, old);
    plat::delete_dc(dc);
    return b;
}

TEST(StyledButtonPaint, PictureSize48FitsAndADisabledBitmapIsASilhouette) {
    const plat::GdiObject bitmap = framed_square();
    ButtonLook l = look_of(100, 30);
    l.style = 4;
    l.picture = ButtonPicture{ButtonPicture::Kind::Bitmap, bitmap, plat::Icon::None, "square"};
    l.picture_width = l.picture_height = 32;
    l.picture_px = 48;
    Canvas c(100, 30);
    PaintCache cache;
    paint_button(l, c.dc, cache);
    // Scaled to 18 x 18 at (41, 6): its frame is transparent, its inside red.
    std::set<ColorRef> seen;
    int red = 0, left = 100, right = -1;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 100; ++x)
            if (c.at(x, y) == Rgb(255, 0, 0)) {
                ++red;
                left = std::min(left, x);
                right = std::max(right, x);
            }
    EXPECT_GT(red, 0);
    EXPECT_GE(left, 41);
    EXPECT_LE(right, 41 + 17);
    EXPECT_EQ(c.at(42, 7), 0xFFFFFFu);  // inside the frame: the face shows

    l.enabled = false;
    l.picture_px = 16;
    l.picture_align = 4;
    Canvas d(100, 30);
    paint_button(l, d.dc, cache);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 100; ++x) seen.insert(d.at(x, y));
    EXPECT_TRUE(seen.count(Rgb(228, 229, 229)));
    EXPECT_TRUE(seen.count(Rgb(156, 157, 157)));
    EXPECT_FALSE(seen.count(Rgb(255, 0, 0)));
    plat::delete_object(bitmap);
}

TEST(StyledButtonPaint, LayoutOfACaptionBesideAPicture) {
    ButtonLook l = look_of(100, 30);
    l.caption = "OK";
    l.picture = ButtonPicture{};
    l.picture_px = 16;
    l.picture_align = 1;
    Canvas c(100, 30);
    const ButtonLayout layout = lay_out(l, c.dc);
    EXPECT_EQ(layout.picture.right + 6, layout.caption.left);
    EXPECT_EQ(layout.picture.top, 7);
    // Picture and caption centred as a group.
    const int group = layout.caption.right - layout.picture.left;
    EXPECT_NEAR(layout.picture.left, (100 - group) / 2, 1);
}

}  // namespace
