// Drawing: bitmaps with 32-bit pixels and block copies with GDI's meaning.
#pragma once

#include <cstdint>
#include <memory>

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

// GDI ternary raster operations used by the program.
enum class Rop : std::uint32_t {
    SrcCopy = 0x00CC0020,   // destination = source
    SrcAnd = 0x008800C6,    // destination = destination AND source
    SrcPaint = 0x00EE0086,  // destination = destination OR source
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

}  // namespace plat
