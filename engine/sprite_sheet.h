// The dot sprite sheet drawn from its defining table: five green discs (bands 0..4, brightest
// first) over the 8 x 8 mask. The saver takes the packaged picture; this drawing stands in
// where that picture cannot be had (tests, the recorder, a failed decode).
#pragma once

#include <cstdint>
#include <memory>

#include "platform/draw.h"

namespace engine {

// Green value of band `band` at (x, y) inside its 8 x 8 disc.
std::uint8_t DiscGreen(int band, int x, int y);

// 40 x 16 pixels; the bottom row right of the mask holds `filler`, which is never copied.
std::unique_ptr<plat::Bitmap> BuildSpriteSheet(std::uint32_t filler = 0x00000000);

}  // namespace engine
