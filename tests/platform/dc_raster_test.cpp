// Properties of the raster's device-context layer that hold for any input: no call writes
// outside its bitmap or outside the clip region, whatever the shapes and wherever they lie
// (at, across and far beyond every edge); and the platform's drawing calls reach it on the
// back ends that draw in software.
#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <vector>

#include "platform/draw.h"
#include "raster/gdi.h"

namespace {

using plat::Dc;
using plat::GdiObject;
using plat::Point;
using plat::Rop;

constexpr std::uint32_t kGuard = 0x00ABCDEF;
constexpr std::uint32_t kStart = 0x00102030;

// A bitmap of w x h inside a larger buffer whose border must never change.
struct Guarded {
    static constexpr int kBorder = 8;
    int width, height, stride;
    std::vector<std::uint32_t> buffer;
    Dc dc;
    // At a scale the bitmap holds w x h device pixels, scale times fewer design pixels.
    Guarded(int w, int h, int scale = 1) : width(w), height(h), stride(w + 2 * kBorder),
        buffer(static_cast<std::size_t>(stride) * static_cast<std::size_t>(h + 2 * kBorder), kGuard) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) at(x, y) = kStart;
        dc = raster::create_surface_dc(plat::Surface{&at(0, 0), w, h, stride}, scale);
    }
    ~Guarded() { raster::delete_dc(dc); }
    std::uint32_t& at(int x, int y) {
        return buffer[static_cast<std::size_t>(y + kBorder) * static_cast<std::size_t>(stride) + static_cast<std::size_t>(x + kBorder)];
    }
};

// One random drawing call with coordinates well beyond the bitmap on every side.
void random_call(std::mt19937& gen, Dc dc, Dc source, int w, int h) {
    auto c = [&](int extent) { return static_cast<int>(gen() % static_cast<unsigned>(3 * extent + 40)) - extent - 20; };
    const int x0 = c(w), y0 = c(h), x1 = c(w), y1 = c(h);
    const plat::ColorRef colour = gen() & 0xFFFFFF;
    switch (gen() % 11) {
    case 0: raster::move_to(dc, x0, y0); raster::line_to(dc, x1, y1); break;
    case 1: {
        std::vector<Point> pts;
        for (int i = 0, n = 2 + static_cast<int>(gen() % 6); i < n; ++i) pts.push_back({c(w), c(h)});
        raster::polyline(dc, pts);
        break;
    }
    case 2: raster::draw_rectangle(dc, x0, y0, x1, y1); break;
    case 3: raster::draw_ellipse(dc, x0, y0, x1, y1); break;
    case 4: raster::draw_arc(dc, x0, y0, x1, y1, c(w), c(h), c(w), c(h)); break;
    case 5: raster::pat_blt(dc, x0, y0, x1 - x0, y1 - y0, static_cast<Rop>((gen() & 0xFF) << 16)); break;
    case 6: raster::bit_blt(dc, x0, y0, x1 - x0, y1 - y0, source, c(w), c(h), static_cast<Rop>((gen() & 0xFF) << 16)); break;
    case 7: raster::stretch_blt(dc, x0, y0, 1 + static_cast<int>(gen() % 60), 1 + static_cast<int>(gen() % 60), source, c(w), c(h),
                              1 + static_cast<int>(gen() % 30), 1 + static_cast<int>(gen() % 30), Rop::SrcCopy);
        break;
    case 8: raster::set_pixel(dc, x0, y0, colour); break;
    case 9: raster::draw_focus_rect(dc, plat::Rect{x0, y0, x1, y1}); break;
    case 10: {
        const GdiObject rgn = raster::create_elliptic_rgn(x0, y0, x1, y1);
        const GdiObject brush = raster::create_solid_brush(colour);
        raster::fill_region(dc, rgn, brush);
        raster::delete_object(brush);
        raster::delete_object(rgn);
        break;
    }
    }
}

