// The styled button's off-screen surface: made on the first sizing, its bitmap renewed on
// every resize, and taken apart (its initial objects put back) when the button goes. Every
// paint draws there and reaches the window in one block copy.
#include "controls/styled_button/qz_buttons_h.h"
#include "platform/window.h"

namespace controls {

using plat::GdiObject;

styled_button::ButtonLook qzButtons_H::look() const {
    styled_button::ButtonLook l;
    l.width = width_;
    l.height = height_;
    l.style = style_;
    l.shape = shape_;
    l.caption_align = caption_align_;
    l.caption_style = caption_style_;
    l.picture_align = picture_align_;
    l.picture_px = (picture_size_ + 2) * 8;
    l.gradient_mode = gradient_mode_;
    l.caption = caption_;
    l.picture = picture_;
    l.picture_width = picture_width_;
    l.picture_height = picture_height_;
    l.fore = fore_;
    l.hover_fore = hover_fore_;
    l.back = back_;
    l.hover_back = hover_back_;
    l.gradient = gradient_;
    l.container = container_;
    l.enabled = enabled_;
    l.show_focus_rect = show_focus_rect_;
    l.design_mode = host_.design_mode();
    l.flags = flags_;
    l.hover_tracking = hover_tracking_;
    l.xl = xl_;
    l.xr = xr_;
    const plat::Point screen = plat::screen_size_px();
    l.screen_width = screen.x;
    l.screen_height = screen.y;
    return l;
}

void qzButtons_H::make_surface() {
    surface_ = plat::create_compatible_dc(plat::window_dc(window_));
    if (surface_ == plat::Dc::None) return;
    plat::set_bk_mode(surface_, plat::BkMode::Transparent);
    pen_ = plat::create_pen(plat::PenStyle::Solid, 1, 0);
    brush_ = plat::create_solid_brush(0);
    initial_pen_ = plat::select_object(surface_, pen_);
    initial_brush_ = plat::select_object(surface_, brush_);
    build_font();
}

void qzButtons_H::renew_surface_bitmap() {
    if (surface_ == plat::Dc::None) return;
    const GdiObject fresh = plat::create_compatible_bitmap(plat::window_dc(window_), std::max(1, width_), std::max(1, height_));
    if (fresh == GdiObject::None) return;
    const GdiObject old = plat::select_object(surface_, fresh);
    if (initial_bitmap_ == GdiObject::None)
        initial_bitmap_ = old;
    else if (old != GdiObject::None)
        plat::delete_object(old);
    surface_bitmap_ = fresh;
}

void qzButtons_H::build_font() {
    if (surface_ == plat::Dc::None) return;
    const GdiObject font = plat::create_font(styled_button::caption_font(
        font_.face_cp932, font_.points, font_.bold, font_.italic, font_.underline, font_.strikeout, plat::twips_per_pixel().y));
    if (font == GdiObject::None) return;
    const GdiObject old = plat::select_object(surface_, font);
    if (initial_font_ == GdiObject::None)
        initial_font_ = old;
    else if (old != GdiObject::None)
        plat::delete_object(old);
    font_object_ = font;
}

void qzButtons_H::drop_surface() {
    cache_.drop();
    if (surface_ == plat::Dc::None) return;
    plat::select_clip_rgn(surface_, GdiObject::None);
    if (initial_bitmap_ != GdiObject::None) plat::select_object(surface_, initial_bitmap_);
    if (initial_pen_ != GdiObject::None) plat::select_object(surface_, initial_pen_);
    if (initial_brush_ != GdiObject::None) plat::select_object(surface_, initial_brush_);
    if (initial_font_ != GdiObject::None) plat::select_object(surface_, initial_font_);
    for (GdiObject o : {surface_bitmap_, pen_, brush_, font_object_})
        if (o != GdiObject::None) plat::delete_object(o);
    plat::delete_dc(surface_);
    surface_ = plat::Dc::None;
    surface_bitmap_ = pen_ = brush_ = font_object_ = GdiObject::None;
    initial_bitmap_ = initial_pen_ = initial_brush_ = initial_font_ = GdiObject::None;
}

void qzButtons_H::show_surface() {
    if (surface_ == plat::Dc::None || window_ == plat::WindowHandle::None) return;
    plat::bit_blt(plat::window_dc(window_), 0, 0, width_, height_, surface_, 0, 0, plat::Rop::SrcCopy);
    plat::update_window(window_);
}

void qzButtons_H::full_paint() {
    if (delay_ || surface_ == plat::Dc::None || width_ <= 0 || height_ <= 0) return;
    layout_ = styled_button::paint_button(look(), surface_, cache_, &caption_base_);
    show_surface();
}

void qzButtons_H::Refresh() { full_paint(); }

// A paint request from the system. With a state flag set the flags are first put right (a
// focused button is no longer pressed, any other loses them all) and everything is drawn;
// otherwise the surface still holds the last paint and only the caption is drawn again.
void qzButtons_H::on_paint() {
    if (flags_ != 0) {
        if (flags_ & styled_button::kFocused)
            flags_ &= ~styled_button::kPressed;
        else
            flags_ = 0;
        full_paint();
        return;
    }
    delay_ = false;
    if (surface_ == plat::Dc::None) return;
    styled_button::paint_caption(look(), surface_, layout_, caption_base_);
    show_surface();
}

}  // namespace controls
