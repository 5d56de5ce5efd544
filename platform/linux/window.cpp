// Windows and the event pump of the Linux back end, on SDL2 over X11.
//
// A window's handle is its X11 window id, so that it can travel on a command line and be
// found by other processes; FindWindowA's stand-in looks through the X server's top-level
// windows (and one level below, for window-manager frames) for a matching _NET_WM_NAME or
// WM_NAME. Timer ticks are delivered only by pump_events, one tick per timer per pump at
// most, as WM_TIMER is. Foreign windows (a preview's parent) are reached through a
// connection of our own to the X server, with X errors caught rather than fatal.
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string_view>

#include "platform/linux/dispatch.h"
#include "platform/linux/modal.h"
#include "platform/linux/presenter.h"
#include "platform/linux/window_registry.h"
#include "platform/linux/x11.h"
#include "platform/system.h"
#include "platform/text.h"
#include "platform/window.h"

namespace plat {

using linux_window::ensure_video;
using linux_window::find;
using linux_window::registry;
using linux_window::tree;
using linux_window::Window;

namespace {

// The X screen on which a pop-up has to be made by hand: one whose rectangle is exactly the
// bounds of a display after the first (the black cover of another monitor) that SDL would put
// on the wrong screen. SDL picks a new window's display, and with it the X screen, from the
// window's centre, so with two X screens, whose displays both start at (0, 0), the cover of
// the second would land on the first screen, over the saver, and leave the second showing
// the desktop. The full-screen window always belongs to the first display. -1: SDL's own
// placement is right.
int screen_to_make_on(const WindowDesc& desc) {
    if (desc.style != WindowStyle::Popup || desc.full_screen) return -1;
    const int count = SDL_GetNumVideoDisplays();
    const Point centre{desc.rect.left + desc.rect.width() / 2, desc.rect.top + desc.rect.height() / 2};
    bool held_earlier = false;  // an earlier display holds the centre: SDL would choose it
    for (int i = 0; i < count; ++i) {
        SDL_Rect r;
        if (SDL_GetDisplayBounds(i, &r) != 0) continue;
        const Rect bounds{r.x, r.y, r.x + r.w, r.y + r.h};
        if (i > 0 && held_earlier && desc.rect == bounds) return x11::screen_of_display(i, count);
        if (centre.x >= bounds.left && centre.x < bounds.right && centre.y >= bounds.top && centre.y < bounds.bottom)
            held_earlier = true;
    }
    return -1;
}

}  // namespace

WindowHandle create_window(const WindowDesc& desc, WindowHandlers handlers) {
    if (!ensure_video()) return WindowHandle::None;
    Uint32 flags = SDL_WINDOW_HIDDEN;
    if (desc.style == WindowStyle::Popup) flags |= SDL_WINDOW_BORDERLESS;
    const std::string title = cp932_to_utf8(desc.title);
    // The full-screen window gets a renderer with vertical sync. It is made for OpenGL from
    // the start, since SDL would otherwise make it again for the renderer under a new X11 id,
    // and the handle is that id.
    const int width = std::max(1, desc.rect.width()), height = std::max(1, desc.rect.height());
    SDL_Window* sdl = nullptr;
    unsigned long own_x_window = 0;
    if (const int screen = screen_to_make_on(desc); screen >= 0) {
        own_x_window = x11::create_screen_window(screen, desc.rect);
        if (own_x_window) sdl = SDL_CreateWindowFrom(reinterpret_cast<const void*>(own_x_window));
        if (sdl && !x11::select_sdl_events(sdl)) {
            SDL_DestroyWindow(sdl);
            sdl = nullptr;
        }
        if (!sdl && own_x_window) {
            x11::destroy_screen_window(own_x_window);
            own_x_window = 0;
        }
    }
    if (!sdl && desc.full_screen)
        sdl = SDL_CreateWindow(title.c_str(), desc.rect.left, desc.rect.top, width, height, flags | SDL_WINDOW_OPENGL);
    if (!sdl) sdl = SDL_CreateWindow(title.c_str(), desc.rect.left, desc.rect.top, width, height, flags);
    if (!sdl) return WindowHandle::None;
    auto w = std::make_unique<linux_window::Window>();
    w->own_x_window = own_x_window;
    w->sdl = sdl;
    w->sdl_id = SDL_GetWindowID(sdl);
    if (desc.full_screen) linux_window::attach_live_renderer(*w);
    w->xid = x11::sdl_window_id(sdl);
    w->title = desc.title;
    w->style = desc.style;
    w->full_screen = desc.full_screen;
    w->handlers = std::move(handlers);
    w->style_bits = desc.style == WindowStyle::Popup ? kWsPopup : kWsCaption | kWsSysMenu | kWsMinimizeBox;
    return linux_window::add(std::move(w));
}

// A child window lives in the tree only: it is drawn into its top-level window's surface.
WindowHandle create_child(WindowHandle parent, const ChildDesc& desc, WindowHandlers handlers) {
    const WindowHandle h = linux_window::private_handle();
    if (!tree().add_child(h, parent, desc, std::move(handlers))) return WindowHandle::None;
    user32::tree_changed(h);
    return h;
}

WindowHandle get_parent(WindowHandle h) {
    if (tree().is_child(h)) return tree().find(h)->parent;
    const Window* w = find(h);
    return w ? w->parent : WindowHandle::None;
}

void destroy_window(WindowHandle h) { linux_window::remove(h, false); }

bool is_window(WindowHandle h) {
    Rect r;
    return find(h) != nullptr || tree().is_child(h) || x11::window_rect(static_cast<unsigned long>(h), r);
}

WindowHandle find_window_by_title(std::string_view title) {
    for (auto& [h, w] : registry())
        if (w->title == title && w->parent == WindowHandle::None) return h;
    return static_cast<WindowHandle>(x11::find_top_level(cp932_to_utf8(title)));
}

bool is_desktop_window(WindowHandle h) { return x11::is_root(static_cast<unsigned long>(h)); }

bool get_window_rect(WindowHandle h, Rect& out) {
    if (user32::TreeWindow* child = tree().find(h); child && tree().is_child(h)) {
        Point at{};
        tree().client_to_screen(h, at);
        out = {at.x, at.y, at.x + child->rect.width(), at.y + child->rect.height()};
        return true;
    }
    if (Window* w = find(h)) {
        int x = 0, y = 0, width = 0, height = 0;
        SDL_GetWindowPosition(w->sdl, &x, &y);
        SDL_GetWindowSize(w->sdl, &width, &height);
        out = {x, y, x + width, y + height};
        return true;
    }
    return x11::window_rect(static_cast<unsigned long>(h), out);
}

std::int32_t get_window_long(WindowHandle h, int index) {
    const Window* w = find(h);
    return w && index == kGwlStyle ? w->style_bits : 0;
}

std::int32_t set_window_long(WindowHandle h, int index, std::int32_t value) {
    Window* w = find(h);
    if (!w || index != kGwlStyle) return 0;
    const std::int32_t old = w->style_bits;
    w->style_bits = value;
    return old;
}

WindowHandle set_parent(WindowHandle child, WindowHandle parent) {
    Window* w = find(child);
    if (!w || !w->xid) return WindowHandle::None;
    Rect r;
    if (parent != WindowHandle::None && !find(parent) &&
        !x11::window_rect(static_cast<unsigned long>(parent), r))
        return WindowHandle::None;
    if (!x11::reparent(w->xid, static_cast<unsigned long>(parent))) return WindowHandle::None;
    const WindowHandle old = w->parent;
    w->parent = parent;
    return old;
}

bool set_window_pos(WindowHandle h, std::intptr_t insert_after, int x, int y, int cx, int cy,
                    std::uint32_t flags) {
    if (user32::TreeWindow* child = tree().find(h); child && tree().is_child(h)) {
        Rect r = child->rect;
        if (!(flags & kSwpNoMove)) offset_rect(r, x - r.left, y - r.top);
        if (!(flags & kSwpNoSize)) r.right = r.left + cx, r.bottom = r.top + cy;
        tree().set_rect(h, r);
        if (!(flags & kSwpNoZOrder) && (insert_after == kHwndTop || insert_after == kHwndBottom))
            tree().restack(h, insert_after == kHwndTop);
        user32::tree_changed(h);
        return true;
    }
    Window* w = find(h);
    if (!w) return false;
    if (!(flags & kSwpNoMove)) SDL_SetWindowPosition(w->sdl, x, y);
    if (!(flags & kSwpNoSize)) {
        SDL_SetWindowSize(w->sdl, std::max(1, cx), std::max(1, cy));
        tree().set_rect(h, {0, 0, std::max(1, cx), std::max(1, cy)});
    }
    if (insert_after == kHwndTopmost) SDL_SetWindowAlwaysOnTop(w->sdl, SDL_TRUE);
    return true;
}

bool move_window(WindowHandle h, int x, int y, int width, int height) {
    if (tree().is_child(h)) {
        tree().set_rect(h, {x, y, x + width, y + height});
        user32::tree_changed(h);
        return true;
    }
    Window* w = find(h);
    if (!w) return false;
    SDL_SetWindowPosition(w->sdl, x, y);
    SDL_SetWindowSize(w->sdl, std::max(1, width), std::max(1, height));
    tree().set_rect(h, {0, 0, std::max(1, width), std::max(1, height)});
    return true;
}

bool set_window_icon(WindowHandle h, const Bitmap& picture) {
    Window* w = find(h);
    const Surface from = picture.surface();
    if (!w || from.width <= 0 || from.height <= 0) return false;
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormat(0, from.width, from.height, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!icon) return false;
    for (int y = 0; y < from.height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(icon->pixels) + y * icon->pitch);
        for (int x = 0; x < from.width; ++x) row[x] = 0xFF000000u | (from.row(y)[x] & 0x00FFFFFFu);  // opaque
    }
    SDL_SetWindowIcon(w->sdl, icon);
    SDL_FreeSurface(icon);
    return true;
}

