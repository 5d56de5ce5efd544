#include "platform/soft/gdi.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <optional>
#include <utility>
#include <unordered_map>
#include <variant>

#include "platform/soft/pixels.h"
#include "platform/soft/region.h"
#include "platform/soft/text.h"

namespace soft {
namespace {

// ---- Objects ---------------------------------------------------------------------------

struct BitmapObj {
    int width = 0, height = 0;
    bool mono = false;
    std::vector<std::uint32_t> pixels;
    plat::Surface external{};  // pixels owned by a platform bitmap
    bool selected = false;     // a bitmap is selected into one device context at a time
    plat::Surface surface() {
        if (external.pixels) return external;
        return plat::Surface{pixels.data(), width, height, width};
    }
};

struct PenObj {
    PenStyle style = PenStyle::Solid;
    int width = 1;
    ColorRef color = 0;
    bool alternate = false;  // every other pixel (the focus rectangle's pen)
};

struct BrushObj {
    enum class Kind { Solid, Pattern, Null } kind = Kind::Solid;
    ColorRef color = 0;
    std::shared_ptr<BitmapObj> pattern;  // a copy of the bitmap taken at creation
};

struct FontObj {
    std::shared_ptr<const Font> font;
};

struct RegionObj {
    Region region;
};

struct IconObj {
    std::shared_ptr<BitmapObj> color, mask;
};

using Object = std::variant<std::monostate, std::shared_ptr<BitmapObj>, std::shared_ptr<PenObj>, std::shared_ptr<BrushObj>,
                            std::shared_ptr<FontObj>, std::shared_ptr<RegionObj>, std::shared_ptr<IconObj>>;

struct DcObj {
    std::shared_ptr<BitmapObj> bitmap;
    std::shared_ptr<PenObj> pen;
    std::shared_ptr<BrushObj> brush;
    std::shared_ptr<FontObj> font;
    GdiObject bitmap_h{}, pen_h{}, brush_h{}, font_h{};
    ColorRef text = 0x000000, bk = 0xFFFFFF;
    BkMode mode = BkMode::Opaque;
    // The default palette is a value of its own, so that selecting it back works as in GDI.
    plat::Palette palette{1};
    int rop2 = 13;  // R2_COPYPEN
    std::optional<Region> clip;
    Point position{};
    bool screen = false;  // the screen's context: compatible bitmaps are colour ones
};

// The process's handle table: objects in numbered slots (a freed slot is reused, as GDI
// reuses handles), device contexts apart. Stock objects have the first handles and are never
// deleted. Pens and brushes, which the program makes and deletes by the hundred per paint,
// are recycled once nothing holds them any more.
struct Table {
    static constexpr std::uintptr_t kFirstObject = 0x100;
    std::vector<Object> slots;
    std::vector<std::size_t> free_slots;
    std::vector<std::shared_ptr<PenObj>> spare_pens;
    std::vector<std::shared_ptr<BrushObj>> spare_brushes;
    std::unordered_map<std::uintptr_t, std::unique_ptr<DcObj>> dcs;
    std::uintptr_t next_dc = 0x10000000;
    std::array<GdiObject, 16> stock{};
    GdiObject stock_bitmap{};

    GdiObject add(Object o) {
        std::size_t i;
        if (!free_slots.empty()) {
            i = free_slots.back();
            free_slots.pop_back();
        } else {
            i = slots.size();
            slots.emplace_back();
        }
        slots[i] = std::move(o);
        return static_cast<GdiObject>(kFirstObject + i);
    }
    Object* find(GdiObject h) {
        const std::uintptr_t v = static_cast<std::uintptr_t>(h);
        if (v < kFirstObject || v - kFirstObject >= slots.size()) return nullptr;
        Object& o = slots[v - kFirstObject];
        return std::holds_alternative<std::monostate>(o) ? nullptr : &o;
    }
    bool erase(GdiObject h) {
        Object* o = find(h);
        if (!o) return false;
        if (auto* pen = std::get_if<std::shared_ptr<PenObj>>(o); pen && pen->use_count() == 1 && spare_pens.size() < 64)
            spare_pens.push_back(std::move(*pen));
        if (auto* b = std::get_if<std::shared_ptr<BrushObj>>(o); b && b->use_count() == 1 && spare_brushes.size() < 64) {
            (*b)->pattern.reset();
            spare_brushes.push_back(std::move(*b));
        }
        *o = std::monostate{};
        free_slots.push_back(static_cast<std::uintptr_t>(h) - kFirstObject);
        return true;
    }
    std::shared_ptr<PenObj> new_pen() {
        if (spare_pens.empty()) return std::make_shared<PenObj>();
        auto p = std::move(spare_pens.back());
        spare_pens.pop_back();
        *p = PenObj{};
        return p;
    }
    std::shared_ptr<BrushObj> new_brush() {
        if (spare_brushes.empty()) return std::make_shared<BrushObj>();
        auto b = std::move(spare_brushes.back());
        spare_brushes.pop_back();
        *b = BrushObj{};
        return b;
    }
    template <typename T>
    std::shared_ptr<T> get(GdiObject h) {
        Object* o = find(h);
        if (!o) return nullptr;
        auto* p = std::get_if<std::shared_ptr<T>>(o);
        return p ? *p : nullptr;
    }
    DcObj* dc(Dc h) {
        auto it = dcs.find(static_cast<std::uintptr_t>(h));
        return it == dcs.end() ? nullptr : it->second.get();
    }
    bool is_stock(GdiObject h) const {
        if (h == stock_bitmap) return true;
        return std::find(stock.begin(), stock.end(), h) != stock.end();
    }

