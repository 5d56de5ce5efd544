// GDI block copies over plain 32-bit pixel surfaces: the pixel layer of every back end.
#pragma once

#include <cstdint>

#include "platform/draw.h"

namespace raster {

// BitBlt with SRCCOPY, SRCAND or SRCPAINT (any other operation does nothing here), with GDI's rules:
// - the rectangle is clipped against the source bitmap and the destination bitmap, each at
//   all four edges; a pixel whose source or destination lies outside is left alone;
// - negative offsets on either side are allowed (the part outside is clipped away);
// - a negative width or height names the rectangle that ends at the given corner, as GDI's
//   mirrored rectangles on both sides cancel for a copy of equal sizes;
// - source and destination may be the same surface and overlap: the copy behaves as if the
//   source were read whole before anything is written.
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