void show_window(WindowHandle h, bool visible) {
    if (user32::TreeWindow* node = tree().find(h)) node->visible = visible;
    if (tree().is_child(h)) {
        user32::tree_changed(h);
        return;
    }
    Window* w = find(h);
    if (!w) return;
    if (!visible) {
        SDL_HideWindow(w->sdl);
        return;
    }
    // The full-screen window covers the screen, panels included, unless it was embedded.
    if (w->full_screen && w->parent == WindowHandle::None) SDL_SetWindowFullscreen(w->sdl, SDL_WINDOW_FULLSCREEN_DESKTOP);
    SDL_ShowWindow(w->sdl);
    linux_window::repaint(*w);
}

Point screen_size_px() {
    SDL_DisplayMode mode;
    if (ensure_video() && SDL_GetDesktopDisplayMode(0, &mode) == 0) return {mode.w, mode.h};
    return {1024, 768};
}

std::vector<Rect> other_monitors() {
    std::vector<Rect> monitors;
    if (!ensure_video()) return monitors;
    const int count = SDL_GetNumVideoDisplays();
    for (int i = 1; i < count; ++i) {
        SDL_Rect r;
        if (SDL_GetDisplayBounds(i, &r) == 0) monitors.push_back({r.x, r.y, r.x + r.w, r.y + r.h});
    }
    return monitors;
}

