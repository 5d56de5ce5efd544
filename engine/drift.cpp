#include "engine/drift.h"

#include <cmath>

namespace engine {

DriftState DriftStart() {
    return DriftState{static_cast<float>(16.0 / 10.0), static_cast<float>(10.0 / 10.0),
                      static_cast<float>(14.0 / 10.0), static_cast<float>(18.0 / 10.0)};
}

// Every named quantity is a float; inside one formula the arithmetic runs in double precision
// and the result is rounded to single precision when it is stored.
void StepDrift(DriftState& s) {
    constexpr float kRest = 0.2f, kStiffness = 1.0f, kMass = 1.0f, kStep = 0.002f;
    constexpr float kLeftX = -1.0f, kRightX = 1.0f, kAnchorY = 0.0f;
    const double x = s.x, y = s.y;

    // One spring's force on the mass at (x, y). At zero length the direction is undefined and
    // the spring is slack anyway (rest length 0.2), so it pulls with no force.
    auto spring = [&](float anchor_x, float& fx, float& fy) {
        const double dx = anchor_x - x, dy = kAnchorY - y;
        const float d = static_cast<float>(std::sqrt(dx * dx + dy * dy));
        const float t = d > kRest ? static_cast<float>((static_cast<double>(d) - kRest) * kStiffness) : 0.0f;
        if (d == 0.0f) {
            fx = fy = 0.0f;
            return;
        }
        const float ux = static_cast<float>(dx / d), uy = static_cast<float>(dy / d);
        fx = static_cast<float>(static_cast<double>(ux) * t);
        fy = static_cast<float>(static_cast<double>(uy) * t);
    };
    float f1x, f1y, f2x, f2y;
    spring(kLeftX, f1x, f1y);
    spring(kRightX, f2x, f2y);
    const float ax = static_cast<float>((static_cast<double>(f2x) + f1x) / kMass);
    const float ay = static_cast<float>((static_cast<double>(f2y) + f1y) / kMass);
    // Velocity first, then the position with the new velocity.
    s.vx = static_cast<float>(static_cast<double>(kStep) * ax + s.vx);
    s.vy = static_cast<float>(static_cast<double>(kStep) * ay + s.vy);
    s.x = static_cast<float>(static_cast<double>(kStep) * s.vx + s.x);
    s.y = static_cast<float>(static_cast<double>(s.vy) * kStep + s.y);
}

void DriftCentre(const DriftState& drift, std::int16_t half_width, std::int16_t half_height,
                 std::int16_t& centre_x, std::int16_t& centre_y) {
    auto to16 = [](double v) {
        v = std::nearbyint(v);
        if (!(v >= -32768.0)) v = -32768.0;
        if (v > 32767.0) v = 32767.0;
        return static_cast<std::int16_t>(v);
    };
    centre_x = to16(static_cast<double>(drift.x) * 20 * 10 + half_width);
    centre_y = to16(half_height - static_cast<double>(drift.y) * 20 * 10);
}

}  // namespace engine
