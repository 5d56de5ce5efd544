#include <algorithm>
#include <memory>
#include <vector>

#include "raster/gdi.h"
#include "raster/gdi_lines.h"
#include "raster/gdi_objects.h"
#include "raster/gdi_paint.h"
#include "raster/text.h"

namespace raster {
using namespace gdi;

namespace {

// A rectangle from two corners in either order.
Rect ordered(int left, int top, int right, int bottom) {
    return Rect{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
}

}  // namespace

// ---- Pixels ----------------------------------------------------------------------------

ColorRef set_pixel(Dc dc, int x, int y, ColorRef color) {
    DcObj* d = table().dc(dc);
    if (!d || !point_visible(*d, x, y)) return plat::kInvalidColor;
    const std::uint32_t p = nearest_pixel(*d->bitmap, color);
    // A design pixel: its whole block of device pixels at a scale.
    const int scale = d->bitmap->scale;
    const plat::Surface surface = d->bitmap->surface();
    for (int j = 0; j < scale; ++j) std::fill_n(surface.row(y * scale + j) + x * scale, scale, p);
    return d->bitmap->mono ? (p ? 0xFFFFFF : 0) : (color & 0xFFFFFF);
}

bool set_pixel_v(Dc dc, int x, int y, ColorRef color) { return raster::set_pixel(dc, x, y, color) != plat::kInvalidColor; }

ColorRef get_pixel(Dc dc, int x, int y) {
    DcObj* d = table().dc(dc);
    // Only the bitmap's edge limits GetPixel; the clip region does not.
    if (!d || x < 0 || y < 0 || x >= d->bitmap->width || y >= d->bitmap->height) return plat::kInvalidColor;
    const std::uint32_t p = d->bitmap->at(x, y);  // a scaled block's top-left pixel
    return d->bitmap->mono ? (p ? 0xFFFFFF : 0) : color_of(p);
}

// ---- Lines, shapes and text ------------------------------------------------------------

bool move_to(Dc dc, int x, int y) {
    DcObj* d = table().dc(dc);
    if (!d) return false;
    d->position = Point{x, y};
    return true;
}

bool line_to(Dc dc, int x, int y) {
    DcObj* d = table().dc(dc);
    if (!d) return false;
    const Point pts[2] = {d->position, Point{x, y}};
    pen_lines(*d, pts, false);
    d->position = pts[1];
    return true;
}

bool polyline(Dc dc, std::span<const Point> points) {
    DcObj* d = table().dc(dc);
    if (!d || points.size() < 2) return false;
    pen_lines(*d, points, false);
    return true;
}

bool draw_rectangle(Dc dc, int left, int top, int right, int bottom) {
    DcObj* d = table().dc(dc);
    if (!d) return false;
    Rect r = ordered(left, top, right, bottom);
    if (r.left == r.right || r.top == r.bottom) return true;
    // The outline runs through the last column and row inside the rectangle, counter-clockwise
    // (the default arc direction) from the top-right corner, which is where a dotted pen's
    // pattern starts; the brush fills what lies inside the outline.
    --r.right;
    --r.bottom;
    const Point pts[4] = {{r.right, r.top}, {r.left, r.top}, {r.left, r.bottom}, {r.right, r.bottom}};
    if (d->pen->style != PenStyle::Null && d->pen->width > 1) {
        // A wide outline: the brush fills the rectangle less the stroke.
        const Region stroke = wide_pen_region(pts, true, d->pen->width);
        brush_region(*d, Region::combine(Region::rect(r.left, r.top, r.right, r.bottom), stroke, plat::RegionOp::Diff));
        pen_lines(*d, pts, true);
        return true;
    }
    pen_lines(*d, pts, true);
    const int pen_width = d->pen->style == PenStyle::Null ? 0 : d->pen->width;
    const Rect inside{r.left + (pen_width + 1) / 2, r.top + (pen_width + 1) / 2, r.right - pen_width / 2,
                      r.bottom - pen_width / 2};
    brush_rect(*d, inside);
    return true;
}

bool draw_ellipse(Dc dc, int left, int top, int right, int bottom) {
    DcObj* d = table().dc(dc);
    if (!d) return false;
    const Rect r = ordered(left, top, right, bottom);
    if (r.left == r.right || r.top == r.bottom) return true;
    if (r.right - r.left <= 2 || r.bottom - r.top <= 2) return raster::draw_rectangle(dc, left, top, right, bottom);
    // The whole outline is the arc that starts and ends on the same ray.
    const std::vector<Point> pts = arc_points(r, Point{1, 0}, Point{1, 0});
    // The brush fills the polygon of the outline first (less a wide pen's stroke); the
    // outline is drawn over it.
    if (d->brush->kind != BrushObj::Kind::Null && pts.size() >= 3) {
        Region inside = Region::polygon(pts, plat::FillMode::Winding);
        if (d->pen->style != PenStyle::Null && d->pen->width > 1)
            inside = Region::combine(inside, wide_pen_region(pts, true, d->pen->width), plat::RegionOp::Diff);
        brush_region(*d, inside);
    }
    pen_lines(*d, pts, true);
    return true;
}

bool draw_arc(Dc dc, int left, int top, int right, int bottom, int start_x, int start_y, int end_x, int end_y) {
    DcObj* d = table().dc(dc);
    if (!d) return false;
    const Rect r = ordered(left, top, right, bottom);
    if (r.left == r.right || r.top == r.bottom) return true;
    const int cx = r.left + (r.right - r.left) / 2, cy = r.top + (r.bottom - r.top) / 2;
    const std::vector<Point> pts = arc_points(r, Point{start_x - cx, start_y - cy}, Point{end_x - cx, end_y - cy});
    if (pts.size() >= 2) pen_lines(*d, pts, false);
    return true;
}

bool draw_focus_rect(Dc dc, const Rect& rect) {
    Table& t = table();
    DcObj* d = t.dc(dc);
    if (!d) return false;
    // The focus frame is the rectangle outline in an alternate-pixel pen that inverts the
    // pixels it sets, with no fill and the gaps left alone.
    auto saved_pen = d->pen;
    auto saved_brush = d->brush;
    const int saved_rop2 = d->rop2;
    const BkMode saved_mode = d->mode;
    auto pen = std::make_shared<PenObj>();
    pen->color = raster::sys_color(8);
    pen->alternate = true;
    d->pen = pen;
    d->brush = t.get<BrushObj>(t.stock[static_cast<int>(StockObject::NullBrush)]);
    d->rop2 = 6;  // R2_NOT
    d->mode = BkMode::Transparent;
    raster::draw_rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
    d->pen = saved_pen;
    d->brush = saved_brush;
    d->rop2 = saved_rop2;
    d->mode = saved_mode;
    return true;
}

bool fill_region(Dc dc, GdiObject region, GdiObject brush) {
    Table& t = table();
    DcObj* d = t.dc(dc);
    auto rgn = t.get<RegionObj>(region);
    auto b = t.get<BrushObj>(brush);
    if (!d || !rgn || !b) return false;
    auto saved = d->brush;
    const int saved_rop2 = d->rop2;
    d->brush = b;
    d->rop2 = 13;  // FillRgn always copies the brush
    brush_region(*d, rgn->region);
    d->brush = saved;
    d->rop2 = saved_rop2;
    return true;
}

int draw_text(Dc dc, std::string_view text, Rect& rect, std::uint32_t format) {
    DcObj* d = table().dc(dc);
    if (!d) return 0;
    const Rect whole{0, 0, d->bitmap->width, d->bitmap->height};
    std::vector<Rect> clip = visible(*d, whole);
    if (clip.empty()) clip.push_back(Rect{0, 0, 0, 0});  // nothing visible: nothing drawn
    return raster::draw_text(d->bitmap->surface(), clip, d->font ? d->font->font.get() : nullptr, text, rect, format,
                           d->text & 0xFFFFFF, d->mode == BkMode::Opaque, d->bk & 0xFFFFFF, d->bitmap->scale);
}

}  // namespace raster
