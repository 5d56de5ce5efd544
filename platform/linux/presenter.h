// The two ways a Linux window shows its picture: the full-screen window through an SDL
// renderer held to the display's rate, every other window through its X11 framebuffer
// surface, with its child windows composed over the picture. Both fill what the picture leaves uncovered with black.
#pragma once

#include "platform/linux/window_registry.h"

namespace plat::linux_window {

// The full-screen window's renderer (w.sdl made with SDL_WINDOW_OPENGL where it could be):
// accelerated with vertical sync where the machine has a graphics driver, SDL's software
// renderer otherwise, paced here when it cannot wait for the vertical blank itself. Leaves
// w without a renderer when none keeps the window's X11 id.
void attach_live_renderer(Window& w);

void repaint_rendered(Window& w);
void repaint_surface(Window& w);

inline void repaint(Window& w) {
    if (w.renderer)
        repaint_rendered(w);
    else
        repaint_surface(w);
}

}  // namespace plat::linux_window
