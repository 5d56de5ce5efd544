// Bitmaps in plain memory, drawn with the software raster; the device-context calls are the
// raster's device-context layer.
#include <vector>

#include "platform/draw.h"
#include "platform/soft/gdi.h"
#include "platform/soft/raster.h"

namespace plat {
namespace {

class MemoryBitmap final : public Bitmap {
public:
    MemoryBitmap(int width, int height)
        : width_(width), height_(height),
          pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0u) {}
    ~MemoryBitmap() override {
        if (dc_ != Dc::None) soft::delete_dc(dc_);
    }
    MemoryBitmap(const MemoryBitmap&) = delete;
    MemoryBitmap& operator=(const MemoryBitmap&) = delete;
    Surface surface() const override {
        return Surface{const_cast<std::uint32_t*>(pixels_.data()), width_, height_, width_};
    }
    // Made on first use: most bitmaps (the engine's frames) never need one.
    Dc dc() const {
        if (dc_ == Dc::None) dc_ = soft::create_surface_dc(surface());
        return dc_;
    }

private:
    int width_, height_;
    std::vector<std::uint32_t> pixels_;
    mutable Dc dc_ = Dc::None;
};

}  // namespace

std::unique_ptr<Bitmap> create_bitmap(int width, int height) {
    if (width < 0 || height < 0) return nullptr;
    return std::make_unique<MemoryBitmap>(width, height);
}

void bit_blt(Bitmap& dst, int x, int y, int width, int height, const Bitmap& src, int src_x,
             int src_y, Rop rop) {
    soft::bit_blt(dst.surface(), x, y, width, height, src.surface(), src_x, src_y, rop);
}

void fill_rect(Bitmap& dst, int x, int y, int width, int height, std::uint32_t colorref) {
    soft::fill_rect(dst.surface(), x, y, width, height, colorref);
}

// Every bitmap of this back end is a MemoryBitmap.
Dc bitmap_dc(const Bitmap& bitmap) { return static_cast<const MemoryBitmap&>(bitmap).dc(); }