    Table() {
        auto brush = [&](BrushObj::Kind k, ColorRef c) {
            auto b = std::make_shared<BrushObj>();
            b->kind = k;
            b->color = c;
            return add(b);
        };
        auto pen = [&](PenStyle s, ColorRef c) {
            auto p = std::make_shared<PenObj>();
            p->style = s;
            p->color = c;
            return add(p);
        };
        stock[static_cast<int>(StockObject::WhiteBrush)] = brush(BrushObj::Kind::Solid, 0xFFFFFF);
        stock[static_cast<int>(StockObject::BlackBrush)] = brush(BrushObj::Kind::Solid, 0x000000);
        stock[static_cast<int>(StockObject::NullBrush)] = brush(BrushObj::Kind::Null, 0);
        stock[static_cast<int>(StockObject::WhitePen)] = pen(PenStyle::Solid, 0xFFFFFF);
        stock[static_cast<int>(StockObject::BlackPen)] = pen(PenStyle::Solid, 0x000000);
        stock[static_cast<int>(StockObject::NullPen)] = pen(PenStyle::Null, 0);
        stock[static_cast<int>(StockObject::SystemFont)] = add(std::make_shared<FontObj>());
        auto mono = std::make_shared<BitmapObj>();
        mono->width = mono->height = 1;
        mono->mono = true;
        mono->pixels.assign(1, 0);
        stock_bitmap = add(mono);
    }
};

Table& table() {
    static Table t;
    return t;
}

// ---- Colours ---------------------------------------------------------------------------

// Windows 10's default system colours, COLOR_SCROLLBAR (0) to COLOR_MENUBAR (30).
constexpr std::array<ColorRef, 31> kSysColors = {
    0xC8C8C8, 0x000000, 0xD1B499, 0xDBCDBF, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000,
    0x000000, 0x000000, 0xB4B4B4, 0xFCF7F4, 0xABABAB, 0xFF9933, 0xFFFFFF, 0xF0F0F0,
    0xA0A0A0, 0x6D6D6D, 0x000000, 0x000000, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000,
    0xE1FFFF, 0x000000, 0xCC6600, 0xEAD1B9, 0xF2E4D7, 0xFF9933, 0xF0F0F0,
};

// A colour as a pixel of the bitmap's kind. On a monochrome bitmap the nearer of black and
// white is taken (black on a tie).
std::uint32_t nearest_pixel(const BitmapObj& bmp, ColorRef c) {
    if (!bmp.mono) return pixel_of(c);
    const int r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
    const int to_black = r * r + g * g + b * b;
    const int to_white = (255 - r) * (255 - r) + (255 - g) * (255 - g) + (255 - b) * (255 - b);
    return to_white < to_black ? kMonoWhite : 0u;
}

// Pen and brush colours on a monochrome bitmap: black and white are themselves; any other
// colour is white when it is not the background colour and the background colour is black,
// and the other way round (so that a colour drawn on its background stays visible).
std::uint32_t drawing_pixel(const DcObj& dc, ColorRef c) {
    const BitmapObj& bmp = *dc.bitmap;
    if (!bmp.mono) return pixel_of(c);
    c &= 0xFFFFFF;
    if (c == 0) return 0u;
    if (c == 0xFFFFFF) return kMonoWhite;
    const std::uint32_t bk = nearest_pixel(bmp, dc.bk);
    return c == (dc.bk & 0xFFFFFF) ? bk : ~bk;
}

// ---- Clipping --------------------------------------------------------------------------

// The rectangles of `area` that a drawing call may touch: inside the bitmap and, when the
// context has one, inside its clip region. Right and bottom edges are exclusive.
std::vector<Rect> visible(const DcObj& dc, Rect area) {
    std::vector<Rect> out;
    area.left = std::max(area.left, 0);
    area.top = std::max(area.top, 0);
    area.right = std::min(area.right, dc.bitmap->width);
    area.bottom = std::min(area.bottom, dc.bitmap->height);
    if (area.left >= area.right || area.top >= area.bottom) return out;
    if (!dc.clip) {
        out.push_back(area);
        return out;
    }
    for (const Rect& r : dc.clip->rects()) {
        const Rect c{std::max(r.left, area.left), std::max(r.top, area.top), std::min(r.right, area.right),
                     std::min(r.bottom, area.bottom)};
        if (c.left < c.right && c.top < c.bottom) out.push_back(c);
    }
    return out;
}

// The same rectangles handed one by one to `f`, without building a list.
template <typename F>
void each_visible(const DcObj& dc, Rect area, F&& f) {
    area.left = std::max(area.left, 0);
    area.top = std::max(area.top, 0);
    area.right = std::min(area.right, dc.bitmap->width);
    area.bottom = std::min(area.bottom, dc.bitmap->height);
    if (area.left >= area.right || area.top >= area.bottom) return;
    if (!dc.clip) {
        f(area);
        return;
    }
    for (const Rect& r : dc.clip->rects()) {
        if (r.top >= area.bottom) break;
        const Rect c{std::max(r.left, area.left), std::max(r.top, area.top), std::min(r.right, area.right),
                     std::min(r.bottom, area.bottom)};
        if (c.left < c.right && c.top < c.bottom) f(c);
    }
}

bool point_visible(const DcObj& dc, int x, int y) {
    if (x < 0 || y < 0 || x >= dc.bitmap->width || y >= dc.bitmap->height) return false;
    return !dc.clip || dc.clip->contains(x, y);
}

// ---- Brushes ---------------------------------------------------------------------------

// The brush as a pattern in the destination's pixels: a monochrome pattern takes the text
// colour for 0 and the background colour for 1 on a colour bitmap.
struct BrushPattern {
    std::uint32_t solid = 0;
    std::vector<std::uint32_t> pixels;  // a pattern brush's tile
    Pattern pattern;
    bool null = true;
};

BrushPattern brush_pattern(const DcObj& dc) {
    BrushPattern out;
    const BrushObj& b = *dc.brush;
    if (b.kind == BrushObj::Kind::Null) return out;
    out.null = false;
    if (b.kind == BrushObj::Kind::Solid) {
        out.solid = drawing_pixel(dc, b.color);
        out.pattern = Pattern{&out.solid, 1, 1};
        return out;
    }
    const BitmapObj& pat = *b.pattern;
    out.pixels.resize(pat.pixels.size());
    for (std::size_t i = 0; i < pat.pixels.size(); ++i) {
        const std::uint32_t p = pat.pixels[i];
        if (pat.mono == dc.bitmap->mono)
            out.pixels[i] = p;
        else if (pat.mono)
            out.pixels[i] = p ? pixel_of(dc.bk) : pixel_of(dc.text);
        else
            out.pixels[i] = ((p ^ pixel_of(dc.bk)) & 0xFFFFFF) == 0 ? kMonoWhite : 0u;
    }
    out.pattern = Pattern{out.pixels.data(), pat.width, pat.height};
    return out;
}

// Binary raster operation (SetROP2's R2_*, 1..16) as the ternary code of pattern and
// destination: the pen or brush is the pattern.
std::uint8_t rop3_of_rop2(int rop2) {
    const int r = rop2 - 1;  // bits: P=1,D=1 -> 3, P=1,D=0 -> 2, P=0,D=1 -> 1, P=0,D=0 -> 0
    std::uint8_t code = 0;
    for (int i = 0; i < 8; ++i) {
        const int p = (i >> 2) & 1, d = i & 1;
        if (r & (1 << (p * 2 + d))) code |= static_cast<std::uint8_t>(1u << i);
    }
    return code;
}

// Fills the visible part of `area` with a pattern.
void fill_with_pattern(const DcObj& dc, const Rect& area, const Pattern& pattern, std::uint8_t code) {
    const plat::Surface s = dc.bitmap->surface();
    each_visible(dc, area, [&](const Rect& r) { rop_rect(s, r, nullptr, 0, 0, &pattern, code); });
}

// Fills the visible part of `area` with the brush in the context's binary raster operation.
void brush_rect(const DcObj& dc, const Rect& area) {
    const BrushPattern bp = brush_pattern(dc);
    if (bp.null) return;
    fill_with_pattern(dc, area, bp.pattern, rop3_of_rop2(dc.rop2));
}

void brush_region(const DcObj& dc, const Region& region) {
    const BrushPattern bp = brush_pattern(dc);
    if (bp.null) return;
    for (const Rect& r : region.rects()) fill_with_pattern(dc, r, bp.pattern, rop3_of_rop2(dc.rop2));
}

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
    void put(int x, int y, std::uint32_t colour) {
        if (!point_visible(dc, x, y)) return;
        std::uint32_t& d = surface.row(y)[x];
        d = rop3(code, colour, 0, d);
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

// The pixels of a wide pen's stroke: each segment a band as wide as the pen (a rectangle
// along the axes, a quadrilateral otherwise, its corners rounded away from the centre line),
// with round caps at the open ends and round joins where segments meet.
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

// The outline points of the arc of `box` between the rays through `start` and `end`
// (relative to the centre), counter-clockwise as Arc's default direction.
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

Rect ordered(int left, int top, int right, int bottom) {
    return Rect{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
}

// ---- Copies ----------------------------------------------------------------------------

// The source pixels of `area` (in source coordinates) in the destination's kind: colour to
// monochrome makes the source's background colour white and every other colour black;
// monochrome to colour gives 0 the destination's text colour and 1 its background colour.
std::vector<std::uint32_t> converted_source(const DcObj& src, const DcObj& dst, const Rect& area) {
    const plat::Surface s = src.bitmap->surface();
    const int w = area.right - area.left, h = area.bottom - area.top;
    std::vector<std::uint32_t> out(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    const bool src_mono = src.bitmap->mono, dst_mono = dst.bitmap->mono;
    const std::uint32_t src_bk = pixel_of(src.bk), text = pixel_of(dst.text), bk = pixel_of(dst.bk);
    for (int y = 0; y < h; ++y) {
        const std::uint32_t* row = s.row(area.top + y) + area.left;
        std::uint32_t* o = out.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(w);
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = row[x];
            if (src_mono == dst_mono)
                o[x] = p;
            else if (src_mono)
                o[x] = p ? bk : text;
            else
                o[x] = ((p ^ src_bk) & 0xFFFFFF) == 0 ? kMonoWhite : 0u;
        }
    }
    return out;
}

std::uint8_t code_of(Rop rop) { return static_cast<std::uint8_t>((static_cast<std::uint32_t>(rop) >> 16) & 0xFF); }

// Applies `code` over the destination rectangle `dst_area` with the prepared source pixels
// (dst_area's size, row by row) and the brush, within the context's clip.
void apply(const DcObj& dc, const Rect& dst_area, const std::vector<std::uint32_t>* source, std::uint8_t code) {
    const BrushPattern bp = brush_pattern(dc);
    const std::uint32_t none = 0;
    const Pattern empty{&none, 1, 1};
    const Pattern* pattern = bp.null ? &empty : &bp.pattern;  // a null brush reads as black
    const plat::Surface d = dc.bitmap->surface();
    plat::Surface s{};
    if (source) {
        s.pixels = const_cast<std::uint32_t*>(source->data());
        s.width = dst_area.right - dst_area.left;
        s.height = dst_area.bottom - dst_area.top;
        s.stride = s.width;
    }
    each_visible(dc, dst_area, [&](const Rect& r) {
        rop_rect(d, r, source ? &s : nullptr, -dst_area.left, -dst_area.top, pattern, code);
    });
}

// One axis of a stretch: for each destination pixel of [0, dst_len), the source pixels of
// [0, src_len) folded into it, chosen as the pixels of a Bresenham line from (0, 0) to
// (src_len, dst_len) whose first step is weighed from the middle of the next pixel.
std::vector<std::vector<int>> stretch_axis(int dst_len, int src_len) {
    std::vector<std::vector<int>> out(static_cast<std::size_t>(dst_len));
    const long long D = dst_len, S = src_len;
    if (S > D) {
        long long err = 3 * D - 2 * S;
        int d = 0;
        for (int s = 0; s < src_len && d < dst_len; ++s) {
            out[static_cast<std::size_t>(d)].push_back(s);
            if (err > 0) {
                ++d;
                err += 2 * D - 2 * S;
            } else {
                err += 2 * D;
            }
        }
    } else {
        long long err = 3 * S - 2 * D;
        int s = 0;
        for (int d = 0; d < dst_len; ++d) {
            out[static_cast<std::size_t>(d)].push_back(s);
            if (err > 0) {
                ++s;
                err += 2 * S - 2 * D;
            } else {
                err += 2 * S;
            }
        }
    }
    return out;
}

}  // namespace

// ---- The calls -------------------------------------------------------------------------

ColorRef sys_color(int index) {
    if (index < 0 || index >= static_cast<int>(kSysColors.size())) return 0;
    return kSysColors[static_cast<std::size_t>(index)];
}

ColorRef resolve_color(ColorRef color) {
    return (color & 0x80000000u) ? soft::sys_color(static_cast<int>(color & 0xFF)) : color;
}

Dc create_compatible_dc(Dc dc) {
    Table& t = table();
    if (dc != Dc::None && !t.dc(dc)) return Dc::None;
    auto d = std::make_unique<DcObj>();
    d->bitmap = t.get<BitmapObj>(t.stock_bitmap);
    d->bitmap_h = t.stock_bitmap;
    d->pen_h = t.stock[static_cast<int>(StockObject::BlackPen)];
    d->pen = t.get<PenObj>(d->pen_h);
    d->brush_h = t.stock[static_cast<int>(StockObject::WhiteBrush)];
    d->brush = t.get<BrushObj>(d->brush_h);
    d->font_h = t.stock[static_cast<int>(StockObject::SystemFont)];
    d->font = t.get<FontObj>(d->font_h);
    d->screen = false;
    const std::uintptr_t id = t.next_dc++;
    t.dcs.emplace(id, std::move(d));
    return static_cast<Dc>(id);
}

Dc create_surface_dc(const plat::Surface& surface) {
    Table& t = table();
    const Dc dc = soft::create_compatible_dc(Dc::None);
    auto bmp = std::make_shared<BitmapObj>();
    bmp->width = surface.width;
    bmp->height = surface.height;
    bmp->external = surface;
    bmp->selected = true;
    DcObj* d = t.dc(dc);
    d->bitmap = bmp;
    d->bitmap_h = t.add(bmp);  // marked selected: no other context can take it
    d->screen = true;
    return dc;
}

bool delete_dc(Dc dc) {
    Table& t = table();
    DcObj* d = t.dc(dc);
    if (!d) return false;
    if (d->bitmap) d->bitmap->selected = false;
    // Another's pixels go with their context.
    if (d->bitmap && d->bitmap->external.pixels && t.get<BitmapObj>(d->bitmap_h) == d->bitmap) t.erase(d->bitmap_h);
    t.dcs.erase(static_cast<std::uintptr_t>(dc));
    return true;
}

GdiObject create_compatible_bitmap(Dc dc, int width, int height) {
    Table& t = table();
    DcObj* d = dc == Dc::None ? nullptr : t.dc(dc);
    if (dc != Dc::None && !d) return GdiObject::None;
    if (width <= 0 || height <= 0 || static_cast<long long>(width) * height > (1LL << 28)) return GdiObject::None;
    auto bmp = std::make_shared<BitmapObj>();
    bmp->width = width;
    bmp->height = height;
    // A memory context's compatible bitmap has the kind of the bitmap it holds.
    bmp->mono = d && !d->screen && d->bitmap->mono;
    bmp->pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0u);
    return t.add(bmp);
}

GdiObject create_mono_bitmap(int width, int height, const std::uint8_t* bits) {
    if (width <= 0 || height <= 0 || static_cast<long long>(width) * height > (1LL << 28)) return GdiObject::None;
    auto bmp = std::make_shared<BitmapObj>();
    bmp->width = width;
    bmp->height = height;
    bmp->mono = true;
    bmp->pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0u);
    if (bits) {
        const int stride = (width + 15) / 16 * 2;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (bits[y * stride + x / 8] & (0x80 >> (x % 8)))
                    bmp->pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] = kMonoWhite;
    }
    return table().add(bmp);
}

