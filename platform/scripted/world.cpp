// The scripted back end's system, window and timer services over one in-memory world.
#include <algorithm>
#include <deque>
#include <memory>

#include "platform/scripted/control.h"
#include "platform/system.h"
#include "platform/timer.h"
#include "platform/window.h"

namespace plat {

const char kPathSeparator = '/';

namespace scripted {
namespace {

struct QueuedInput {
    enum Kind { Key, MouseDown, Click, Close } kind;
    WindowHandle window;
    int code = 0;
    Point point;
};

struct World {
    std::vector<std::unique_ptr<WindowState>> windows;
    std::uintptr_t next_handle = 0x100;
    std::uint64_t clock_ms = 0;
    std::uint64_t pump_step_ms = 1;
    std::uint64_t pumps = 0;
    std::uint64_t pump_budget_end = 0;  // 0: none
    std::function<void(std::uint64_t)> pump_hook;
    std::deque<QueuedInput> input;
    std::string program_folder = ".";
    std::string command_line;
    VersionInfo version{1, 2};
    Point screen{1024, 768};
    Point twips{15, 15};
    std::optional<Point> cursor = Point{0, 0};
    int cursor_count = 0;
    std::vector<MessageBoxCall> boxes;
    std::vector<AnimatedRectsCall> zooms;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> spi_calls;
    std::optional<int> verify_result, change_result;
    int verify_count = 0;
    std::vector<PasswordChangeCall> password_changes;
};

World& world() {
    static World w;
    return w;
}

WindowState* find(WindowHandle h) {
    for (auto& w : world().windows)
        if (w->handle == h) return w.get();
    return nullptr;
}

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

void reset() { world() = World{}; }
void set_program_folder(std::string folder) { world().program_folder = std::move(folder); }
void set_version(VersionInfo info) { world().version = info; }
void set_screen(int w, int h, int tx, int ty) {
    world().screen = {w, h};
    world().twips = {tx, ty};
}
void set_cursor_pos(std::optional<Point> pos) { world().cursor = pos; }
std::uint64_t now_ms() { return world().clock_ms; }
void advance_ms(std::uint64_t ms) { world().clock_ms += ms; }
void set_pump_step_ms(std::uint64_t ms) { world().pump_step_ms = ms; }
void set_pump_budget(std::uint64_t pumps) {
    world().pump_budget_end = pumps == 0 ? 0 : world().pumps + pumps;
}
std::uint64_t pump_count() { return world().pumps; }
void on_pump(std::function<void(std::uint64_t)> hook) { world().pump_hook = std::move(hook); }

void queue_key(int vk, WindowHandle w) { world().input.push_back({QueuedInput::Key, w, vk, {}}); }
void queue_mouse_down(int button, Point p, WindowHandle w) {
    world().input.push_back({QueuedInput::MouseDown, w, button, p});
}
void queue_click(WindowHandle w) { world().input.push_back({QueuedInput::Click, w, 0, {}}); }
void queue_close(WindowHandle w) { world().input.push_back({QueuedInput::Close, w, 0, {}}); }

WindowHandle add_foreign_window(std::string title, Rect rect) {
    auto w = std::make_unique<WindowState>();
    w->handle = static_cast<WindowHandle>(world().next_handle++);
    w->title = std::move(title);
    w->rect = rect;
    w->visible = true;
    w->foreign = true;
    const WindowHandle h = w->handle;
    world().windows.push_back(std::move(w));
    return h;
}

void remove_foreign_window(WindowHandle h) {
    auto& ws = world().windows;
    // Children of the removed window go with it, as on every windowing system.
    std::vector<WindowHandle> children;
    for (auto& w : ws)
        if (w->parent == h && !w->foreign) children.push_back(w->handle);
    for (WindowHandle c : children) plat::destroy_window(c);
    ws.erase(std::remove_if(ws.begin(), ws.end(), [h](const auto& w) { return w->handle == h; }),
             ws.end());
}

std::vector<const WindowState*> windows() {
    std::vector<const WindowState*> out;
    for (auto& w : world().windows) out.push_back(w.get());
    return out;
}
const WindowState* window(WindowHandle h) { return find(h); }
const WindowState* find_by_title(std::string_view title) {
    for (auto& w : world().windows)
        if (w->title == title) return w.get();
    return nullptr;
}
void set_password_services(std::optional<int> verify_result, std::optional<int> change_result) {
    world().verify_result = verify_result;
    world().change_result = change_result;
}
int password_verify_count() { return world().verify_count; }
const std::vector<PasswordChangeCall>& password_changes() { return world().password_changes; }

std::optional<int> answer_verify() {
    ++world().verify_count;
    return world().verify_result;
}
std::optional<int> answer_change(PasswordChangeCall call) {
    if (!world().change_result) return std::nullopt;
    world().password_changes.push_back(std::move(call));
    return world().change_result;
}

const std::vector<MessageBoxCall>& message_boxes() { return world().boxes; }
const std::vector<AnimatedRectsCall>& animated_rects() { return world().zooms; }
int cursor_display_count() { return world().cursor_count; }
std::vector<std::pair<std::uint32_t, std::uint32_t>> system_parameter_calls() {
    return world().spi_calls;
}

}  // namespace scripted

using scripted::world;

// --- system.h ---

std::string program_folder() { return world().program_folder; }
VersionInfo get_version_ex(std::uint32_t struct_size) {
    if (struct_size != 148) return {0, 0};
    return world().version;
}
int system_parameters_info(std::uint32_t action, std::uint32_t param, std::uint32_t) {
    world().spi_calls.emplace_back(action, param);
    return 1;
}
const std::string& command_line() { return world().command_line; }
void set_command_line(std::string text) { world().command_line = std::move(text); }
void sleep_ms(std::uint32_t ms) { world().clock_ms += ms; }
std::uint64_t tick_count_ms() { return world().clock_ms; }
std::uint64_t time_of_day_us() { return 1'700'000'000'000'000ull + world().clock_ms * 1000; }
[[noreturn]] void end_process(int code) { throw ProcessExit{code}; }

// --- window.h ---

WindowHandle create_window(const WindowDesc& desc, WindowHandlers handlers) {
    auto w = std::make_unique<scripted::WindowState>();
    w->handle = static_cast<WindowHandle>(world().next_handle++);
    w->title = desc.title;
    w->style = desc.style;
    w->rect = desc.rect;
    w->handlers = std::move(handlers);
    w->style_bits = desc.style == WindowStyle::Popup ? static_cast<std::int32_t>(0x80000000u) : 0x00CA0000;
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
    return w && index == -16 ? w->style_bits : 0;
}

std::int32_t set_window_long(WindowHandle h, int index, std::int32_t value) {
    scripted::WindowState* w = scripted::find(h);
    if (!w || index != -16) return 0;
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
    if (!(flags & 0x2)) {  // SWP_NOMOVE
        const int width = w->rect.width(), height = w->rect.height();
        w->rect = {x, y, x + width, y + height};
    }
    if (!(flags & 0x1)) w->rect.right = w->rect.left + cx, w->rect.bottom = w->rect.top + cy;
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

void pump_events() {
    auto& wd = world();
    ++wd.pumps;
    if (wd.pump_budget_end != 0 && wd.pumps > wd.pump_budget_end) throw scripted::PumpBudgetSpent{};
    wd.clock_ms += wd.pump_step_ms;
    if (wd.pump_hook) wd.pump_hook(wd.pumps);
    // Due timer ticks, each timer at most once per pump (as WM_TIMER is coalesced).
    std::vector<std::pair<WindowHandle, int>> due;
    for (auto& w : wd.windows)
        for (auto& [id, t] : w->timers)
            if (t.next_due_ms <= wd.clock_ms) due.emplace_back(w->handle, id);
    for (auto [h, id] : due) {
        scripted::WindowState* w = scripted::find(h);
        if (!w) continue;
        auto it = w->timers.find(id);
        if (it == w->timers.end()) continue;
        it->second.next_due_ms = wd.clock_ms + it->second.period_ms;
        if (w->handlers.timer) {
            auto handler = w->handlers.timer;  // the handler may destroy the window
            handler(id);
        }
    }
    while (!wd.input.empty()) {
        const scripted::QueuedInput in = wd.input.front();
        wd.input.pop_front();
        scripted::deliver(in);
    }
}

void run_event_loop() {
    while (scripted::has_own_window()) pump_events();
}

// --- timer.h ---

bool set_timer(WindowHandle h, int id, std::uint32_t period_ms) {
    scripted::WindowState* w = scripted::find(h);
    if (!w) return false;
    w->timers[id] = {period_ms, world().clock_ms + std::max<std::uint32_t>(period_ms, 1)};
    return true;
}

bool kill_timer(WindowHandle h, int id) {
    scripted::WindowState* w = scripted::find(h);
    return w && w->timers.erase(id) > 0;
}

}  // namespace plat
