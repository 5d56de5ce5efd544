// The scripted back end's windows and event pump: windows are records in the world, input
// comes from the test's queue and timer ticks from the virtual clock.
#include <algorithm>

#include "platform/posix/timer_table.h"
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

void deliver(const QueuedInput& in) {
    WindowState* w = in.window == WindowHandle::None ? first_visible_own() : find(in.window);
    if (!w) return;
    const WindowHandle h = w->handle;
    switch (in.kind) {
    case QueuedInput::Key:
        if (w->handlers.key_down) w->handlers.key_down(in.code);
        break;
    case QueuedInput::MouseDown:
        if (w->handlers.mouse_down) w->handlers.mouse_down(in.code, in.point);
        break;
    case QueuedInput::Click:
        if (w->handlers.click) w->handlers.click();
        break;
    case QueuedInput::Close:
        plat::destroy_window(h);
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
    return h;
}

void destroy_window(WindowHandle h) {
    scripted::WindowState* w = scripted::find(h);
    if (!w || w->foreign) return;
    if (w->handlers.unload) {
        auto unload = std::move(w->handlers.unload);
        unload();
    }
    auto& ws = world().windows;
    ws.erase(std::remove_if(ws.begin(), ws.end(), [h](const auto& x) { return x->handle == h; }),
             ws.end());
}

bool is_window(WindowHandle h) { return scripted::find(h) != nullptr; }

WindowHandle find_window_by_title(std::string_view title) {
    for (auto& w : world().windows)
        if (w->title == title && (w->parent == WindowHandle::None)) return w->handle;
    return WindowHandle::None;
}

bool is_desktop_window(WindowHandle h) {
    return h != WindowHandle::None && h == scripted::world().desktop;
}

bool get_window_rect(WindowHandle h, Rect& out) {
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
    scripted::WindowState* w = scripted::find(h);
    if (!w) return false;
    if (!(flags & kSwpNoMove)) {
        const int width = w->rect.width(), height = w->rect.height();
        w->rect = {x, y, x + width, y + height};
    }
    if (!(flags & kSwpNoSize)) w->rect.right = w->rect.left + cx, w->rect.bottom = w->rect.top + cy;
    if (after == kHwndTopmost) w->topmost = true;
    return true;
}

bool move_window(WindowHandle h, int x, int y, int width, int height) {
    scripted::WindowState* w = scripted::find(h);
    if (!w) return false;
    w->rect = {x, y, x + width, y + height};
    return true;
}

void show_window(WindowHandle h, bool visible) {
    if (scripted::WindowState* w = scripted::find(h)) w->visible = visible;
}

Point screen_size_px() { return world().screen; }
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
    posix::deliver_due_ticks(
        all,
        [](WindowHandle h) {
            scripted::WindowState* w = scripted::find(h);
            return w ? posix::TimerTarget{&w->timers, &w->handlers.timer} : posix::TimerTarget{};
        },
        [] { return world().clock_ms; });
    while (!wd.input.empty()) {
        const scripted::QueuedInput in = wd.input.front();
        wd.input.pop_front();
        scripted::deliver(in);
    }
}

void run_event_loop() {
    while (scripted::has_own_window()) pump_events();
}

}  // namespace plat