GdiObject create_pen(PenStyle style, int width, ColorRef color) {
    auto p = table().new_pen();
    p->style = style;
    // Only solid pens may be wide; a dotted pen is always one pixel.
    p->width = style == PenStyle::Solid ? std::max(width, 1) : 1;
    p->color = color;
    return table().add(p);
}

GdiObject create_solid_brush(ColorRef color) {
    auto b = table().new_brush();
    b->color = color;
    return table().add(b);
}

GdiObject create_pattern_brush(GdiObject bitmap) {
    Table& t = table();
    auto bmp = t.get<BitmapObj>(bitmap);
    if (!bmp) return GdiObject::None;
    auto b = std::make_shared<BrushObj>();
    b->kind = BrushObj::Kind::Pattern;
    b->pattern = std::make_shared<BitmapObj>();
    b->pattern->width = bmp->width;
    b->pattern->height = bmp->height;
    b->pattern->mono = bmp->mono;
    const plat::Surface s = bmp->surface();
    for (int y = 0; y < s.height; ++y) b->pattern->pixels.insert(b->pattern->pixels.end(), s.row(y), s.row(y) + s.width);
    return t.add(b);
}

GdiObject create_font_object(const FontDesc& desc) {
    auto f = std::make_shared<FontObj>();
    f->font = soft::create_font(desc);
    if (!f->font) return GdiObject::None;
    return table().add(f);
}

