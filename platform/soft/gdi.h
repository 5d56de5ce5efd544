// The device-context layer of the software raster: GDI's objects (bitmaps, pens, brushes,
// fonts, regions, icons) in a handle table, device contexts with their selections, colours
// and clip region, and GDI's rules for each drawing call, over the pixel layer of
// platform/soft/pixels.h. The calls mirror those of platform/draw.h one for one (the
// non-Win32 back ends forward to them; the conformance program compares them with GDI).
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "platform/draw.h"
#include "platform/types.h"

namespace soft {

using plat::BitmapInfo;
using plat::BkMode;
using plat::ColorRef;
using plat::Dc;
using plat::FillMode;
using plat::FontDesc;
using plat::GdiObject;
using plat::Icon;
using plat::PenStyle;
using plat::Point;
using plat::Rect;
using plat::RegionKind;
using plat::RegionOp;
using plat::Rop;
using plat::StockObject;

// A device context that draws into pixels owned by someone else (a platform bitmap); the
// surface must outlive it. Deleted with delete_dc.
Dc create_surface_dc(const plat::Surface& surface);
// The pixels of a bitmap object (a monochrome one holds 0 or all ones per pixel; see
// platform/soft/pixels.h), for tests and for the back ends' hand-over to windows.
plat::Surface bitmap_surface(GdiObject bitmap);

// System colours (GetSysColor): the Windows 10 defaults, one table.
ColorRef sys_color(int index);
// A colour with the top bit set, 0x80000000 + n, names system colour n; the program resolves
// it before handing it to GDI (GDI itself would take the low bytes as a plain colour).
ColorRef resolve_color(ColorRef color);

// CreateCompatibleDC: a memory device context holding the stock 1 x 1 monochrome bitmap, the
// black pen, the white brush and the system font; None makes it compatible with the screen.
Dc create_compatible_dc(Dc dc);
bool delete_dc(Dc dc);

// CreateCompatibleBitmap: a bitmap of the kind the device context holds (a memory context
// that still holds its stock bitmap gives a monochrome one; the screen a colour one).
GdiObject create_compatible_bitmap(Dc dc, int width, int height);
// CreateBitmap(width, height, 1, 1, bits): a monochrome bitmap; `bits` (may be null: all
// black) holds rows padded to 16 bits, most significant bit first, 1 for white.
GdiObject create_mono_bitmap(int width, int height, const std::uint8_t* bits);
GdiObject create_pen(PenStyle style, int width, ColorRef color);
GdiObject create_solid_brush(ColorRef color);
GdiObject create_pattern_brush(GdiObject bitmap);
// CreateFontIndirectA (named apart from the font engine's own soft::create_font).
GdiObject create_font_object(const FontDesc& desc);
GdiObject stock_object(StockObject which);
// SelectObject for bitmaps, pens, brushes and fonts: returns the object it replaces (None on
// failure, e.g. a bitmap already selected elsewhere or of the wrong kind).
GdiObject select_object(Dc dc, GdiObject object);
bool delete_object(GdiObject object);
// GetCurrentObject(dc, OBJ_BITMAP): the bitmap a context holds (for a plain bitmap's context,
// the handle by which GetObjectA and CopyImage see it; it lives as long as the bitmap).
GdiObject current_bitmap(Dc dc);

// GetObjectA on a bitmap: its size and bits per pixel (1 or 32).
bool get_bitmap_info(GdiObject bitmap, BitmapInfo& info);

ColorRef set_text_color(Dc dc, ColorRef color);  // returns the previous colour
ColorRef get_text_color(Dc dc);
ColorRef set_bk_color(Dc dc, ColorRef color);
ColorRef get_bk_color(Dc dc);
BkMode set_bk_mode(Dc dc, BkMode mode);          // returns the previous mode
plat::Palette select_palette(Dc dc, plat::Palette palette);
unsigned realize_palette(Dc dc);
int get_map_mode(Dc dc);

ColorRef set_pixel(Dc dc, int x, int y, ColorRef color);  // the colour set, or kInvalidColor
bool set_pixel_v(Dc dc, int x, int y, ColorRef color);
ColorRef get_pixel(Dc dc, int x, int y);

bool pat_blt(Dc dc, int x, int y, int width, int height, Rop rop);
bool bit_blt(Dc dst, int x, int y, int width, int height, Dc src, int src_x, int src_y, Rop rop);
// StretchBlt in the default stretch mode (BLACKONWHITE: rows and columns that a shrink folds
// together are ANDed).
bool stretch_blt(Dc dst, int x, int y, int width, int height, Dc src, int src_x, int src_y,
                 int src_width, int src_height, Rop rop);

bool move_to(Dc dc, int x, int y);  // MoveToEx without the old position
bool line_to(Dc dc, int x, int y);
bool polyline(Dc dc, std::span<const Point> points);
bool draw_rectangle(Dc dc, int left, int top, int right, int bottom);  // Rectangle
bool draw_ellipse(Dc dc, int left, int top, int right, int bottom);    // Ellipse
bool draw_arc(Dc dc, int left, int top, int right, int bottom, int start_x, int start_y,
              int end_x, int end_y);                                     // Arc, counter-clockwise
bool draw_focus_rect(Dc dc, const Rect& rect);                           // DrawFocusRect
bool fill_region(Dc dc, GdiObject region, GdiObject brush);              // FillRgn
// DrawTextA(dc, text, -1, &rect, format) with the selected font, text colour and background.
int draw_text(Dc dc, std::string_view text, Rect& rect, std::uint32_t format);

// ---- Regions ---------------------------------------------------------------------------

GdiObject create_rect_rgn(int left, int top, int right, int bottom);
GdiObject create_polygon_rgn(std::span<const Point> points, FillMode mode);
GdiObject create_elliptic_rgn(int left, int top, int right, int bottom);
RegionKind combine_rgn(GdiObject dst, GdiObject a, GdiObject b, RegionOp op);
RegionKind offset_rgn(GdiObject region, int dx, int dy);
// SelectClipRgn: the device context clips to a copy of the region; None removes the clip.
RegionKind select_clip_rgn(Dc dc, GdiObject region);
// The pixels of a region as non-overlapping rectangles, top to bottom and left to right:
// what a window takes when the region is given to it (SetWindowRgn).
std::vector<Rect> region_rects(GdiObject region);

// ---- Icons -----------------------------------------------------------------------------

// CreateIconIndirect with an icon's colour bitmap and monochrome mask (both copied).
Icon create_icon(GdiObject color, GdiObject mask);
bool destroy_icon(Icon icon);
// GetIconInfo: new copies of the icon's colour bitmap and mask, for the caller to delete.
bool get_icon_info(Icon icon, GdiObject& color, GdiObject& mask);
// DrawIconEx(dc, x, y, icon, width, height, 0, null, DI_NORMAL); 0 sizes take the icon's own.
bool draw_icon(Dc dc, int x, int y, Icon icon, int width, int height);
// CopyImage(IMAGE_BITMAP / IMAGE_ICON, width, height, 0): a scaled copy (0 keeps the size).
GdiObject copy_bitmap_scaled(GdiObject bitmap, int width, int height);
Icon copy_icon_scaled(Icon icon, int width, int height);

}  // namespace soft
