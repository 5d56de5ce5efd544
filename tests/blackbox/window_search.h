// The black-box tests' own search of the X server's windows, written apart from the Linux
// build's stand-in for FindWindowA so that a fault there cannot hide itself in the tests.
#pragma once

#include <string>

namespace black_box {

// The id of a window named exactly `name_utf8` among the root's children and their
// children (a window manager's frame holds the client one level down; an embedded preview
// sits inside its parent); 0 when there is none or no X server answers. The name is the
// window's _NET_WM_NAME, or its WM_NAME when it has none.
unsigned long FindNamedWindow(const std::string& name_utf8);

}  // namespace black_box
