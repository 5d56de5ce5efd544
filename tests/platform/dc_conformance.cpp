// The raster's device-context layer against real GDI, in the manner of Wine's own dib tests:
// small labelled scenes, each drawn on a 32-bit DIB section with GDI and on a raster bitmap
// with the same calls, compared word for word; a failure names the scene and the first
// differing pixel. Runs on Windows and under Wine (whose GDI is the reference).
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "dc_scene.h"
#include "platform/win32/draw_win32.h"
#include "raster/gdi.h"

namespace {

using dc_test::DrawApi;
using dc_test::kPlatform;
using dc_test::kRaster;
using plat::Dc;
using plat::GdiObject;
using plat::Point;
using plat::Rop;

using Scene = std::function<void(const DrawApi&, Dc)>;

// Both canvases start from the same pixels: a few flat colours, so that raster operations
// and conversions meet both matching and differing values.
std::uint32_t start_pixel(int x, int y) {
    static constexpr std::uint32_t kColours[] = {0x00FFFFFF, 0x00000000, 0x00336699, 0x00C0C0C0, 0x00FF0000, 0x0000FF80};
    return kColours[static_cast<unsigned>((x / 3 + y / 2 * 5) % 6)];
}

std::string describe(const char* label, int x, int y, std::uint32_t gdi, std::uint32_t raster) {
    char text[160];
    std::snprintf(text, sizeof text, "scene \"%s\": first difference at (%d, %d): GDI %08X, raster %08X", label, x, y,
                  gdi, raster);
    return text;
}

// Draws `scene` on both sides on colour bitmaps of width x height; false (with a message)
// when a pixel differs.
::testing::AssertionResult same_pixels(const char* label, int width, int height, const Scene& scene) {
    plat::win32::DibBitmap gdi(width, height);
    if (!gdi.valid()) return ::testing::AssertionFailure() << "no DIB section";
    GdiFlush();
    const plat::Surface g = gdi.surface();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) g.row(y)[x] = start_pixel(x, y);
    const Dc raster_dc = raster::create_compatible_dc(Dc::None);
    const GdiObject raster_bitmap = raster::create_compatible_bitmap(Dc::None, width, height);
    const GdiObject old = raster::select_object(raster_dc, raster_bitmap);
    const plat::Surface r = raster::bitmap_surface(raster_bitmap);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) r.row(y)[x] = start_pixel(x, y);

    const Dc gdi_dc = plat::bitmap_dc(gdi);
    const int saved = SaveDC(reinterpret_cast<HDC>(static_cast<std::uintptr_t>(gdi_dc)));
    scene(kPlatform, gdi_dc);
    RestoreDC(reinterpret_cast<HDC>(static_cast<std::uintptr_t>(gdi_dc)), saved);
    scene(kRaster, raster_dc);
    GdiFlush();

    ::testing::AssertionResult result = ::testing::AssertionSuccess();
    for (int y = 0; y < height && result; ++y)
        for (int x = 0; x < width; ++x)
            if (g.row(y)[x] != r.row(y)[x]) {
                result = ::testing::AssertionFailure() << describe(label, x, y, g.row(y)[x], r.row(y)[x]);
                break;
            }
    raster::select_object(raster_dc, old);
    raster::delete_object(raster_bitmap);
    raster::delete_dc(raster_dc);
    return result;
}

// A pen (or brush) selected for the length of a scene step, then deleted.
struct Selected {
    const DrawApi& api;
    Dc dc;
    GdiObject object, old;
    Selected(const DrawApi& a, Dc d, GdiObject o) : api(a), dc(d), object(o), old(a.select_object(d, o)) {}
    ~Selected() {
        api.select_object(dc, old);
        api.delete_object(object);
    }
};

// ---- Lines -----------------------------------------------------------------------------

