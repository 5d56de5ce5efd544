#include "raster/region.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace raster {
namespace {

using Spans = std::vector<std::pair<int, int>>;

// The spans of a banded region in the band that starts at row y (every rectangle of the
// region either covers the whole band or none of it).
Spans spans_at(const std::vector<plat::Rect>& rects, int y) {
    Spans out;
    for (const plat::Rect& r : rects) {
        if (r.top > y) break;
        if (r.bottom > y) out.emplace_back(r.left, r.right);
    }
    return out;
}

bool keeps(plat::RegionOp op, bool in_a, bool in_b) {
    switch (op) {
    case plat::RegionOp::And: return in_a && in_b;
    case plat::RegionOp::Or: return in_a || in_b;
    case plat::RegionOp::Xor: return in_a != in_b;
    case plat::RegionOp::Diff: return in_a && !in_b;
    case plat::RegionOp::Copy: return in_a;
    }
    return false;
}

Spans combine_spans(const Spans& a, const Spans& b, plat::RegionOp op) {
    std::vector<int> xs;
    for (const auto& s : a) xs.insert(xs.end(), {s.first, s.second});
    for (const auto& s : b) xs.insert(xs.end(), {s.first, s.second});
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());
    auto inside = [](const Spans& spans, int x) {
        for (const auto& s : spans)
            if (x >= s.first && x < s.second) return true;
        return false;
    };
    Spans out;
    for (std::size_t i = 0; i + 1 < xs.size(); ++i) {
        if (!keeps(op, inside(a, xs[i]), inside(b, xs[i]))) continue;
        if (!out.empty() && out.back().second == xs[i])
            out.back().second = xs[i + 1];
        else
            out.emplace_back(xs[i], xs[i + 1]);
    }
    return out;
}

// One edge of a polygon stepped scanline by scanline with integer arithmetic; x is the
// first pixel whose centre lies at or right of the edge on the current scanline.
struct Edge {
    int y_top, y_bottom;  // scanlines y_top..y_bottom-1
    int x, d, m, m1, incr1, incr2;
    int direction;        // +1 downwards, -1 upwards (for the winding number)

    Edge(plat::Point a, plat::Point b) {
        direction = 1;
        if (a.y > b.y) {
            std::swap(a, b);
            direction = -1;
        }
        y_top = a.y;
        y_bottom = b.y;
        const int dy = b.y - a.y;
        x = a.x;
        const int dx = b.x - a.x;
        // Half a pixel is added to the start so that the crossing picks pixel centres.
        if (dx < 0) {
            m = dx / dy;
            m1 = m - 1;
            incr1 = -2 * dx + 2 * dy * m1;
            incr2 = -2 * dx + 2 * dy * m;
            d = 2 * m * dy - 2 * dx - 2 * dy;
        } else {
            m = dx / dy;
            m1 = m + 1;
            incr1 = 2 * dx - 2 * dy * m1;
            incr2 = 2 * dx - 2 * dy * m;
            d = -2 * m * dy + 2 * dx;
        }
    }
    void step() {
        if (m1 > 0 ? d > 0 : d >= 0) {
            x += m1;
            d += incr1;
        } else {
            x += m;
            d += incr2;
        }
    }
};

}  // namespace

Region Region::rect(int left, int top, int right, int bottom) {
    Region r;
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    if (left < right && top < bottom) r.rects_.push_back(plat::Rect{left, top, right, bottom});
    return r;
}

void Region::append_row(int y, std::span<const std::pair<int, int>> spans) {
    // A row whose spans equal those of the band just above extends that band.
    std::size_t band_start = rects_.size();
    while (band_start > 0 && rects_[band_start - 1].top == (rects_.empty() ? 0 : rects_.back().top))
        --band_start;
    bool same = !rects_.empty() && rects_.back().bottom == y && rects_.size() - band_start == spans.size();
    for (std::size_t i = 0; same && i < spans.size(); ++i)
        same = rects_[band_start + i].left == spans[i].first && rects_[band_start + i].right == spans[i].second;
    if (same) {
        for (std::size_t i = band_start; i < rects_.size(); ++i) rects_[i].bottom = y + 1;
        return;
    }
    for (const auto& s : spans)
        if (s.first < s.second) rects_.push_back(plat::Rect{s.first, y, s.second, y + 1});
}

