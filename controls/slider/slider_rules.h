#pragma once
// The slider's arithmetic, free of windows and drawing: the bounds and their write rules, the
// key steps, where the handle lies, the fill colour and what a drag step does. Every rule is
// written here once; slider.cpp applies them to the control's window and images.
//
// Sizes are pixels. The control's extent is given in pixels; a host that measures in twips
// divides by the screen's twips per pixel first, so a length computed in twips and divided
// into pixels is the same whole number computed here.
#include <cstdint>
#include <optional>

namespace controls::slider {

// The ten images, width x height. The horizontal ones are the vertical ones turned.
inline constexpr int kLeftWidth = 11, kRightWidth = 14, kHandleWidth = 19, kHandleHeight = 10;
inline constexpr int kUpHeight = 14, kDownHeight = 11, kHandle2Height = 19, kHandle2Width = 10;
inline constexpr int kThickness = 20;  // a horizontal control's height, a vertical one's width
// Along its long side a fill strip keeps its rim; these pixels form the groove and take the
// fill colour (full strips) or the back colour (empty strips).
inline constexpr int kGrooveFirst = 6, kGrooveLast = 12;
// The shortest a control may be along its long side: both end caps and two handles.
inline constexpr int kMinimumLength = kLeftWidth + kRightWidth + 2 * kHandleWidth;  // 63
static_assert(kMinimumLength == kUpHeight + kDownHeight + 2 * kHandle2Height);

// Where the handle is drawn from the top of a horizontal control and from the left of a
// vertical one.
inline constexpr int kHandleInset = 4;

struct Bounds {
    std::int32_t value = 50;
    std::int32_t max = 100;
    std::int32_t min = -100;
    bool operator==(const Bounds&) const = default;
};

// The writes of Value, Max and Min with their clamping; empty when the write is refused
// because Max - Min would leave the 32-bit range (what was stored stays).
std::optional<Bounds> WriteValue(Bounds bounds, std::int32_t value);
std::optional<Bounds> WriteMax(Bounds bounds, std::int32_t max);
std::optional<Bounds> WriteMin(Bounds bounds, std::int32_t min);

// Value held inside Min..Max.
std::int32_t Clamped(const Bounds& bounds);

// A key's change of Value before the clamp: -1 for the left arrow (plat::kVkLeft), +1 for the
// right arrow (plat::kVkRight), 0 for every other key; empty when the step would leave the
// 32-bit range.
std::optional<std::int32_t> KeyStep(std::int32_t value, int virtual_key);

struct Extent {
    int width = 0, height = 0;
    bool operator==(const Extent&) const = default;
};
// The resize rule: the long side grows to at least kMinimumLength, the short side is the
// images' thickness.
Extent ResizedExtent(Extent extent, bool vertical);
// Turning the orientation over: a vertical control takes the old width as its height, a
// horizontal one the old height as its width (then the resize rule runs).
Extent TurnedExtent(Extent extent, bool vertical);

// What a redraw depends on.
struct PaintState {
    Bounds bounds;
    bool vertical = false;
    bool snap = false;
    bool dragging = false;
    double drag_position = 0;  // handle offset taken from the pointer, pixels
    Extent extent;
};

// The handle's offset P: from the left for a horizontal control (the handle's left edge, the
// end of the fill), from the bottom for a vertical one (the handle's top edge lies at H - P).
// Empty when Max equals Min (nothing is drawn).
std::optional<int> HandleOffset(const PaintState& state);

// The fill blended from the colour at Min to the colour at Max (0x00BBGGRR); the components
// are the colours' low three bytes.
struct Rgb {
    double red = 0, green = 0, blue = 0;
};
Rgb Components(std::uint32_t colour);
std::uint32_t FillColour(const PaintState& state, const Rgb& at_min, const Rgb& at_max);

// A pointer move with the left button held: `along` is the pointer's coordinate on the long
// axis in the control's pixels (x for horizontal, y for vertical). Value is the new stored
// value before the clamp; empty when the arithmetic leaves the 32-bit range.
struct DragStep {
    std::int32_t value = 0;
    double position = 0;
};
std::optional<DragStep> Drag(const PaintState& state, int along);

}  // namespace controls::slider