TEST(DcConformance, LinesInEveryOctantAndAlongTheAxes) {
    // From the centre to every point of a square ring: all eight octants, the axes and the
    // diagonals (the ties), at lengths 0 to 3 and long.
    for (int length : {0, 1, 2, 3, 7, 19}) {
        for (int dx = -length; dx <= length; ++dx)
            for (int dy = -length; dy <= length; ++dy) {
                if (std::max(std::abs(dx), std::abs(dy)) != length) continue;
                const std::string label = "line (20,20) to (" + std::to_string(20 + dx) + "," + std::to_string(20 + dy) + ")";
                ASSERT_TRUE(same_pixels(label.c_str(), 41, 41, [&](const DrawApi& api, Dc dc) {
                    Selected pen(api, dc, api.create_pen(plat::PenStyle::Solid, 1, 0x0000FF));
                    api.move_to(dc, 20, 20);
                    api.line_to(dc, 20 + dx, 20 + dy);
                }));
            }
    }
}

TEST(DcConformance, LinesClippedAtEveryEdge) {
    std::mt19937 gen(3);
    auto r = [&](int lo, int hi) { return lo + static_cast<int>(gen() % static_cast<unsigned>(hi - lo + 1)); };
    for (int round = 0; round < 300; ++round) {
        const Point a{r(-30, 50), r(-30, 40)}, b{r(-30, 50), r(-30, 40)};
        const bool clip = round % 2 == 1;
        const std::string label = "line (" + std::to_string(a.x) + "," + std::to_string(a.y) + ") to (" +
                                  std::to_string(b.x) + "," + std::to_string(b.y) + (clip ? ") clipped" : ")");
        ASSERT_TRUE(same_pixels(label.c_str(), 23, 17, [&](const DrawApi& api, Dc dc) {
            if (clip) {
                const GdiObject rgn = api.create_rect_rgn(3, 2, 19, 13);
                api.select_clip_rgn(dc, rgn);
                api.delete_object(rgn);
            }
            Selected pen(api, dc, api.create_pen(plat::PenStyle::Solid, 1, 0x123456));
            api.move_to(dc, a.x, a.y);
            api.line_to(dc, b.x, b.y);
            api.select_clip_rgn(dc, GdiObject::None);
        }));
    }
}

TEST(DcConformance, Polylines) {
    const std::vector<std::vector<Point>> shapes = {
        {{2, 20}, {3, 2}, {30, 2}, {40, 20}, {1, 20}},                 // a ring of a slanted button
        {{0, 0}, {39, 0}, {39, 22}, {0, 22}, {0, 0}},                  // a closed frame
        {{5, 5}, {5, 5}, {6, 5}, {6, 6}, {20, 18}, {-5, 30}},          // zero-length and clipped segments
        {{35, 3}, {2, 21}, {38, 21}, {4, 4}},
    };
    for (std::size_t i = 0; i < shapes.size(); ++i)
        for (int mode = 0; mode < 3; ++mode) {
            const std::string label = "polyline " + std::to_string(i) + " pen " + std::to_string(mode);
            ASSERT_TRUE(same_pixels(label.c_str(), 41, 24, [&](const DrawApi& api, Dc dc) {
                const plat::PenStyle style = mode == 2 ? plat::PenStyle::Dot : plat::PenStyle::Solid;
                Selected pen(api, dc, api.create_pen(style, 1, mode == 1 ? 0xFFFFFF : 0x0080FF));
                api.polyline(dc, shapes[i]);
            }));
        }
}

TEST(DcConformance, DottedPenOpaqueAndTransparent) {
    for (int transparent = 0; transparent < 2; ++transparent) {
        const std::string label = std::string("dotted pen, ") + (transparent ? "transparent" : "opaque");
        ASSERT_TRUE(same_pixels(label.c_str(), 40, 30, [&](const DrawApi& api, Dc dc) {
            api.set_bk_color(dc, 0x00FF00);
            api.set_bk_mode(dc, transparent ? plat::BkMode::Transparent : plat::BkMode::Opaque);
            Selected pen(api, dc, api.create_pen(plat::PenStyle::Dot, 1, 0x0000FF));
            const Point ring[] = {{2, 27}, {2, 2}, {37, 2}, {37, 27}, {1, 27}};
            api.polyline(dc, std::span<const Point>(ring));
            api.move_to(dc, 30, 5);
            api.line_to(dc, 5, 25);
        }));
    }
}

// ---- Rectangles ------------------------------------------------------------------------