Region Region::polygon(std::span<const plat::Point> points, plat::FillMode mode) {
    Region out;
    if (points.size() < 3) return out;
    std::vector<Edge> edges;
    for (std::size_t i = 0; i < points.size(); ++i) {
        const plat::Point a = points[i], b = points[(i + 1) % points.size()];
        if (a.y != b.y) edges.emplace_back(a, b);  // horizontal edges bound nothing
    }
    if (edges.empty()) return out;
    int y0 = edges[0].y_top, y1 = edges[0].y_bottom;
    for (const Edge& e : edges) {
        y0 = std::min(y0, e.y_top);
        y1 = std::max(y1, e.y_bottom);
    }
    std::vector<std::pair<int, int>> crossings;  // x, direction
    Spans spans;
    for (int y = y0; y < y1; ++y) {
        crossings.clear();
        for (Edge& e : edges)
            if (y >= e.y_top && y < e.y_bottom) {
                crossings.emplace_back(e.x, e.direction);
                e.step();
            }
        std::sort(crossings.begin(), crossings.end());
        spans.clear();
        if (mode == plat::FillMode::Alternate) {
            for (std::size_t i = 0; i + 1 < crossings.size(); i += 2)
                spans.emplace_back(crossings[i].first, crossings[i + 1].first);
        } else {
            // Winding: inside wherever the edges crossed so far do not cancel out.
            int winding = 0, start = 0;
            for (const auto& c : crossings) {
                const int before = winding;
                winding += c.second;
                if (before == 0 && winding != 0) start = c.first;
                if (before != 0 && winding == 0) spans.emplace_back(start, c.first);
            }
        }
        // Merge touching or overlapping spans of the row.
        Spans merged;
        std::sort(spans.begin(), spans.end());
        for (const auto& s : spans) {
            if (s.first >= s.second) continue;
            if (!merged.empty() && s.first <= merged.back().second)
                merged.back().second = std::max(merged.back().second, s.second);
            else
                merged.push_back(s);
        }
        out.append_row(y, merged);
    }
    return out;
}

Region Region::ellipse(int left, int top, int right, int bottom) {
    if (left > right) std::swap(left, right);
    if (top > bottom) std::swap(top, bottom);
    // The region covers the box less its last column and row.
    --right;
    --bottom;
    const int w = right - left, h = bottom - top;
    if (w < 2 || h < 2) return rect(left, top, right, bottom);
    std::vector<std::pair<int, int>> rows(static_cast<std::size_t>(h), {left, right});
    // The lower half traced from the middle row outwards, then mirrored onto the upper half.
    const std::int64_t a = w - 1, b = h - 1;
    const std::int64_t asq = 8 * a * a, bsq = 8 * b * b;
    std::int64_t dx = 4 * b * b * (1 - a), dy = 4 * a * a * (1 + (b % 2));
    std::int64_t err = dx + dy + a * a * (b % 2);
    int x = 0, y = h / 2;
    while (x <= w / 2) {
        const std::int64_t e2 = 2 * err;
        if (e2 >= dx) {
            ++x;
            err += dx += bsq;
        }
        if (e2 <= dy) {
            ++y;
            err += dy += asq;
            if (y < h) rows[static_cast<std::size_t>(y)] = {left + x, right - x};
        }
    }
    for (int i = 0; i < h / 2; ++i) rows[static_cast<std::size_t>(i)] = rows[static_cast<std::size_t>(b - i)];
    // One rectangle per scanline, as GDI builds it (rows of equal width stay apart).
    Region out;
    for (int i = 0; i < h; ++i) {
        const std::pair<int, int> span = rows[static_cast<std::size_t>(i)];
        if (span.first < span.second) out.rects_.push_back(plat::Rect{span.first, top + i, span.second, top + i + 1});
    }
    return out;
}

Region Region::combine(const Region& a, const Region& b, plat::RegionOp op) {
    if (op == plat::RegionOp::Copy) return a;
    std::vector<int> ys;
    for (const auto& r : a.rects_) ys.insert(ys.end(), {r.top, r.bottom});
    for (const auto& r : b.rects_) ys.insert(ys.end(), {r.top, r.bottom});
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
    Region out;
    for (std::size_t i = 0; i + 1 < ys.size(); ++i) {
        const Spans spans = combine_spans(spans_at(a.rects_, ys[i]), spans_at(b.rects_, ys[i]), op);
        // A band of several rows: append its first row, then stretch it to the band's end.
        out.append_row(ys[i], spans);
        if (!spans.empty() && ys[i + 1] > ys[i] + 1) {
            for (std::size_t k = out.rects_.size() - spans.size(); k < out.rects_.size(); ++k)
                out.rects_[k].bottom = ys[i + 1];
        }
    }
    return out;
}

void Region::offset(int dx, int dy) {
    for (auto& r : rects_) {
        r.left += dx;
        r.right += dx;
        r.top += dy;
        r.bottom += dy;
    }
}

bool Region::contains(int x, int y) const {
    for (const auto& r : rects_) {
        if (r.top > y) break;
        if (y < r.bottom && x >= r.left && x < r.right) return true;
    }
    return false;
}

plat::Rect Region::bounds() const {
    if (rects_.empty()) return {};
    plat::Rect b = rects_.front();
    for (const auto& r : rects_) {
        b.left = std::min(b.left, r.left);
        b.right = std::max(b.right, r.right);
        b.bottom = std::max(b.bottom, r.bottom);
    }
    return b;
}

plat::RegionKind Region::kind() const {
    if (rects_.empty()) return plat::RegionKind::Null;
    return rects_.size() == 1 ? plat::RegionKind::Simple : plat::RegionKind::Complex;
}

}  // namespace raster