ColorRef sys_color(int index) { return soft::sys_color(index); }
ColorRef resolve_color(ColorRef color) { return soft::resolve_color(color); }
Dc create_compatible_dc(Dc dc) { return soft::create_compatible_dc(dc); }
bool delete_dc(Dc dc) { return soft::delete_dc(dc); }
GdiObject create_compatible_bitmap(Dc dc, int width, int height) { return soft::create_compatible_bitmap(dc, width, height); }
GdiObject create_mono_bitmap(int width, int height, const std::uint8_t* bits) { return soft::create_mono_bitmap(width, height, bits); }
GdiObject create_pen(PenStyle style, int width, ColorRef color) { return soft::create_pen(style, width, color); }
GdiObject create_solid_brush(ColorRef color) { return soft::create_solid_brush(color); }
GdiObject create_pattern_brush(GdiObject bitmap) { return soft::create_pattern_brush(bitmap); }
GdiObject create_font(const FontDesc& desc) { return soft::create_font_object(desc); }
GdiObject stock_object(StockObject which) { return soft::stock_object(which); }
GdiObject select_object(Dc dc, GdiObject object) { return soft::select_object(dc, object); }
bool delete_object(GdiObject object) { return soft::delete_object(object); }
GdiObject current_bitmap(Dc dc) { return soft::current_bitmap(dc); }
bool get_bitmap_info(GdiObject bitmap, BitmapInfo& info) { return soft::get_bitmap_info(bitmap, info); }
ColorRef set_text_color(Dc dc, ColorRef color) { return soft::set_text_color(dc, color); }
ColorRef get_text_color(Dc dc) { return soft::get_text_color(dc); }
ColorRef set_bk_color(Dc dc, ColorRef color) { return soft::set_bk_color(dc, color); }
ColorRef get_bk_color(Dc dc) { return soft::get_bk_color(dc); }
BkMode set_bk_mode(Dc dc, BkMode mode) { return soft::set_bk_mode(dc, mode); }
Palette select_palette(Dc dc, Palette palette, bool) { return soft::select_palette(dc, palette); }
unsigned realize_palette(Dc dc) { return soft::realize_palette(dc); }
int get_map_mode(Dc dc) { return soft::get_map_mode(dc); }
ColorRef set_pixel(Dc dc, int x, int y, ColorRef color) { return soft::set_pixel(dc, x, y, color); }
bool set_pixel_v(Dc dc, int x, int y, ColorRef color) { return soft::set_pixel_v(dc, x, y, color); }
ColorRef get_pixel(Dc dc, int x, int y) { return soft::get_pixel(dc, x, y); }
bool pat_blt(Dc dc, int x, int y, int width, int height, Rop rop) { return soft::pat_blt(dc, x, y, width, height, rop); }
bool bit_blt(Dc dst, int x, int y, int width, int height, Dc src, int src_x, int src_y, Rop rop) { return soft::bit_blt(dst, x, y, width, height, src, src_x, src_y, rop); }
bool stretch_blt(Dc dst, int x, int y, int width, int height, Dc src, int src_x, int src_y, int src_width, int src_height, Rop rop) { return soft::stretch_blt(dst, x, y, width, height, src, src_x, src_y, src_width, src_height, rop); }
bool move_to(Dc dc, int x, int y) { return soft::move_to(dc, x, y); }
bool line_to(Dc dc, int x, int y) { return soft::line_to(dc, x, y); }
bool polyline(Dc dc, std::span<const Point> points) { return soft::polyline(dc, points); }
bool draw_rectangle(Dc dc, int left, int top, int right, int bottom) { return soft::draw_rectangle(dc, left, top, right, bottom); }
bool draw_ellipse(Dc dc, int left, int top, int right, int bottom) { return soft::draw_ellipse(dc, left, top, right, bottom); }
bool draw_arc(Dc dc, int left, int top, int right, int bottom, int start_x, int start_y, int end_x, int end_y) { return soft::draw_arc(dc, left, top, right, bottom, start_x, start_y, end_x, end_y); }
bool draw_focus_rect(Dc dc, const Rect& rect) { return soft::draw_focus_rect(dc, rect); }
bool fill_region(Dc dc, GdiObject region, GdiObject brush) { return soft::fill_region(dc, region, brush); }
int draw_text(Dc dc, std::string_view text, Rect& rect, std::uint32_t format) { return soft::draw_text(dc, text, rect, format); }
GdiObject create_rect_rgn(int left, int top, int right, int bottom) { return soft::create_rect_rgn(left, top, right, bottom); }
GdiObject create_polygon_rgn(std::span<const Point> points, FillMode mode) { return soft::create_polygon_rgn(points, mode); }
GdiObject create_elliptic_rgn(int left, int top, int right, int bottom) { return soft::create_elliptic_rgn(left, top, right, bottom); }
RegionKind combine_rgn(GdiObject dst, GdiObject a, GdiObject b, RegionOp op) { return soft::combine_rgn(dst, a, b, op); }
RegionKind offset_rgn(GdiObject region, int dx, int dy) { return soft::offset_rgn(region, dx, dy); }
RegionKind select_clip_rgn(Dc dc, GdiObject region) { return soft::select_clip_rgn(dc, region); }
std::vector<Rect> region_rects(GdiObject region) { return soft::region_rects(region); }
Icon create_icon(GdiObject color, GdiObject mask) { return soft::create_icon(color, mask); }
bool destroy_icon(Icon icon) { return soft::destroy_icon(icon); }
bool get_icon_info(Icon icon, GdiObject& color, GdiObject& mask) { return soft::get_icon_info(icon, color, mask); }
bool draw_icon(Dc dc, int x, int y, Icon icon, int width, int height) { return soft::draw_icon(dc, x, y, icon, width, height); }
GdiObject copy_bitmap_scaled(GdiObject bitmap, int width, int height) { return soft::copy_bitmap_scaled(bitmap, width, height); }
Icon copy_icon_scaled(Icon icon, int width, int height) { return soft::copy_icon_scaled(icon, width, height); }

}  // namespace plat
