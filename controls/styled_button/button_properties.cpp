// The styled button's properties and its stored form. Every write validates (an out-of-range
// value is ignored), stores, recomputes what depends on it, repaints unless painting is
// delayed, and tells the host the stored key that changed.
#include <array>

#include "controls/styled_button/qz_buttons_h.h"
#include "platform/window.h"

namespace controls {

using styled_button::kFocused;
using plat::ColorRef;

namespace {

bool in_range(int value, int low, int high) { return value >= low && value <= high; }

constexpr std::string_view kRefusedAlign =
    "When button images are aligned top/bottom center, \r\nbutton captions can only be center aligned";
constexpr std::string_view kFocusOnDefault =
    "The focus rectangle may appear on default buttons ONLY while in design mode, \r\n"
    "but will not appear when the form is running.";
constexpr std::string_view kIconTitle = "Select .ico Or .cur Files Only";

}  // namespace

const std::string& qzButtons_H::construction_marker() {
    static const std::string marker = std::string(1, static_cast<char>(246)) + "Quorren_New" + std::string(1, static_cast<char>(234));
    return marker;
}

qzButtons_H::qzButtons_H(ButtonHost& host, ButtonEvents events) : host_(host), events_(std::move(events)) {
    caption_ = construction_marker();
    caption_align_ = 2;
    show_focus_rect_ = true;
    back_ = plat::kButtonFaceColor;
    hover_back_ = plat::kButtonFaceColor;
    fore_ = host_.ambient_fore_colour();
    font_ = host_.ambient_font();
    container_ = plat::resolve_color(host_.ambient_back_colour());
    derive_colours();
}

void qzButtons_H::changed(std::string_view key) { host_.property_changed(key); }

void qzButtons_H::repaint() { Refresh(); }

void qzButtons_H::derive_colours() {
    faces_ = styled_button::derive_faces(style_, plat::resolve_color(back_), plat::resolve_color(hover_back_));
}

void qzButtons_H::read_picture_facts() {
    picture_kind_ = 0;
    picture_width_ = picture_height_ = 0;
    if (!picture_) return;
    if (picture_->kind == ButtonPicture::Kind::Icon) {
        picture_kind_ = 1;
        plat::GdiObject colour{}, mask{};
        if (plat::get_icon_info(picture_->icon, colour, mask)) {
            plat::BitmapInfo info;
            if (plat::get_bitmap_info(mask, info)) {
                picture_width_ = info.width;
                // A mask without a colour bitmap holds the AND and XOR halves one above the other.
                picture_height_ = colour == plat::GdiObject::None ? info.height / 2 : info.height;
            }
            if (colour != plat::GdiObject::None) plat::delete_object(colour);
            if (mask != plat::GdiObject::None) plat::delete_object(mask);
        }
    } else {
        plat::BitmapInfo info;
        if (plat::get_bitmap_info(picture_->bitmap, info)) {
            picture_width_ = info.width;
            picture_height_ = info.height;
        }
    }
}

void qzButtons_H::find_access_key() {
    const int key = plat::access_key_of(caption_);
    if (key == 0) return;  // no single "&": the access key stays as it was
    access_key_ = key;
    if (window_ != plat::WindowHandle::None) plat::set_window_caption(window_, caption_);
}

// The locked hover back colour follows the gradient colour while a gradient is on, else the
// back colour.
void qzButtons_H::follow_locks_back() {
    hover_back_ = gradient_mode_ != 0 ? gradient_ : back_;
}

// ---- Properties ------------------------------------------------------------------------

void qzButtons_H::SetButtonStyle(int value) {
    if (!in_range(value, 0, 7)) return;
    style_ = value;
    rebuild_region();
    derive_colours();
    repaint();
    changed("BackStyle");
}

void qzButtons_H::SetCaption(std::string_view value) {
    caption_ = std::string(value);
    find_access_key();
    repaint();
    changed("Caption");
}

void qzButtons_H::SetCaptionAlign(int value) {
    if (!in_range(value, 0, 2)) return;
    if (!(value == 2 || picture_align_ < 4 || !picture_)) {
        if (host_.design_mode()) host_.show_message(kRefusedAlign, {});
        return;
    }
    caption_align_ = value;
    repaint();
    changed("CapAlign");
}

void qzButtons_H::SetCaptionStyle(int value) {
    if (!in_range(value, 0, 2)) return;
    caption_style_ = value;
    changed("CapStyle");
    if (!caption_.empty()) repaint();
}

void qzButtons_H::SetButtonShape(int value) {
    if (!in_range(value, 0, 6)) return;
    shape_ = value;
    rebuild_region();
    delay_ = true;
    if (shape_ == 3 && caption_align_ != 2) SetCaptionAlign(2);
    DelayDrawing(false);
    changed("Shape");
}

void qzButtons_H::SetPicture(std::optional<ButtonPicture> value) {
    picture_ = std::move(value);
    if (!picture_size_set_) {
        picture_size_ = 0;
        picture_size_set_ = true;
    }
    read_picture_facts();
    repaint();
    changed("Image");
}

void qzButtons_H::SetPictureAlign(int value) {
    if (!in_range(value, 0, 5)) return;
    picture_align_ = value;
    if (value >= 4) caption_align_ = 2;
    repaint();
    changed("ImgAlign");
}

void qzButtons_H::SetEnabled(bool value) {
    if (value != enabled_) {
        enabled_ = value;
        if (window_ != plat::WindowHandle::None) plat::enable_window(window_, value);
        if (style_ == 3) {
            delay_ = true;
            rebuild_region();
            DelayDrawing(false);
        } else {
            repaint();
        }
    }
    changed("Enabled");
}

void qzButtons_H::SetShowFocusRect(bool value) {
    show_focus_rect_ = value;
    if (flags_ & kFocused) {
        if (!host_.design_mode()) {
            flags_ &= ~kFocused;
            repaint();
        } else {
            host_.show_message(kFocusOnDefault, {});
        }
    }
    changed("Focus");
}

void qzButtons_H::SetPictureSize(int value) {
    if (!in_range(value, 0, 4)) return;
    picture_size_ = value;
    picture_size_set_ = true;
    repaint();
    changed("ImgSize");
}

void qzButtons_H::SetMousePointer(int value) {
    mouse_pointer_ = value;
    apply_cursor();
    changed("mPointer");
}

void qzButtons_H::SetMouseIcon(plat::Icon value, std::string_view name) {
    if (value != plat::Icon::None && window_ != plat::WindowHandle::None &&
        !plat::set_window_cursor(window_, plat::CursorKind::Custom, value)) {
        // The window refused it: the previous icon stays.
        if (host_.design_mode()) host_.show_message("Invalid picture", kIconTitle);
        return;
    }
    mouse_icon_ = value;
    mouse_icon_name_ = std::string(name);
    if (value != plat::Icon::None) {
        mouse_pointer_ = 99;
        changed("mIcon");
    }
    apply_cursor();
}

void qzButtons_H::SetFont(const StoredFont& value) {
    font_ = value;
    build_font();
    repaint();
    changed("Font");
}

int qzButtons_H::FontStyle() const {
    return (font_.bold ? 2 : 0) | (font_.italic ? 4 : 0) | (font_.underline ? 8 : 0);
}

void qzButtons_H::SetFontStyle(int value) {
    font_.bold = (value & 2) != 0;
    font_.italic = (value & 4) != 0;
    font_.underline = (value & 8) != 0;
    build_font();
    changed("Font");
    repaint();
}

void qzButtons_H::SetForeColor(ColorRef value) {
    if (value == fore_) return;
    fore_ = value;
    if (hover_locks_ == 0 || hover_locks_ == 1) hover_fore_ = value;
    delay_ = false;
    repaint();
    changed("cFore");
}

void qzButtons_H::SetBackColor(ColorRef value) {
    if (value == back_) return;
    back_ = value;
    if (hover_locks_ == 0 || hover_locks_ == 2) follow_locks_back();
    derive_colours();
    repaint();
    changed("cBack");
}

void qzButtons_H::SetGradientColor(ColorRef value) {
    if ((hover_locks_ == 0 || hover_locks_ == 2) && gradient_mode_ != 0) hover_back_ = value;
    gradient_ = value;
    derive_colours();
    if (gradient_mode_ != 0) repaint();
    changed("cGradient");
}

void qzButtons_H::SetGradientMode(int value) {
    if (!in_range(value, 0, 4)) return;
    gradient_mode_ = value;
    if (hover_locks_ == 0 || hover_locks_ == 2) follow_locks_back();
    derive_colours();
    repaint();
    changed("Gradient");
}

void qzButtons_H::SetResetDefaultColors(bool value) {
    if (!value || !host_.design_mode()) return;
    delay_ = true;
    back_ = plat::kButtonFaceColor;
    fore_ = plat::kButtonTextColor;
    gradient_ = plat::kButtonFaceColor;
    gradient_mode_ = 0;
    hover_locks_ = 0;
    // Lock 0: both hover colours follow the normal ones again.
    hover_back_ = back_;
    hover_fore_ = fore_;
    derive_colours();
    DelayDrawing(false);
    changed("cGradient");
    changed("cBack");
}

void qzButtons_H::SetHoverColorLocks(int value) {
    if (!in_range(value, 0, 3)) return;
    hover_locks_ = value;
    if (value == 0 || value == 2) {
        follow_locks_back();
        changed("cBHover");
    }
    if (value == 0 || value == 1) {
        hover_fore_ = fore_;
        changed("cFHover");
    }
    derive_colours();
    changed("LockHover");
}

void qzButtons_H::SetHoverForeColor(ColorRef value) {
    if (value == hover_fore_) return;
    hover_fore_ = value;
    changed("cFHover");
    if (value != fore_) {
        if (hover_locks_ == 0) hover_locks_ = 2;
        else if (hover_locks_ == 1) hover_locks_ = 3;
    }
}

void qzButtons_H::SetHoverBackColor(ColorRef value) {
    if (value == hover_back_) return;
    hover_back_ = value;
    if (value != back_) {
        if (hover_locks_ == 0) hover_locks_ = 1;
        else if (hover_locks_ == 2) hover_locks_ = 3;
    }
    derive_colours();
    changed("cBHover");
}

plat::Dc qzButtons_H::hDC() const {
    return window_ == plat::WindowHandle::None ? plat::Dc::None : plat::window_dc(window_);
}

// ---- Methods and host notices ------------------------------------------------------------

void qzButtons_H::DelayDrawing(bool delay) {
    delay_ = delay;
    if (!delay) Refresh();
}

void qzButtons_H::AmbientChanged(std::string_view name) {
    if (name == "DisplayAsDefault") {
        if (!host_.design_mode()) return;
        flags_ = host_.displays_as_default() ? flags_ | kFocused : flags_ & ~kFocused;
        repaint();
    } else if (name == "BackColor") {
        container_ = plat::resolve_color(host_.ambient_back_colour());
        if ((host_.design_mode() && style_ == 5) || shape_ > 3) repaint();
    }
}

void qzButtons_H::Show() {
    if (!host_.design_mode()) return;
    if (host_.displays_as_default()) {
        flags_ |= kFocused;
        repaint();
    }
}

// ---- The stored form -------------------------------------------------------------------

void qzButtons_H::ReadProperties(const PropertyBag& bag) {
    delay_ = true;
    // Enumerations out of their range read as their defaults.
    auto ranged = [&](std::string_view key, int fallback, int low, int high) {
        const int v = bag.read_int(key, fallback);
        return in_range(v, low, high) ? v : fallback;
    };
    caption_ = bag.read_text("Caption", "");
    caption_align_ = ranged("CapAlign", 2, 0, 2);
    style_ = ranged("BackStyle", 0, 0, 7);
    shape_ = ranged("Shape", 0, 0, 6);
    gradient_mode_ = ranged("Gradient", 0, 0, 4);
    gradient_ = bag.read_colour("cGradient", plat::kButtonFaceColor);
    if (auto font = bag.read_font("Font")) font_ = *font;
    fore_ = bag.read_colour("cFore", plat::kButtonTextColor);
    show_focus_rect_ = bag.read_bool("Focus", true);
    const std::string image = bag.read_picture("Image");
    picture_ = image.empty() ? std::nullopt : host_.picture_named(image);
    const int px = bag.read_int("ImgSize", 16);
    picture_size_ = px % 8 == 0 && in_range(px / 8 - 2, 0, 4) ? px / 8 - 2 : 0;
    picture_size_set_ = true;
    picture_align_ = ranged("ImgAlign", 0, 0, 5);
    hover_fore_ = bag.read_colour("cFHover", plat::kButtonTextColor);
    enabled_ = bag.read_bool("Enabled", true);
    if (window_ != plat::WindowHandle::None) plat::enable_window(window_, enabled_);
    back_ = bag.read_colour("cBack", host_.ambient_back_colour());
    hover_back_ = bag.read_colour("cBHover", back_);
    hover_locks_ = ranged("LockHover", 0, 0, 3);
    caption_style_ = ranged("CapStyle", 0, 0, 2);
    const std::string icon_name = bag.read_picture("mIcon");
    if (!icon_name.empty())
        if (auto icon = host_.picture_named(icon_name); icon && icon->kind == ButtonPicture::Kind::Icon)
            SetMouseIcon(icon->icon, icon_name);
    SetMousePointer(bag.read_int("mPointer", 0));

    read_picture_facts();
    build_font();
    derive_colours();
    SetCaption(caption_);
    delay_ = false;
    on_resize();
}

void qzButtons_H::WriteProperties(PropertyBag& bag) const {
    bag.write_text("Caption", caption_, std::string_view{});
    bag.write_int("CapAlign", caption_align_, 2);
    bag.write_int("BackStyle", style_, 0);
    bag.write_int("Shape", shape_, 0);
    bag.write_font("Font", font_);
    bag.write_colour("cFore", fore_, plat::kButtonTextColor);
    bag.write_colour("cFHover", hover_fore_, plat::kButtonTextColor);
    bag.write_colour("cBHover", hover_back_, back_);
    bag.write_bool("Focus", show_focus_rect_, true);
    bag.write_int("LockHover", hover_locks_, 0);
    bag.write_colour("cGradient", gradient_, plat::kButtonFaceColor);
    bag.write_int("Gradient", gradient_mode_, 0);
    bag.write_int("CapStyle", caption_style_, 0);
    bag.write_int("ImgAlign", picture_align_, 0);
    bag.write_picture("Image", picture_ ? picture_->name : std::string());
    bag.write_int("ImgSize", (picture_size_ + 2) * 8, 16);
    bag.write_bool("Enabled", enabled_, true);
    bag.write_colour("cBack", back_);
    bag.write_int("mPointer", mouse_pointer_, 0);
    bag.write_picture("mIcon", mouse_icon_ != plat::Icon::None ? mouse_icon_name_ : std::string());
}

}  // namespace controls