GdiObject stock_object(StockObject which) {
    const int i = static_cast<int>(which);
    if (i < 0 || i >= 16) return GdiObject::None;
    return table().stock[static_cast<std::size_t>(i)];
}

GdiObject select_object(Dc dc, GdiObject object) {
    Table& t = table();
    DcObj* d = t.dc(dc);
    if (!d) return GdiObject::None;
    GdiObject old = GdiObject::None;
    if (auto bmp = t.get<BitmapObj>(object)) {
        if (d->screen) return GdiObject::None;
        if (bmp == d->bitmap) return object;
        // A bitmap lives in one memory context at a time (the stock bitmap in any number).
        if (bmp->selected && object != t.stock_bitmap) return GdiObject::None;
        d->bitmap->selected = false;
        old = d->bitmap_h;
        d->bitmap = bmp;
        d->bitmap_h = object;
        if (object != t.stock_bitmap) bmp->selected = true;
    } else if (auto pen = t.get<PenObj>(object)) {
        old = d->pen_h;
        d->pen = pen;
        d->pen_h = object;
    } else if (auto brush = t.get<BrushObj>(object)) {
        old = d->brush_h;
        d->brush = brush;
        d->brush_h = object;
    } else if (auto font = t.get<FontObj>(object)) {
        old = d->font_h;
        d->font = font;
        d->font_h = object;
    }
    return old;
}

