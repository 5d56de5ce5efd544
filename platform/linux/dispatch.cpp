#include "platform/linux/dispatch.h"

#include <string>
#include <vector>

#include "platform/linux/cursor.h"
#include "platform/linux/key_map.h"
#include "platform/linux/presenter.h"
#include "platform/linux/window_registry.h"
#include "platform/linux/x11.h"
#include "platform/system.h"
#include "platform/text.h"
#include "platform/window.h"

namespace plat::linux_window {

void dispatch(const SDL_Event& e) {
    switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        Window* w = find_sdl(e.key.windowID);
        if (!w) break;
        if (e.type == SDL_KEYDOWN) tree().key_down(handle_of(w), virtual_key(e.key.keysym), shift_state());
        else tree().key_up(handle_of(w), virtual_key(e.key.keysym));
        break;
    }
    case SDL_TEXTINPUT: {
        Window* w = find_sdl(e.text.windowID);
        std::string typed;
        utf8_to_cp932(e.text.text, typed);
        const WindowHandle h = handle_of(w);
        for (unsigned char byte : typed)
            if (find(h)) tree().character(h, byte);
        break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        Window* w = find_sdl(e.button.windowID);
        if (!w) break;
        const Point p{e.button.x, e.button.y};
        if (e.type == SDL_MOUSEBUTTONDOWN) tree().mouse_down(handle_of(w), button_of(e.button.button), p, tick_count_ms());
        else tree().mouse_up(handle_of(w), button_of(e.button.button), p);
        break;
    }
    case SDL_MOUSEMOTION: {
        Window* w = find_sdl(e.motion.windowID);
        if (!w) break;
        const WindowHandle h = handle_of(w);
        tree().mouse_move(h, {e.motion.x, e.motion.y});
        if (find(h)) apply_cursor(h, {e.motion.x, e.motion.y});
        break;
    }
    case SDL_WINDOWEVENT: {
        Window* w = find_sdl(e.window.windowID);
        if (!w) break;
        if (e.window.event == SDL_WINDOWEVENT_CLOSE) remove(handle_of(w), false);
        else if (e.window.event == SDL_WINDOWEVENT_EXPOSED || e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
            repaint(*w);
        else if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST && tree().capture() != WindowHandle::None &&
                 tree().root_of(tree().capture()) == handle_of(w))
            tree().release_capture();  // as when another application takes the mouse
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

void deliver_paints() {
    for (WindowHandle root : tree().deliver_paints())
        if (Window* w = find(root)) repaint(*w);
}

void deliver_timers() {
    std::vector<WindowHandle> all;
    for (auto& [h, w] : registry()) all.push_back(h);
    for (WindowHandle c : tree().all())
        if (tree().is_child(c)) all.push_back(c);
    user32::deliver_due_ticks(
        all,
        [](WindowHandle h) {
            if (user32::TreeWindow* c = tree().find(h); c && tree().is_child(h))
                return user32::TimerTarget{&c->timers, &c->handlers.timer};
            Window* w = find(h);
            return w ? user32::TimerTarget{&w->timers, &w->handlers.timer} : user32::TimerTarget{};
        },
        tick_count_ms);
}

}  // namespace plat::linux_window