TEST(DcRaster, NothingIsWrittenOutsideTheBitmapOrTheClipRegion) {
    std::mt19937 gen(2024);
    const Dc source = raster::create_compatible_dc(Dc::None);
    const GdiObject source_bitmap = raster::create_compatible_bitmap(Dc::None, 17, 13);
    raster::select_object(source, source_bitmap);
    for (int round = 0; round < 400; ++round) {
        const int w = 1 + static_cast<int>(gen() % 40), h = 1 + static_cast<int>(gen() % 30);
        Guarded g(w, h);
        // A clip region of one of the button outlines' kinds, partly outside the bitmap.
        GdiObject clip = GdiObject::None;
        switch (round % 4) {
        case 1: clip = raster::create_rect_rgn(-3, h / 3, w / 2, h + 4); break;
        case 2: clip = raster::create_elliptic_rgn(-w / 4, -h / 4, w, h + 2); break;
        case 3: {
            const Point pts[] = {{0, 0}, {h + 1, h + 1}, {w + 3, h + 1}, {w - h, -2}};
            clip = raster::create_polygon_rgn(pts, plat::FillMode::Winding);
            break;
        }
        }
        if (clip != GdiObject::None) raster::select_clip_rgn(g.dc, clip);
        const int width = 1 + static_cast<int>(gen() % 2);
        const GdiObject pen = raster::create_pen(gen() % 3 == 0 ? plat::PenStyle::Dot : plat::PenStyle::Solid, width, 0x0000FF);
        const GdiObject brush = raster::create_solid_brush(0x00FF00);
        const GdiObject old_pen = raster::select_object(g.dc, pen), old_brush = raster::select_object(g.dc, brush);
        for (int call = 0; call < 12; ++call) random_call(gen, g.dc, source, w, h);
        for (int y = -Guarded::kBorder; y < h + Guarded::kBorder; ++y)
            for (int x = -Guarded::kBorder; x < w + Guarded::kBorder; ++x) {
                const bool inside_bitmap = x >= 0 && y >= 0 && x < w && y < h;
                if (!inside_bitmap) {
                    ASSERT_EQ(g.at(x, y), kGuard) << "round " << round << ": written outside the bitmap at " << x << "," << y;
                    continue;
                }
                if (clip == GdiObject::None) continue;
                bool in_clip = false;
                for (const plat::Rect& r : raster::region_rects(clip))
                    in_clip |= x >= r.left && x < r.right && y >= r.top && y < r.bottom;
                if (!in_clip) {
                    ASSERT_EQ(g.at(x, y), kStart) << "round " << round << ": written outside the clip at " << x << "," << y;
                }
            }
        raster::select_object(g.dc, old_pen);
        raster::select_object(g.dc, old_brush);
        raster::delete_object(pen);
        raster::delete_object(brush);
        if (clip != GdiObject::None) raster::delete_object(clip);
    }
    raster::delete_dc(source);
    raster::delete_object(source_bitmap);
}

// A context at a display scale draws in design pixels, each a block of 2 x 2: the same calls
// on a context at scale 1 and on one at scale 2 give the 1x pixels enlarged exactly (pictures
// at scale 1 copied in without smoothing, a scaled copy of them pixel for pixel, pattern
// brushes in design pixels), and nothing lands outside the scaled bitmap or its clip.
TEST(DcRaster, AScaledContextDrawsTheDesignEnlargedExactly) {
    std::mt19937 gen(96);
    const Dc source = raster::create_compatible_dc(Dc::None);
    const GdiObject source_bitmap = raster::create_compatible_bitmap(Dc::None, 17, 13);
    raster::select_object(source, source_bitmap);
    for (int y = 0; y < 13; ++y)
        for (int x = 0; x < 17; ++x)
            raster::set_pixel(source, x, y, static_cast<plat::ColorRef>(x * 15 | (y * 19) << 8 | ((x ^ y) * 9) << 16));
    const std::uint8_t checks[16] = {0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0, 0xAA, 0, 0x55, 0};
    const GdiObject tile = raster::create_mono_bitmap(8, 8, checks);
    for (int round = 0; round < 200; ++round) {
        const int w = 1 + static_cast<int>(gen() % 40), h = 1 + static_cast<int>(gen() % 30);
        Guarded one(w, h), two(2 * w, 2 * h, 2);
        // The picture made compatible with the scaled context: enlarged once, copied as it is.
        const Dc scaled_source = raster::create_compatible_dc(two.dc);
        const GdiObject scaled_bitmap = raster::create_compatible_bitmap(two.dc, 17, 13);
        raster::select_object(scaled_source, scaled_bitmap);
        raster::bit_blt(scaled_source, 0, 0, 17, 13, source, 0, 0, Rop::SrcCopy);
        const GdiObject clip = round % 2 ? raster::create_elliptic_rgn(-w / 4, -h / 4, w, h + 2) : GdiObject::None;
        const GdiObject pen = raster::create_pen(gen() % 3 == 0 ? plat::PenStyle::Dot : plat::PenStyle::Solid,
                                                 1 + static_cast<int>(gen() % 3), 0x0000FF);
        const GdiObject brush = round % 3 ? raster::create_solid_brush(0x00FF00) : raster::create_pattern_brush(tile);
        for (Guarded* g : {&one, &two}) {
            if (clip != GdiObject::None) raster::select_clip_rgn(g->dc, clip);
            raster::select_object(g->dc, pen);
            raster::select_object(g->dc, brush);
            raster::set_bk_color(g->dc, 0x808080);
        }
        const std::mt19937 start = gen;
        std::mt19937 a = start, b = start;
        for (int call = 0; call < 12; ++call) {
            random_call(a, one.dc, source, w, h);
            random_call(b, two.dc, scaled_source, w, h);
        }
        gen = a;
        for (int y = -Guarded::kBorder; y < 2 * h + Guarded::kBorder; ++y)
            for (int x = -Guarded::kBorder; x < 2 * w + Guarded::kBorder; ++x) {
                if (x < 0 || y < 0 || x >= 2 * w || y >= 2 * h)
                    ASSERT_EQ(two.at(x, y), kGuard) << "round " << round << ": written outside the bitmap at " << x << "," << y;
                else
                    ASSERT_EQ(two.at(x, y), one.at(x / 2, y / 2)) << "round " << round << " at " << x << "," << y;
            }
        for (Guarded* g : {&one, &two}) {
            raster::select_object(g->dc, raster::stock_object(plat::StockObject::BlackPen));
            raster::select_object(g->dc, raster::stock_object(plat::StockObject::WhiteBrush));
        }
        raster::delete_object(pen);
        raster::delete_object(brush);
        if (clip != GdiObject::None) raster::delete_object(clip);
        raster::delete_dc(scaled_source);
        raster::delete_object(scaled_bitmap);
    }
    raster::delete_object(tile);
    raster::delete_dc(source);
    raster::delete_object(source_bitmap);
}

