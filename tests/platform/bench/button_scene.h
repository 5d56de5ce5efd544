// The styled-button-like scene of the drawing benchmarks: 73 x 25, a gradient of 1-pixel
// bands (each a rectangle with its own pen and brush, as the button paints them), three rings
// of polylines, corner pixels, an optional caption, and the copy to the window.
#pragma once

#include <algorithm>
#include <span>

#include "../dc_scene.h"

namespace dc_bench {

using dc_test::DrawApi;
using plat::Dc;
using plat::GdiObject;
using plat::Point;

constexpr int kW = 73, kH = 25;

// `caption`, when set, draws the caption on the surface (only GDI's side has text here).
inline void paint_button(const DrawApi& api, Dc window, Dc surface, void (*caption)(Dc surface)) {
    // Gradient: one filled rectangle per band, pen and brush in the band's colour.
    for (int x = 0; x < kW; ++x) {
        const int v = 255 - x * 2;
        const plat::ColorRef colour = static_cast<plat::ColorRef>(v | (v << 8) | (std::min(255, v + 30) << 16));
        const GdiObject pen = api.create_pen(plat::PenStyle::Solid, 1, colour);
        const GdiObject brush = api.create_solid_brush(colour);
        const GdiObject old_pen = api.select_object(surface, pen), old_brush = api.select_object(surface, brush);
        api.draw_rectangle(surface, x, 0, x + 1, kH);
        api.select_object(surface, old_pen);
        api.select_object(surface, old_brush);
        api.delete_object(pen);
        api.delete_object(brush);
    }
    // Three rings, each a light and a dark half.
    for (int inset = 0; inset < 3; ++inset) {
        const Point light[] = {{inset, kH - 1 - inset}, {inset, inset}, {kW - 1 - inset, inset}};
        const Point dark[] = {{kW - 1 - inset, inset}, {kW - 1 - inset, kH - 1 - inset}, {inset - 1, kH - 1 - inset}};
        for (int half = 0; half < 2; ++half) {
            const GdiObject pen = api.create_pen(plat::PenStyle::Solid, 1, half ? 0x808080 : 0xFFFFFF);
            const GdiObject old = api.select_object(surface, pen);
            api.polyline(surface, half ? std::span<const Point>(dark) : std::span<const Point>(light));
            api.select_object(surface, old);
            api.delete_object(pen);
        }
    }
    // Corner pixels.
    const Point corners[] = {{1, 1}, {1, kH - 2}, {kW - 2, 1}, {kW - 2, kH - 2}, {3, 3}, {1, kH - 3}, {2, 2}, {kW - 3, 1}};
    for (const Point& p : corners) api.set_pixel(surface, p.x, p.y, 0x000000);
    if (caption) caption(surface);
    api.bit_blt(window, 0, 0, kW, kH, surface, 0, 0, plat::Rop::SrcCopy);
}

}  // namespace dc_bench
