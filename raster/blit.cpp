#include "raster/blit.h"

#include <algorithm>
#include <cstring>

namespace raster {
namespace {

// Moves the start of the rectangle (and the point it is read from, or written to, on the
// other side) up to the bitmap's near edge.
inline void clip_low(long long& pos, long long& other, long long& size) {
    if (pos < 0) {
        other -= pos;
        size += pos;
        pos = 0;
    }
}

// Cuts the rectangle at the bitmap's far edge.
inline void clip_high(long long pos, long long& size, long long limit) {
    if (size > limit - pos) size = limit - pos;
}

template <typename Op>
void combine_rows(const plat::Surface& dst, int x, int y, int width, int height,
                  const plat::Surface& src, int src_x, int src_y, Op op) {
    // Within one surface a copy downwards runs bottom-up, and within one row a copy to the
    // right runs right to left, so that no source pixel is overwritten before it is read.
    const bool same = dst.pixels == src.pixels;
    const bool rows_up = same && y > src_y;
    const bool right_to_left = same && y == src_y && x > src_x;
    for (int n = 0; n < height; ++n) {
        const int row = rows_up ? height - 1 - n : n;
        std::uint32_t* d = dst.row(y + row) + x;
        const std::uint32_t* s = src.row(src_y + row) + src_x;
        if (right_to_left)
            for (int i = width - 1; i >= 0; --i) d[i] = op(d[i], s[i]);
        else
            for (int i = 0; i < width; ++i) d[i] = op(d[i], s[i]);
    }
}

// The rectangle is inside both bitmaps here.
void blit_clipped(const plat::Surface& dst, int x, int y, int width, int height,
                  const plat::Surface& src, int src_x, int src_y, plat::Rop rop) {
    switch (rop) {
    case plat::Rop::SrcCopy:
        if (dst.pixels == src.pixels) {
            combine_rows(dst, x, y, width, height, src, src_x, src_y,
                         [](std::uint32_t, std::uint32_t s) { return s; });
        } else if (width == dst.width && width == src.width && dst.stride == src.stride &&
                   dst.stride == width) {
            // Whole rows of equal bitmaps: one block.
            std::memcpy(dst.row(y), src.row(src_y),
                        static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
        } else {
            for (int row = 0; row < height; ++row)
                std::memcpy(dst.row(y + row) + x, src.row(src_y + row) + src_x,
                            static_cast<std::size_t>(width) * 4);
        }
        break;
    case plat::Rop::SrcAnd:
        combine_rows(dst, x, y, width, height, src, src_x, src_y,
                     [](std::uint32_t d, std::uint32_t s) { return d & s; });
        break;
    case plat::Rop::SrcPaint:
        combine_rows(dst, x, y, width, height, src, src_x, src_y,
                     [](std::uint32_t d, std::uint32_t s) { return d | s; });
        break;
    default:  // the engine's copies use only the three above; the others go through a DC
        break;
    }
}

}  // namespace

bool clip_copy(CopyRect& copy, int src_width, int src_height, int dst_width, int dst_height) {
    long long x = copy.x, y = copy.y, width = copy.width, height = copy.height;
    long long src_x = copy.src_x, src_y = copy.src_y;
    // A rectangle given from its far corner.
    if (width < 0) {
        x += width + 1;
        src_x += width + 1;
        width = -width;
    }
    if (height < 0) {
        y += height + 1;
        src_y += height + 1;
        height = -height;
    }
    clip_low(src_x, x, width);
    clip_low(src_y, y, height);
    clip_high(src_x, width, src_width);
    clip_high(src_y, height, src_height);
    clip_low(x, src_x, width);
    clip_low(y, src_y, height);
    clip_high(x, width, dst_width);
    clip_high(y, height, dst_height);
    if (width <= 0 || height <= 0) return false;
    // Whatever is left lies inside both bitmaps, so it fits in int again.
    copy = CopyRect{static_cast<int>(x),     static_cast<int>(y),     static_cast<int>(width),
                    static_cast<int>(height), static_cast<int>(src_x), static_cast<int>(src_y)};
    return true;
}

void bit_blt(const plat::Surface& dst, int x, int y, int width, int height, const plat::Surface& src, int src_x,
             int src_y, plat::Rop rop) {
    if (!dst.pixels || !src.pixels) return;
    CopyRect c{x, y, width, height, src_x, src_y};
    if (!clip_copy(c, src.width, src.height, dst.width, dst.height)) return;
    blit_clipped(dst, c.x, c.y, c.width, c.height, src, c.src_x, c.src_y, rop);
}

void fill_rect(const plat::Surface& dst, int x, int y, int width, int height,
               std::uint32_t colorref) {
    if (!dst.pixels || width <= 0 || height <= 0) return;
    const long long x0 = std::max(x, 0), y0 = std::max(y, 0);
    const long long x1 = std::min<long long>(static_cast<long long>(x) + width, dst.width);
    const long long y1 = std::min<long long>(static_cast<long long>(y) + height, dst.height);
    // COLORREF 0x00BBGGRR to the surface's 0x00RRGGBB.
    const std::uint32_t px = ((colorref & 0xFF) << 16) | (colorref & 0xFF00) | ((colorref >> 16) & 0xFF);
    for (long long row = y0; row < y1; ++row)
        std::fill(dst.row(static_cast<int>(row)) + x0, dst.row(static_cast<int>(row)) + x1, px);
}

void stamp8_rows(const plat::Surface& dst, int x, int y, const Stamp8& stamp, int first_row,
                 int last_row) {
    if (!dst.pixels || x <= -8 || y <= -8 || x >= dst.width || y >= dst.height) return;
    const int top = std::max({y, first_row, 0});
    const int bottom = std::min({y + 7, last_row, dst.height - 1});
    if (top > bottom) return;
    if (x <= dst.width - 8) {
        if (x >= 0) {
            // The whole width: eight pixels a row, which the compiler turns into vector code.
            for (int row = top; row <= bottom; ++row) {
                std::uint32_t* d = dst.row(row) + x;
                const std::uint32_t* m = stamp.mask + (row - y) * 8;
                const std::uint32_t* s = stamp.disc + (row - y) * 8;
                for (int i = 0; i < 8; ++i) d[i] = (d[i] & m[i]) | s[i];
            }
            return;
        }
    }
    const int left = std::max(x, 0);
    const int right = std::min(x + 7, dst.width - 1);
    for (int row = top; row <= bottom; ++row) {
        std::uint32_t* d = dst.row(row);
        const int base = (row - y) * 8 - x;
        for (int i = left; i <= right; ++i) d[i] = (d[i] & stamp.mask[base + i]) | stamp.disc[base + i];
    }
}

void stamp8(const plat::Surface& dst, int x, int y, const Stamp8& stamp) {
    if (x >= 0 && y >= 0 && x <= dst.width - 8 && y <= dst.height - 8 && dst.pixels) {
        std::uint32_t* d = dst.row(y) + x;
        for (int row = 0; row < 8; ++row, d += dst.stride) {
            const std::uint32_t* m = stamp.mask + row * 8;
            const std::uint32_t* s = stamp.disc + row * 8;
            for (int i = 0; i < 8; ++i) d[i] = (d[i] & m[i]) | s[i];
        }
        return;
    }
    stamp8_rows(dst, x, y, stamp, 0, dst.height - 1);
}

}  // namespace raster
