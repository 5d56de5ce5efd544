#include "platform/linux/dispatch.h"

#include <vector>

#include "platform/linux/key_map.h"
#include "platform/linux/presenter.h"
#include "platform/linux/window_registry.h"
#include "platform/linux/x11.h"
#include "platform/system.h"

namespace plat::linux_window {

void dispatch(const SDL_Event& e) {
    switch (e.type) {
    case SDL_KEYDOWN: {
        Window* w = find_sdl(e.key.windowID);
        if (w && w->handlers.key_down) {
            auto handler = w->handlers.key_down;
            handler(virtual_key(e.key.keysym));
        }
        break;
    }
    case SDL_MOUSEBUTTONDOWN: {
        Window* w = find_sdl(e.button.windowID);
        if (!w) break;
        w->pressed = true;
        if (w->handlers.mouse_down) {
            auto handler = w->handlers.mouse_down;
            handler(button_of(e.button.button), Point{e.button.x, e.button.y});
        }
        break;
    }
    case SDL_MOUSEBUTTONUP: {
        Window* w = find_sdl(e.button.windowID);
        if (!w) break;
        const bool was_pressed = w->pressed;
        w->pressed = false;
        const std::uint32_t id = e.button.windowID;
        if (w->handlers.mouse_up) {
            auto handler = w->handlers.mouse_up;
            handler(button_of(e.button.button), Point{e.button.x, e.button.y});
        }
        w = find_sdl(id);
        if (w && was_pressed && w->handlers.click) {
            auto handler = w->handlers.click;
            handler();
        }
        break;
    }
    case SDL_WINDOWEVENT: {
        Window* w = find_sdl(e.window.windowID);
        if (!w) break;
        if (e.window.event == SDL_WINDOWEVENT_CLOSE) remove(handle_of(w), false);
        else if (e.window.event == SDL_WINDOWEVENT_EXPOSED || e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
            repaint(*w);
        break;
    }
    case SDL_QUIT: {
        std::vector<WindowHandle> all;
        for (auto& [h, w] : registry()) all.push_back(h);
        for (WindowHandle h : all) remove(h, false);
        break;
    }
    default:
        break;
    }
}

// The X server has already destroyed an orphan with its parent.
void drop_orphans() {
    std::vector<WindowHandle> orphans;
    for (auto& [h, w] : registry()) {
        Rect r;
        if (w->parent != WindowHandle::None && !find(w->parent) && !x11::window_rect(static_cast<unsigned long>(w->parent), r))
            orphans.push_back(h);
    }
    for (WindowHandle h : orphans) remove(h, true);
}

void deliver_timers() {
    std::vector<WindowHandle> all;
    for (auto& [h, w] : registry()) all.push_back(h);
    posix::deliver_due_ticks(
        all,
        [](WindowHandle h) {
            Window* w = find(h);
            return w ? posix::TimerTarget{&w->timers, &w->handlers.timer} : posix::TimerTarget{};
        },
        tick_count_ms);
}

}  // namespace plat::linux_window
