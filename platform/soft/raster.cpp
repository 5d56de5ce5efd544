#include "platform/soft/raster.h"

#include <algorithm>
#include <cstring>

namespace soft {

void bit_blt(const plat::Surface& dst, int x, int y, int width, int height,
             const plat::Surface& src, int src_x, int src_y, plat::Rop rop) {
    // Clip against the source first, moving the destination with it, then the destination.
    if (src_x < 0) { x -= src_x; width += src_x; src_x = 0; }
    if (src_y < 0) { y -= src_y; height += src_y; src_y = 0; }
    width = std::min(width, src.width - src_x);
    height = std::min(height, src.height - src_y);
    if (x < 0) { src_x -= x; width += x; x = 0; }
    if (y < 0) { src_y -= y; height += y; y = 0; }
    width = std::min(width, dst.width - x);
    height = std::min(height, dst.height - y);
    if (width <= 0 || height <= 0) return;

    for (int row = 0; row < height; ++row) {
        std::uint32_t* d = dst.row(y + row) + x;
        const std::uint32_t* s = src.row(src_y + row) + src_x;
        switch (rop) {
        case plat::Rop::SrcCopy:
            std::memmove(d, s, static_cast<std::size_t>(width) * 4);
            break;
        case plat::Rop::SrcAnd:
            for (int i = 0; i < width; ++i) d[i] &= s[i];
            break;
        case plat::Rop::SrcPaint:
            for (int i = 0; i < width; ++i) d[i] |= s[i];
            break;
        }
    }
}

void fill_rect(const plat::Surface& dst, int x, int y, int width, int height,
               std::uint32_t colorref) {
    const int x0 = std::max(x, 0), y0 = std::max(y, 0);
    const int x1 = std::min(x + width, dst.width), y1 = std::min(y + height, dst.height);
    // COLORREF 0x00BBGGRR to the surface's 0x00RRGGBB.
    const std::uint32_t px = ((colorref & 0xFF) << 16) | (colorref & 0xFF00) | ((colorref >> 16) & 0xFF);
    for (int row = y0; row < y1; ++row) std::fill(dst.row(row) + x0, dst.row(row) + x1, px);
}

}  // namespace soft
