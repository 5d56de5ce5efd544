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
    // The full-screen window is held to the display's rate: the next present waits until one
    // refresh period after the last.
    bool paced = false;
    std::uint64_t period_ticks = 0, next_present = 0;
    // The pause await_frame was given, kept by the next present's pace.
    std::uint32_t pause_ms = 0;
    // The framebuffer surface that the last whole repaint filled (null: none yet, or SDL has
    // made a new one since, as after a change of the window's size).
    SDL_Surface* surface_shown = nullptr;
    // The full-screen window's pictures go from the picture straight to the X server, so that
    // no framebuffer of the screen's size is kept beside the frame; `picture_put`: the last
    // whole repaint went that way (the changed rectangles may then follow it).
    bool direct = false;
    bool picture_put = false;
};

// A top-level window of this process; null for any other handle.
Window* find(WindowHandle h);
Window* find_sdl(std::uint32_t sdl_id);

// SDL's video, started once on X11 (the window search and embedding speak X11);
// SDL_VIDEODRIVER in the environment still wins.
bool ensure_video();
void prefer_x11();

}  // namespace plat::linux_window