bool delete_object(GdiObject object) {
    Table& t = table();
    if (t.is_stock(object)) return true;  // stock objects stay
    // A selected object lives on in its context until it is replaced.
    return t.erase(object);
}

GdiObject current_bitmap(Dc dc) {
    DcObj* d = table().dc(dc);
    return d ? d->bitmap_h : GdiObject::None;
}

bool get_bitmap_info(GdiObject bitmap, BitmapInfo& info) {
    auto bmp = table().get<BitmapObj>(bitmap);
    if (!bmp) return false;
    info = BitmapInfo{bmp->width, bmp->height, bmp->mono ? 1 : 32};
    return true;
}

plat::Surface bitmap_surface(GdiObject bitmap) {
    auto bmp = table().get<BitmapObj>(bitmap);
    return bmp ? bmp->surface() : plat::Surface{};
}

ColorRef set_text_color(Dc dc, ColorRef color) {
    DcObj* d = table().dc(dc);
    if (!d) return plat::kInvalidColor;
    return std::exchange(d->text, color);
}
ColorRef get_text_color(Dc dc) {
    DcObj* d = table().dc(dc);
    return d ? d->text : plat::kInvalidColor;
}
ColorRef set_bk_color(Dc dc, ColorRef color) {
    DcObj* d = table().dc(dc);
    if (!d) return plat::kInvalidColor;
    return std::exchange(d->bk, color);
}
ColorRef get_bk_color(Dc dc) {
    DcObj* d = table().dc(dc);
    return d ? d->bk : plat::kInvalidColor;
}
BkMode set_bk_mode(Dc dc, BkMode mode) {
    DcObj* d = table().dc(dc);
    if (!d || (mode != BkMode::Opaque && mode != BkMode::Transparent)) return BkMode::Failed;
    return std::exchange(d->mode, mode);
}

