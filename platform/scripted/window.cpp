// The scripted back end's device for the window core: top-level windows are records in the
// world (control.h), input comes from the test's queue, the clock is the virtual one, and
// the screen is composed only when a test asks for it.
#include <algorithm>

#include "platform/scripted/world.h"
#include "platform/user32/device.h"
#include "platform/user32/window_tree.h"
#include "platform/window.h"

namespace plat {
namespace scripted {
namespace {

using user32::window_tree;

// The top-level window that input names (the first visible one when None) and the point in
// its client coordinates.
WindowHandle input_root(WindowHandle named, Point& p) {
    if (named == WindowHandle::None) {
        for (user32::TopLevel* w : window_tree().top_levels())
            if (static_cast<WindowState*>(w)->visible) return w->handle;
        return WindowHandle::None;
    }
    const Point at = window_tree().origin(named);
    p = {p.x + at.x, p.y + at.y};
    return window_tree().root_of(named);
}

void deliver(const QueuedInput& in) {
    user32::WindowTree& tree = window_tree();
    Point p = in.point;
    const WindowHandle root = input_root(in.window, p);
    if (root == WindowHandle::None) return;
    switch (in.kind) {
    case QueuedInput::Key: tree.key_down(root, in.code, world().shift); break;
    case QueuedInput::KeyUp: tree.key_up(root, in.code); break;
    case QueuedInput::Char: tree.character(root, in.code); break;
    case QueuedInput::MouseDown: tree.mouse_down(root, in.code, p); break;
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

class ScriptedDevice final : public user32::Device {
public:
    std::unique_ptr<user32::TopLevel> create_window(const WindowDesc& desc) override {
        auto w = std::make_unique<WindowState>();
        w->handle = static_cast<WindowHandle>(world().next_handle++);
        w->rect = desc.rect;
        return w;
    }
    void destroy_window(user32::TopLevel&, bool) override {}

    // An embedded window's rect is in its parent's client area.
    bool window_rect(WindowHandle h, Rect& out) override {
        const WindowState* w = find(h);
        if (!w) return false;
        out = w->rect;
        Rect pr;
        if (w->parent != WindowHandle::None && get_window_rect(w->parent, pr)) offset_rect(out, pr.left, pr.top);
        return true;
    }

    void place_window(user32::TopLevel& top, const Rect& place, bool move, bool resize) override {
        Rect& r = static_cast<WindowState&>(top).rect;
        if (move) offset_rect(r, place.left - r.left, place.top - r.top);
        if (resize) r.right = r.left + place.width(), r.bottom = r.top + place.height();
    }

    void raise_topmost(user32::TopLevel& top) override {
        WindowState& w = static_cast<WindowState&>(top);
        w.topmost = true;
        w.topmost_rank = ++world().topmost_raises;
    }

    void show_window(user32::TopLevel& top, bool visible) override { static_cast<WindowState&>(top).visible = visible; }

    bool embed_window(user32::TopLevel&, WindowHandle parent) override {
        return parent == WindowHandle::None || find(parent) != nullptr;
    }

    WindowHandle find_foreign_window(std::string_view title) override {
        for (const auto& w : world().foreign)
            if (w->title == title && w->parent == WindowHandle::None) return w->handle;
        return WindowHandle::None;
    }

    // The screen is composed when a test asks for it (compose in control.h).
    void repaint(user32::TopLevel&) override {}
    void cursor_changed() override {}

    bool start_pump() override {
        World& wd = world();
        ++wd.pumps;
        if (wd.pump_budget_end != 0 && wd.pumps > wd.pump_budget_end) throw PumpBudgetSpent{};
        wd.clock_ms += wd.pump_step_ms;
        if (wd.pump_hook) wd.pump_hook(wd.pumps);
        return true;
    }

    void deliver_input() override {
        while (!world().input.empty()) {
            const QueuedInput in = world().input.front();
            world().input.pop_front();
            deliver(in);
        }
    }

    // The virtual clock moves with the pumps alone.
    void wait_for_input(std::uint64_t) override {}

    std::string clipboard_text() override { return world().clipboard; }
    void set_clipboard_text(std::string_view text) override { world().clipboard = std::string(text); }
};

}  // namespace
}  // namespace scripted

namespace user32 {

Device& device() {
    static scripted::ScriptedDevice world_device;
    return world_device;
}

}  // namespace user32

using scripted::world;

bool display_available() { return true; }

bool is_desktop_window(WindowHandle h) { return h != WindowHandle::None && h == world().desktop; }

bool set_window_icon(WindowHandle h, const Bitmap&) { return scripted::find(h) != nullptr; }

Point screen_size_px() { return world().screen; }
std::vector<Rect> other_monitors() { return world().other_monitors; }
Point twips_per_pixel() { return world().twips; }

int display_scale() { return world().scale; }

int show_cursor(bool show) { return world().cursor_count += show ? 1 : -1; }
bool get_cursor_pos(Point& out) {
    if (!world().cursor) return false;
    out = *world().cursor;
    return true;
}
int shift_state() { return world().shift; }

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

void await_frame(WindowHandle, std::uint32_t pause_ms) { sleep_ms(pause_ms); }

std::unique_ptr<Bitmap> create_window_bitmap(WindowHandle, int width, int height) {
    return create_bitmap(width, height);
}

}  // namespace plat
