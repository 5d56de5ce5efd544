// The Linux back end's side of this process's top-level windows, which the window core keeps
// (platform/user32/window_tree.h). A window's handle is its X11 window id, so that it can
// travel on a command line and be found by other processes.
#pragma once

#include <SDL.h>

#include <cstdint>

#include "platform/draw.h"
#include "platform/user32/device.h"
#include "platform/window.h"

namespace plat::linux_window {

// A point of the system's window in the design pixels of the window core: divided by the
// window's display scale, rounding down (a point left of or above the window too).
inline Point design_point(const user32::TopLevel& w, int x, int y) {
    const int s = w.scale > 1 ? w.scale : 1;
    auto down = [s](int v) { return v >= 0 ? v / s : -((-v + s - 1) / s); };
    return {down(x), down(y)};
}

struct Window : user32::TopLevel {
    SDL_Window* sdl = nullptr;
    std::uint32_t sdl_id = 0;
    unsigned long xid = 0;
    const Bitmap* picture = nullptr;
    Rect picture_rect;
    // An X window the back end made itself (on a later X screen) and SDL took over; it goes
    // with the window.
    unsigned long own_x_window = 0;
    // The full-screen window shows its frames through a renderer that waits for the display's
    // vertical blank, from a streaming texture the size of the picture.
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int texture_w = 0, texture_h = 0;
    // A renderer that cannot wait for the vertical blank itself is held to the display's
    // rate here: the next present waits until one refresh period after the last.
    bool paced = false;
    std::uint64_t period_ticks = 0, next_present = 0;
    // SDL's software renderer draws into the window's own framebuffer surface; changed
    // rectangles then go straight there.
    bool software_renderer = false;
    // The framebuffer surface that the last whole repaint filled (null: none, or the picture
    // went through a texture).
    SDL_Surface* surface_shown = nullptr;
};

// A top-level window of this process; null for any other handle.
Window* find(WindowHandle h);
Window* find_sdl(std::uint32_t sdl_id);

// SDL's video, started once on X11 (the window search and embedding speak X11);
// SDL_VIDEODRIVER in the environment still wins.
bool ensure_video();
void prefer_x11();

}  // namespace plat::linux_window
