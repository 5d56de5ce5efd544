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

// Only the rectangles `changed` of the picture (already the window's, unscaled) differ from
// what the window shows: they alone are copied. False, with nothing done, when the window
// cannot take them that way; it is then repainted whole.
// Through the renderer's texture, or (SDL's software renderer) straight into the window's
// framebuffer surface, paced as a whole repaint is.
bool update_rendered(Window& w, const Rect* changed, std::size_t count);
// Into the framebuffer surface that the last whole repaint filled, and only those
// rectangles handed to the X server, paced.
bool update_surface(Window& w, const Rect* changed, std::size_t count);

// Holds the next present to one refresh period after the last, for a renderer that cannot
// wait for the vertical blank itself (nothing for any other window).
void pace(Window& w);

}  // namespace plat::linux_window
