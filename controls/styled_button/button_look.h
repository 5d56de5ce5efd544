// Everything the styled button's painting reads, gathered in one value: the button paints as a
// function of it onto a surface of its size. The control fills it from its properties and
// state; the gallery and the tests fill it directly.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "controls/styled_button/button_colours.h"
#include "platform/draw.h"

namespace controls::styled_button {

// The state flags of a button, a 16-bit set.
inline constexpr int kFocused = 1;      // focused, or shown as the dialog's default button
inline constexpr int kPressed = 2;
inline constexpr int kPointerOver = 4;

// A picture shown on the button: a bitmap (its top-left pixel's colour is transparent) or an
// icon or cursor. The handles belong to whoever gave the picture.
struct ButtonPicture {
    enum class Kind { Bitmap = 0, Icon = 1 };
    Kind kind = Kind::Bitmap;
    plat::GdiObject bitmap = plat::GdiObject::None;
    plat::Icon icon = plat::Icon::None;
    std::string name;  // how the stored form names it
    bool operator==(const ButtonPicture&) const = default;
};

struct ButtonLook {
    int width = 0, height = 0;  // inner size in pixels
    int style = 0;              // ButtonStyle 0..7
    int shape = 0;              // ButtonShape 0..6
    int caption_align = 2;      // 0 left, 1 right, 2 centre
    int caption_style = 0;      // 0 flat, 1 embossed, 2 engraved
    int picture_align = 0;      // 0..5
    int picture_px = 16;        // 16, 24, 32, 40, 48
    int gradient_mode = 0;      // 0 none, 1..4
    std::string caption;        // raw, with "&" markers and "||" breaks (CP932)
    std::optional<ButtonPicture> picture;
    int picture_width = 0, picture_height = 0;  // the picture's own size

    // Colours as the properties hold them (system colours allowed) ...
    ColorRef fore = plat::kButtonTextColor, hover_fore = plat::kButtonTextColor;
    ColorRef back = plat::kButtonFaceColor, hover_back = plat::kButtonFaceColor, gradient = plat::kButtonFaceColor;
    // ... and the container's back colour, resolved.
    ColorRef container = 0;

    bool enabled = true;
    bool show_focus_rect = true;
    bool design_mode = false;
    int flags = 0;               // kFocused | kPressed | kPointerOver
    bool hover_tracking = false;  // the hover timer runs
    int xl = 0;                  // where the bottom edge starts (slanted left side)
    int xr = -1;                 // where the top edge ends; -1: the width
    int screen_width = 1024, screen_height = 768;

    int right_extent() const { return xr < 0 ? width : xr; }
    // The pressed look: focused, pressed and the pointer over it.
    bool shows_pressed() const { return (flags & 7) == 7; }
    bool elliptic() const { return shape >= 4; }
};

// The caption and picture rectangles of one full paint.
struct ButtonLayout {
    plat::Rect caption;
    plat::Rect picture;
    int usable_left = 0, usable_width = 0, full_width = 0;
    bool has_caption = false;
};

// The outline: where the bottom edge starts (left) and the top edge ends (right).
struct Insets {
    int left = 0, right = 0;
};
Insets outline_insets(int shape, int width, int height);
// The window region of a shape, with the corner cut-outs of the style (style 3 has them only
// while enabled); the caller owns it.
plat::GdiObject outline_region(int style, int shape, bool enabled, int width, int height);

// The caption as DrawTextA takes it: every "||" becomes a line break.
std::string caption_for_drawing(const std::string& caption);

// The caption and picture rectangles, measured with the font selected into `dc`.
ButtonLayout lay_out(const ButtonLook& look, plat::Dc dc);

// The elliptic clip region of the surface, built by the first face fill of an elliptic shape
// and kept until the outline changes (drop it then).
struct PaintCache {
    plat::GdiObject elliptic_clip = plat::GdiObject::None;
    void drop();
    ~PaintCache() { drop(); }
};

// The full paint onto `dc`, a surface of the look's size with the caption font, a transparent
// background mode and the pen and brush the button keeps: layout, face, picture, borders and
// focus mark, caption. Returns the layout it used.
// `base` receives the face's base colour, which the caption's effects shade.
ButtonLayout paint_button(const ButtonLook& look, plat::Dc dc, PaintCache& cache, ColorRef* base = nullptr);

// The caption layer alone (a repaint with no state flag set draws it again).
void paint_caption(const ButtonLook& look, plat::Dc dc, const ButtonLayout& layout, ColorRef base);

// Step 4: the border rings, corner pixels, elliptic outlines and focus marks of the style.
void paint_borders(const ButtonLook& look, plat::Dc dc, const ButtonLayout& layout);

// The caption font of a stored font: the height in pixels from the points and the screen's
// twips per pixel.
plat::FontDesc caption_font(const std::string& face_cp932, double points, bool bold, bool italic, bool underline,
                            bool strikeout, int twips_per_pixel_y);

}  // namespace controls::styled_button
