#include <memory>
#include <vector>

#include "raster/gdi.h"
#include "raster/gdi_objects.h"

namespace raster {
using namespace gdi;

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

}  // namespace raster
