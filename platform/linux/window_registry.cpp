#include "platform/linux/window_registry.h"

#include "platform/user32/window_tree.h"

namespace plat::linux_window {

// Every top-level window of the core is one of this device's.
Window* find(WindowHandle h) { return static_cast<Window*>(user32::window_tree().top(h)); }

Window* find_sdl(std::uint32_t sdl_id) {
    for (user32::TopLevel* w : user32::window_tree().top_levels())
        if (static_cast<Window*>(w)->sdl_id == sdl_id) return static_cast<Window*>(w);
    return nullptr;
}

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