TEST(DcConformance, RectanglesIncludingEmptyAndInverted) {
    const int boxes[][4] = {{2, 2, 20, 12}, {20, 12, 2, 2}, {5, 5, 5, 9}, {5, 5, 6, 6}, {5, 5, 7, 7},
                            {-3, -3, 10, 10}, {15, 8, 40, 30}, {8, 3, 9, 20}};
    for (const auto& b : boxes)
        for (int pen_kind = 0; pen_kind < 3; ++pen_kind) {
            const std::string label = "rectangle " + std::to_string(b[0]) + "," + std::to_string(b[1]) + "," +
                                      std::to_string(b[2]) + "," + std::to_string(b[3]) + " pen " + std::to_string(pen_kind);
            ASSERT_TRUE(same_pixels(label.c_str(), 30, 22, [&](const DrawApi& api, Dc dc) {
                const GdiObject pen = pen_kind == 2 ? api.stock_object(plat::StockObject::NullPen)
                                                    : api.create_pen(plat::PenStyle::Solid, 1, pen_kind ? 0x00FFFF : 0x800000);
                const GdiObject old_pen = api.select_object(dc, pen);
                Selected brush(api, dc, api.create_solid_brush(0x4080C0));
                api.draw_rectangle(dc, b[0], b[1], b[2], b[3]);
                api.select_object(dc, old_pen);
                api.delete_object(pen);
            }));
        }
}

// ---- Ellipses and arcs -----------------------------------------------------------------

TEST(DcConformance, EllipsesFromOneByOneTo60By40) {
    const int sizes[][2] = {{1, 1}, {2, 2}, {3, 3}, {4, 3}, {5, 5}, {6, 4}, {7, 9}, {10, 10}, {11, 6},
                            {16, 16}, {25, 12}, {31, 31}, {60, 40}, {59, 39}, {73, 25}};
    for (const auto& s : sizes) {
        const std::string label = "ellipse " + std::to_string(s[0]) + "x" + std::to_string(s[1]);
        ASSERT_TRUE(same_pixels(label.c_str(), 80, 46, [&](const DrawApi& api, Dc dc) {
            Selected pen(api, dc, api.create_pen(plat::PenStyle::Solid, 1, 0x0000C0));
            Selected brush(api, dc, api.create_solid_brush(0xC0FFC0));
            api.draw_ellipse(dc, 3, 2, 3 + s[0], 2 + s[1]);
        }));
    }
}

TEST(DcConformance, ArcsFromOneByOneTo60By40) {
    const int sizes[][2] = {{1, 1}, {3, 3}, {4, 4}, {7, 5}, {12, 12}, {21, 14}, {60, 40}, {59, 39}};
    const int rays[][4] = {{100, 0, 0, -100}, {0, -100, 100, 0}, {-100, 10, 100, 10}, {30, 30, 30, 30}, {5, -100, -5, -100}};
    for (const auto& s : sizes)
        for (const auto& ray : rays) {
            const std::string label = "arc " + std::to_string(s[0]) + "x" + std::to_string(s[1]) + " rays " +
                                      std::to_string(ray[0]) + "," + std::to_string(ray[1]) + "," +
                                      std::to_string(ray[2]) + "," + std::to_string(ray[3]);
            ASSERT_TRUE(same_pixels(label.c_str(), 70, 46, [&](const DrawApi& api, Dc dc) {
                Selected pen(api, dc, api.create_pen(plat::PenStyle::Solid, 1, 0xFF00FF));
                const int cx = 3 + s[0] / 2, cy = 2 + s[1] / 2;
                api.draw_arc(dc, 3, 2, 3 + s[0], 2 + s[1], cx + ray[0], cy + ray[1], cx + ray[2], cy + ray[3]);
            }));
        }
}

// ---- Regions: the button outlines, as clip and as fill ------------------------------------

