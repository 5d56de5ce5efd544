#include "engine/motion.h"

#include <cmath>
#include <cstdlib>
#include <utility>

namespace engine {
namespace {

// Nearest integer with halves to even for |v| < 2^51: adding and removing 1.5 x 2^52 leaves
// the value rounded by the hardware's default mode (to nearest, ties to even). Much cheaper
// than a library call in the per-dot loops, and the same result.
inline double round_even(double v) {
    constexpr double kMagic = 6755399441055744.0;
    return (v + kMagic) - kMagic;
}

// Pixel positions far off any screen are held at this distance; clipping then draws nothing.
constexpr double kPixelLimit = 1'000'000'000.0;

inline std::int32_t to_pixel(double v) {
    if (!(v > -kPixelLimit)) v = -kPixelLimit;  // NaN cannot arise, but stays harmless
    if (v > kPixelLimit) v = kPixelLimit;
    return static_cast<std::int32_t>(round_even(v));
}

}  // namespace

void BuildTables(Tables& tables) {
    const float step = static_cast<float>(6.283185308 / 1024.0);
    float theta = step;
    for (int i = 0; i <= kFullTurn; ++i) {
        tables.Sin[i] = static_cast<std::int32_t>(std::nearbyint(255.0 * std::sin(static_cast<double>(theta))));
        tables.Cos[i] = static_cast<std::int32_t>(std::nearbyint(255.0 * std::cos(static_cast<double>(theta))));
        theta = theta + step;  // rounded to single precision at every step
    }
    tables.Sin[kTableSize - 1] = 0;
    tables.Cos[kTableSize - 1] = 0;
}

void RotateDots(const Tables& tables, Angles angles, const ShapeDot* src, int top, ShapeDot* out) {
    const std::int32_t sY = tables.Sin[angles.Y], cY = tables.Cos[angles.Y];
    const std::int32_t sZ = tables.Sin[angles.Z], cZ = tables.Cos[angles.Z];
    const std::int32_t sX = tables.Sin[angles.X], cX = tables.Cos[angles.X];
    for (int i = 0; i <= top; ++i) {
        const ShapeDot d = src[i];
        // About Y, then Z, then X; each product is rounded on its own.
        const std::int32_t x1 = FixedProduct(d.X, cY) - FixedProduct(d.Z, sY);
        const std::int32_t z1 = FixedProduct(d.X, sY) + FixedProduct(d.Z, cY);
        const std::int32_t x2 = FixedProduct(x1, cZ) + FixedProduct(d.Y, sZ);
        const std::int32_t y1 = FixedProduct(d.Y, cZ) - FixedProduct(x1, sZ);
        const std::int32_t z2 = FixedProduct(z1, cX) - FixedProduct(y1, sX);
        const std::int32_t y2 = FixedProduct(z1, sX) + FixedProduct(y1, cX);
        out[i] = ShapeDot{x2, y2, z2, d.W};
    }
}

void ProjectDots(ShapeDot* dots, int top, std::int32_t centre_x, std::int32_t centre_y) {
    const double cx = centre_x, cy = centre_y;
    for (int i = 0; i <= top; ++i) {
        ShapeDot& d = dots[i];
        if (d.Z >= kViewDistance) {
            d.X = kParkedX;
            d.Y = kParkedY;
            continue;
        }
        // -(X x 260) / (Z - 260) + centre, in double precision, then rounded.
        const double den = static_cast<double>(static_cast<std::int64_t>(d.Z) - kViewDistance);
        d.X = to_pixel(-static_cast<double>(static_cast<std::int64_t>(d.X) * kViewDistance) / den + cx);
        d.Y = to_pixel(-static_cast<double>(static_cast<std::int64_t>(d.Y) * kViewDistance) / den + cy);
    }
}

std::int16_t AdvanceAngle(std::int16_t angle, std::int32_t rate) {
    std::int64_t a = static_cast<std::int64_t>(angle) + rate;
    if (a > kFullTurn) a = (a - 1) % kFullTurn + 1;  // one subtraction of 1024 for rates up to 1024
    if (a < 0) a = 0;
    return static_cast<std::int16_t>(a);
}

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

void SortDotsByDepthReference(ShapeDot* dots, int lo, int hi) {
    if (!(lo < hi)) return;
    const int mid = (lo + hi) / 2;
    const std::int32_t pivot = dots[mid].Z;
    int i = lo, j = hi;
    for (;;) {
        while (dots[i].Z < pivot) ++i;
        while (dots[j].Z > pivot) --j;
        if (j < i) break;
        std::swap(dots[i], dots[j]);
        ++i;
        --j;
        if (j < i) break;
    }
    if (mid < j) {
        SortDotsByDepthReference(dots, i, hi);
        SortDotsByDepthReference(dots, lo, j);
    } else {
        SortDotsByDepthReference(dots, lo, j);
        SortDotsByDepthReference(dots, i, hi);
    }
}

// The two ranges left after a partition never overlap, so the order in which they are sorted
// does not change the result; taking the smaller first keeps the explicit stack at log2(n).
void SortDepthKeys(DepthKey* keys, int lo, int hi) {
    struct Range {
        int lo, hi;
    };
    Range stack[64];
    int depth = 0;
    for (;;) {
        while (lo < hi) {
            const int mid = lo + (hi - lo) / 2;
            const std::int32_t pivot = keys[mid].z;
            int i = lo, j = hi;
            for (;;) {
                while (keys[i].z < pivot) ++i;
                while (keys[j].z > pivot) --j;
                if (j < i) break;
                std::swap(keys[i], keys[j]);
                ++i;
                --j;
                if (j < i) break;
            }
            // Ranges lo..j and i..hi remain.
            if (j - lo < hi - i) {
                stack[depth++] = Range{i, hi};
                hi = j;
            } else {
                stack[depth++] = Range{lo, j};
                lo = i;
            }
        }
        if (depth == 0) return;
        --depth;
        lo = stack[depth].lo;
        hi = stack[depth].hi;
    }
}

void ShuffleShapes(ShapeOrderList& order, RandomSource& random) {
    std::array<bool, 10> used{};
    int placed = 0;
    for (int remaining = 9; remaining > 0; --remaining) {
        random.Reseed();
        int k = static_cast<int>(std::floor(random.Next() * remaining)) + 1;
        if (k > remaining) k = remaining;  // r is below 1, this only guards a faulty source
        if (k < 1) k = 1;
        for (int j = 1; j <= 9; ++j) {
            if (used[j]) continue;
            if (--k == 0) {
                used[j] = true;
                ++placed;
                order[placed] = static_cast<std::int16_t>(j);
                break;
            }
        }
    }
}

}  // namespace engine
