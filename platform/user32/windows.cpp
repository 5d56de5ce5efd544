// The windows of the back ends that emulate user32: made, found, placed, shown and gone. A
// top-level window is its device's, and the core keeps its record; a child window lives in
// the tree only and is drawn into its top-level window's picture.
#include <algorithm>

#include "platform/user32/device.h"
#include "platform/user32/window_tree.h"

namespace plat {

using user32::device;
using user32::window_tree;

namespace {

void place_top_level(user32::TopLevel& w, const Rect& place, bool move, bool resize) {
    device().place_window(w, place, move, resize);
    if (resize) window_tree().set_rect(w.handle, {0, 0, std::max(1, place.width()), std::max(1, place.height())});
}

}  // namespace

WindowHandle create_window(const WindowDesc& desc, WindowHandlers handlers) {
    std::unique_ptr<user32::TopLevel> w = device().create_window(desc);
    if (!w) return WindowHandle::None;
    w->title = desc.title;
    w->style = desc.style;
    w->full_screen = desc.full_screen;
    w->style_bits = desc.style == WindowStyle::Popup ? kWsPopup : kWsCaption | kWsSysMenu | kWsMinimizeBox;
    w->handlers = std::move(handlers);
    return window_tree().add_root(std::move(w));
}

WindowHandle create_child(WindowHandle parent, const ChildDesc& desc, WindowHandlers handlers) {
    const WindowHandle h = window_tree().add_child(parent, desc, std::move(handlers));
    window_tree().changed(h);
    return h;
}

void destroy_window(WindowHandle h) { window_tree().close(h, false); }

bool is_window(WindowHandle h) {
    Rect r;
    return window_tree().find(h) != nullptr || device().window_rect(h, r);
}

WindowHandle get_parent(WindowHandle h) {
    const user32::TreeWindow* w = window_tree().find(h);
    if (!w) return WindowHandle::None;
    return w->top ? w->top->parent : w->parent;
}

// The program's own windows first, then the other programs'.
WindowHandle find_window_by_title(std::string_view title) {
    for (const user32::TopLevel* w : window_tree().top_levels())
        if (w->title == title && w->parent == WindowHandle::None) return w->handle;
    return device().find_foreign_window(title);
}

bool get_window_rect(WindowHandle h, Rect& out) {
    const user32::TreeWindow* w = window_tree().find(h);
    if (!w || w->top) return device().window_rect(h, out);
    Point at{};
    window_tree().client_to_screen(h, at);
    // Its corner on the screen; its size in the core's (design) pixels, which the controls
    // take for their client size, at any display scale.
    out = {at.x, at.y, at.x + w->rect.width(), at.y + w->rect.height()};
    return true;
}

// The style bits are kept beside the top-level window; only the preview uses them.
std::int32_t get_window_long(WindowHandle h, int index) {
    const user32::TopLevel* w = window_tree().top(h);
    return w && index == kGwlStyle ? w->style_bits : 0;
}

std::int32_t set_window_long(WindowHandle h, int index, std::int32_t value) {
    user32::TopLevel* w = window_tree().top(h);
    if (!w || index != kGwlStyle) return 0;
    const std::int32_t old = w->style_bits;
    w->style_bits = value;
    return old;
}

WindowHandle set_parent(WindowHandle child, WindowHandle parent) {
    user32::TopLevel* w = window_tree().top(child);
    if (!w || !device().embed_window(*w, parent)) return WindowHandle::None;
    const WindowHandle old = w->parent;
    w->parent = parent;
    return old;
}

bool set_window_pos(WindowHandle h, std::intptr_t insert_after, int x, int y, int cx, int cy,
                    std::uint32_t flags) {
    user32::WindowTree& tree = window_tree();
    user32::TreeWindow* w = tree.find(h);
    if (!w) return false;
    if (w->top) {
        place_top_level(*w->top, {x, y, x + cx, y + cy}, !(flags & kSwpNoMove), !(flags & kSwpNoSize));
        if (insert_after == kHwndTopmost) device().raise_topmost(*w->top);
        return true;
    }
    Rect r = w->rect;
    if (!(flags & kSwpNoMove)) offset_rect(r, x - r.left, y - r.top);
    if (!(flags & kSwpNoSize)) r.right = r.left + cx, r.bottom = r.top + cy;
    tree.set_rect(h, r);
    if (!(flags & kSwpNoZOrder) && (insert_after == kHwndTop || insert_after == kHwndBottom))
        tree.restack(h, insert_after == kHwndTop);
    tree.changed(h);
    return true;
}

bool move_window(WindowHandle h, int x, int y, int width, int height) {
    user32::TreeWindow* w = window_tree().find(h);
    if (!w) return false;
    const Rect place{x, y, x + width, y + height};
    if (w->top) {
        place_top_level(*w->top, place, true, true);
        return true;
    }
    window_tree().set_rect(h, place);
    window_tree().changed(h);
    return true;
}

void show_window(WindowHandle h, bool visible) {
    user32::TreeWindow* w = window_tree().find(h);
    if (!w) return;
    w->visible = visible;
    if (w->top) device().show_window(*w->top, visible);
    else window_tree().changed(h);
}

}  // namespace plat
