// The drifting centre of the picture: a unit mass between two springs, stepped once a frame.
#pragma once

#include <cstdint>

namespace engine {

// The mass sits between two springs anchored at (-1, 0) and (1, 0).
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

}  // namespace engine
