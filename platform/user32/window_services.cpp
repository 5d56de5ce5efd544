// The window services that the tree answers alike for the Linux and scripted back ends.
#include "platform/user32/window_tree.h"

namespace plat {

using user32::window_tree;

Rect window_rect_for_client(WindowStyle, const Rect& client) { return client; }
void use_gdi_scaled_dpi_for_thread() {}

void set_window_caption(WindowHandle h, std::string_view caption) { window_tree().set_caption(h, caption); }
bool enable_window(WindowHandle h, bool enabled) {
    user32::TreeWindow* w = window_tree().find(h);
    if (!w) return false;
    const bool was_disabled = !w->enabled;
    w->enabled = enabled;
    // A window that goes loses the focus and the capture with it.
    if (!enabled && window_tree().focus() == h) window_tree().set_focus(WindowHandle::None);
    if (!enabled && window_tree().capture() == h) window_tree().release_capture();
    // A control shows whether it takes input: it draws itself again when that changes.
    if (was_disabled == enabled) {
        window_tree().request_paint(h);
        window_tree().changed(h);
    }
    return was_disabled;
}
bool is_window_enabled(WindowHandle h) {
    const user32::TreeWindow* w = window_tree().find(h);
    return w && w->enabled;
}
bool is_window_visible(WindowHandle h) { return window_tree().showing(h); }
bool set_window_region(WindowHandle h, GdiObject region, bool redraw) {
    if (!window_tree().set_region(h, region)) return false;
    if (redraw) window_tree().changed(h);
    return true;
}
Dc window_dc(WindowHandle h) { return window_tree().image_dc(h); }
void update_window(WindowHandle h) { window_tree().changed(h); }
void invalidate_window(WindowHandle h) { window_tree().request_paint(h); }
WindowHandle set_capture(WindowHandle h) { return window_tree().set_capture(h); }
bool release_capture() { return window_tree().release_capture(); }
WindowHandle get_capture() { return window_tree().capture(); }
WindowHandle window_from_point(Point screen) { return window_tree().window_from_point(screen); }
bool screen_to_client(WindowHandle h, Point& p) { return window_tree().screen_to_client(h, p); }
bool client_to_screen(WindowHandle h, Point& p) { return window_tree().client_to_screen(h, p); }
WindowHandle set_focus(WindowHandle h) { return window_tree().set_focus(h); }
WindowHandle get_focus() { return window_tree().focus(); }
bool set_prop(WindowHandle h, std::string_view name, std::intptr_t value) {
    user32::TreeWindow* w = window_tree().find(h);
    if (!w) return false;
    w->props[std::string(name)] = value;
    return true;
}
std::intptr_t get_prop(WindowHandle h, std::string_view name) {
    user32::TreeWindow* w = window_tree().find(h);
    if (!w) return 0;
    auto it = w->props.find(name);
    return it == w->props.end() ? 0 : it->second;
}
std::intptr_t remove_prop(WindowHandle h, std::string_view name) {
    user32::TreeWindow* w = window_tree().find(h);
    if (!w) return 0;
    auto it = w->props.find(name);
    if (it == w->props.end()) return 0;
    const std::intptr_t value = it->second;
    w->props.erase(it);
    return value;
}
WindowHandle move_focus(WindowHandle from, bool forward) { return window_tree().move_focus(from, forward); }
bool set_window_cursor(WindowHandle h, CursorKind kind, Icon custom) {
    return window_tree().set_cursor(h, kind, custom);
}
void set_busy_cursor(bool busy) {
    window_tree().set_busy(busy);
    user32::device().cursor_changed();
}

}  // namespace plat