// The outline of a styled button of w x h: rectangle, slanted left, slanted right, both
// slanted, ellipse; minus the corner cut-outs of the rounded styles.
GdiObject button_region(const DrawApi& api, int shape, int w, int h, bool cut_corners) {
    GdiObject rgn;
    const int t = h + 1;
    if (shape == 0) {
        rgn = api.create_rect_rgn(0, 0, w + 1, h + 1);
    } else if (shape <= 3) {
        const int xl = (shape == 1 || shape == 3) ? t : 0;
        const int xr = (shape == 2 || shape == 3) ? w - t + 1 : w + 1;
        const Point pts[] = {{0, 0}, {xl, h + 1}, {w + 1, h + 1}, {xr, 0}};
        rgn = api.create_polygon_rgn(std::span<const Point>(pts), plat::FillMode::Winding);
    } else {
        return api.create_elliptic_rgn(0, 0, w + 1, h + 1);
    }
    if (cut_corners) {
        const Point corners[][3] = {{{0, 0}, {2, 0}, {0, 2}}, {{0, h}, {3, h}, {0, h - 3}},
                                    {{w, 0}, {w - 2, 0}, {w, 2}}, {{w, h}, {w - 3, h}, {w, h - 3}}};
        for (const auto& c : corners) {
            const GdiObject cut = api.create_polygon_rgn(std::span<const Point>(c, 3), plat::FillMode::Winding);
            api.combine_rgn(rgn, rgn, cut, plat::RegionOp::Diff);
            api.delete_object(cut);
        }
        const GdiObject dot = api.create_rect_rgn(w - 1, 0, w, 1);
        api.combine_rgn(rgn, rgn, dot, plat::RegionOp::Diff);
        api.delete_object(dot);
    }
    return rgn;
}

TEST(DcConformance, ButtonRegionsAsFillAndAsClip) {
    const int sizes[][2] = {{73, 25}, {31, 23}, {40, 12}, {12, 9}, {100, 30}};
    for (const auto& s : sizes)
        for (int shape = 0; shape <= 4; ++shape)
            for (int cut = 0; cut < 2; ++cut)
                for (int use = 0; use < 2; ++use) {
                    const std::string label = "button region " + std::to_string(s[0]) + "x" + std::to_string(s[1]) +
                                              " shape " + std::to_string(shape) + (cut ? " cut" : "") +
                                              (use ? " as clip" : " as fill");
                    ASSERT_TRUE(same_pixels(label.c_str(), s[0] + 8, s[1] + 8, [&](const DrawApi& api, Dc dc) {
                        const GdiObject rgn = button_region(api, shape, s[0], s[1], cut == 1);
                        api.offset_rgn(rgn, 2, 3);
                        if (use == 0) {
                            const GdiObject brush = api.create_solid_brush(0x203040);
                            api.fill_region(dc, rgn, brush);
                            api.delete_object(brush);
                        } else {
                            api.select_clip_rgn(dc, rgn);
                            Selected brush(api, dc, api.create_solid_brush(0x00FFFF));
                            api.pat_blt(dc, -5, -5, s[0] + 20, s[1] + 20, Rop::PatCopy);
                            Selected pen(api, dc, api.create_pen(plat::PenStyle::Solid, 1, 0xFF0000));
                            api.move_to(dc, 0, 0);
                            api.line_to(dc, s[0] + 8, s[1] + 8);
                            api.select_clip_rgn(dc, GdiObject::None);
                        }
                        api.delete_object(rgn);
                    }));
                }
}

// ---- Raster operations -----------------------------------------------------------------

TEST(DcConformance, All256RasterOperationsWithAPatternBrush) {
    for (int code = 0; code < 256; ++code) {
        const std::string label = "raster operation " + std::to_string(code);
        ASSERT_TRUE(same_pixels(label.c_str(), 19, 13, [&](const DrawApi& api, Dc dc) {
            // An 8 x 8 colour pattern and a source of flat colours.
            const Dc mem = api.create_compatible_dc(dc);
            const GdiObject pattern_bitmap = api.create_compatible_bitmap(dc, 8, 8);
            const GdiObject old = api.select_object(mem, pattern_bitmap);
            for (int y = 0; y < 8; ++y)
                for (int x = 0; x < 8; ++x) api.set_pixel(mem, x, y, ((x + y) % 3 == 0) ? 0x0000FF : ((x ^ y) & 1 ? 0xFFFFFF : 0x336699));
            api.select_object(mem, old);
            Selected brush(api, dc, api.create_pattern_brush(pattern_bitmap));
            api.delete_object(pattern_bitmap);
            const GdiObject source = api.create_compatible_bitmap(dc, 17, 11);
            const GdiObject old_src = api.select_object(mem, source);
            for (int y = 0; y < 11; ++y)
                for (int x = 0; x < 17; ++x) api.set_pixel(mem, x, y, (x / 4 + y / 3) % 2 ? 0x00FF00 : 0xC0C0C0);
            // The code's usual low word does not matter to GDI; only bits 16..23 do.
            const Rop rop = static_cast<Rop>(static_cast<std::uint32_t>(code) << 16);
            // Source and destination at the same place, on the top row: for the operations
            // that it evaluates on a copy of the source, Wine lays the pattern out from that
            // copy's position instead of the destination's (the program's own brushes are
            // solid, where this cannot show).
            api.bit_blt(dc, 2, 0, 15, 10, mem, 2, 0, rop);
            api.pat_blt(dc, 9, 5, 8, 7, rop);  // (nothing for the operations that read a source)
            api.select_object(mem, old_src);
            api.delete_object(source);
            api.delete_dc(mem);
        }));
    }
}

