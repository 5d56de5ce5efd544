#include "platform/linux/dispatch.h"

#include <string>
#include <vector>

#include "platform/linux/cursor.h"
#include "platform/linux/key_map.h"
#include "platform/linux/modal.h"
#include "platform/linux/presenter.h"
#include "platform/linux/window_registry.h"
#include "platform/linux/x11.h"
#include "platform/system.h"
#include "platform/text.h"
#include "platform/user32/window_tree.h"
#include "platform/window.h"

namespace plat::linux_window {
namespace {

using user32::window_tree;

// The X server has already destroyed an orphan with its parent.
void drop_orphans() {
    std::vector<WindowHandle> orphans;
    for (const user32::TopLevel* w : window_tree().top_levels()) {
        Rect r;
        if (w->parent != WindowHandle::None && !find(w->parent) && !x11::window_rect(static_cast<unsigned long>(w->parent), r))
            orphans.push_back(w->handle);
    }
    for (WindowHandle h : orphans) window_tree().close(h, true);
}

}  // namespace

void dispatch(const SDL_Event& e) {
    switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
        Window* w = find_sdl(e.key.windowID);
        if (!w) break;
        if (e.type == SDL_KEYDOWN) window_tree().key_down(w->handle, virtual_key(e.key.keysym), shift_state());
        else window_tree().key_up(w->handle, virtual_key(e.key.keysym));
        break;
    }
    case SDL_TEXTINPUT: {
        Window* w = find_sdl(e.text.windowID);
        if (!w) break;
        std::string typed;
        utf8_to_cp932(e.text.text, typed);
        const WindowHandle h = w->handle;
        for (unsigned char byte : typed)
            if (find(h)) window_tree().character(h, byte);
        break;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        Window* w = find_sdl(e.button.windowID);
        if (!w) break;
        const Point p = design_point(*w, e.button.x, e.button.y);
        if (e.type == SDL_MOUSEBUTTONDOWN) window_tree().mouse_down(w->handle, button_of(e.button.button), p);
        else window_tree().mouse_up(w->handle, button_of(e.button.button), p);
        break;
    }
    case SDL_MOUSEMOTION: {
        Window* w = find_sdl(e.motion.windowID);
        if (!w) break;
        const WindowHandle h = w->handle;
        const Point p = design_point(*w, e.motion.x, e.motion.y);
        window_tree().mouse_move(h, p);
        if (find(h)) apply_cursor(h, p);
        break;
    }
    case SDL_WINDOWEVENT: {
        Window* w = find_sdl(e.window.windowID);
        if (!w) break;
        if (e.window.event == SDL_WINDOWEVENT_CLOSE) {
            if (w->handlers.close) w->handlers.close();
            else window_tree().close(w->handle, false);
        }
        else if (e.window.event == SDL_WINDOWEVENT_EXPOSED || e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
            repaint(*w);
        else if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST && window_tree().capture() != WindowHandle::None &&
                 window_tree().root_of(window_tree().capture()) == w->handle)
            window_tree().release_capture();  // as when another application takes the mouse
        break;
    }
    case SDL_QUIT: {
        std::vector<WindowHandle> all;
        for (const user32::TopLevel* w : window_tree().top_levels()) all.push_back(w->handle);
        for (WindowHandle h : all) window_tree().close(h, false);
        break;
    }
    default:
        break;
    }
}

void deliver_events() {
    SDL_Event e;
    while (SDL_PollEvent(&e)) dispatch(e);
    if (linux_modal::end_requested()) {
        e.type = SDL_QUIT;  // the system asked the program to end: every window closes
        dispatch(e);
    }
    drop_orphans();
}

}  // namespace plat::linux_window
