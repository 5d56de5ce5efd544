// GDI block copies over plain 32-bit pixel surfaces.
#pragma once

#include "platform/draw.h"

namespace soft {

// BitBlt semantics: the rectangle is clipped against the destination and the source; pixels
// outside either are left alone. Negative offsets on either side are allowed.
void bit_blt(const plat::Surface& dst, int x, int y, int width, int height,
             const plat::Surface& src, int src_x, int src_y, plat::Rop rop);

// Solid fill with a 0x00BBGGRR colour, clipped.
void fill_rect(const plat::Surface& dst, int x, int y, int width, int height,
               std::uint32_t colorref);

}  // namespace soft
