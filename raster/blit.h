// GDI block copies over plain 32-bit pixel surfaces: the pixel layer of every back end.
#pragma once

#include <cstdint>

#include "platform/draw.h"

namespace raster {

// A block copy's rectangle: where it lands, its size, and where it is read from.
struct CopyRect {
    int x = 0, y = 0, width = 0, height = 0, src_x = 0, src_y = 0;
};

// GDI's rectangle rules for a block copy, which every copy of the raster applies (bit_blt
// below and the device-context layer's):
// - a negative width or height names the rectangle that ends at the given corner, on both
//   sides alike (GDI's mirrored rectangles on both sides cancel for a copy of equal sizes);
// - the rectangle is clipped at the four edges of the source, moving the destination with
//   it, then at the four edges of the destination, moving the source with it; negative
//   offsets on either side are allowed (the part outside is clipped away).
// Worked in 64 bits, so that absurd arguments cannot overflow. False when nothing is left.
bool clip_copy(CopyRect& copy, int src_width, int src_height, int dst_width, int dst_height);

// BitBlt with SRCCOPY, SRCAND or SRCPAINT (any other operation does nothing here), clipped as
// clip_copy says: a pixel whose source or destination lies outside is left alone. Source and
// destination may be the same surface and overlap: the copy behaves as if the source were
// read whole before anything is written.
void bit_blt(const plat::Surface& dst, int x, int y, int width, int height,
             const plat::Surface& src, int src_x, int src_y, plat::Rop rop);

// Solid fill with a 0x00BBGGRR colour, clipped.
void fill_rect(const plat::Surface& dst, int x, int y, int width, int height,
               std::uint32_t colorref);

// An 8 x 8 sprite made of the mask (ANDed) and the disc (ORed), row by row.
struct Stamp8 {
    std::uint32_t mask[64];
    std::uint32_t disc[64];
};

// Both copies of one dot in one pass: destination = (destination AND mask) OR disc, the same
// pixels as BitBlt SRCAND of the mask followed by BitBlt SRCPAINT of the disc. Clipped at
// every edge; the whole-footprint case takes a fast path.
void stamp8(const plat::Surface& dst, int x, int y, const Stamp8& stamp);

// Only the rows first_row..last_row (inclusive) of the destination are touched; used to
// compose a frame band by band while the band stays in the cache.
void stamp8_rows(const plat::Surface& dst, int x, int y, const Stamp8& stamp, int first_row,
                 int last_row);

}  // namespace raster
