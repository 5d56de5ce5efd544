// Small helpers for drawing objects that live as long as one step of a paint: selected into a
// device context, then put back and deleted.
#pragma once

#include "platform/draw.h"

namespace controls::styled_button {

// A pen, brush or font selected for a scope; deleted afterwards unless it is a stock object.
class Tool {
public:
    Tool(plat::Dc dc, plat::GdiObject object, bool owned = true)
        : dc_(dc), object_(object), owned_(owned), old_(plat::select_object(dc, object)) {}
    ~Tool() {
        if (old_ != plat::GdiObject::None) plat::select_object(dc_, old_);
        if (owned_ && object_ != plat::GdiObject::None) plat::delete_object(object_);
    }
    Tool(const Tool&) = delete;
    Tool& operator=(const Tool&) = delete;

private:
    plat::Dc dc_;
    plat::GdiObject object_;
    bool owned_;
    plat::GdiObject old_;
};

// A memory device context compatible with `like`, holding `bitmap` (deleted with it).
struct MemoryDc {
    plat::Dc dc;
    plat::GdiObject bitmap, old;
    MemoryDc(plat::Dc like, plat::GdiObject b)
        : dc(plat::create_compatible_dc(like)), bitmap(b), old(plat::select_object(dc, b)) {}
    ~MemoryDc() {
        if (old != plat::GdiObject::None) plat::select_object(dc, old);
        plat::delete_dc(dc);
        if (bitmap != plat::GdiObject::None) plat::delete_object(bitmap);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
};

// A rectangle filled and outlined in one colour (Rectangle with a pen and brush of it).
inline void solid_rect(plat::Dc dc, int left, int top, int right, int bottom, plat::ColorRef colour) {
    Tool pen(dc, plat::create_pen(plat::PenStyle::Solid, 1, colour));
    Tool brush(dc, plat::create_solid_brush(colour));
    plat::draw_rectangle(dc, left, top, right, bottom);
}

// A line from (x0, y0) to (x1, y1), its last pixel left out as GDI does.
inline void line(plat::Dc dc, int x0, int y0, int x1, int y1) {
    plat::move_to(dc, x0, y0);
    plat::line_to(dc, x1, y1);
}

}  // namespace controls::styled_button