// ---- Copies between colour and monochrome, and stretches ---------------------------------

TEST(DcConformance, ColourAndMonochromeConversionsBothWays) {
    ASSERT_TRUE(same_pixels("colour to monochrome and back", 24, 16, [](const DrawApi& api, Dc dc) {
        const Dc mem = api.create_compatible_dc(dc);
        // The memory context still holds its stock bitmap: a compatible bitmap is monochrome.
        const GdiObject mask = api.create_compatible_bitmap(mem, 24, 16);
        plat::BitmapInfo info;
        api.get_bitmap_info(mask, info);
        const GdiObject old = api.select_object(mem, mask);
        api.set_bk_color(dc, 0xC0C0C0);  // the source's background becomes white
        api.bit_blt(mem, 0, 0, 24, 16, dc, 0, 0, Rop::SrcCopy);
        // Monochrome to colour: 0 takes the text colour, 1 the background colour.
        api.set_text_color(dc, 0x0000FF);
        api.set_bk_color(dc, 0x00FF00);
        api.bit_blt(dc, 0, 0, 12, 16, mem, 0, 0, Rop::SrcCopy);
        api.bit_blt(dc, 12, 0, 12, 16, mem, 12, 0, Rop::SrcAnd);
        api.set_pixel(dc, 0, 0, info.bits_per_pixel == 1 ? 0x000001 : 0x000002);
        api.select_object(mem, old);
        api.delete_object(mask);
        api.delete_dc(mem);
    }));
    ASSERT_TRUE(same_pixels("transparent picture: mask, 0x220326, AND then OR", 30, 20, [](const DrawApi& api, Dc dc) {
        // The styled button's transparent copy: the top-left colour is see-through.
        const Dc pic = api.create_compatible_dc(dc);
        const GdiObject picture = api.create_compatible_bitmap(dc, 10, 8);
        const GdiObject old_pic = api.select_object(pic, picture);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 10; ++x) api.set_pixel(pic, x, y, (x > 2 && x < 8 && y > 1 && y < 7) ? 0x1020F0 : 0xFF00FF);
        const Dc mdc = api.create_compatible_dc(dc);
        const GdiObject mask = api.create_mono_bitmap(10, 8, nullptr);
        const GdiObject old_mask = api.select_object(mdc, mask);
        api.set_bk_color(pic, api.get_pixel(pic, 0, 0));
        api.bit_blt(mdc, 0, 0, 10, 8, pic, 0, 0, Rop::SrcCopy);
        api.set_text_color(pic, 0x000000);
        api.set_bk_color(pic, 0xFFFFFF);
        api.bit_blt(pic, 0, 0, 10, 8, mdc, 0, 0, Rop::MaskOutSource);
        api.set_text_color(dc, 0x000000);
        api.set_bk_color(dc, 0xFFFFFF);
        api.stretch_blt(dc, 2, 2, 20, 16, mdc, 0, 0, 10, 8, Rop::SrcAnd);
        api.stretch_blt(dc, 2, 2, 20, 16, pic, 0, 0, 10, 8, Rop::SrcPaint);
        // The disabled look: the silhouette stamped with 0xB8074A and a brush.
        Selected brush(api, dc, api.create_solid_brush(0xE4E5E5));
        api.bit_blt(dc, 18, 9, 10, 8, mdc, 0, 0, Rop::PaintBrushWhereBlack);
        api.select_object(mdc, old_mask);
        api.delete_object(mask);
        api.delete_dc(mdc);
        api.select_object(pic, old_pic);
        api.delete_object(picture);
        api.delete_dc(pic);
    }));
}

