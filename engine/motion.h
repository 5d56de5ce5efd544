// Rotation, projection, angles, drift, depth sorting and the shape order: the integer and
// single-precision arithmetic that moves the dots. Everything here is a plain function of its
// arguments, so that each rule can be checked on its own.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "engine/random.h"
#include "engine/shape_file.h"

namespace engine {

// One full turn is 1024 index steps; entries 0..1024 are filled, 1025 stays 0.
inline constexpr int kTableSize = 1026;
inline constexpr int kFullTurn = 1024;
struct Tables {
    std::array<std::int32_t, kTableSize> Sin{};
    std::array<std::int32_t, kTableSize> Cos{};
};

// Index i stands for the angle (i + 1) x 2 pi / 1024, the angle summed up step by step in
// single precision; values are 255 x sine and cosine rounded half to even.
void BuildTables(Tables& tables);

// a x b / 256 rounded to the nearest integer, halves to even. The division by 256 is exact in
// floating point, so this integer form gives the same results; the product is taken in 64 bits
// so that no accepted coordinate can overflow it.
inline std::int32_t FixedProduct(std::int32_t a, std::int32_t b) {
    const std::int64_t p = static_cast<std::int64_t>(a) * b;
    const std::int64_t q = p >> 8;  // floor
    const std::int64_t r = p & 255;
    return static_cast<std::int32_t>(q + (r > 128 || (r == 128 && (q & 1))));
}

struct DepthKey {
    std::int32_t z;
    std::int32_t index;
};

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

// out[i] = dots[keys[i].index]: the records in the order of sorted keys.
void GatherDots(const ShapeDot* __restrict dots, const DepthKey* __restrict keys, int top,
                ShapeDot* __restrict out);

// Adds the rate to the angle. Past 1024 the angle wraps by whole turns (so any rate keeps it
// inside the tables); below 0 it is pinned at 0, so a negative rate holds the angle at 0.
std::int16_t AdvanceAngle(std::int16_t angle, std::int32_t rate);

// The drifting centre: a unit mass between two springs anchored at (-1, 0) and (1, 0).
struct DriftState {
    float x = 0, y = 0, vx = 0, vy = 0;
};
inline constexpr float kDriftPixelsPerUnit = 200.0f;

DriftState DriftStart();
void StepDrift(DriftState& drift);
// The centre in pixels for a drift state: round(x x 200 + half_width), round(half_height -
// y x 200), halves to even, kept inside 16 bits.
void DriftCentre(const DriftState& drift, std::int16_t half_width, std::int16_t half_height,
                 std::int16_t& centre_x, std::int16_t& centre_y);

// The depth sort exactly as the recursive quicksort of the drawing rules: whole records,
// middle pivot, ranges sorted in the stated order. Kept as the reference for the fast sort.
void SortDotsByDepthReference(ShapeDot* dots, int lo, int hi);

// The same sort run on (depth, index) pairs; gives exactly the order of the reference (equal
// depths included). `keys` must hold at least hi + 1 entries.
void SortDepthKeys(DepthKey* keys, int lo, int hi);

// Writes dots[0..top] into out in the order of the reference sort. `keys` is working room of
// at least top + 1 entries; `dots` and `out` must not overlap.
void SortDotsByDepth(const ShapeDot* __restrict dots, int top, DepthKey* __restrict keys,
                     ShapeDot* __restrict out);

// Entries 1..9 of the order get the member numbers 1..9 in a new random order; entry 0 is
// left alone. The source is re-seeded before every draw.
using ShapeOrderList = std::array<std::int16_t, 10>;
void ShuffleShapes(ShapeOrderList& order, RandomSource& random);

}  // namespace engine