// A region given to SelectClipRgn is copied: changing or deleting it later leaves the clip.
TEST(DcRaster, TheClipIsACopyOfTheRegion) {
    Guarded g(10, 10);
    const GdiObject rgn = raster::create_rect_rgn(0, 0, 5, 5);
    raster::select_clip_rgn(g.dc, rgn);
    raster::offset_rgn(rgn, 5, 5);
    raster::delete_object(rgn);
    const GdiObject brush = raster::create_solid_brush(0x0000FF);
    const GdiObject old = raster::select_object(g.dc, brush);
    raster::pat_blt(g.dc, 0, 0, 10, 10, Rop::PatCopy);
    EXPECT_EQ(g.at(4, 4), 0x00FF0000u);
    EXPECT_EQ(g.at(5, 5), kStart);
    raster::select_object(g.dc, old);
    raster::delete_object(brush);
}

// Copies at the ends of the integers are clipped without overflowing, by the same rules as the
// surface copies (raster/blit.h): those beyond the bitmaps touch nothing, and one as large as
// the integers allow covers the bitmap and no more.
TEST(DcRaster, AbsurdCopyArgumentsNeitherOverflowNorTouchAnything) {
    Guarded g(8, 8), source(8, 8);
    for (int v : {INT_MAX, INT_MIN, INT_MAX - 3, INT_MIN + 3}) {
        raster::bit_blt(g.dc, v, 0, 8, 8, source.dc, 0, 0, Rop::SrcInvert);
        raster::bit_blt(g.dc, 0, v, 8, 8, source.dc, 0, 0, Rop::SrcInvert);
        raster::bit_blt(g.dc, 0, 0, 8, 8, source.dc, v, v, Rop::SrcInvert);
        raster::bit_blt(g.dc, 4, 4, v, 0, source.dc, 0, 0, Rop::SrcInvert);
        raster::bit_blt(g.dc, v, v, v, v, source.dc, v, v, Rop::SrcInvert);
        raster::pat_blt(g.dc, v, v, 5, 5, Rop::DstInvert);
        raster::pat_blt(g.dc, v, v, v, v, Rop::DstInvert);
    }
    raster::pat_blt(g.dc, INT_MIN, INT_MIN, INT_MAX, INT_MAX, Rop::DstInvert);  // ends at -2
    for (int y = -Guarded::kBorder; y < 8 + Guarded::kBorder; ++y)
        for (int x = -Guarded::kBorder; x < 8 + Guarded::kBorder; ++x)
            ASSERT_EQ(g.at(x, y), x >= 0 && y >= 0 && x < 8 && y < 8 ? kStart : kGuard) << x << "," << y;
    raster::pat_blt(g.dc, 0, 0, INT_MAX, INT_MAX, Rop::DstInvert);
    raster::bit_blt(g.dc, -1, -1, INT_MAX, INT_MAX, source.dc, -1, -1, Rop::SrcInvert);
    for (int y = -Guarded::kBorder; y < 8 + Guarded::kBorder; ++y)
        for (int x = -Guarded::kBorder; x < 8 + Guarded::kBorder; ++x)
            ASSERT_EQ(g.at(x, y), x >= 0 && y >= 0 && x < 8 && y < 8 ? ~kStart ^ kStart : kGuard) << x << "," << y;
}

