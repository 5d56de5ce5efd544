// Rotation of the dots about three axes and their projection onto the screen: the integer
// arithmetic of every frame, with the angles that advance after it.
#pragma once

#include <cstdint>

#include "engine/shape_file.h"
#include "engine/tables.h"

namespace engine {

// a x b / 256 rounded to the nearest integer, halves to even. The division by 256 is exact in
// floating point, so this integer form gives the same results; the product is taken in 64 bits
// so that no accepted coordinate can overflow it. The plain form of every rotation term.
inline std::int32_t FixedProduct(std::int32_t a, std::int32_t b) {
    const std::int64_t p = static_cast<std::int64_t>(a) * b;
    const std::int64_t q = p >> 8;  // floor
    const std::int64_t r = p & 255;
    return static_cast<std::int32_t>(q + (r > 128 || (r == 128 && (q & 1))));
}

struct Angles {
    std::int16_t X = 0, Y = 0, Z = 0;
};

// Rotates src[0..top] into out[0..top]: about Y, then Z, then X (see the .cpp for the terms).
// `src` and `out` must not overlap.
void RotateDots(const Tables& tables, Angles angles, const ShapeDot* __restrict src, int top,
                ShapeDot* __restrict out);

inline constexpr std::int32_t kViewDistance = 260;
// A dot at or behind the eye is parked at this fixed pixel.
inline constexpr std::int32_t kParkedX = 320, kParkedY = 200;

// Replaces X and Y of dots[0..top] by pixel positions (the sprite's top-left corner).
void ProjectDots(ShapeDot* dots, int top, std::int32_t centre_x, std::int32_t centre_y);

// Adds the rate to the angle. Past 1024 the angle wraps by whole turns (so any rate keeps it
// inside the tables); below 0 it is pinned at 0, so a negative rate holds the angle at 0.
std::int16_t AdvanceAngle(std::int16_t angle, std::int32_t rate);

}  // namespace engine
