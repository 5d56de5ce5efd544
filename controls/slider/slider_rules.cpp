#include "controls/slider/slider_rules.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/numeric.h"
#include "platform/win32_values.h"

namespace controls::slider {
namespace {

constexpr std::int64_t kLowest = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kHighest = std::numeric_limits<std::int32_t>::max();

bool fits(std::int64_t v) { return v >= kLowest && v <= kHighest; }
bool fits(double v) { return v >= static_cast<double>(kLowest) && v <= static_cast<double>(kHighest); }

// The bounds after a write, or nothing when their span no longer fits 32 bits: every later
// step (the handle, the fill, a drag) divides by Max - Min.
std::optional<Bounds> if_span_fits(Bounds b) {
    if (!fits(static_cast<std::int64_t>(b.max) - b.min)) return std::nullopt;
    return b;
}

double R(double v) { return common::round_half_even(v); }

}  // namespace

std::int32_t Clamped(const Bounds& b) {
    std::int32_t v = b.value;
    if (v < b.min) v = b.min;
    if (v > b.max) v = b.max;
    return v;
}

std::optional<Bounds> WriteValue(Bounds b, std::int32_t value) {
    b.value = value;
    b.value = Clamped(b);
    return b;
}

std::optional<Bounds> WriteMax(Bounds b, std::int32_t max) {
    b.max = max;
    // Min < Max held before, so Min + 1 cannot pass the largest integer.
    if (b.min >= b.max) b.max = b.min + 1;
    if (b.value > b.max) b.value = b.max;
    return if_span_fits(b);
}

std::optional<Bounds> WriteMin(Bounds b, std::int32_t min) {
    b.min = min;
    if (b.min >= b.max) b.min = b.max - 1;
    if (b.value < b.min) b.value = b.min;
    return if_span_fits(b);
}

std::optional<std::int32_t> KeyStep(std::int32_t value, int virtual_key) {
    const int step = virtual_key == plat::kVkLeft ? -1 : virtual_key == plat::kVkRight ? 1 : 0;
    const std::int64_t next = static_cast<std::int64_t>(value) + step;
    if (!fits(next)) return std::nullopt;
    return static_cast<std::int32_t>(next);
}

Extent ResizedExtent(Extent e, bool vertical) {
    if (vertical) {
        if (kMinimumLength > e.height) e.height = kMinimumLength;
        e.width = kThickness;
    } else {
        if (kMinimumLength > e.width) e.width = kMinimumLength;
        e.height = kThickness;
    }
    return e;
}

Extent TurnedExtent(Extent e, bool vertical) {
    if (vertical)
        e.height = e.width;
    else
        e.width = e.height;
    return e;
}

std::optional<int> HandleOffset(const PaintState& s) {
    const Bounds& b = s.bounds;
    if (b.max == b.min) return std::nullopt;
    if (!s.snap && s.dragging) return static_cast<int>(R(s.drag_position));
    const double span = static_cast<double>(static_cast<std::int64_t>(b.max) - b.min);
    double p;
    if (s.vertical) {
        const double track = s.extent.height - kDownHeight - kUpHeight - kHandle2Height;
        p = R(R(kHandle2Height / 2.0 + R(b.value / span * track) + 1 + kHandle2Height) - b.min / span * track);
    } else {
        const double track = s.extent.width - kLeftWidth - kRightWidth - kHandleWidth;
        p = R(R(kHandleWidth / 2.0 + R(b.value / span * track) + 1) - b.min / span * track);
    }
    // The bounds keep the value inside them, so P lies on the track; the clamp only keeps a
    // value of a state that was never stored from wrapping.
    return static_cast<int>(std::clamp(p, -1.0e9, 1.0e9));
}

Rgb Components(std::uint32_t c) {
    return {static_cast<double>(c & 0xFF), static_cast<double>((c >> 8) & 0xFF), static_cast<double>((c >> 16) & 0xFF)};
}

std::uint32_t FillColour(const PaintState& s, const Rgb& a, const Rgb& b) {
    double t;
    if (!s.snap && s.dragging) {
        const double groove = s.vertical ? s.extent.height - kDownHeight - kUpHeight
                                         : s.extent.width - kLeftWidth - kRightWidth;
        t = s.drag_position / groove;
    } else {
        const Bounds& k = s.bounds;
        t = (static_cast<double>(k.value) - k.min) / (static_cast<double>(k.max) - k.min);
    }
    auto mix = [t](double from, double to) {
        const double c = std::clamp((1 - t) * from + t * to, 0.0, 255.0);
        return static_cast<std::uint32_t>(R(c));
    };
    return mix(a.red, b.red) | mix(a.green, b.green) << 8 | mix(a.blue, b.blue) << 16;
}

std::optional<DragStep> Drag(const PaintState& s, int along) {
    const Bounds& b = s.bounds;
    const double span = static_cast<double>(static_cast<std::int64_t>(b.max) - b.min);
    const double pointer = along;
    DragStep step;
    if (s.vertical) {
        const double h = s.extent.height;
        const double f = (pointer - kHandle2Height) / (h - kDownHeight - kUpHeight - kHandle2Height);
        const double d = R(f * span);
        if (!fits(d) || !fits(static_cast<std::int64_t>(b.max) - static_cast<std::int64_t>(d))) return std::nullopt;
        step.value = static_cast<std::int32_t>(b.max - static_cast<std::int64_t>(d));
        // The raw coordinate chose the value; the handle stays between the end caps.
        const double y = std::min(std::max(pointer, kHandle2Height / 2.0 + kDownHeight - 1),
                                  h - (kHandle2Height / 2.0 + kUpHeight));
        step.position = h - (y - kHandle2Height / 2.0) - kHandleInset;
    } else {
        const double w = s.extent.width;
        const double f = (pointer - kHandleWidth) / (w - kLeftWidth - kRightWidth - kHandleWidth);
        const double d = R(f * span);
        if (!fits(d) || !fits(static_cast<std::int64_t>(b.min) + static_cast<std::int64_t>(d))) return std::nullopt;
        step.value = static_cast<std::int32_t>(b.min + static_cast<std::int64_t>(d));
        const double x = std::min(std::max(pointer, kHandleWidth / 2.0 + kLeftWidth - 1),
                                  w - (kHandleWidth / 2.0 + kRightWidth));
        // The handle is centred under the pointer.
        step.position = x - kHandleWidth / 2.0;
    }
    return step;
}

}  // namespace controls::slider
