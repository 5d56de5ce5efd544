// The scripted back end's world and the test controls over it.
#include "platform/scripted/world.h"

#include <algorithm>

namespace plat::scripted {

World& world() {
    static World w;
    return w;
}

WindowState* find(WindowHandle h) {
    for (auto& w : world().windows)
        if (w->handle == h) return w.get();
    return nullptr;
}

posix::WindowTree make_tree() {
    return posix::WindowTree({[](WindowHandle h) -> WindowHandlers* {
                                  WindowState* w = find(h);
                                  return w ? &w->handlers : nullptr;
                              },
                              [](WindowHandle h) {
                                  WindowState* w = find(h);
                                  return w ? Point{w->rect.left, w->rect.top} : Point{};
                              }});
}

}  // namespace plat::scripted

namespace plat::posix {
WindowTree& window_tree() { return scripted::world().tree; }
// The scripted screen is composed when a test asks for it.
void tree_changed(WindowHandle) {}
void cursor_changed() {}
}  // namespace plat::posix

namespace plat::scripted {

void reset() { world() = World{}; }
void set_program_folder(std::string folder) { world().program_folder = std::move(folder); }
void set_other_monitors(std::vector<Rect> monitors) { world().other_monitors = std::move(monitors); }
void set_desktop_window(WindowHandle window) { world().desktop = window; }
void set_instance_guard_held(bool held) { world().instance_guard_held = held; }
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
void queue_key_up(int vk, WindowHandle w) { world().input.push_back({QueuedInput::KeyUp, w, vk, {}}); }
void queue_char(int ch, WindowHandle w) { world().input.push_back({QueuedInput::Char, w, ch, {}}); }
void queue_mouse_up(int button, Point p, WindowHandle w) {
    world().input.push_back({QueuedInput::MouseUp, w, button, p});
}
void queue_mouse_move(Point p, WindowHandle w) {
    world().input.push_back({QueuedInput::MouseMove, w, 0, p});
}
void press_now(WindowHandle w, Point p, int button) {
    queue_mouse_down(button, p, w);
    pump_events();
}
void move_now(WindowHandle w, Point p) {
    queue_mouse_move(p, w);
    pump_events();
}
void release_now(WindowHandle w, Point p, int button) {
    queue_mouse_up(button, p, w);
    pump_events();
}
void key_now(WindowHandle w, int vk) {
    set_focus(w);
    queue_key(vk, w);
    queue_key_up(vk, w);
    pump_events();
}
void set_shift_state(int shift) { world().shift = shift; }
CursorKind cursor_over(Point p, WindowHandle w) {
    Icon custom{};
    return world().tree.cursor_at(w, p, custom);
}

std::unique_ptr<Bitmap> compose(WindowHandle h) {
    const WindowState* w = find(h);
    if (!w) return nullptr;
    auto out = create_bitmap(std::max(1, w->rect.width()), std::max(1, w->rect.height()));
    if (w->picture)
        bit_blt(*out, w->picture_rect.left, w->picture_rect.top, w->picture_rect.width(),
                w->picture_rect.height(), *w->picture, 0, 0, Rop::SrcCopy);
    world().tree.compose(h, out->surface(), w->picture == nullptr);
    return out;
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
void set_clipboard(std::string text) { world().clipboard = std::move(text); }
std::string clipboard() { return world().clipboard; }
void queue_file_answer(std::optional<std::string> path) { world().file_answers.push_back(std::move(path)); }
const std::vector<OpenFileRequest>& file_requests() { return world().file_requests; }
const std::vector<ShellCall>& shell_calls() { return world().shell_calls; }
void put_file(std::string path, std::string bytes) { world().files.insert_or_assign(std::move(path), std::move(bytes)); }
const std::string* file_bytes(std::string_view path) {
    const auto it = world().files.find(path);
    return it == world().files.end() ? nullptr : &it->second;
}
const std::vector<AnimatedRectsCall>& animated_rects() { return world().zooms; }
int cursor_display_count() { return world().cursor_count; }
std::vector<std::pair<std::uint32_t, std::uint32_t>> system_parameter_calls() {
    return world().spi_calls;
}

}  // namespace plat::scripted
