// What the window procedure of the back end's own windows passes on to the system controls
// inside them.
#pragma once

#include "platform/win32/prelude.h"

namespace plat::win32 {

// A WM_COMMAND notification from a control to its parent.
void control_command(HWND control, int code);

}  // namespace plat::win32
