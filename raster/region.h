// Regions as GDI keeps them: non-overlapping rectangles in bands, top to bottom and left to
// right within a band, touching bands with the same spans merged. A region's edge includes
// its left and top sides and excludes its right and bottom ones, as every GDI rectangle does.
#pragma once

#include <span>
#include <vector>

#include "platform/draw.h"
#include "platform/types.h"

namespace raster {

class Region {
public:
    Region() = default;
    // CreateRectRgn: the corners are put in order; a rectangle without area is empty.
    static Region rect(int left, int top, int right, int bottom);
    // CreatePolygonRgn: rows sampled along each scanline, an edge crossing taking the first
    // pixel whose centre lies inside; left ends included, right ends excluded.
    static Region polygon(std::span<const plat::Point> points, plat::FillMode mode);
    // CreateEllipticRgn: one row per scanline, traced by the integer ellipse stepper.
    static Region ellipse(int left, int top, int right, int bottom);

    static Region combine(const Region& a, const Region& b, plat::RegionOp op);
    void offset(int dx, int dy);
    bool contains(int x, int y) const;
    bool empty() const { return rects_.empty(); }
    plat::Rect bounds() const;
    plat::RegionKind kind() const;
    const std::vector<plat::Rect>& rects() const { return rects_; }

    // Adds one row's spans [x0, x1) (sorted, non-overlapping) for row y; rows come in order.
    void append_row(int y, std::span<const std::pair<int, int>> spans);

private:
    std::vector<plat::Rect> rects_;
};

}  // namespace raster
