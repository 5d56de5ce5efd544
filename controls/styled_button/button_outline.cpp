// The outline regions of the styled button's shapes, with the small corner cut-outs of
// their styles: what the button's window takes as its region.
#include <array>

#include "controls/styled_button/button_look.h"

namespace controls::styled_button {

using plat::GdiObject;
using plat::Point;

namespace {

void cut(GdiObject region, GdiObject piece) {
    if (piece == GdiObject::None) return;
    plat::combine_rgn(region, region, piece, plat::RegionOp::Diff);
    plat::delete_object(piece);
}

void cut_pixel(GdiObject region, int x, int y) { cut(region, plat::create_rect_rgn(x, y, x + 1, y + 1)); }

void cut_triangle(GdiObject region, Point a, Point b, Point c) {
    const std::array<Point, 3> points{a, b, c};
    cut(region, plat::create_polygon_rgn(points, plat::FillMode::Winding));
}

// The small corner cut-outs of a style, on the left-hand and right-hand sides.
void cut_corners(GdiObject region, int style, bool enabled, int w, int h, bool left, bool right) {
    switch (style) {
    case 1:
        if (left) {
            cut_pixel(region, 0, 0);
            cut_pixel(region, 0, h - 1);
        }
        if (right) {
            cut_pixel(region, w - 1, h - 1);
            cut_pixel(region, w - 1, 0);
        }
        break;
    case 2:
    case 7:
        if (left) {
            cut_triangle(region, {0, 0}, {2, 0}, {0, 2});
            cut_triangle(region, {0, h}, {3, h}, {0, h - 3});
        }
        if (right) {
            cut_triangle(region, {w, 0}, {w - 2, 0}, {w, 2});
            cut_triangle(region, {w, h}, {w - 3, h}, {w, h - 3});
        }
        break;
    case 3:
        if (!enabled) break;
        if (left) cut_pixel(region, 0, h - 1);
        if (right) cut_pixel(region, w - 1, 0);
        break;
    default:
        break;
    }
}

}  // namespace

Insets outline_insets(int shape, int width, int height) {
    const int t = height + 1;  // the slant's run: 45 degrees
    Insets i{0, width};
    if (shape == 1 || shape == 3) i.left = t;
    if (shape == 2 || shape == 3) i.right = width - t;
    return i;
}

GdiObject outline_region(int style, int shape, bool enabled, int w, int h) {
    GdiObject region = GdiObject::None;
    if (shape == 0) {
        region = plat::create_rect_rgn(0, 0, w + 1, h + 1);
        cut_corners(region, style, enabled, w, h, true, true);
    } else if (shape <= 3) {
        const int t = h + 1;
        const int xlp = shape == 1 || shape == 3 ? t : 0;
        const int xrp = shape == 2 || shape == 3 ? w - t + 1 : w + 1;
        const std::array<Point, 4> points{{{0, 0}, {xlp, h + 1}, {w + 1, h + 1}, {xrp, 0}}};
        region = plat::create_polygon_rgn(points, plat::FillMode::Winding);
        // Cut-outs only on a side that does not slant.
        cut_corners(region, style, enabled, w, h, shape == 2, shape == 1);
    } else {
        region = plat::create_elliptic_rgn(0, 0, w + 1, h + 1);
    }
    return region;
}

}  // namespace controls::styled_button
