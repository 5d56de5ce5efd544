// The scripted back end's windows and event pump: windows are records in the world, input
// comes from the test's queue and timer ticks from the virtual clock.
#include <algorithm>

#include "platform/user32/timer_table.h"
#include "platform/scripted/world.h"
#include "platform/window.h"

namespace plat {
namespace scripted {
namespace {

WindowState* first_visible_own() {
    for (auto& w : world().windows)
        if (!w->foreign && w->visible) return w.get();
    return nullptr;
}

bool has_own_window() {
    return std::any_of(world().windows.begin(), world().windows.end(),
                       [](const auto& w) { return !w->foreign; });
}

// The top-level window that input names (the first visible one when None) and the point in
// its client coordinates.
WindowHandle input_root(WindowHandle named, Point& p) {
    if (named == WindowHandle::None) {
        WindowState* w = first_visible_own();
        return w ? w->handle : WindowHandle::None;
    }
    user32::WindowTree& tree = world().tree;
    if (!tree.is_child(named)) return find(named) ? named : WindowHandle::None;
    const Point at = tree.origin(named);
    p = {p.x + at.x, p.y + at.y};
    return tree.root_of(named);
}

void deliver(const QueuedInput& in) {
    user32::WindowTree& tree = world().tree;
    Point p = in.point;
    const WindowHandle root = input_root(in.window, p);
    if (root == WindowHandle::None) return;
    switch (in.kind) {
    case QueuedInput::Key: tree.key_down(root, in.code, world().shift); break;
    case QueuedInput::KeyUp: tree.key_up(root, in.code); break;
    case QueuedInput::Char: tree.character(root, in.code); break;
    case QueuedInput::MouseDown: tree.mouse_down(root, in.code, p, world().clock_ms); break;
    case QueuedInput::MouseUp: tree.mouse_up(root, in.code, p); break;
    case QueuedInput::MouseMove: tree.mouse_move(root, p); break;
    case QueuedInput::Click: {
        const WindowHandle h = in.window == WindowHandle::None ? root : in.window;
        if (WindowHandlers* hs = tree.handlers(h); hs && hs->click) {
            auto click = hs->click;
            click();
        }
        break;
    }
    case QueuedInput::Close:
        plat::destroy_window(in.window);
        break;
    }
}

}  // namespace
}  // namespace scripted

using scripted::world;

WindowHandle create_window(const WindowDesc& desc, WindowHandlers handlers) {
    auto w = std::make_unique<scripted::WindowState>();
    w->handle = static_cast<WindowHandle>(world().next_handle++);
    w->title = desc.title;
    w->style = desc.style;
    w->rect = desc.rect;
    w->full_screen = desc.full_screen;
    w->handlers = std::move(handlers);
    w->style_bits = desc.style == WindowStyle::Popup ? kWsPopup : kWsCaption | kWsSysMenu | kWsMinimizeBox;
    const WindowHandle h = w->handle;
    world().windows.push_back(std::move(w));
    world().tree.add_root(h, desc.rect.width(), desc.rect.height());
    return h;
}

WindowHandle create_child(WindowHandle parent, const ChildDesc& desc, WindowHandlers handlers) {
    const WindowHandle h = static_cast<WindowHandle>(world().next_handle++);
    return world().tree.add_child(h, parent, desc, std::move(handlers)) ? h : WindowHandle::None;
}

void destroy_window(WindowHandle h) {
    user32::WindowTree& tree = world().tree;
    if (tree.is_child(h)) {
        tree.remove(h);
        return;
    }
    scripted::WindowState* w = scripted::find(h);
    if (!w || w->foreign) return;
    if (w->handlers.unload) {
        auto unload = std::move(w->handlers.unload);
        unload();
    }
    tree.remove(h);
    auto& ws = world().windows;
    ws.erase(std::remove_if(ws.begin(), ws.end(), [h](const auto& x) { return x->handle == h; }),
             ws.end());
}

bool display_available() { return true; }

bool is_window(WindowHandle h) { return scripted::find(h) != nullptr || world().tree.is_child(h); }

WindowHandle find_window_by_title(std::string_view title) {
    for (auto& w : world().windows)
        if (w->title == title && (w->parent == WindowHandle::None)) return w->handle;
    return WindowHandle::None;
}

bool is_desktop_window(WindowHandle h) {
    return h != WindowHandle::None && h == scripted::world().desktop;
}

bool get_window_rect(WindowHandle h, Rect& out) {
    if (user32::TreeWindow* child = world().tree.find(h); child && world().tree.is_child(h)) {
        Point at{};
        world().tree.client_to_screen(h, at);
        out = {at.x, at.y, at.x + child->rect.width(), at.y + child->rect.height()};
        return true;
    }
    const scripted::WindowState* w = scripted::find(h);
    if (!w) return false;
    out = w->rect;
    if (w->parent != WindowHandle::None) {
        Rect pr;
        if (get_window_rect(w->parent, pr)) {
            out.left += pr.left; out.right += pr.left;
            out.top += pr.top; out.bottom += pr.top;
        }
    }
    return true;
}

std::int32_t get_window_long(WindowHandle h, int index) {
    const scripted::WindowState* w = scripted::find(h);
    return w && index == kGwlStyle ? w->style_bits : 0;
}

std::int32_t set_window_long(WindowHandle h, int index, std::int32_t value) {
    scripted::WindowState* w = scripted::find(h);
    if (!w || index != kGwlStyle) return 0;
    const std::int32_t old = w->style_bits;
    w->style_bits = value;
    return old;
}

WindowHandle set_parent(WindowHandle child, WindowHandle parent) {
    scripted::WindowState* w = scripted::find(child);
    if (!w || (parent != WindowHandle::None && !scripted::find(parent))) return WindowHandle::None;
    const WindowHandle old = w->parent;
    w->parent = parent;
    return old;
}

bool set_window_pos(WindowHandle h, std::intptr_t after, int x, int y, int cx, int cy,
                    std::uint32_t flags) {
    user32::WindowTree& tree = world().tree;
    if (user32::TreeWindow* child = tree.find(h); child && tree.is_child(h)) {
        Rect r = child->rect;
        if (!(flags & kSwpNoMove)) offset_rect(r, x - r.left, y - r.top);
        if (!(flags & kSwpNoSize)) r.right = r.left + cx, r.bottom = r.top + cy;
        tree.set_rect(h, r);
        if (!(flags & kSwpNoZOrder) && (after == kHwndTop || after == kHwndBottom)) tree.restack(h, after == kHwndTop);
        return true;
    }
    scripted::WindowState* w = scripted::find(h);
    if (!w) return false;
    if (!(flags & kSwpNoMove)) {
        const int width = w->rect.width(), height = w->rect.height();
        w->rect = {x, y, x + width, y + height};
    }
    if (!(flags & kSwpNoSize)) w->rect.right = w->rect.left + cx, w->rect.bottom = w->rect.top + cy;
    if (after == kHwndTopmost) {
        w->topmost = true;
        w->topmost_rank = ++world().topmost_raises;
    }
    tree.set_rect(h, w->rect);
    return true;
}

bool move_window(WindowHandle h, int x, int y, int width, int height) {
    user32::WindowTree& tree = world().tree;
    if (tree.is_child(h)) {
        tree.set_rect(h, {x, y, x + width, y + height});
        return true;
    }
    scripted::WindowState* w = scripted::find(h);
    if (!w) return false;
    w->rect = {x, y, x + width, y + height};
    tree.set_rect(h, w->rect);
    return true;
}

bool set_window_icon(WindowHandle h, const Bitmap&) { return scripted::find(h) != nullptr; }

void show_window(WindowHandle h, bool visible) {
    if (scripted::WindowState* w = scripted::find(h)) w->visible = visible;
    if (user32::TreeWindow* node = world().tree.find(h)) node->visible = visible;
}

Point screen_size_px() { return world().screen; }
std::vector<Rect> other_monitors() { return world().other_monitors; }
Point twips_per_pixel() { return world().twips; }

int show_cursor(bool show) { return world().cursor_count += show ? 1 : -1; }
bool get_cursor_pos(Point& out) {
    if (!world().cursor) return false;
    out = *world().cursor;
    return true;
}

int message_box(WindowHandle owner, std::string_view text, std::string_view title,
                std::uint32_t style) {
    world().boxes.push_back({owner, std::string(text), std::string(title), style});
    return 1;  // IDOK
}

bool draw_animated_rects(WindowHandle h, int animation, const Rect& from, const Rect& to) {
    world().zooms.push_back({h, animation, from, to});
    return true;
}

void present(WindowHandle h, const Bitmap& picture, int x, int y, int width, int height) {
    if (scripted::WindowState* w = scripted::find(h)) {
        w->picture = &picture;
        w->picture_rect = {x, y, x + width, y + height};
        ++w->present_count;
    }
}

void present_changed(WindowHandle h, const Bitmap& picture, int x, int y, const Rect* changed, std::size_t count) {
    scripted::WindowState* w = scripted::find(h);
    if (!w) return;
    const Rect place{x, y, x + picture.width(), y + picture.height()};
    const bool partial = w->picture == &picture && w->picture_rect == place;
    present(h, picture, x, y, picture.width(), picture.height());
    w->changed_rects = partial ? std::vector<Rect>(changed, changed + count) : std::vector<Rect>{place};
}

void pump_events() {
    auto& wd = world();
    ++wd.pumps;
    if (wd.pump_budget_end != 0 && wd.pumps > wd.pump_budget_end) throw scripted::PumpBudgetSpent{};
    wd.clock_ms += wd.pump_step_ms;
    if (wd.pump_hook) wd.pump_hook(wd.pumps);
    std::vector<WindowHandle> all;
    for (auto& w : wd.windows) all.push_back(w->handle);
    for (WindowHandle c : wd.tree.all())
        if (wd.tree.is_child(c)) all.push_back(c);
    user32::deliver_due_ticks(
        all,
        [](WindowHandle h) {
            if (user32::TreeWindow* c = world().tree.find(h); c && world().tree.is_child(h))
                return user32::TimerTarget{&c->timers, &c->handlers.timer};
            scripted::WindowState* w = scripted::find(h);
            return w ? user32::TimerTarget{&w->timers, &w->handlers.timer} : user32::TimerTarget{};
        },
        [] { return world().clock_ms; });
    while (!wd.input.empty()) {
        const scripted::QueuedInput in = wd.input.front();
        wd.input.pop_front();
        scripted::deliver(in);
    }
    wd.tree.deliver_paints();
}

WindowHandle get_parent(WindowHandle h) {
    if (world().tree.is_child(h)) return world().tree.find(h)->parent;
    const scripted::WindowState* w = scripted::find(h);
    return w ? w->parent : WindowHandle::None;
}

int shift_state() { return world().shift; }

void run_event_loop() {
    while (scripted::has_own_window()) pump_events();
}

}  // namespace plat
