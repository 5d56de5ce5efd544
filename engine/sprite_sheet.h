// The dot sprite sheet drawn from its defining table: five green discs (bands 0..4, brightest
// first) over the 8 x 8 mask. The saver takes the packaged picture; this drawing stands in
// where that picture cannot be had (tests, the recorder, a failed decode).
//
// The sheet of a display scale s is the same layout s times larger (40s x 16s, discs of 8s x 8s).
// It is drawn afresh, not enlarged: each screen pixel takes the table's green interpolated
// (bilinearly, in integers) at its own centre between the centres of the table's pixels, so
// the disc keeps its hard rim one screen pixel wide and grows no blocks. The mask keeps the
// background in the s x s corners, as the 8 x 8 one keeps its four corner pixels, and the
// discs are black there. At scale 1 the rule gives the 8 x 8 sheet exactly.
// assets/generator/ui.py draws the shipped sheets by the same rule.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/draw.h"

namespace engine {

// Green value of band `band` at (x, y) inside its 8 x 8 disc.
std::uint8_t DiscGreen(int band, int x, int y);

// Green value of band `band` at (x, y) inside its disc of the sheet for `scale` (8 scale pixels
// a side).
std::uint8_t ScaledDiscGreen(int band, int x, int y, int scale);

// True where the mask of the sheet for `scale` keeps the background (the s x s corners).
bool ScaledMaskKeeps(int x, int y, int scale);

// 40 x 16 pixels; the bottom row right of the mask holds `filler`, which is never copied.
std::unique_ptr<plat::Bitmap> BuildSpriteSheet(std::uint32_t filler = 0x00000000);

// The sheet for a display scale, 40 scale x 16 scale pixels (filler black).
std::unique_ptr<plat::Bitmap> BuildScaledSpriteSheet(int scale);

}  // namespace engine
