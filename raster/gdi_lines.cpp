#include "raster/gdi_lines.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "raster/gdi_paint.h"

namespace raster::gdi {
namespace {

// ---- Pens and lines --------------------------------------------------------------------

// The pixels a pen sets, with the dash state carried from segment to segment.
struct PenPainter {
    const DcObj& dc;
    plat::Surface surface;
    std::uint32_t mark, gap;
    std::uint8_t code;
    bool dashed, gap_drawn;
    int dash_on, dash_off, dash_pos = 0;

    explicit PenPainter(const DcObj& d)
        : dc(d), surface(d.bitmap->surface()), mark(drawing_pixel(d, d.pen->color)), gap(drawing_pixel(d, d.bk)),
          code(rop3_of_rop2(d.rop2)) {
        dashed = d.pen->style == PenStyle::Dot || d.pen->alternate;
        // The dotted cosmetic pen is three pixels on, three off; the alternate pen one and one.
        dash_on = dash_off = d.pen->alternate ? 1 : 3;
        // Gaps take the background colour in OPAQUE mode and are left alone otherwise.
        gap_drawn = d.mode == BkMode::Opaque;
    }
    void reset_dash() { dash_pos = 0; }
    // A pen's pixel is a design pixel: at a scale it covers its block of device pixels.
    void put(int x, int y, std::uint32_t colour) {
        if (!point_visible(dc, x, y)) return;
        const int scale = dc.bitmap->scale;
        for (int j = 0; j < scale; ++j) {
            std::uint32_t* row = surface.row(y * scale + j) + x * scale;
            for (int i = 0; i < scale; ++i) row[i] = rop3(code, colour, 0, row[i]);
        }
    }
    void plot(int x, int y) {
        if (!dashed) {
            put(x, y, mark);
            return;
        }
        const bool on = dash_pos < dash_on;
        dash_pos = (dash_pos + 1) % (dash_on + dash_off);
        if (on)
            put(x, y, mark);
        else if (gap_drawn)
            put(x, y, gap);
    }
};

int octant_of(int dx, int dy) {
    if (dy > 0) {
        if (dx > 0) return dx > dy ? 1 : 2;
        return -dx > dy ? 4 : 3;
    }
    if (dx < 0) return -dx > -dy ? 5 : 6;
    return dx > -dy ? 8 : 7;
}

// One segment from `a` towards `b`: the first pixel is drawn and the last never, so that
// the segments of a polyline meet without overlap. Segments off the axes step along the
// major axis with the Bresenham error term; on a tie (the line passes exactly between two
// pixels) octants 3, 5, 6 and 8 take the pixel the other octants leave.
void pen_segment(PenPainter& pen, Point a, Point b) {
    auto plot = [&](int x, int y) { pen.plot(x, y); };
    if (!pen.dashed && (a.y == b.y || a.x == b.x)) {
        // A solid horizontal or vertical segment is one rectangle.
        Rect r = a.y == b.y ? (a.x <= b.x ? Rect{a.x, a.y, b.x, a.y + 1} : Rect{b.x + 1, a.y, a.x + 1, a.y + 1})
                            : (a.y <= b.y ? Rect{a.x, a.y, a.x + 1, b.y} : Rect{a.x, b.y + 1, a.x + 1, a.y + 1});
        const std::uint32_t colour = pen.mark;
        const Pattern pattern{&colour, 1, 1};
        fill_with_pattern(pen.dc, r, pattern, pen.code);
        return;
    }
    if (pen.dashed && a.y == b.y) {
        // Dashed horizontal and vertical lines run from the start and leave out the end.
        const int step = b.x > a.x ? 1 : -1;
        for (int x = a.x; x != b.x; x += step) plot(x, a.y);
        return;
    }
    if (pen.dashed && a.x == b.x) {
        const int step = b.y > a.y ? 1 : -1;
        for (int y = a.y; y != b.y; y += step) plot(a.x, y);
        return;
    }
    int dx = b.x - a.x, dy = b.y - a.y;
    const int octant = octant_of(dx, dy);
    const int bias = (octant == 3 || octant == 5 || octant == 6 || octant == 8) ? 1 : 0;
    const int xadd = dx < 0 ? -1 : 1, yadd = dy < 0 ? -1 : 1;
    dx = std::abs(dx);
    dy = std::abs(dy);
    int x = a.x, y = a.y;
    if (dx > dy) {
        long long err = 2LL * dy - dx;
        for (int n = 0; n < dx; ++n) {
            plot(x, y);
            if (err + bias > 0) {
                y += yadd;
                err += 2LL * dy - 2LL * dx;
            } else {
                err += 2LL * dy;
            }
            x += xadd;
        }
    } else {
        long long err = 2LL * dx - dy;
        for (int n = 0; n < dy; ++n) {
            plot(x, y);
            if (err + bias > 0) {
                x += xadd;
                err += 2LL * dx - 2LL * dy;
            } else {
                err += 2LL * dx;
            }
            y += yadd;
        }
    }
}

// Half-way values round away from zero.
int round_away(double v) { return static_cast<int>(v > 0 ? v + 0.5 : v - 0.5); }

// ---- Ellipses --------------------------------------------------------------------------

// The first quadrant of the ellipse inscribed in a width x height box, from the x axis
// counter-clockwise, traced by an integer stepper (Zingl's): the outline of Ellipse and Arc.
std::vector<Point> ellipse_quadrant(int width, int height) {
    std::vector<Point> out;
    const long long a = width - 1, b = height - 1;
    const long long asq = 8 * a * a, bsq = 8 * b * b;
    long long dx = 4 * b * b * (1 - a), dy = 4 * a * a * (1 + (b % 2));
    long long err = dx + dy + a * a * (b % 2);
    Point pt{static_cast<int>(a), height / 2};
    while (pt.x >= width / 2) {
        const long long e2 = 2 * err;
        out.push_back(pt);
        if (e2 >= dx) {
            --pt.x;
            err += dx += bsq;
        }
        if (e2 <= dy) {
            ++pt.y;
            err += dy += asq;
        }
    }
    return out;
}

int find_intersection(const std::vector<Point>& q, int x, int y) {
    const int count = static_cast<int>(q.size());
    int i;
    auto X = [&](int k) { return static_cast<long long>(q[static_cast<std::size_t>(k)].x); };
    auto Y = [&](int k) { return static_cast<long long>(q[static_cast<std::size_t>(k)].y); };
    if (y >= 0) {
        if (x >= 0) {
            for (i = 0; i < count; ++i) if (X(i) * y <= Y(i) * x) break;
            return i;
        }
        for (i = 0; i < count; ++i) if (X(i) * y < Y(i) * -x) break;
        return 2 * count - i;
    }
    if (x >= 0) {
        for (i = 0; i < count; ++i) if (X(i) * -y <= Y(i) * x) break;
        return 4 * count - i;
    }
    for (i = 0; i < count; ++i) if (X(i) * -y < Y(i) * -x) break;
    return 2 * count + i;
}

}  // namespace

Region wide_pen_region(std::span<const Point> input, bool close, int width) {
    std::size_t first = 0, count = input.size();
    // Empty segments at either end are dropped.
    while (count > 2 && input[first] == input[first + 1]) {
        ++first;
        --count;
    }
    while (count > 2 && input[first + count - 1] == input[first + count - 2]) --count;
    const std::span<const Point> pts = input.subspan(first, count);
    Region total;
    const Region cap = Region::ellipse(-(width / 2), -(width / 2), (width + 1) / 2 + 1, (width + 1) / 2 + 1);
    auto add = [&](const Region& r) { total = Region::combine(total, r, plat::RegionOp::Or); };
    auto add_round = [&](Point at) {
        Region r = cap;
        r.offset(at.x, at.y);
        add(r);
    };
    auto segment = [&](Point a, Point b) {
        const int dx = b.x - a.x, dy = b.y - a.y;
        if (dx == 0 && dy == 0) return false;
        if (dy == 0) {
            add(Region::rect(std::min(a.x, b.x), a.y - width / 2, std::max(a.x, b.x), a.y - width / 2 + width));
        } else if (dx == 0) {
            add(Region::rect(a.x - width / 2, std::min(a.y, b.y), a.x - width / 2 + width, std::max(a.y, b.y)));
        } else {
            const double len = std::hypot(static_cast<double>(dx), static_cast<double>(dy));
            const double wx = width * std::abs(dy) / len, wy = width * std::abs(dx) / len;
            Point narrow{round_away(wx / 2), round_away(wy / 2)}, wide{round_away((wx + 1) / 2), round_away((wy + 1) / 2)};
            if (dx < 0) {
                wide.y = -wide.y;
                narrow.y = -narrow.y;
            }
            if (dy < 0) {
                std::swap(narrow, wide);
                wide.x = -wide.x;
                narrow.x = -narrow.x;
            }
            const Point quad[4] = {{a.x - narrow.x, a.y + narrow.y}, {a.x + wide.x, a.y - wide.y},
                                   {b.x + wide.x, b.y - wide.y}, {b.x - narrow.x, b.y + narrow.y}};
            add(Region::polygon(quad, plat::FillMode::Alternate));
        }
        return true;
    };
    const std::size_t n = pts.size();
    const std::size_t segments = close ? n : n - 1;
    if (!close) {
        add_round(pts.front());
        add_round(pts.back());
    }
    for (std::size_t i = 0; i < segments; ++i) {
        const Point a = pts[i], b = pts[(i + 1) % n];
        // A join at the start of every segment but the first that has a length, and at the
        // start of the last one; a closed figure also joins its last segment to its first.
        if (segment(a, b) && i > 0) add_round(a);
        else if (i > 0 && i + 1 == segments) add_round(a);
    }
    if (close) add_round(pts.front());
    return total;
}

void pen_lines(const DcObj& dc, std::span<const Point> points, bool close) {
    if (dc.pen->style == PenStyle::Null || points.size() < 2) return;
    if (dc.pen->width > 1) {
        // A wide pen fills its stroke's region with the pen colour.
        const std::uint32_t colour = drawing_pixel(dc, dc.pen->color);
        const Pattern pattern{&colour, 1, 1};
        const Region stroke = wide_pen_region(points, close, dc.pen->width);
        for (const Rect& r : stroke.rects()) fill_with_pattern(dc, r, pattern, rop3_of_rop2(dc.rop2));
        return;
    }
    PenPainter pen(dc);
    pen.reset_dash();
    for (std::size_t i = 0; i + 1 < points.size(); ++i) pen_segment(pen, points[i], points[i + 1]);
    if (close) pen_segment(pen, points.back(), points.front());
}

std::vector<Point> arc_points(const Rect& box, Point start, Point end) {
    const int width = box.right - box.left, height = box.bottom - box.top;
    std::vector<Point> q = ellipse_quadrant(width, height);
    for (Point& p : q) {
        p.x -= width / 2;
        p.y -= height / 2;
    }
    std::vector<Point> out;
    const int count = static_cast<int>(q.size());
    if (count == 0) return out;
    start.y = -start.y;
    end.y = -end.y;
    const int start_pos = find_intersection(q, start.x, start.y);
    int end_pos = find_intersection(q, end.x, end.y);
    if (end_pos <= start_pos) end_pos += 4 * count;
    for (int i = start_pos; i < end_pos; ++i) {
        const Point& a = q[static_cast<std::size_t>(i % count)];
        const Point& r = q[static_cast<std::size_t>(count - 1 - i % count)];
        switch ((i / count) % 4) {
        case 0: out.push_back({box.left + width / 2 + a.x, box.bottom - 1 - height / 2 - a.y}); break;
        case 1: out.push_back({box.right - 1 - width / 2 - r.x, box.bottom - 1 - height / 2 - r.y}); break;
        case 2: out.push_back({box.right - 1 - width / 2 - a.x, box.top + height / 2 + a.y}); break;
        case 3: out.push_back({box.left + width / 2 + r.x, box.top + height / 2 + r.y}); break;
        }
    }
    return out;
}

}  // namespace raster::gdi