// A palette is only remembered: the raster's pixels are 32-bit colour, which no palette maps.
plat::Palette select_palette(Dc dc, plat::Palette palette) {
    DcObj* d = table().dc(dc);
    if (!d || palette == plat::Palette::None) return plat::Palette::None;
    return std::exchange(d->palette, palette);
}

unsigned realize_palette(Dc dc) { return table().dc(dc) ? 0u : ~0u; }

int get_map_mode(Dc dc) { return table().dc(dc) ? plat::kMmText : 0; }

ColorRef set_pixel(Dc dc, int x, int y, ColorRef color) {
    DcObj* d = table().dc(dc);
    if (!d || !point_visible(*d, x, y)) return plat::kInvalidColor;
    const std::uint32_t p = nearest_pixel(*d->bitmap, color);
    d->bitmap->surface().row(y)[x] = p;
    return d->bitmap->mono ? (p ? 0xFFFFFF : 0) : (color & 0xFFFFFF);
}

bool set_pixel_v(Dc dc, int x, int y, ColorRef color) { return soft::set_pixel(dc, x, y, color) != plat::kInvalidColor; }

ColorRef get_pixel(Dc dc, int x, int y) {
    DcObj* d = table().dc(dc);
    // Only the bitmap's edge limits GetPixel; the clip region does not.
    if (!d || x < 0 || y < 0 || x >= d->bitmap->width || y >= d->bitmap->height) return plat::kInvalidColor;
    const std::uint32_t p = d->bitmap->surface().row(y)[x];
    return d->bitmap->mono ? (p ? 0xFFFFFF : 0) : color_of(p);
}

bool pat_blt(Dc dc, int x, int y, int width, int height, Rop rop) {
    DcObj* d = table().dc(dc);
    if (!d) return false;
    // A rectangle given from its far corner ends at the given one, as for BitBlt.
    if (width < 0) {
        x += width + 1;
        width = -width;
    }
    if (height < 0) {
        y += height + 1;
        height = -height;
    }
    const Rect area{x, y, x + width, y + height};
    // PatBlt has no source: an operation that reads one draws nothing.
    const std::uint8_t code = code_of(rop);
    if (rop_uses_source(code)) return false;
    apply(*d, area, nullptr, code);
    return true;
}

bool bit_blt(Dc dst, int x, int y, int width, int height, Dc src, int src_x, int src_y, Rop rop) {
    Table& t = table();
    DcObj* d = t.dc(dst);
    if (!d) return false;
    const std::uint8_t code = code_of(rop);
    if (!rop_uses_source(code)) return soft::pat_blt(dst, x, y, width, height, rop);
    DcObj* s = t.dc(src);
    if (!s) return false;
    // A rectangle given from its far corner ends at the given one, on both sides alike.
    if (width < 0) {
        x += width + 1;
        src_x += width + 1;
        width = -width;
    }
    if (height < 0) {
        y += height + 1;
        src_y += height + 1;
        height = -height;
    }
    // Clip at the source bitmap's edges, moving the destination with it.
    long long sx0 = std::max(src_x, 0), sy0 = std::max(src_y, 0);
    long long sx1 = std::min<long long>(static_cast<long long>(src_x) + width, s->bitmap->width);
    long long sy1 = std::min<long long>(static_cast<long long>(src_y) + height, s->bitmap->height);
    if (sx0 >= sx1 || sy0 >= sy1) return true;
    const Rect src_area{static_cast<int>(sx0), static_cast<int>(sy0), static_cast<int>(sx1), static_cast<int>(sy1)};
    const Rect dst_area{x + (src_area.left - src_x), y + (src_area.top - src_y), x + (src_area.right - src_x),
                        y + (src_area.bottom - src_y)};
    // The source is read whole before anything is written, so overlapping copies work.
    const auto source = converted_source(*s, *d, src_area);
    apply(*d, dst_area, &source, code);
    return true;
}

