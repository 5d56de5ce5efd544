// The pointer's shape over the Linux back end's windows.
#pragma once

#include "platform/window.h"

namespace plat::linux_window {

// Gives the pointer the shape that the window under it (or the capture holder) asks for; `p`
// in the window core's (design) pixels of the top-level window.
void apply_cursor(WindowHandle root, Point p);
// The same where the pointer is now, after a change of shape without a move.
void refresh_cursor();

}  // namespace plat::linux_window
