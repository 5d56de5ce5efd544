// Drawing: bitmaps with 32-bit pixels and block copies with GDI's meaning, and GDI's
// device-context model (memory device contexts with a selected bitmap, pen, brush, font and
// clip region) in names of our own. The Win32 back end makes the real GDI call for each
// operation; the others draw with the software raster (platform/soft), which follows GDI's
// rules pixel for pixel.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "platform/types.h"

namespace plat {

// A view of 32-bit pixels laid out as in a top-down 32-bit DIB: memory order B, G, R, X,
// so one pixel reads as 0x00RRGGBB.
struct Surface {
    std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;  // pixels per row
    std::uint32_t* row(int y) const { return pixels + static_cast<std::ptrdiff_t>(y) * stride; }
};

// GDI ternary raster operations used by the program. Any of the 256 codes may be cast to it
// for the device-context calls (the truth table is bits 16..23).
enum class Rop : std::uint32_t {
    SrcCopy = 0x00CC0020,   // destination = source
    SrcAnd = 0x008800C6,    // destination = destination AND source
    SrcPaint = 0x00EE0086,  // destination = destination OR source
    SrcInvert = 0x00660046, // destination = destination XOR source
    PatCopy = 0x00F00021,   // destination = brush
    PatInvert = 0x005A0049, // destination = destination XOR brush
    DstInvert = 0x00550009, // destination = NOT destination
    Blackness = 0x00000042,
    Whiteness = 0x00FF0062,
    MaskOutSource = 0x00220326,  // destination = destination AND NOT source
    PaintBrushWhereBlack = 0x00B8074A,  // brush where the source is black, else destination
};

// An off-screen picture owned by the platform (a DIB section on Win32, plain memory elsewhere).
class Bitmap {
public:
    virtual ~Bitmap() = default;
    virtual Surface surface() const = 0;
    int width() const { return surface().width; }
    int height() const { return surface().height; }
};

std::unique_ptr<Bitmap> create_bitmap(int width, int height);

// BitBlt(dst, x, y, w, h, src, sx, sy, rop), clipped against both bitmaps like GDI.
void bit_blt(Bitmap& dst, int x, int y, int width, int height, const Bitmap& src, int src_x,
             int src_y, Rop rop);

// Fill a rectangle with one 0x00BBGGRR colour (clipped).
void fill_rect(Bitmap& dst, int x, int y, int width, int height, std::uint32_t colorref);

// ---- Device contexts -------------------------------------------------------------------

// Opaque handles: the platform's own values (HDC, HGDIOBJ, HICON on Win32, table keys
// elsewhere). None is the null handle; a call given an invalid handle fails.
enum class Dc : std::uintptr_t { None = 0 };
enum class GdiObject : std::uintptr_t { None = 0 };  // bitmap, pen, brush, font or region
enum class Icon : std::uintptr_t { None = 0 };

enum class PenStyle : int { Solid = 0, Dot = 2, Null = 5 };         // PS_*
enum class BkMode : int { Failed = 0, Transparent = 1, Opaque = 2 };  // SetBkMode's values
enum class FillMode : int { Alternate = 1, Winding = 2 };           // polygon fill modes
enum class RegionOp : int { And = 1, Or = 2, Xor = 3, Diff = 4, Copy = 5 };  // RGN_*
enum class RegionKind : int { Error = 0, Null = 1, Simple = 2, Complex = 3 };
enum class StockObject : int {
    WhiteBrush = 0, BlackBrush = 4, NullBrush = 5, WhitePen = 6, BlackPen = 7, NullPen = 8,
    SystemFont = 13,
};

// GetPixel's answer for a point outside the bitmap or the clip region.
constexpr ColorRef kInvalidColor = 0xFFFFFFFF;

// System colours (GetSysColor): the Windows 10 defaults, one table.
ColorRef sys_color(int index);
// A colour with the top bit set, 0x80000000 + n, names system colour n; the program resolves
// it before handing it to GDI (GDI itself would take the low bytes as a plain colour).
ColorRef resolve_color(ColorRef color);

// CreateCompatibleDC: a memory device context holding the stock 1 x 1 monochrome bitmap, the
// black pen, the white brush and the system font; None makes it compatible with the screen.
Dc create_compatible_dc(Dc dc);
bool delete_dc(Dc dc);
// A device context that draws into a platform bitmap, owned by the bitmap (never deleted).
Dc bitmap_dc(const Bitmap& bitmap);

// CreateCompatibleBitmap: a bitmap of the kind the device context holds (a memory context
// that still holds its stock bitmap gives a monochrome one; the screen a colour one).
GdiObject create_compatible_bitmap(Dc dc, int width, int height);
// CreateBitmap(width, height, 1, 1, bits): a monochrome bitmap; `bits` (may be null: all
// black) holds rows padded to 16 bits, most significant bit first, 1 for white.
GdiObject create_mono_bitmap(int width, int height, const std::uint8_t* bits);
GdiObject create_pen(PenStyle style, int width, ColorRef color);
GdiObject create_solid_brush(ColorRef color);
GdiObject create_pattern_brush(GdiObject bitmap);
GdiObject create_font(const FontDesc& desc);  // CreateFontIndirectA
GdiObject stock_object(StockObject which);
// SelectObject for bitmaps, pens, brushes and fonts: returns the object it replaces (None on
// failure, e.g. a bitmap already selected elsewhere or of the wrong kind).
GdiObject select_object(Dc dc, GdiObject object);
bool delete_object(GdiObject object);
// GetCurrentObject(dc, OBJ_BITMAP): the bitmap a context holds (for a plain bitmap's context,
// the handle by which GetObjectA and CopyImage see it; it lives as long as the bitmap).
GdiObject current_bitmap(Dc dc);

// GetObjectA on a bitmap: its size and bits per pixel (1 or 32).
struct BitmapInfo {
    int width = 0, height = 0, bits_per_pixel = 0;
};
bool get_bitmap_info(GdiObject bitmap, BitmapInfo& info);

ColorRef set_text_color(Dc dc, ColorRef color);  // returns the previous colour
ColorRef get_text_color(Dc dc);
ColorRef set_bk_color(Dc dc, ColorRef color);
ColorRef get_bk_color(Dc dc);
BkMode set_bk_mode(Dc dc, BkMode mode);          // returns the previous mode

// Palettes and the mapping mode. Every surface of the program holds 32-bit colour, so a
// logical palette changes no pixel: SelectPalette and RealizePalette are the real calls on
// Win32 and, on the raster, only remember the palette (the default one until another is
// selected). Device contexts stay in MM_TEXT, one logical unit a pixel.
enum class Palette : std::uintptr_t { None = 0 };
inline constexpr int kMmText = 1;
Palette select_palette(Dc dc, Palette palette, bool force_background);  // the previous one
unsigned realize_palette(Dc dc);  // entries mapped into the system palette: none here
int get_map_mode(Dc dc);          // 0 for an invalid device context

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
// DrawText(dc, text, -1, &rect, format) of the CP932 text with the selected font, text colour
// and background.
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

inline void offset_rect(Rect& rect, int dx, int dy) {
    rect.left += dx;
    rect.right += dx;
    rect.top += dy;
    rect.bottom += dy;
}

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

}  // namespace plat