bool stretch_blt(Dc dst, int x, int y, int width, int height, Dc src, int src_x, int src_y, int src_width,
                 int src_height, Rop rop) {
    Table& t = table();
    DcObj* d = t.dc(dst);
    if (!d) return false;
    const std::uint8_t code = code_of(rop);
    if (!rop_uses_source(code)) return soft::pat_blt(dst, x, y, width, height, rop);
    DcObj* s = t.dc(src);
    // Mirrored stretches (a negative size on one side) are not drawn: the program has none.
    if (!s || width <= 0 || height <= 0 || src_width <= 0 || src_height <= 0) return false;
    if (width == src_width && height == src_height) return soft::bit_blt(dst, x, y, width, height, src, src_x, src_y, rop);
    // A one-pixel-wide destination takes one source pixel fewer, as GDI's stretch does.
    if (width == 1 && src_width > 1) --src_width;
    if (height == 1 && src_height > 1) --src_height;
    const auto cols = stretch_axis(width, src_width), rows = stretch_axis(height, src_height);
    // Only the destination pixels whose source lies inside the source bitmap are drawn.
    auto valid = [](const std::vector<int>& from, int origin, int extent) {
        for (int v : from)
            if (origin + v >= 0 && origin + v < extent) return true;
        return false;
    };
    int c0 = 0, c1 = width, r0 = 0, r1 = height;
    while (c0 < c1 && !valid(cols[static_cast<std::size_t>(c0)], src_x, s->bitmap->width)) ++c0;
    while (c1 > c0 && !valid(cols[static_cast<std::size_t>(c1 - 1)], src_x, s->bitmap->width)) --c1;
    while (r0 < r1 && !valid(rows[static_cast<std::size_t>(r0)], src_y, s->bitmap->height)) ++r0;
    while (r1 > r0 && !valid(rows[static_cast<std::size_t>(r1 - 1)], src_y, s->bitmap->height)) --r1;
    if (c0 >= c1 || r0 >= r1) return true;
    const Rect whole{0, 0, s->bitmap->width, s->bitmap->height};
    const auto source = converted_source(*s, *d, whole);
    const int sw = s->bitmap->width;
    std::vector<std::uint32_t> stretched(static_cast<std::size_t>(c1 - c0) * static_cast<std::size_t>(r1 - r0));
    // The default stretch mode (BLACKONWHITE) ANDs the pixels that a shrink folds together.
    for (int r = r0; r < r1; ++r)
        for (int c = c0; c < c1; ++c) {
            std::uint32_t v = ~0u;
            for (int sr : rows[static_cast<std::size_t>(r)]) {
                const int yy = src_y + sr;
                if (yy < 0 || yy >= s->bitmap->height) continue;
                for (int sc : cols[static_cast<std::size_t>(c)]) {
                    const int xx = src_x + sc;
                    if (xx < 0 || xx >= sw) continue;
                    v &= source[static_cast<std::size_t>(yy) * static_cast<std::size_t>(sw) + static_cast<std::size_t>(xx)];
                }
            }
            stretched[static_cast<std::size_t>(r - r0) * static_cast<std::size_t>(c1 - c0) + static_cast<std::size_t>(c - c0)] = v;
        }
    apply(*d, Rect{x + c0, y + r0, x + c1, y + r1}, &stretched, code);
    return true;
}

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
    if (r.right - r.left <= 2 || r.bottom - r.top <= 2) return soft::draw_rectangle(dc, left, top, right, bottom);
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
    pen->color = soft::sys_color(8);
    pen->alternate = true;
    d->pen = pen;
    d->brush = t.get<BrushObj>(t.stock[static_cast<int>(StockObject::NullBrush)]);
    d->rop2 = 6;  // R2_NOT
    d->mode = BkMode::Transparent;
    soft::draw_rectangle(dc, rect.left, rect.top, rect.right, rect.bottom);
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
    return soft::draw_text(d->bitmap->surface(), clip, d->font ? d->font->font.get() : nullptr, text, rect, format,
                           d->text & 0xFFFFFF, d->mode == BkMode::Opaque, d->bk & 0xFFFFFF);
}

GdiObject create_rect_rgn(int left, int top, int right, int bottom) {
    auto r = std::make_shared<RegionObj>();
    r->region = Region::rect(left, top, right, bottom);
    return table().add(r);
}

GdiObject create_polygon_rgn(std::span<const Point> points, FillMode mode) {
    auto r = std::make_shared<RegionObj>();
    r->region = Region::polygon(points, mode);
    return table().add(r);
}

GdiObject create_elliptic_rgn(int left, int top, int right, int bottom) {
    auto r = std::make_shared<RegionObj>();
    r->region = Region::ellipse(left, top, right, bottom);
    return table().add(r);
}

RegionKind combine_rgn(GdiObject dst, GdiObject a, GdiObject b, RegionOp op) {
    Table& t = table();
    auto rd = t.get<RegionObj>(dst), ra = t.get<RegionObj>(a), rb = t.get<RegionObj>(b);
    if (!rd || !ra || (op != RegionOp::Copy && !rb)) return RegionKind::Error;
    rd->region = Region::combine(ra->region, rb ? rb->region : Region{}, op);
    return rd->region.kind();
}

RegionKind offset_rgn(GdiObject region, int dx, int dy) {
    auto r = table().get<RegionObj>(region);
    if (!r) return RegionKind::Error;
    r->region.offset(dx, dy);
    return r->region.kind();
}

RegionKind select_clip_rgn(Dc dc, GdiObject region) {
    Table& t = table();
    DcObj* d = t.dc(dc);
    if (!d) return RegionKind::Error;
    if (region == GdiObject::None) {
        d->clip.reset();
        return RegionKind::Simple;
    }
    auto r = t.get<RegionObj>(region);
    if (!r) return RegionKind::Error;
    d->clip = r->region;  // a copy: later changes of the region do not move the clip
    return r->region.kind();
}

std::vector<Rect> region_rects(GdiObject region) {
    auto r = table().get<RegionObj>(region);
    return r ? r->region.rects() : std::vector<Rect>{};
}

