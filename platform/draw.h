// Drawing: bitmaps with 32-bit pixels and block copies with GDI's meaning, and GDI's
// device-context model (memory device contexts with a selected bitmap, pen, brush, font and
// clip region) in names of our own. The Win32 back end makes the real GDI call for each
// operation; the others draw with the software raster (raster/), which follows GDI's
// rules pixel for pixel.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "platform/types.h"
#include "platform/win32_values.h"

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
// The back ends that draw with the software raster (Linux, scripted): a bitmap of `scale`
// device pixels to a design pixel on each axis, whose surface is scale times the size and
// whose context (bitmap_dc) draws in design pixels; the window core's images at the
// display's scale. Null for a scale outside 1..kMaxDisplayScale.
std::unique_ptr<Bitmap> create_scaled_bitmap(int width, int height, int scale);

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

// GetObjectA on a bitmap: its size and bits per pixel (1 or 32).
struct BitmapInfo {
    int width = 0, height = 0, bits_per_pixel = 0;
};

// Palettes and the mapping mode. Every surface of the program holds 32-bit colour, so a
// logical palette changes no pixel: SelectPalette and RealizePalette are the real calls on
// Win32 and, on the raster, only remember the palette (the default one until another is
// selected). Device contexts stay in MM_TEXT (kMmText), one logical unit a pixel.
enum class Palette : std::uintptr_t { None = 0 };

// A device context that draws into a platform bitmap, owned by the bitmap (never deleted).
Dc bitmap_dc(const Bitmap& bitmap);

// The device-context calls, from system colours to icons (the list says what each does).
#define ZEPHLORA_DRAW_CALL(result, name, parameters, arguments) result name parameters;
#include "platform/draw_calls.h"
#undef ZEPHLORA_DRAW_CALL

inline void offset_rect(Rect& rect, int dx, int dy) {
    rect.left += dx;
    rect.right += dx;
    rect.top += dy;
    rect.bottom += dy;
}

}  // namespace plat