// 96 dots per inch, as the program's layouts assume.
Point twips_per_pixel() { return {15, 15}; }

int show_cursor(bool show) {
    // SDL keeps a switch, not a count: the count is kept here and the cursor shows while it
    // is not negative, as with ShowCursor.
    static int count = 0;
    count += show ? 1 : -1;
    if (ensure_video()) SDL_ShowCursor(count >= 0 ? SDL_ENABLE : SDL_DISABLE);
    return count;
}

bool display_available() { return ensure_video(); }

int shift_state() {
    const SDL_Keymod mod = SDL_GetModState();
    return (mod & KMOD_SHIFT ? 1 : 0) | (mod & KMOD_CTRL ? 2 : 0) | (mod & KMOD_ALT ? 4 : 0);
}

bool get_cursor_pos(Point& out) {
    if (!ensure_video()) return false;
    int x = 0, y = 0;
    SDL_GetGlobalMouseState(&x, &y);
    out = {x, y};
    return true;
}

int message_box(WindowHandle owner, std::string_view text, std::string_view title, std::uint32_t style) {
    Uint32 flags = SDL_MESSAGEBOX_INFORMATION;
    switch (style & 0xF0) {
    case kMbIconHand: flags = SDL_MESSAGEBOX_ERROR; break;
    case kMbIconExclamation: flags = SDL_MESSAGEBOX_WARNING; break;
    default: break;
    }
    const std::string t = cp932_to_utf8(title), m = cp932_to_utf8(text);
    // Without a display the message goes to the terminal instead.
    linux_window::prefer_x11();
    // Over its owner's top-level window, which SDL makes the box's WM_TRANSIENT_FOR.
    if (tree().is_child(owner)) owner = tree().root_of(owner);
    const Window* parent = find(owner);
    int shown;
    {
        const linux_modal::Scope box(linux_modal::Scope::Kind::Box);
        shown = SDL_ShowSimpleMessageBox(flags, t.c_str(), m.c_str(), parent ? parent->sdl : nullptr);
    }
    if (shown != 0) std::fprintf(stderr, "%s: %s\n", t.c_str(), m.c_str());
    return 1;  // IDOK
}

