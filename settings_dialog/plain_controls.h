// Plain stand-ins for the dialog's own slider and push buttons: a value with its bounds, and a
// press. Each draws into its window's persistent image and reports what the dialog acts on.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/draw.h"
#include "platform/window.h"

namespace settings_dialog {

struct TextStyle {
    plat::FontDesc font;
    plat::ColorRef colour = 0;  // may name a system colour
    int align = 0;              // 0 left, 1 right, 2 centre
};

// The font of a stored font: 9.75 points is 13 pixels at 96 dots per inch.
plat::FontDesc FontOf(std::string_view face_cp932, double points, int charset, bool bold, bool italic,
                      bool underline);

// The value slider: Value clamped into Min..Max; the arrow keys step it, a press or a drag
// puts it where the pointer is. `change` follows every write of Value and every step,
// `scroll` every step (a key: change, then scroll; the pointer: scroll, then change).
class PlainSlider {
public:
    bool create(plat::WindowHandle parent, plat::Rect rect, std::int32_t min, std::int32_t max,
                plat::ColorRef fore, plat::ColorRef fore2, std::function<void(int virtual_key)> other_key);
    plat::WindowHandle handle() const { return window_; }
    std::int32_t value() const { return value_; }
    void set_value(std::int32_t value);
    std::function<void()> change;
    std::function<void()> scroll;

private:
    std::int32_t clamp(std::int64_t value) const;
    void from_pointer(int x);
    void draw();

    plat::WindowHandle window_{};
    plat::Rect rect_;
    std::int32_t min_ = 0, max_ = 10, value_ = 0;
    plat::ColorRef fore_ = 0, fore2_ = 0;
};

// The push button: acts the moment any mouse button goes down on it.
class PlainButton {
public:
    bool create(plat::WindowHandle parent, plat::Rect rect, std::string caption, const TextStyle& style,
                plat::ColorRef back, std::function<void()> press, std::function<void(int virtual_key)> other_key);
    plat::WindowHandle handle() const { return window_; }
    void enable(bool enabled);

private:
    void draw();

    plat::WindowHandle window_{};
    plat::Rect rect_;
    std::string caption_;
    TextStyle style_;
    plat::ColorRef back_ = 0xFFFFFF;
    bool focused_ = false;
};

}  // namespace settings_dialog