TEST(DcConformance, StretchedStripsAndPicturesUpAndDown) {
    const int cases[][4] = {{1, 20, 40, 20}, {1, 20, 25, 20}, {20, 1, 20, 30}, {20, 1, 20, 7}, {16, 12, 33, 25},
                            {16, 12, 7, 5}, {16, 12, 16, 3}, {16, 12, 1, 12}, {16, 12, 16, 1}, {5, 9, 40, 2}};
    for (const auto& c : cases) {
        const std::string label = "stretch " + std::to_string(c[0]) + "x" + std::to_string(c[1]) + " to " +
                                  std::to_string(c[2]) + "x" + std::to_string(c[3]);
        ASSERT_TRUE(same_pixels(label.c_str(), 46, 34, [&](const DrawApi& api, Dc dc) {
            const Dc mem = api.create_compatible_dc(dc);
            const GdiObject picture = api.create_compatible_bitmap(dc, c[0], c[1]);
            const GdiObject old = api.select_object(mem, picture);
            for (int y = 0; y < c[1]; ++y)
                for (int x = 0; x < c[0]; ++x)
                    api.set_pixel(mem, x, y, static_cast<plat::ColorRef>((x * 37 + y * 91) * 0x010307) & 0xFFFFFF);
            api.stretch_blt(dc, 3, 2, c[2], c[3], mem, 0, 0, c[0], c[1], Rop::SrcCopy);
            // Partly outside the source and the destination.
            api.stretch_blt(dc, 30, 20, c[2], c[3], mem, -2, 1, c[0], c[1], Rop::SrcCopy);
            api.select_object(mem, old);
            api.delete_object(picture);
            api.delete_dc(mem);
        }));
    }
}

// ---- Pixels, focus rectangles, icons ------------------------------------------------------

TEST(DcConformance, PixelsReadAndWritten) {
    ASSERT_TRUE(same_pixels("set and get pixels", 10, 10, [](const DrawApi& api, Dc dc) {
        api.set_pixel(dc, 1, 1, 0x123456);
        api.set_pixel_v(dc, 2, 1, 0x654321);
        api.set_pixel(dc, -1, 3, 0xFFFFFF);
        api.set_pixel(dc, 10, 3, 0xFFFFFF);
        const plat::ColorRef read = api.get_pixel(dc, 1, 1);
        api.set_pixel(dc, 3, 3, read == 0x123456 ? 0x00FF00 : 0x0000FF);
        api.set_pixel(dc, 4, 3, api.get_pixel(dc, 10, 0) == plat::kInvalidColor ? 0x00FF00 : 0x0000FF);
        const GdiObject rgn = api.create_rect_rgn(5, 5, 8, 8);
        api.select_clip_rgn(dc, rgn);
        api.delete_object(rgn);
        api.set_pixel(dc, 4, 4, 0x000000);  // outside the clip: not drawn
        api.set_pixel(dc, 6, 6, 0x000000);
        api.select_clip_rgn(dc, GdiObject::None);
    }));
}

TEST(DcConformance, FocusRectangles) {
    const int boxes[][4] = {{4, 4, 30, 20}, {3, 3, 4, 4}, {5, 5, 9, 6}, {0, 0, 34, 24}, {10, 2, 11, 22}};
    for (const auto& b : boxes) {
        const std::string label = "focus rectangle " + std::to_string(b[0]) + "," + std::to_string(b[1]) + "," +
                                  std::to_string(b[2]) + "," + std::to_string(b[3]);
        ASSERT_TRUE(same_pixels(label.c_str(), 34, 24, [&](const DrawApi& api, Dc dc) {
            api.draw_focus_rect(dc, plat::Rect{b[0], b[1], b[2], b[3]});
        }));
    }
}

