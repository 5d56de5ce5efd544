#include "dc_scene.h"

namespace dc_test {

#define ZEPHLORA_DRAW_API(ns)                                                                          \
    {#ns, &ns::create_compatible_dc, &ns::delete_dc, &ns::create_compatible_bitmap, &ns::create_mono_bitmap, \
     &ns::create_pen, &ns::create_solid_brush, &ns::create_pattern_brush, &ns::stock_object,                 \
     &ns::select_object, &ns::delete_object, &ns::get_bitmap_info, &ns::set_text_color, &ns::set_bk_color,   \
     &ns::set_bk_mode, &ns::set_pixel, &ns::set_pixel_v, &ns::get_pixel, &ns::pat_blt, &ns::bit_blt,          \
     &ns::stretch_blt, &ns::move_to, &ns::line_to, &ns::polyline, &ns::draw_rectangle, &ns::draw_ellipse,     \
     &ns::draw_arc, &ns::draw_focus_rect, &ns::fill_region, &ns::create_rect_rgn, &ns::create_polygon_rgn,    \
     &ns::create_elliptic_rgn, &ns::combine_rgn, &ns::offset_rgn, &ns::select_clip_rgn, &ns::create_icon,     \
     &ns::destroy_icon, &ns::draw_icon, &ns::copy_bitmap_scaled, &ns::copy_icon_scaled}

const DrawApi kPlatform = ZEPHLORA_DRAW_API(plat);
const DrawApi kRaster = ZEPHLORA_DRAW_API(soft);

#undef ZEPHLORA_DRAW_API

}  // namespace dc_test
