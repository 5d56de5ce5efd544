// Simple child-window controls of the dialog: labels and option glyphs drawn over their
// container's pixels, and plain stand-ins for the slider, the repeat box and the push buttons
// (a value with its bounds, an editable text with a list, a press). Each draws into its
// window's persistent image and reports what the dialog acts on.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

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

// Caption text over whatever the device context shows, wrapped at word breaks, "&" shown as is.
void DrawCaption(plat::Dc dc, plat::Rect rect, std::string_view text, const TextStyle& style);

// A label or an option glyph: a child window that shows its container's pixels under it with
// its caption or picture over them. It takes no focus; a press with any button calls `press`.
class OverlayControl {
public:
    bool create(plat::WindowHandle container, plat::Rect rect, std::function<void()> press = {});
    plat::WindowHandle handle() const { return window_; }
    plat::Rect rect() const { return rect_; }
    // A label's caption.
    void set_text(std::string_view text, const TextStyle& style);
    const std::string& text() const { return text_; }
    // A glyph's picture, copied at the top-left corner (null: none).
    void set_picture(const plat::Bitmap* picture);
    void set_cursor(plat::CursorKind kind) { plat::set_window_cursor(window_, kind); }
    // Again from the container's pixels (after the container was drawn).
    void redraw();

private:
    plat::WindowHandle window_{};
    plat::WindowHandle container_{};
    plat::Rect rect_;
    std::string text_;
    TextStyle style_;
    bool has_text_ = false;
    const plat::Bitmap* picture_ = nullptr;
};

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

// The editable drop-down box: typed characters edit its text, Backspace takes the last
// character off, the up and down arrows step through its list.
class PlainComboBox {
public:
    bool create(plat::WindowHandle parent, plat::Rect rect, const TextStyle& style,
                std::function<void(int virtual_key)> other_key);
    plat::WindowHandle handle() const { return window_; }
    const std::string& text() const { return text_; }
    void set_text(std::string_view text);
    void add_entry(std::string_view text) { entries_.emplace_back(text); }
    const std::vector<std::string>& entries() const { return entries_; }
    void enable(bool enabled);

private:
    void type(int character);
    void step(int by);
    void draw();

    plat::WindowHandle window_{};
    plat::Rect rect_;
    TextStyle style_;
    std::string text_;
    std::vector<std::string> entries_;
    int selected_ = -1;
    bool focused_ = false;
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