TEST(DcConformance, IconsDrawnAndScaled) {
    ASSERT_TRUE(same_pixels("icon drawn at its size and scaled", 60, 40, [](const DrawApi& api, Dc dc) {
        const Dc mem = api.create_compatible_dc(dc);
        const GdiObject colour = api.create_compatible_bitmap(dc, 16, 16);
        const GdiObject old = api.select_object(mem, colour);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) api.set_pixel(mem, x, y, (x - 8) * (x - 8) + (y - 8) * (y - 8) < 40 ? 0x00C0FF : 0);
        api.select_object(mem, old);
        std::uint8_t bits[32];
        for (int y = 0; y < 16; ++y) {
            bits[y * 2] = static_cast<std::uint8_t>(y < 4 ? 0xFF : 0xF0);
            bits[y * 2 + 1] = 0x0F;
        }
        const GdiObject mask = api.create_mono_bitmap(16, 16, bits);
        const plat::Icon icon = api.create_icon(colour, mask);
        api.draw_icon(dc, 2, 2, icon, 0, 0);
        api.draw_icon(dc, 20, 2, icon, 32, 32);
        const plat::Icon small = api.copy_icon_scaled(icon, 8, 8);
        api.draw_icon(dc, 2, 25, small, 0, 0);
        api.destroy_icon(small);
        api.destroy_icon(icon);
        api.delete_object(mask);
        api.delete_object(colour);
        api.delete_dc(mem);
    }));
}

}  // namespace

namespace {

TEST(DcConformance, TwoPixelPens) {
    const std::vector<std::vector<Point>> shapes = {
        {{3, 3}, {30, 3}}, {{3, 3}, {3, 20}}, {{30, 20}, {3, 20}}, {{4, 4}, {20, 15}}, {{5, 18}, {30, 2}},
        {{2, 20}, {3, 2}, {30, 2}, {36, 20}, {1, 20}},
    };
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        const std::string label = "2-pixel pen, polyline " + std::to_string(i);
        ASSERT_TRUE(same_pixels(label.c_str(), 40, 24, [&](const DrawApi& api, Dc dc) {
            Selected pen(api, dc, api.create_pen(plat::PenStyle::Solid, 2, 0x0000FF));
            api.polyline(dc, shapes[i]);
        }));
    }
    for (int filled = 0; filled < 2; ++filled) {
        ASSERT_TRUE(same_pixels(filled ? "2-pixel pen, filled ellipse" : "2-pixel pen, ellipse outline", 40, 24,
                                [&](const DrawApi& api, Dc dc) {
            Selected pen(api, dc, api.create_pen(plat::PenStyle::Solid, 2, 0x0000FF));
            Selected brush(api, dc, filled ? api.create_solid_brush(0x00C000) : api.stock_object(plat::StockObject::NullBrush));
            api.draw_ellipse(dc, 1, 1, 38, 22);
            api.draw_rectangle(dc, 3, 3, 15, 12);
        }));
    }
}

}  // namespace