Icon create_icon(GdiObject color, GdiObject mask) {
    Table& t = table();
    auto c = t.get<BitmapObj>(color), m = t.get<BitmapObj>(mask);
    if (!m) return Icon::None;
    auto icon = std::make_shared<IconObj>();
    icon->mask = std::make_shared<BitmapObj>(*m);
    icon->mask->selected = false;
    if (c) {
        icon->color = std::make_shared<BitmapObj>(*c);
        icon->color->selected = false;
    }
    const GdiObject h = t.add(icon);
    return static_cast<Icon>(static_cast<std::uintptr_t>(h));
}

bool destroy_icon(Icon icon) {
    Table& t = table();
    if (!t.get<IconObj>(static_cast<GdiObject>(static_cast<std::uintptr_t>(icon)))) return false;
    return soft::delete_object(static_cast<GdiObject>(static_cast<std::uintptr_t>(icon)));
}

bool get_icon_info(Icon icon, GdiObject& color, GdiObject& mask) {
    Table& t = table();
    auto i = t.get<IconObj>(static_cast<GdiObject>(static_cast<std::uintptr_t>(icon)));
    if (!i) return false;
    color = i->color ? t.add(std::make_shared<BitmapObj>(*i->color)) : GdiObject::None;
    mask = t.add(std::make_shared<BitmapObj>(*i->mask));
    return true;
}

bool draw_icon(Dc dc, int x, int y, Icon icon, int width, int height) {
    Table& t = table();
    DcObj* d = t.dc(dc);
    auto i = t.get<IconObj>(static_cast<GdiObject>(static_cast<std::uintptr_t>(icon)));
    if (!d || !i) return false;
    // DI_NORMAL: the mask ANDed, then the colour image XORed, each stretched to the size.
    const int w = width ? width : i->mask->width;
    const int h = height ? height : (i->color ? i->mask->height : i->mask->height / 2);
    auto part = [&](const std::shared_ptr<BitmapObj>& bmp, int src_y, int src_h, Rop rop) {
        const GdiObject hb = t.add(std::make_shared<BitmapObj>(*bmp));
        const Dc mem = soft::create_compatible_dc(dc);
        soft::select_object(mem, hb);
        soft::stretch_blt(dc, x, y, w, h, mem, 0, src_y, bmp->width, src_h, rop);
        soft::delete_dc(mem);
        soft::delete_object(hb);
    };
    const std::uint32_t saved_text = d->text, saved_bk = d->bk;
    d->text = 0x000000;
    d->bk = 0xFFFFFF;
    if (i->color) {
        part(i->mask, 0, i->mask->height, Rop::SrcAnd);
        part(i->color, 0, i->color->height, Rop::SrcInvert);
    } else {
        part(i->mask, 0, i->mask->height / 2, Rop::SrcAnd);
        part(i->mask, i->mask->height / 2, i->mask->height / 2, Rop::SrcInvert);
    }
    d->text = saved_text;
    d->bk = saved_bk;
    return true;
}

namespace {
// A copy of a bitmap at another size: CopyImage resamples a colour bitmap as StretchBlt's
// HALFTONE mode does, and stretches monochrome bitmaps and the parts of icons in the
// default mode.
std::shared_ptr<BitmapObj> scaled(const std::shared_ptr<BitmapObj>& from, int width, int height, bool blend) {
    Table& t = table();
    if (width <= 0) width = from->width;
    if (height <= 0) height = from->height;
    auto out = std::make_shared<BitmapObj>();
    out->width = width;
    out->height = height;
    out->mono = from->mono;
    out->pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0u);
    if (blend && !from->mono) {
        halftone(out->surface(), from->surface());
        return out;
    }
    const GdiObject a = t.add(std::make_shared<BitmapObj>(*from)), b = t.add(out);
    t.get<BitmapObj>(a)->selected = false;
    const Dc da = soft::create_compatible_dc(Dc::None), db = soft::create_compatible_dc(Dc::None);
    soft::select_object(da, a);
    soft::select_object(db, b);
    soft::stretch_blt(db, 0, 0, width, height, da, 0, 0, from->width, from->height, Rop::SrcCopy);
    soft::delete_dc(da);
    soft::delete_dc(db);
    soft::delete_object(a);
    t.erase(b);
    out->selected = false;
    return out;
}
}  // namespace

GdiObject copy_bitmap_scaled(GdiObject bitmap, int width, int height) {
    auto bmp = table().get<BitmapObj>(bitmap);
    if (!bmp) return GdiObject::None;
    return table().add(scaled(bmp, width, height, true));
}

Icon copy_icon_scaled(Icon icon, int width, int height) {
    Table& t = table();
    auto i = t.get<IconObj>(static_cast<GdiObject>(static_cast<std::uintptr_t>(icon)));
    if (!i) return Icon::None;
    auto out = std::make_shared<IconObj>();
    out->mask = scaled(i->mask, width, i->color ? height : (height > 0 ? height * 2 : 0), false);
    if (i->color) out->color = scaled(i->color, width, height, false);
    return static_cast<Icon>(static_cast<std::uintptr_t>(t.add(out)));
}

}  // namespace soft
