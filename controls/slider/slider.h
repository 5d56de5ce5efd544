#pragma once
// Slider: an owner-drawn child window that shows an integer Value between Min and Max as a
// coloured fill in a groove, with a handle at the end of the fill; horizontal (the fill grows
// from the left) or vertical (from the bottom). It is built from ten small images composed on
// every redraw with StretchBlt and BitBlt into the window's persistent image.
//
// A slider is configured through its stored form (ReadProperties, from the dialog's layout
// description) and saves the same keys (WriteProperties). At run time each property can be
// read and written; a write has the effect below, and the events reach the callbacks that the
// owner sets in SliderEvents.
//
//   Value       clamped into Min..Max; redraw; Change
//   Max, Min    kept at least 1 apart, Value pulled inside; redraw; Change
//   ForeColor, ForeColor2, BackColor   redraw; Change
//   Style       0 horizontal, else vertical; the extent turns over; resize; no event
//   Enabled, Snap   stored only
//
// A drag step (left button held, Enabled) raises Scroll then Change; a key press (any key,
// the arrows change Value by 1, whether or not Enabled) raises Change then Scroll. A write or
// key press whose arithmetic leaves the 32-bit range is refused whole: nothing changes and no
// event is raised. Every key then reaches the owner too (on_key_down), for the keys of its
// dialog (Escape).
//
// While the control has the keyboard focus it shows the system's dotted focus rectangle
// (DrawFocusRect) round its whole client area, as a trackbar does; that is the only change to
// its pixels, so that the user sees which slider the arrow keys move.
#include <cstdint>
#include <functional>
#include <memory>

#include "controls/layout.h"
#include "controls/property_bag.h"
#include "controls/slider/slider_rules.h"
#include "platform/draw.h"
#include "platform/types.h"

namespace controls {

struct SliderEvents {
    std::function<void()> on_scroll;
    std::function<void()> on_change;
    std::function<void()> on_click;
    // The mouse button (1 left, 2 right, 4 middle), Shift (1 Shift, 2 Ctrl, 4 Alt) and the
    // point in twips relative to the control.
    std::function<void(std::int16_t button, std::int16_t shift, float x, float y)> on_mouse_up;
    // A key pressed while the control has the focus, after its own Change and Scroll.
    std::function<void(int virtual_key)> on_key_down;
};

class Slider {
public:
    // A child of `parent` at `rect` (pixels in the parent's client area), drawn at once with
    // the defaults. ReadProperties then fits the extent to the stored style.
    Slider(plat::WindowHandle parent, const plat::Rect& rect, SliderEvents events = {});
    // A slider as a dialog's layout description places it: the node's Left, Top, Width and
    // Height (twips, relative to the container) divided by the screen's twips per pixel, and
    // its stored form read.
    static std::unique_ptr<Slider> FromLayout(plat::WindowHandle parent, const LayoutNode& node,
                                              SliderEvents events = {});
    ~Slider();
    Slider(const Slider&) = delete;
    Slider& operator=(const Slider&) = delete;

    // The stored form: the nine keys in order, each applied through its property write (the
    // stored Style without turning the extent over), then the resize rule and a redraw.
    void ReadProperties(const PropertyBag& bag);
    PropertyBag WriteProperties() const;

    std::int32_t Value() const { return bounds_.value; }
    std::int32_t Max() const { return bounds_.max; }
    std::int32_t Min() const { return bounds_.min; }
    std::int32_t Style() const { return style_; }
    bool Enabled() const { return enabled_; }
    bool Snap() const { return snap_; }
    std::uint32_t BackColor() const { return back_color_; }
    std::uint32_t ForeColor() const { return fore_color_; }
    std::uint32_t ForeColor2() const { return fore_color2_; }

    void SetValue(std::int32_t value);
    void SetMax(std::int32_t max);
    void SetMin(std::int32_t min);
    void SetStyle(std::int32_t style);
    void SetEnabled(bool enabled) { enabled_ = enabled; }
    void SetSnap(bool snap) { snap_ = snap; }
    void SetBackColor(std::uint32_t colour);
    void SetForeColor(std::uint32_t colour);
    void SetForeColor2(std::uint32_t colour);

    // The owner moves or sizes the control (pixels): the resize rule runs and it redraws.
    void Resize(const plat::Rect& rect);

    // The owner's callbacks, which it may also set or replace after construction.
    SliderEvents& events() { return events_; }

    plat::WindowHandle window() const { return window_; }
    plat::Rect rect() const { return rect_; }
    // True after a drag step until the next write, key or resize.
    bool dragging() const { return dragging_; }
    bool focused() const { return focused_; }

private:
    bool vertical() const { return style_ != 0; }
    slider::PaintState paint_state() const;
    void apply(const std::optional<slider::Bounds>& bounds);
    void apply_resize_rule();
    void redraw();
    void recolour(int image, std::uint32_t colour);
    void raise(const std::function<void()>& event) const;

    void on_mouse_down(int button, plat::Point client);
    void on_mouse_move(int buttons, plat::Point client);
    void on_mouse_up(int button, plat::Point client);
    void on_key_down(int virtual_key);
    void on_focus(bool gained);

    plat::WindowHandle window_{};
    plat::Rect rect_;
    SliderEvents events_;
    std::unique_ptr<plat::Bitmap> images_[10];

    slider::Bounds bounds_;
    std::int32_t style_ = 0;
    bool enabled_ = true;
    bool snap_ = false;
    std::uint32_t back_color_ = 0;
    std::uint32_t fore_color_ = 0x0000C8C8;   // RGB(200, 200, 0)
    std::uint32_t fore_color2_ = 0x000000C8;  // RGB(200, 0, 0)
    slider::Rgb fore_rgb_, fore2_rgb_;
    bool dragging_ = false;
    bool focused_ = false;
    int pressed_button_ = 0;  // the button of the last press: only the left one clicks
    double drag_position_ = 0;
    std::shared_ptr<Slider*> self_;  // cleared when the control goes, for handlers still queued
};

}  // namespace controls
