// The colour rules of the styled button: shade moves a colour lighter or darker, ramp spreads
// a run of colours between two, and the derived face colours follow the style.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/types.h"

namespace controls::styled_button {

using plat::ColorRef;

constexpr ColorRef Rgb(int r, int g, int b) {
    return static_cast<ColorRef>(r) | static_cast<ColorRef>(g) << 8 | static_cast<ColorRef>(b) << 16;
}

// shade's options, ORed.
enum ShadeOption : unsigned {
    kPlain = 0,
    kBlueMode = 1,  // blue moves by its own share of the amount (b + a * b / 192)
    kRetry = 2,     // a pure black or white result is redone with the amount negated
    kInvert = 4,    // each channel becomes 255 minus itself
};

// Moves c by `amount` (positive lighter). Green and blue are taken out with the divisors 255
// and 65280, so a full channel reads as 256 before the clamp; that is part of the look.
ColorRef shade(ColorRef c, int amount, unsigned options = kPlain);

// `count` colours from c1 towards c2 by equal rounded steps (the last one need not be c2).
std::vector<ColorRef> ramp(ColorRef c1, ColorRef c2, int count);

// Rounding to the nearest integer, halves to the even neighbour.
int round_even(double value);

// The face colours a style derives from the back and hover back colours (both resolved).
struct FaceColours {
    ColorRef face = 0, face2 = 0, hover = 0;
};
FaceColours derive_faces(int style, ColorRef back, ColorRef hover_back);

}  // namespace controls::styled_button
