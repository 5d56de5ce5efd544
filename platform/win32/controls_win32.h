// What the window procedure of the back end's own windows passes on to the system controls
// inside them.
#pragma once

#include "platform/win32/prelude.h"

namespace plat::win32 {

// A WM_COMMAND notification from a control to its parent.
void control_command(HWND control, int code);

// The control that a window is part of: a combo box for its edit field, else the window.
HWND control_of(HWND hwnd);

// Alt+letter from inside a system control: the dialog's access key, as from the back end's own
// windows; false when no window of the dialog owns the letter.
bool dialog_access_key(HWND from, int key);

}  // namespace plat::win32
