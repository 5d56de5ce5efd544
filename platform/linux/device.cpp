// The Linux back end's device for the window core: top-level windows are SDL2 windows over
// X11, shown through their framebuffer surfaces (presenter.h); input is SDL's event queue;
// the clipboard is SDL's (the X11 CLIPBOARD selection, in UTF-8).
//
// A window's handle is its X11 window id, so that it can travel on a command line and be
// found by other processes; another program's window (a preview's parent, one found by its
// title) is reached through a connection of our own to the X server.
#include <SDL.h>

#include <algorithm>
#include <memory>

#include "platform/linux/cursor.h"
#include "platform/linux/dispatch.h"
#include "platform/linux/presenter.h"
#include "platform/linux/window_registry.h"
#include "platform/linux/x11.h"
#include "platform/text.h"
#include "platform/user32/device.h"
#include "platform/user32/window_tree.h"

namespace plat::linux_window {
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

// An SDL window on the X screen of its own that screen_to_make_on chose; null when it
// cannot be made.
SDL_Window* make_on_screen(int screen, const Rect& rect, unsigned long& own_x_window) {
    own_x_window = x11::create_screen_window(screen, rect);
    SDL_Window* sdl = own_x_window ? SDL_CreateWindowFrom(reinterpret_cast<const void*>(own_x_window)) : nullptr;
    if (sdl && !x11::select_sdl_events(sdl)) {
        SDL_DestroyWindow(sdl);
        sdl = nullptr;
    }
    if (!sdl && own_x_window) {
        x11::destroy_screen_window(own_x_window);
        own_x_window = 0;
    }
    return sdl;
}

class LinuxDevice final : public user32::Device {
public:
    std::unique_ptr<user32::TopLevel> create_window(const WindowDesc& desc) override {
        if (!ensure_video()) return nullptr;
        Uint32 flags = SDL_WINDOW_HIDDEN;
        if (desc.style == WindowStyle::Popup) flags |= SDL_WINDOW_BORDERLESS;
        const std::string title = cp932_to_utf8(desc.title);
        auto w = std::make_unique<Window>();
        // The settings dialog follows the desktop's display scale: its window is that many times
        // its design on the screen, about the same centre, and the core keeps the design.
        // (The saver's windows compose their own frames at the screen's size.)
        w->scale = desc.style == WindowStyle::Dialog ? display_scale() : 1;
        const int width = std::max(1, desc.rect.width()) * w->scale, height = std::max(1, desc.rect.height()) * w->scale;
        int left = desc.rect.left, top = desc.rect.top;
        if (w->scale > 1) {  // not off the screen's top-left corner for it
            left = std::max(0, left - (width - std::max(1, desc.rect.width())) / 2);
            top = std::max(0, top - (height - std::max(1, desc.rect.height())) / 2);
        }
        if (const int screen = screen_to_make_on(desc); screen >= 0) w->sdl = make_on_screen(screen, desc.rect, w->own_x_window);
        if (!w->sdl) w->sdl = SDL_CreateWindow(title.c_str(), left, top, width, height, flags);
        if (!w->sdl) return nullptr;
        w->sdl_id = SDL_GetWindowID(w->sdl);
        if (desc.full_screen) {
            start_pacing(*w);
            w->direct = true;
        }
        w->xid = x11::sdl_window_id(w->sdl);
        w->handle = w->xid ? static_cast<WindowHandle>(w->xid) : user32::window_tree().private_handle();
        return w;
    }

    // When the X server has already destroyed the window (with an embedding parent), SDL is
    // not asked to: it would wait for ever for the window to be unmapped, so the SDL side is
    // left to the end of the process.
    void destroy_window(user32::TopLevel& top, bool system_gone) override {
        if (system_gone) return;
        Window& w = static_cast<Window&>(top);
        SDL_DestroyWindow(w.sdl);
        if (w.own_x_window) x11::destroy_screen_window(w.own_x_window);
    }

    bool window_rect(WindowHandle h, Rect& out) override {
        const Window* w = find(h);
        if (!w) return x11::window_rect(static_cast<unsigned long>(h), out);
        int x = 0, y = 0, width = 0, height = 0;
        SDL_GetWindowPosition(w->sdl, &x, &y);
        SDL_GetWindowSize(w->sdl, &width, &height);
        out = {x, y, x + width, y + height};
        return true;
    }

    void place_window(user32::TopLevel& top, const Rect& place, bool move, bool resize) override {
        Window& w = static_cast<Window&>(top);
        if (move) SDL_SetWindowPosition(w.sdl, place.left, place.top);
        // The size is the core's, in design pixels; the position is the screen's.
        if (resize) SDL_SetWindowSize(w.sdl, std::max(1, place.width()) * w.scale, std::max(1, place.height()) * w.scale);
    }

    void raise_topmost(user32::TopLevel& top) override { SDL_SetWindowAlwaysOnTop(static_cast<Window&>(top).sdl, SDL_TRUE); }

    void show_window(user32::TopLevel& top, bool visible) override {
        Window& w = static_cast<Window&>(top);
        if (!visible) {
            SDL_HideWindow(w.sdl);
            return;
        }
        // The full-screen window covers the screen, panels included, unless it was embedded.
        if (w.full_screen && w.parent == WindowHandle::None) SDL_SetWindowFullscreen(w.sdl, SDL_WINDOW_FULLSCREEN_DESKTOP);
        SDL_ShowWindow(w.sdl);
        repaint(w);
    }

    // Into one of the program's windows or another program's, through the X server.
    bool embed_window(user32::TopLevel& top, WindowHandle parent) override {
        const Window& w = static_cast<Window&>(top);
        Rect r;
        if (!w.xid || (parent != WindowHandle::None && !find(parent) && !x11::window_rect(static_cast<unsigned long>(parent), r)))
            return false;
        return x11::reparent(w.xid, static_cast<unsigned long>(parent));
    }

    WindowHandle find_foreign_window(std::string_view title) override {
        return static_cast<WindowHandle>(x11::find_top_level(cp932_to_utf8(title)));
    }

    void repaint(user32::TopLevel& top) override { linux_window::repaint(static_cast<Window&>(top)); }
    void cursor_changed() override { refresh_cursor(); }

    bool start_pump() override { return !user32::window_tree().top_levels().empty(); }
    void deliver_input() override { deliver_events(); }
    void wait_for_input(std::uint64_t ms) override {
        if (ms > 0) SDL_WaitEventTimeout(nullptr, static_cast<int>(ms));
    }

    std::string clipboard_text() override {
        if (!ensure_video() || !SDL_HasClipboardText()) return {};
        char* utf8 = SDL_GetClipboardText();
        if (!utf8) return {};
        std::string out = utf8_to_cp932_in_place(utf8);
        SDL_free(utf8);
        return out;
    }

    void set_clipboard_text(std::string_view cp932) override {
        if (ensure_video()) SDL_SetClipboardText(cp932_to_utf8(cp932).c_str());
    }
};

}  // namespace
}  // namespace plat::linux_window

namespace plat::user32 {

Device& device() {
    static linux_window::LinuxDevice sdl_device;
    return sdl_device;
}

}  // namespace plat::user32
