// Labelled scenes drawn twice in one program: once with the platform's drawing calls (real
// GDI under Win32 or Wine) and once with the software raster's device-context layer, which
// has the same calls in namespace soft. A scene is written once against DrawApi.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/draw.h"
#include "platform/soft/gdi.h"

namespace dc_test {

using plat::Dc;
using plat::GdiObject;

// The drawing calls of one side.
struct DrawApi {
    const char* name;
    decltype(&plat::create_compatible_dc) create_compatible_dc;
    decltype(&plat::delete_dc) delete_dc;
    decltype(&plat::create_compatible_bitmap) create_compatible_bitmap;
    decltype(&plat::create_mono_bitmap) create_mono_bitmap;
    decltype(&plat::create_pen) create_pen;
    decltype(&plat::create_solid_brush) create_solid_brush;
    decltype(&plat::create_pattern_brush) create_pattern_brush;
    decltype(&plat::stock_object) stock_object;
    decltype(&plat::select_object) select_object;
    decltype(&plat::delete_object) delete_object;
    decltype(&plat::get_bitmap_info) get_bitmap_info;
    decltype(&plat::set_text_color) set_text_color;
    decltype(&plat::set_bk_color) set_bk_color;
    decltype(&plat::set_bk_mode) set_bk_mode;
    decltype(&plat::set_pixel) set_pixel;
    decltype(&plat::set_pixel_v) set_pixel_v;
    decltype(&plat::get_pixel) get_pixel;
    decltype(&plat::pat_blt) pat_blt;
    bool (*bit_blt)(Dc, int, int, int, int, Dc, int, int, plat::Rop);
    decltype(&plat::stretch_blt) stretch_blt;
    decltype(&plat::move_to) move_to;
    decltype(&plat::line_to) line_to;
    decltype(&plat::polyline) polyline;
    decltype(&plat::draw_rectangle) draw_rectangle;
    decltype(&plat::draw_ellipse) draw_ellipse;
    decltype(&plat::draw_arc) draw_arc;
    decltype(&plat::draw_focus_rect) draw_focus_rect;
    decltype(&plat::fill_region) fill_region;
    decltype(&plat::create_rect_rgn) create_rect_rgn;
    decltype(&plat::create_polygon_rgn) create_polygon_rgn;
    decltype(&plat::create_elliptic_rgn) create_elliptic_rgn;
    decltype(&plat::combine_rgn) combine_rgn;
    decltype(&plat::offset_rgn) offset_rgn;
    decltype(&plat::select_clip_rgn) select_clip_rgn;
    decltype(&plat::create_icon) create_icon;
    decltype(&plat::destroy_icon) destroy_icon;
    decltype(&plat::draw_icon) draw_icon;
    decltype(&plat::copy_bitmap_scaled) copy_bitmap_scaled;
    decltype(&plat::copy_icon_scaled) copy_icon_scaled;
};

extern const DrawApi kPlatform;  // platform/draw.h
extern const DrawApi kRaster;    // platform/soft/gdi.h

}  // namespace dc_test
