// How a Linux window shows its picture: through its X11 framebuffer surface (SDL's, over
// MIT-SHM where the X server offers it), with its child windows composed over the picture
// and black where the picture leaves the window uncovered. The full-screen window's frame,
// which covers it, goes from the picture straight to the X server instead, so that no second
// picture of the screen's size is kept; it is held to the display's refresh rate here, and
// needs no OpenGL, whose libraries and context would cost more memory and start-up time than
// the whole saver.
#pragma once

#include "platform/linux/window_registry.h"

namespace plat::linux_window {

// Holds the full-screen window's presents to the display's refresh rate (60 Hz when the
// display does not say).
void start_pacing(Window& w);

void repaint_surface(Window& w);

inline void repaint(Window& w) { repaint_surface(w); }

// Only the rectangles `changed` of the picture (already the window's, unscaled) differ from
// what the window shows: they alone go to the X server, paced (from the picture, or copied
// into the framebuffer surface that the last whole repaint filled). False, with
// nothing done, when the window cannot take them that way; it is then repainted whole.
bool update_surface(Window& w, const Rect* changed, std::size_t count);

// Holds the next present to one refresh period after the last, and to the pause await_frame
// was given after the time of the call (nothing for a window that is not paced).
void pace(Window& w);

// plat::await_frame for one of the program's windows.
void await_frame(Window& w, std::uint32_t pause_ms);

}  // namespace plat::linux_window