namespace {

TEST(DcConformance, DrawingOnMonochromeBitmaps) {
    ASSERT_TRUE(same_pixels("pens, brushes and pixels on a monochrome bitmap", 32, 20, [](const DrawApi& api, Dc dc) {
        const Dc mem = api.create_compatible_dc(dc);
        const GdiObject mono = api.create_mono_bitmap(32, 20, nullptr);
        const GdiObject old = api.select_object(mem, mono);
        api.set_bk_color(mem, 0x808080);
        // Brushes of black and white only: GDI dithers other brush colours on monochrome
        // bitmaps, which the raster does not (the program never paints them there).
        {
            Selected brush(api, mem, api.create_solid_brush(0xFFFFFF));
            api.pat_blt(mem, 0, 0, 32, 20, Rop::PatCopy);
        }
        for (plat::ColorRef pen_colour : {0x00C0FFu, 0x808080u, 0x000000u}) {
            // A colour that is neither black, white nor the background; the background; black.
            Selected pen(api, mem, api.create_pen(plat::PenStyle::Solid, 1, pen_colour));
            Selected brush(api, mem, api.create_solid_brush(pen_colour == 0 ? 0xFFFFFF : 0x000000));
            const int shift = static_cast<int>(pen_colour % 7);
            api.draw_rectangle(mem, 2 + shift, 2, 15 + shift, 12);
            api.draw_ellipse(mem, 16, 3 + shift, 30, 18);
        }
        api.set_pixel(mem, 1, 18, 0x202020);  // nearer black
        api.set_pixel(mem, 2, 18, 0xE0E0E0);  // nearer white
        api.set_pixel(mem, 3, 18, 0x808080);  // a tie takes black
        api.set_text_color(dc, 0x0000C0);
        api.set_bk_color(dc, 0xC0FFC0);
        api.bit_blt(dc, 0, 0, 32, 20, mem, 0, 0, Rop::SrcCopy);
        api.select_object(mem, old);
        api.delete_object(mono);
        api.delete_dc(mem);
    }));
}

TEST(DcConformance, ScaledCopiesOfBitmaps) {
    ASSERT_TRUE(same_pixels("CopyImage of a bitmap, up and down", 60, 40, [](const DrawApi& api, Dc dc) {
        const Dc mem = api.create_compatible_dc(dc);
        const GdiObject picture = api.create_compatible_bitmap(dc, 12, 9);
        GdiObject old = api.select_object(mem, picture);
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 12; ++x) api.set_pixel(mem, x, y, static_cast<plat::ColorRef>(x * 20 + y * 0x1500 + 0x400000));
        api.select_object(mem, old);
        const int sizes[][2] = {{24, 18}, {5, 4}, {12, 9}, {30, 7}};
        int x = 0;
        for (const auto& s : sizes) {
            const GdiObject copy = api.copy_bitmap_scaled(picture, s[0], s[1]);
            plat::BitmapInfo info;
            api.get_bitmap_info(copy, info);
            old = api.select_object(mem, copy);
            api.bit_blt(dc, x, 0, info.width, info.height, mem, 0, 0, Rop::SrcCopy);
            api.select_object(mem, old);
            api.delete_object(copy);
            x += s[0] / 2;
        }
        api.delete_object(picture);
        api.delete_dc(mem);
    }));
}

// The rectangles a region hands to a window: the same on both sides.
TEST(DcConformance, RegionRectanglesForWindows) {
    const int sizes[][2] = {{73, 25}, {31, 23}, {12, 9}};
    for (const auto& s : sizes)
        for (int shape = 0; shape <= 4; ++shape) {
            const GdiObject a = button_region(kPlatform, shape, s[0], s[1], shape < 3);
            const GdiObject b = button_region(kRaster, shape, s[0], s[1], shape < 3);
            // Compare the pixels the two sets cover, row by row.
            auto cover = [](const std::vector<plat::Rect>& rects) {
                std::vector<std::pair<int, int>> px;
                for (const auto& r : rects)
                    for (int y = r.top; y < r.bottom; ++y)
                        for (int x = r.left; x < r.right; ++x) px.emplace_back(y, x);
                std::sort(px.begin(), px.end());
                return px;
            };
            const auto ra = plat::region_rects(a), rb = raster::region_rects(b);
            EXPECT_EQ(cover(ra), cover(rb)) << "shape " << shape << " " << s[0] << "x" << s[1];
            EXPECT_EQ(ra.size(), rb.size()) << "shape " << shape << " " << s[0] << "x" << s[1];
            plat::delete_object(a);
            raster::delete_object(b);
        }
}

}  // namespace

namespace {

TEST(DcConformance, NegativeSizes) {
    const int sizes[][2] = {{-5, 4}, {5, -4}, {-5, -4}, {-1, -1}};
    for (const auto& s : sizes) {
        const std::string label = "negative sizes " + std::to_string(s[0]) + "x" + std::to_string(s[1]);
        ASSERT_TRUE(same_pixels(label.c_str(), 24, 16, [&](const DrawApi& api, Dc dc) {
            Selected brush(api, dc, api.create_solid_brush(0x0000FF));
            api.pat_blt(dc, 6, 6, s[0], s[1], Rop::PatCopy);
            api.bit_blt(dc, 16, 8, s[0], s[1], dc, 2, 1, Rop::SrcCopy);
        }));
    }
}

}  // namespace