// The caption zoom as the classic Windows look draws it: an outline that grows from the start
// rectangle to the window (or shrinks back) in about a fifth of a second.
bool draw_animated_rects(WindowHandle, int, const Rect& from, const Rect& to) {
    return x11::zoom_outline(from, to, 10, 20);
}

void present(WindowHandle h, const Bitmap& picture, int x, int y, int width, int height) {
    Window* w = find(h);
    if (!w) return;
    w->picture = &picture;
    w->picture_rect = {x, y, x + width, y + height};
    linux_window::repaint(*w);
}

void present_changed(WindowHandle h, const Bitmap& picture, int x, int y, const Rect* changed, std::size_t count) {
    Window* w = find(h);
    if (!w) return;
    const Rect place{x, y, x + picture.width(), y + picture.height()};
    if (w->picture == &picture && w->picture_rect == place &&
        (w->renderer ? linux_window::update_rendered(*w, changed, count) : linux_window::update_surface(*w, changed, count)))
        return;
    present(h, picture, x, y, place.width(), place.height());
}

void pump_events() {
    if (registry().empty()) return;
    SDL_Event e;
    while (SDL_PollEvent(&e)) linux_window::dispatch(e);
    if (linux_modal::end_requested()) {
        e.type = SDL_QUIT;  // the system asked the program to end: every window closes
        linux_window::dispatch(e);
    }
    linux_window::drop_orphans();
    linux_window::deliver_timers();
    linux_window::deliver_paints();
}

void run_event_loop() {
    while (!registry().empty()) {
        // Sleep until an event arrives or the next timer is due.
        std::uint64_t wait = 100;
        const std::uint64_t now = tick_count_ms();
        for (auto& [h, w] : registry()) wait = w->timers.ms_until_due(now, wait);
        for (WindowHandle c : tree().all())
            if (tree().is_child(c)) wait = tree().find(c)->timers.ms_until_due(now, wait);
        if (wait > 0) SDL_WaitEventTimeout(nullptr, static_cast<int>(wait));
        pump_events();
    }
}

}  // namespace plat
