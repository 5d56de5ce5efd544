#include "platform/user32/window_tree.h"

#include <algorithm>
#include <cstdlib>

#include "platform/system.h"

namespace plat::user32 {
namespace {

// Handlers are copied before they run: a handler may destroy its own window.
template <typename F, typename... A>
void call(const F& handler, A... args) {
    if (!handler) return;
    auto copy = handler;
    copy(args...);
}

Rect intersect(const Rect& a, const Rect& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

bool contains(const Rect& r, Point p) {
    return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

// An image of `scale` device pixels to a design pixel (its top-level window's scale); the
// old one's pixels are copied as they are, both having the same scale.
std::unique_ptr<Bitmap> renewed(std::unique_ptr<Bitmap> old, int width, int height, int scale) {
    auto image = scale == 1 ? create_bitmap(std::max(1, width), std::max(1, height))
                            : create_scaled_bitmap(std::max(1, width), std::max(1, height), scale);
    if (old && image) bit_blt(*image, 0, 0, old->width(), old->height(), *old, 0, 0, Rop::SrcCopy);
    return image;
}

Rect scaled(const Rect& r, int s) { return {r.left * s, r.top * s, r.right * s, r.bottom * s}; }

// Division rounding down, for points left of or above a window as well.
int floor_div(int v, int s) { return v >= 0 ? v / s : -((-v + s - 1) / s); }

void copy_clipped(const Surface& from, Point at, const Rect& clip, const Surface& to) {
    const Rect area = intersect(intersect(clip, {0, 0, to.width, to.height}),
                                {at.x, at.y, at.x + from.width, at.y + from.height});
    if (area.width() <= 0 || area.height() <= 0) return;
    for (int y = area.top; y < area.bottom; ++y)
        std::copy_n(from.row(y - at.y) + (area.left - at.x), area.width(), to.row(y) + area.left);
}

}  // namespace

WindowTree& window_tree() {
    static WindowTree tree;
    return tree;
}

WindowHandle WindowTree::add_root(std::unique_ptr<TopLevel> top) {
    auto w = std::make_unique<TreeWindow>();
    const WindowHandle h = top->handle;
    w->handle = h;
    w->top = std::move(top);
    windows_[h] = std::move(w);
    // The system's window is its scale times the size the core keeps.
    Rect r;
    const int s = std::max(1, windows_[h]->top->scale);
    if (device().window_rect(h, r)) set_rect(h, {r.left, r.top, r.left + r.width() / s, r.top + r.height() / s});
    return h;
}

WindowHandle WindowTree::add_child(WindowHandle parent, const ChildDesc& desc, WindowHandlers handlers) {
    TreeWindow* p = find(parent);
    if (!p) return WindowHandle::None;
    auto w = std::make_unique<TreeWindow>();
    const WindowHandle h = private_handle();
    w->handle = h;
    w->parent = parent;
    w->rect = desc.rect;
    w->visible = desc.visible;
    w->tab_stop = desc.tab_stop;
    w->wants_chars = desc.wants_chars;
    w->caption = desc.caption;
    w->access_key = access_key_of(desc.caption);
    w->handlers = std::move(handlers);
    w->image = renewed(nullptr, desc.rect.width(), desc.rect.height(), scale_of(parent));
    w->needs_paint = true;
    p->children.push_back(h);  // a new child goes to the bottom of its siblings
    windows_[h] = std::move(w);
    return h;
}

void WindowTree::close(WindowHandle h, bool system_gone) {
    const WindowHandle root = root_of(h);
    if (root == WindowHandle::None) return;
    remove(h, system_gone);
    if (root != h) changed(root);
}

void WindowTree::remove(WindowHandle h, bool system_gone) {
    // The window hears of its end before its children do, as with WM_DESTROY.
    if (WindowHandlers* hs = handlers(h); hs && hs->unload) {
        auto unload = std::move(hs->unload);
        hs->unload = nullptr;
        unload();
    }
    TreeWindow* w = find(h);
    if (!w) return;
    const std::vector<WindowHandle> children = w->children;
    for (WindowHandle c : children) remove(c, system_gone);
    w = find(h);
    if (!w) return;
    if (TreeWindow* p = find(w->parent)) std::erase(p->children, h);
    if (focus_ == h) focus_ = WindowHandle::None;
    if (capture_ == h) capture_ = WindowHandle::None;
    if (pressed_ == h) pressed_ = WindowHandle::None;
    if (last_press_ == h) last_press_ = WindowHandle::None;
    if (w->cursor_icon != Icon::None) destroy_icon(w->cursor_icon);
    if (w->top) device().destroy_window(*w->top, system_gone);
    windows_.erase(h);
}

TreeWindow* WindowTree::find(WindowHandle h) {
    auto it = windows_.find(h);
    return it == windows_.end() ? nullptr : it->second.get();
}

TopLevel* WindowTree::top(WindowHandle h) {
    TreeWindow* w = find(h);
    return w ? w->top.get() : nullptr;
}

bool WindowTree::has_children(WindowHandle h) const {
    const auto it = windows_.find(h);
    return it != windows_.end() && !it->second->children.empty();
}

std::vector<TopLevel*> WindowTree::top_levels() {
    std::vector<TopLevel*> out;
    for (auto& [h, w] : windows_)
        if (w->top) out.push_back(w->top.get());
    return out;
}

WindowHandlers* WindowTree::handlers(WindowHandle h) {
    TreeWindow* w = find(h);
    if (!w) return nullptr;
    return w->top ? &w->top->handlers : &w->handlers;
}

WindowTimers* WindowTree::timers(WindowHandle h) {
    TreeWindow* w = find(h);
    if (!w) return nullptr;
    return w->top ? &w->top->timers : &w->timers;
}

WindowHandle WindowTree::root_of(WindowHandle h) {
    for (TreeWindow* w = find(h); w; w = find(w->parent))
        if (w->parent == WindowHandle::None) return w->handle;
    return WindowHandle::None;
}

int WindowTree::scale_of(WindowHandle h) {
    const TopLevel* t = top(root_of(h));
    return t ? std::max(1, t->scale) : 1;
}

Point WindowTree::origin(WindowHandle h) {
    Point at;
    for (TreeWindow* w = find(h); w && w->parent != WindowHandle::None; w = find(w->parent))
        at = {at.x + w->rect.left, at.y + w->rect.top};
    return at;
}

std::vector<WindowHandle> WindowTree::all() {
    std::vector<WindowHandle> out;
    for (auto& [h, w] : windows_) out.push_back(h);
    return out;
}

void WindowTree::set_rect(WindowHandle h, const Rect& rect) {
    TreeWindow* w = find(h);
    if (!w) return;
    const bool resized = rect.width() != w->rect.width() || rect.height() != w->rect.height();
    w->rect = w->parent == WindowHandle::None ? Rect{0, 0, rect.width(), rect.height()} : rect;
    if (resized && w->image) {
        w->image = renewed(std::move(w->image), rect.width(), rect.height(), scale_of(h));
        w->needs_paint = true;
    }
}

void WindowTree::restack(WindowHandle h, bool top) {
    TreeWindow* w = find(h);
    TreeWindow* p = w ? find(w->parent) : nullptr;
    if (!p) return;
    std::erase(p->children, h);
    if (top) p->children.insert(p->children.begin(), h);
    else p->children.push_back(h);
}

void WindowTree::set_caption(WindowHandle h, std::string_view caption) {
    if (TreeWindow* w = find(h)) {
        w->caption = std::string(caption);
        w->access_key = access_key_of(caption);
    }
}

bool WindowTree::set_region(WindowHandle h, GdiObject region) {
    TreeWindow* w = find(h);
    if (!w) return false;
    w->has_region = region != GdiObject::None;
    w->region = w->has_region ? region_rects(region) : std::vector<Rect>{};
    if (w->has_region) delete_object(region);
    return true;
}

Dc WindowTree::image_dc(WindowHandle h) {
    TreeWindow* w = find(h);
    if (!w) return Dc::None;
    if (!w->image) w->image = renewed(nullptr, w->rect.width(), w->rect.height(), scale_of(h));
    return w->image ? bitmap_dc(*w->image) : Dc::None;
}

void WindowTree::request_paint(WindowHandle h) {
    if (TreeWindow* w = find(h)) w->needs_paint = true;
}

void WindowTree::changed(WindowHandle h) {
    if (TopLevel* t = top(root_of(h))) device().repaint(*t);
}

std::vector<WindowHandle> WindowTree::deliver_paints() {
    std::vector<WindowHandle> roots;
    for (WindowHandle h : all()) {
        TreeWindow* w = find(h);
        if (!w || !w->needs_paint) continue;
        w->needs_paint = false;
        const WindowHandle root = root_of(h);
        if (WindowHandlers* hs = handlers(h)) call(hs->paint);
        if (std::find(roots.begin(), roots.end(), root) == roots.end()) roots.push_back(root);
    }
    return roots;
}

bool WindowTree::showing(WindowHandle h) {
    for (TreeWindow* w = find(h); w; w = find(w->parent))
        if (!w->visible) return false;
    return find(h) != nullptr;
}

bool WindowTree::usable(WindowHandle h) {
    for (TreeWindow* w = find(h); w; w = find(w->parent))
        if (!w->visible || !w->enabled) return false;
    return find(h) != nullptr;
}

bool WindowTree::inside(const TreeWindow& w, Point own) const {
    if (!contains({0, 0, w.rect.width(), w.rect.height()}, own)) return false;
    if (!w.has_region) return true;
    return std::any_of(w.region.begin(), w.region.end(), [own](const Rect& r) { return contains(r, own); });
}

WindowHandle WindowTree::hit(WindowHandle root, Point p) {
    // The top-level window takes whatever its system gives it, even beyond the size it was
    // made with (a full-screen window may be larger).
    TreeWindow* w = find(root);
    if (!w || !w->visible) return WindowHandle::None;
    for (;;) {
        TreeWindow* below = nullptr;
        for (WindowHandle c : w->children) {
            TreeWindow* child = find(c);
            if (child && child->visible && inside(*child, {p.x - child->rect.left, p.y - child->rect.top})) {
                below = child;
                break;
            }
        }
        // A disabled child takes the pointer from what lies beneath and gives it to its parent.
        if (!below || !below->enabled) return w->handle;
        p = {p.x - below->rect.left, p.y - below->rect.top};
        w = below;
    }
}

WindowHandle WindowTree::window_from_point(Point screen) {
    // The top-level windows are not stacked here: the most recently created one wins.
    WindowHandle found{};
    for (auto& [h, w] : windows_) {
        if (!w->top) continue;
        const Point at = root_origin(h);
        const int s = scale_of(h);
        const Point p{floor_div(screen.x - at.x, s), floor_div(screen.y - at.y, s)};
        if (!inside(*w, p)) continue;
        const WindowHandle under = hit(h, p);
        if (under != WindowHandle::None) found = under;
    }
    return found;
}

// Where the top-level window's client area lies on the screen, as its device says.
Point WindowTree::root_origin(WindowHandle root) {
    Rect r;
    return device().window_rect(root, r) ? Point{r.left, r.top} : Point{};
}

bool WindowTree::screen_to_client(WindowHandle h, Point& p) {
    if (!find(h)) return false;
    // The screen is in the system's pixels, a scaled window's client area in design pixels.
    const Point root = root_origin(root_of(h)), at = origin(h);
    const int s = scale_of(h);
    p = {floor_div(p.x - root.x, s) - at.x, floor_div(p.y - root.y, s) - at.y};
    return true;
}

bool WindowTree::client_to_screen(WindowHandle h, Point& p) {
    if (!find(h)) return false;
    const Point root = root_origin(root_of(h)), at = origin(h);
    const int s = scale_of(h);
    p = {root.x + (p.x + at.x) * s, root.y + (p.y + at.y) * s};
    return true;
}

WindowHandle WindowTree::mouse_target(WindowHandle root, Point p, Point& client) {
    WindowHandle target = capture_ != WindowHandle::None ? capture_ : hit(root, p);
    if (!find(target)) return WindowHandle::None;
    Point screen = p;
    client_to_screen(root, screen);
    client = screen;
    screen_to_client(target, client);
    return target;
}

void WindowTree::mouse_down(WindowHandle root, int button, Point p) {
    const std::uint64_t now_ms = tick_count_ms();
    Point client;
    const WindowHandle target = mouse_target(root, p, client);
    buttons_ |= button;
    if (target == WindowHandle::None) return;
    const bool twice = target == last_press_ && button == last_button_ &&
                       now_ms - last_time_ <= kDoubleClickMs &&
                       std::abs(p.x - last_point_.x) <= kDoubleClickSlop &&
                       std::abs(p.y - last_point_.y) <= kDoubleClickSlop;
    WindowHandlers* hs = handlers(target);
    if (twice) {
        last_press_ = WindowHandle::None;
        pressed_ = WindowHandle::None;
        if (hs) call(hs->double_click, button, client);
        return;
    }
    last_press_ = target;
    last_button_ = button;
    last_point_ = p;
    last_time_ = now_ms;
    pressed_ = target;
    if (hs) call(hs->mouse_down, button, client);
}

void WindowTree::mouse_up(WindowHandle root, int button, Point p) {
    buttons_ &= ~button;
    Point client;
    const WindowHandle target = mouse_target(root, p, client);
    const WindowHandle pressed = pressed_;
    pressed_ = WindowHandle::None;
    if (target == WindowHandle::None) return;
    if (WindowHandlers* hs = handlers(target)) call(hs->mouse_up, button, client);
    // A click is a press and a release on the same window, the pointer still over it.
    if (pressed == target && hit(root, p) == target)
        if (WindowHandlers* hs = handlers(target)) call(hs->click);
}

void WindowTree::mouse_move(WindowHandle root, Point p) {
    Point client;
    const WindowHandle target = mouse_target(root, p, client);
    if (WindowHandlers* hs = handlers(target)) call(hs->mouse_move, buttons_, client);
}

WindowHandle WindowTree::keyboard_target(WindowHandle root) {
    if (focus_ != WindowHandle::None && root_of(focus_) == root && usable(focus_)) return focus_;
    return root;
}

void WindowTree::tab_order(WindowHandle h, std::vector<WindowHandle>& out) {
    TreeWindow* w = find(h);
    if (!w) return;
    for (WindowHandle c : w->children) {
        TreeWindow* child = find(c);
        if (!child || !child->visible || !child->enabled) continue;
        if (child->tab_stop) out.push_back(c);
        tab_order(c, out);
    }
}

WindowHandle WindowTree::access_key_owner(WindowHandle root, int key) {
    if (key == 0) return WindowHandle::None;
    std::vector<WindowHandle> order;
    for (WindowHandle h : all())
        if (root_of(h) == root && h != root && usable(h) && find(h)->access_key == key) order.push_back(h);
    if (order.empty()) return WindowHandle::None;
    // Several owners: the first in the tab order that has it.
    std::vector<WindowHandle> tabs;
    tab_order(root, tabs);
    for (WindowHandle t : tabs)
        if (std::find(order.begin(), order.end(), t) != order.end()) return t;
    return order.front();
}

void WindowTree::key_down(WindowHandle root, int vk, int shift) {
    const WindowHandle target = keyboard_target(root);
    if (vk == kVkTab && !(shift & 6)) {
        std::vector<WindowHandle> tabs;
        tab_order(root, tabs);
        if (!tabs.empty()) {
            move_focus(target, !(shift & 1));
            return;
        }
    }
    const bool letter = (vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9');
    if (letter && (shift & 4)) {
        const WindowHandle owner = access_key_owner(root, vk);
        if (owner != WindowHandle::None) {
            if (WindowHandlers* hs = handlers(owner)) call(hs->access_key);
            return;
        }
    }
    if (WindowHandlers* hs = handlers(target)) call(hs->key_down, vk);
}

void WindowTree::key_up(WindowHandle root, int vk) {
    if (WindowHandlers* hs = handlers(keyboard_target(root))) call(hs->key_up, vk);
}

void WindowTree::character(WindowHandle root, int ch) {
    const WindowHandle target = keyboard_target(root);
    TreeWindow* w = find(target);
    // A plain letter is an access key unless the focused window takes text.
    if (w && !w->wants_chars && ch > ' ' && ch < 0x7F) {
        const int key = ch >= 'a' && ch <= 'z' ? ch - 'a' + 'A' : ch;
        const WindowHandle owner = access_key_owner(root, key);
        if (owner != WindowHandle::None) {
            if (WindowHandlers* hs = handlers(owner)) call(hs->access_key);
            return;
        }
    }
    if (WindowHandlers* hs = handlers(target)) call(hs->character, ch);
}

WindowHandle WindowTree::set_capture(WindowHandle h) {
    const WindowHandle old = capture_;
    if (find(h)) capture_ = h;
    return old;
}

bool WindowTree::release_capture() {
    capture_ = WindowHandle::None;
    return true;
}

WindowHandle WindowTree::set_focus(WindowHandle h) {
    const WindowHandle old = focus_;
    if (h != WindowHandle::None && !find(h)) return WindowHandle::None;
    if (h == old) return old;
    focus_ = h;
    if (WindowHandlers* hs = handlers(old)) call(hs->focus_lost);
    if (focus_ == h)
        if (WindowHandlers* hs = handlers(h)) call(hs->focus_gained);
    return old;
}

WindowHandle WindowTree::move_focus(WindowHandle from, bool forward) {
    const WindowHandle root = root_of(from);
    std::vector<WindowHandle> tabs;
    tab_order(root, tabs);
    if (tabs.empty()) return focus_;
    const std::size_t next = next_tab_stop(
        static_cast<std::size_t>(std::find(tabs.begin(), tabs.end(), from) - tabs.begin()), tabs.size(), forward);
    set_focus(tabs[next]);
    return focus_;
}

bool WindowTree::set_cursor(WindowHandle h, CursorKind kind, Icon custom) {
    TreeWindow* w = find(h);
    if (!w || (kind == CursorKind::Custom && custom == Icon::None)) return false;
    if (w->cursor_icon != Icon::None) destroy_icon(w->cursor_icon);
    w->cursor = kind;
    w->cursor_icon = kind == CursorKind::Custom ? copy_icon_scaled(custom, 0, 0) : Icon::None;
    return true;
}

CursorKind WindowTree::cursor_at(WindowHandle root, Point p, Icon& custom) {
    custom = Icon::None;
    if (busy_) return CursorKind::Wait;
    const TreeWindow* w = find(capture_ != WindowHandle::None ? capture_ : hit(root, p));
    if (!w) return CursorKind::Arrow;
    custom = w->cursor_icon;
    return w->cursor;
}

// Positions and clips are worked in design pixels and copied at the images' scale `s`: the
// target holds s x s device pixels for each design pixel, as the images do.
void WindowTree::compose_children(const TreeWindow& w, Point at, const Rect& clip,
                                  const Surface& target, int s) {
    for (auto c = w.children.rbegin(); c != w.children.rend(); ++c) {
        const TreeWindow* child = find(*c);
        if (!child || !child->visible) continue;
        const Point child_at{at.x + child->rect.left, at.y + child->rect.top};
        const Rect bounds = intersect(clip, {child_at.x, child_at.y, child_at.x + child->rect.width(),
                                             child_at.y + child->rect.height()});
        if (bounds.width() <= 0 || bounds.height() <= 0) continue;
        if (child->image) {
            const Surface from = child->image->surface();
            const Point device_at{child_at.x * s, child_at.y * s};
            if (!child->has_region) copy_clipped(from, device_at, scaled(bounds, s), target);
            for (Rect r : child->region) {
                offset_rect(r, child_at.x, child_at.y);
                copy_clipped(from, device_at, scaled(intersect(bounds, r), s), target);
            }
        }
        compose_children(*child, child_at, bounds, target, s);
    }
}

void WindowTree::compose(WindowHandle root, const Surface& target, bool with_root_image) {
    TreeWindow* w = find(root);
    if (!w) return;
    const int s = scale_of(root);
    const Rect all_of_it{0, 0, target.width, target.height};
    if (with_root_image && w->image) copy_clipped(w->image->surface(), {0, 0}, all_of_it, target);
    compose_children(*w, {0, 0}, {0, 0, target.width / s, target.height / s}, target, s);
}

}  // namespace plat::posix