// Objects live on while a device context holds them, and a bitmap is in one context at a time.
TEST(DcRaster, SelectionRules) {
    const Dc a = raster::create_compatible_dc(Dc::None), b = raster::create_compatible_dc(Dc::None);
    const GdiObject bitmap = raster::create_compatible_bitmap(Dc::None, 4, 4);
    const GdiObject stock = raster::select_object(a, bitmap);
    EXPECT_NE(stock, GdiObject::None);
    EXPECT_EQ(raster::select_object(b, bitmap), GdiObject::None) << "a bitmap selected twice";
    // A memory context holding its stock bitmap makes monochrome compatible bitmaps.
    plat::BitmapInfo info;
    const GdiObject mono = raster::create_compatible_bitmap(b, 3, 3);
    ASSERT_TRUE(raster::get_bitmap_info(mono, info));
    EXPECT_EQ(info.bits_per_pixel, 1);
    const GdiObject colour = raster::create_compatible_bitmap(a, 3, 3);
    ASSERT_TRUE(raster::get_bitmap_info(colour, info));
    EXPECT_EQ(info.bits_per_pixel, 32);
    // Deleted while selected: drawing still works until it is replaced.
    const GdiObject pen = raster::create_pen(plat::PenStyle::Solid, 1, 0x0000FF);
    const GdiObject old_pen = raster::select_object(a, pen);
    EXPECT_TRUE(raster::delete_object(pen));
    raster::move_to(a, 0, 1);
    raster::line_to(a, 4, 1);
    EXPECT_EQ(raster::get_pixel(a, 3, 1), 0x0000FFu);
    EXPECT_EQ(raster::get_pixel(a, 4, 1), plat::kInvalidColor);
    raster::select_object(a, old_pen);
    raster::select_object(a, stock);
    EXPECT_NE(raster::select_object(b, bitmap), GdiObject::None) << "free again once deselected";
    // Palettes are remembered and handed back; the mapping mode is MM_TEXT.
    const plat::Palette default_palette = raster::select_palette(a, plat::Palette{77}, false);
    EXPECT_NE(default_palette, plat::Palette::None);
    EXPECT_EQ(raster::select_palette(a, default_palette, false), plat::Palette{77});
    EXPECT_EQ(raster::realize_palette(a), 0u);
    EXPECT_EQ(raster::get_map_mode(a), plat::kMmText);
    raster::delete_dc(a);
    raster::delete_dc(b);
    EXPECT_EQ(raster::get_map_mode(a), 0) << "a deleted context";
    for (GdiObject o : {bitmap, mono, colour}) raster::delete_object(o);
}

TEST(DcRaster, SystemColoursAreWindowsTensAndResolveOnlyWithTheTopBit) {
    EXPECT_EQ(raster::sys_color(15), 0xF0F0F0u);  // button face
    EXPECT_EQ(raster::sys_color(18), 0x000000u);  // button text
    EXPECT_EQ(raster::resolve_color(0x8000000F), 0xF0F0F0u);
    EXPECT_EQ(raster::resolve_color(0x00123456), 0x00123456u);
}

#ifndef _WIN32
// The platform's own calls on the software back ends draw into a platform bitmap.
TEST(DcRaster, PlatformCallsDrawIntoPlatformBitmaps) {
    auto bitmap = plat::create_bitmap(8, 4);
    const Dc dc = plat::bitmap_dc(*bitmap);
    const GdiObject pen = plat::create_pen(plat::PenStyle::Solid, 1, 0x0000FF);
    const GdiObject old = plat::select_object(dc, pen);
    plat::move_to(dc, 0, 2);
    plat::line_to(dc, 8, 2);
    EXPECT_EQ(bitmap->surface().row(2)[7], 0x00FF0000u);
    EXPECT_EQ(plat::get_pixel(dc, 7, 2), 0x0000FFu);
    plat::select_object(dc, old);
    plat::delete_object(pen);
    // The bitmap's handle, for GetObjectA and CopyImage.
    plat::BitmapInfo info;
    ASSERT_TRUE(plat::get_bitmap_info(plat::current_bitmap(dc), info));
    EXPECT_EQ(info.width, 8);
    EXPECT_EQ(info.bits_per_pixel, 32);
    const GdiObject copy = plat::copy_bitmap_scaled(plat::current_bitmap(dc), 16, 8);
    ASSERT_TRUE(plat::get_bitmap_info(copy, info));
    EXPECT_EQ(info.width, 16);
    plat::delete_object(copy);
}
#endif

}  // namespace
