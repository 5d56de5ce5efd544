// The dialog's stock controls: labels, image controls and the editable drop-down combo box,
// each a child window of the platform layer (platform/window.h): it is moved, shown, hidden,
// enabled and destroyed with the window calls, and its handle takes the focus, the timers and
// the properties like any other child.
//
// Labels and image controls are drawn the same way by every back end, with the drawing layer:
// the part of the container's image under the control, then the text or the picture over it,
// so that a label on a textured panel shows the texture between its letters. A container that
// draws its image again tells its labels with refresh_control.
//
// The combo box is the system's own COMBOBOX (CBS_DROPDOWN) on Windows; elsewhere it is the
// platform's own in the classic Windows look: an edit field with a caret and a selection, a
// drop button, and a list that drops down over the dialog.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/draw.h"
#include "platform/types.h"
#include "platform/window.h"

namespace plat {

// The system colour of window text (GetSysColor's COLOR_WINDOWTEXT), as a colour value.
inline constexpr ColorRef kWindowTextColor = 0x80000008;

enum class TextAlign { Left, Center, Right };

// ---- Labels ---------------------------------------------------------------------------

struct LabelDesc {
    Rect rect;           // in the parent's client coordinates
    std::string text;    // CP932
    FontDesc font;
    ColorRef color = kWindowTextColor;  // 0x00BBGGRR or a system colour
    TextAlign align = TextAlign::Left;
    bool word_wrap = true;  // lines break at words to fit the width; "\r\n" breaks too
    bool visible = true;
    // Where a label that does not wrap may grow when its text is wider than `rect` in the font
    // found (a font other than the designed one): to the right when left-aligned, both ways
    // when centred, to the left when right-aligned, never beyond `room` (parent's client
    // coordinates, holding `rect`). Text that fits keeps `rect`; so does an empty room.
    Rect room;
};

// A label: no tab stop, no background of its own. The handlers given (click, mouse_down,
// double_click, ...) are the label's; its paint handler is the label's own.
WindowHandle create_label(WindowHandle parent, const LabelDesc& desc, WindowHandlers handlers = {});
// The label's box is fitted to the new text again (see LabelDesc::room).
bool set_label_text(WindowHandle label, std::string_view text_cp932);
std::string label_text(WindowHandle label);
// The width of the label's text in its font (the widest line), as DrawTextA measures it.
int label_text_width(WindowHandle label);
bool set_label_color(WindowHandle label, ColorRef color);
bool set_label_font(WindowHandle label, const FontDesc& font);

// ---- Image controls -------------------------------------------------------------------

// A control that shows a picture at its top-left corner, unscaled, over the container's
// image (where the picture is smaller than the control, the container shows).
WindowHandle create_image_control(WindowHandle parent, const Rect& rect, WindowHandlers handlers = {},
                                  bool visible = true);
// Shows a copy of the bitmap (GdiObject of a bitmap, or a bitmap's current_bitmap); None
// shows nothing over the container. False when the picture cannot be read.
bool set_image_picture(WindowHandle image, GdiObject bitmap);
bool set_image_picture(WindowHandle image, const Bitmap& bitmap);

// A label or image control draws itself again from its container's image now.
void refresh_control(WindowHandle control);

// ---- The combo box --------------------------------------------------------------------

struct ComboDesc {
    Rect rect;  // the edit field and its drop button; the list drops below it
    FontDesc font;
    std::vector<std::string> items;  // CP932
    int list_rows = 8;               // rows the dropped list shows before it scrolls
    bool visible = true;
    bool tab_stop = true;
};

struct ComboHandlers {
    std::function<void()> change;  // the user changed the text (typing, paste, list choice)
    std::function<void()> select;  // the user chose an item of the list
    // Escape while the list is not dropped (with the list dropped, Escape closes it): the
    // dialog's cancel key, which a text field has no use for.
    std::function<void()> cancel;
};

WindowHandle create_combo_box(WindowHandle parent, const ComboDesc& desc, ComboHandlers handlers = {});
std::string combo_text(WindowHandle combo);  // CP932
bool set_combo_text(WindowHandle combo, std::string_view text_cp932);
bool add_combo_item(WindowHandle combo, std::string_view item_cp932);
// The list's items and the one chosen (-1: none, as CB_GETCURSEL).
std::vector<std::string> combo_items(WindowHandle combo);
int combo_selection(WindowHandle combo);
bool is_combo_dropped(WindowHandle combo);

}  // namespace plat
