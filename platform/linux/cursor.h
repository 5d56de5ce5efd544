// The pointer's shape over the Linux back end's windows.
#pragma once

#include "platform/window.h"

namespace plat::linux_window {

// Gives the pointer the shape that the window under it (or the capture holder) asks for.
void apply_cursor(WindowHandle root, Point p);

}  // namespace plat::linux_window
