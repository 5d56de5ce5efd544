#include "platform/linux/window_registry.h"

#include <vector>

#include "platform/linux/presenter.h"
#include "platform/linux/x11.h"

namespace plat::linux_window {

std::map<WindowHandle, std::unique_ptr<Window>>& registry() {
    static std::map<WindowHandle, std::unique_ptr<Window>> windows;
    return windows;
}

Window* find(WindowHandle h) {
    auto it = registry().find(h);
    return it == registry().end() ? nullptr : it->second.get();
}

Window* find_sdl(std::uint32_t sdl_id) {
    for (auto& [h, w] : registry())
        if (w->sdl_id == sdl_id) return w.get();
    return nullptr;
}

WindowHandle handle_of(const Window* w) {
    for (auto& [h, x] : registry())
        if (x.get() == w) return h;
    return WindowHandle::None;
}

WindowHandle private_handle() {
    static std::uintptr_t next_private = 0x7F000000;
    return static_cast<WindowHandle>(next_private++);
}

WindowHandle add(std::unique_ptr<Window> w) {
    const WindowHandle h = w->xid ? static_cast<WindowHandle>(w->xid) : private_handle();
    int width = 0, height = 0;
    SDL_GetWindowSize(w->sdl, &width, &height);
    registry()[h] = std::move(w);
    tree().add_root(h, width, height);
    return h;
}

user32::WindowTree& tree() {
    static user32::WindowTree windows({[](WindowHandle h) -> WindowHandlers* {
                                          Window* w = find(h);
                                          return w ? &w->handlers : nullptr;
                                      },
                                      [](WindowHandle h) {
                                          Point at;
                                          if (Window* w = find(h)) SDL_GetWindowPosition(w->sdl, &at.x, &at.y);
                                          return at;
                                      }});
    return windows;
}

Window* top_level_of(WindowHandle h) { return find(tree().root_of(h)); }

void remove(WindowHandle h, bool x_window_gone) {
    if (tree().is_child(h)) {
        const WindowHandle root = tree().root_of(h);
        tree().remove(h);
        if (Window* top = find(root)) repaint(*top);
        return;
    }
    Window* w = find(h);
    if (!w) return;
    if (w->handlers.unload) {
        auto unload = std::move(w->handlers.unload);
        w->handlers.unload = nullptr;
        unload();
    }
    w = find(h);
    if (!w) return;
    if (!x_window_gone) {
        if (w->texture) SDL_DestroyTexture(w->texture);
        if (w->renderer) SDL_DestroyRenderer(w->renderer);
        SDL_DestroyWindow(w->sdl);
        if (w->own_x_window) x11::destroy_screen_window(w->own_x_window);
    }
    tree().remove(h);
    registry().erase(h);
}

}  // namespace plat::linux_window

namespace plat::user32 {
WindowTree& window_tree() { return linux_window::tree(); }
void tree_changed(WindowHandle h) {
    if (linux_window::Window* w = linux_window::top_level_of(h)) linux_window::repaint(*w);
}
}  // namespace plat::user32

namespace plat::linux_window {

void prefer_x11() { SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11"); }

bool ensure_video() {
    static const bool ok = [] {
        prefer_x11();
        SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
        // Pictures go to the window through X11's own framebuffer: an accelerated one would
        // make SDL re-create the window with a new X11 id, and the handle is that id.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        return SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    }();
    return ok;
}

}  // namespace plat::linux_window
