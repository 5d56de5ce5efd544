// The styled button's window: its outline region with the style's corner cut-outs, mouse,
// keys, focus and the hover tracking that polls for the pointer leaving.
#include "controls/styled_button/qz_buttons_h.h"
#include "platform/keys.h"
#include "platform/system.h"
#include "platform/timer.h"
#include "platform/window.h"

namespace controls {

using plat::GdiObject;
using plat::Point;
using styled_button::kFocused;
using styled_button::kPointerOver;
using styled_button::kPressed;

namespace {

qzButtons_H* instance_of(plat::WindowHandle window) {
    return reinterpret_cast<qzButtons_H*>(plat::get_prop(window, qzButtons_H::kClassIdProp));
}

}  // namespace

// ---- Window and sizing -----------------------------------------------------------------

qzButtons_H::~qzButtons_H() {
    if (window_ != plat::WindowHandle::None && plat::is_window(window_)) {
        const plat::WindowHandle w = window_;
        plat::destroy_window(w);  // the unload handler stops the tracking
    }
    drop_surface();
}

bool qzButtons_H::Create(plat::WindowHandle parent, plat::Rect rect) {
    plat::ChildDesc desc;
    desc.rect = rect;
    desc.caption = caption_;
    plat::WindowHandlers h;
    h.mouse_down = [this](int b, Point p) { on_mouse_down(b, p); };
    h.mouse_up = [this](int b, Point p) { on_mouse_up(b, p); };
    h.mouse_move = [this](int b, Point p) { on_mouse_move(b, p); };
    h.click = [this] { on_click(); };
    h.double_click = [this](int b, Point p) { on_double_click(b, p); };
    h.key_down = [this](int k) { on_key_down(k); };
    h.key_up = [this](int k) { on_key_up(k); };
    h.character = [this](int c) { on_char(c); };
    h.access_key = [this] { on_access_key(); };
    h.focus_gained = [this] { on_focus(true); };
    h.focus_lost = [this] { on_focus(false); };
    h.timer = [this](int id) { on_timer(id); };
    h.unload = [this] { on_unload(); };
    h.paint = [this] { on_paint(); };
    window_ = plat::create_child(parent, desc, std::move(h));
    if (window_ == plat::WindowHandle::None) return false;
    plat::enable_window(window_, enabled_);
    width_ = rect.width();
    height_ = rect.height();
    apply_cursor();
    on_resize();
    return true;
}

void qzButtons_H::Move(plat::Rect rect) {
    if (window_ == plat::WindowHandle::None) return;
    plat::move_window(window_, rect.left, rect.top, rect.width(), rect.height());
    width_ = rect.width();
    height_ = rect.height();
    on_resize();
}

void qzButtons_H::on_resize() {
    if (delay_ || window_ == plat::WindowHandle::None) return;
    if (caption_ == construction_marker()) SetCaption(host_.instance_name());
    container_ = plat::resolve_color(host_.ambient_back_colour());
    rebuild_region();
    if (surface_ == plat::Dc::None) make_surface();
    renew_surface_bitmap();
    full_paint();
}

void qzButtons_H::rebuild_region() {
    if (surface_ != plat::Dc::None) plat::select_clip_rgn(surface_, GdiObject::None);
    cache_.drop();
    if (window_ == plat::WindowHandle::None) return;
    xl_ = 0;
    xr_ = width_;
    int w = width_;
    const int h = height_;
    if (shape_ >= 1 && shape_ <= 3) {
        const int t = h + 1;  // the slant's run
        bool grew = false;
        while (w - t <= 4) {
            w += 5;
            grew = true;
        }
        if (grew) {
            plat::Rect r;
            plat::Point at{0, 0};
            if (plat::get_window_rect(window_, r)) {
                at = {r.left, r.top};
                plat::screen_to_client(plat::get_parent(window_), at);
            }
            delay_ = true;
            plat::move_window(window_, at.x, at.y, w, h);
            width_ = w;
            delay_ = false;
            renew_surface_bitmap();
        }
        const styled_button::Insets insets = styled_button::outline_insets(shape_, w, h);
        xl_ = insets.left;
        xr_ = insets.right;
    }
    const GdiObject region = styled_button::outline_region(style_, shape_, enabled_, w, h);
    plat::set_window_region(window_, region, true);
    if (xr_ == 0) xr_ = w;
}

// ---- Mouse -----------------------------------------------------------------------------

std::int16_t qzButtons_H::shift() const { return static_cast<std::int16_t>(plat::shift_state()); }

void qzButtons_H::on_mouse_down(int button, Point p) {
    last_button_ = button;
    if (button == 1) {
        // A click gives the button the keyboard focus, as it does any tab stop.
        if (plat::get_focus() != window_) plat::set_focus(window_);
        flags_ |= kPressed;
        delay_ = false;
        repaint();
        plat::set_capture(window_);
    }
    if (events_.MouseDown) {
        std::int16_t b = static_cast<std::int16_t>(button), s = shift();
        float x = static_cast<float>(p.x), y = static_cast<float>(p.y);
        events_.MouseDown(b, s, x, y);
    }
}

void qzButtons_H::on_mouse_move(int buttons, Point p) {
    const bool outside = p.x < 0 || p.y < 0 || p.x > width_ || p.y > height_;
    if (!hover_tracking_ && !outside) start_hover_tracking();
    if (events_.MouseMove) {
        std::int16_t b = static_cast<std::int16_t>(buttons), s = shift();
        float x = static_cast<float>(p.x), y = static_cast<float>(p.y);
        events_.MouseMove(b, s, x, y);
    }
}

void qzButtons_H::start_hover_tracking() {
    flags_ |= kPointerOver;
    if (events_.MouseOnButton) {
        bool on = true;
        events_.MouseOnButton(on);
    }
    plat::set_prop(window_, kClassIdProp, reinterpret_cast<std::intptr_t>(this));
    plat::set_prop(window_, kTimerIdProp, kHoverTimerId);
    plat::set_timer(window_, kHoverTimerId, kHoverPeriodMs);
    hover_tracking_ = true;
    delay_ = false;
    repaint();
}

void qzButtons_H::on_mouse_up(int button, Point p) {
    if (button == 1) {
        plat::release_capture();
        flags_ &= ~kPressed;
        delay_ = false;
        repaint();
    }
    if (events_.MouseUp) {
        std::int16_t b = static_cast<std::int16_t>(button), s = shift();
        float x = static_cast<float>(p.x), y = static_cast<float>(p.y);
        events_.MouseUp(b, s, x, y);
    }
    last_button_ = button;
}

void qzButtons_H::on_click() {
    if (last_button_ == 1 && events_.Click) events_.Click();
}

void qzButtons_H::on_double_click(int button, Point p) {
    (void)button;
    Point at;
    if (plat::get_cursor_pos(at) && plat::screen_to_client(window_, at)) p = at;
    if (events_.DoubleClick) {
        std::int16_t b = static_cast<std::int16_t>(last_button_);
        events_.DoubleClick(b);
    }
    if (last_button_ == 1) {
        flags_ |= kFocused;
        on_mouse_down(1, p);
        last_button_ = -1;  // the release that follows makes no click
    } else if (events_.MouseDown) {
        std::int16_t b = 1, s = 0;
        float x = static_cast<float>(p.x), y = static_cast<float>(p.y);
        events_.MouseDown(b, s, x, y);
    }
}

// The hover callback: the pointer has left when the window under it is another one (a
// window lying over the button counts as leaving).
void qzButtons_H::on_timer(int id) {
    if (id != kHoverTimerId || !hover_tracking_) return;
    qzButtons_H* self = instance_of(window_);
    const int timer = static_cast<int>(plat::get_prop(window_, kTimerIdProp));
    if (self != this) return;
    Point pointer;
    if (plat::get_cursor_pos(pointer) && plat::window_from_point(pointer) == window_) return;
    plat::kill_timer(window_, timer);
    stop_hover_tracking();
}

void qzButtons_H::stop_hover_tracking() {
    flags_ &= ~kPointerOver;
    hover_tracking_ = false;
    delay_ = false;
    if (events_.MouseOnButton) {
        bool on = false;
        events_.MouseOnButton(on);
    }
    repaint();
}

// ---- Keys and focus --------------------------------------------------------------------

void qzButtons_H::on_key_down(int key) {
    switch (key) {
    case plat::kVkRight:
    case plat::kVkDown:
        plat::move_focus(window_, true);
        return;
    case plat::kVkLeft:
    case plat::kVkUp:
        plat::move_focus(window_, false);
        return;
    case plat::kVkShift:
        return;
    case plat::kVkSpace:
        if (!(flags_ & kPressed)) {
            flags_ |= kPressed | kPointerOver;
            repaint();
            if (!hover_tracking_) flags_ &= ~kPointerOver;
        }
        break;
    default:
        break;
    }
    if (events_.KeyDown) {
        std::int16_t k = static_cast<std::int16_t>(key), s = shift();
        events_.KeyDown(k, s);
    }
}

void qzButtons_H::on_key_up(int key) {
    switch (key) {
    case plat::kVkSpace:
        if (flags_ & kPressed) {
            flags_ &= ~kPressed;
            last_button_ = 1;
            repaint();
            click_by_keyboard();
        }
        break;
    case plat::kVkLeft:
    case plat::kVkUp:
    case plat::kVkRight:
    case plat::kVkDown:
    case plat::kVkShift:
        return;
    default:
        break;
    }
    if (events_.KeyUp) {
        std::int16_t k = static_cast<std::int16_t>(key), s = shift();
        events_.KeyUp(k, s);
    }
}

void qzButtons_H::on_char(int character) {
    if (events_.KeyPress) {
        std::int16_t c = static_cast<std::int16_t>(character);
        events_.KeyPress(c);
    }
}

void qzButtons_H::on_access_key() {
    if (flags_ == 0) {
        flags_ |= kPressed | kPointerOver;
        repaint();
        plat::sleep_ms(100);
        if (!hover_tracking_) flags_ &= ~kPointerOver;
    }
    if (flags_ & kPressed) {
        plat::sleep_ms(100);
        flags_ &= ~kPressed;
        repaint();
    }
    last_button_ = 1;
    click_by_keyboard();
}

void qzButtons_H::click_by_keyboard() {
    keyboard_click_ = true;
    on_click();
    keyboard_click_ = false;
}

void qzButtons_H::on_focus(bool gained) {
    if (gained)
        flags_ |= kFocused;
    else
        flags_ = 0;
    repaint();
}

// The window goes: the hover timer is killed and the window properties removed with it.
void qzButtons_H::on_unload() {
    if (hover_tracking_) {
        plat::kill_timer(window_, kHoverTimerId);
        hover_tracking_ = false;
    }
    plat::remove_prop(window_, kClassIdProp);
    plat::remove_prop(window_, kTimerIdProp);
    cache_.drop();
    window_ = plat::WindowHandle::None;
}

void qzButtons_H::apply_cursor() {
    if (window_ == plat::WindowHandle::None) return;
    plat::CursorKind kind = plat::CursorKind::Arrow;
    if (mouse_pointer_ == 99 && mouse_icon_ != plat::Icon::None)
        kind = plat::CursorKind::Custom;
    else if (mouse_pointer_ == 11)
        kind = plat::CursorKind::Wait;
    plat::set_window_cursor(window_, kind, kind == plat::CursorKind::Custom ? mouse_icon_ : plat::Icon::None);
}

}  // namespace controls
