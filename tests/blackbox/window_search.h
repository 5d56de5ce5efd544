// The black-box tests' own reading of the X server: windows by name, their places and the
// screen's pixels, written apart from the Linux build's stand-in for FindWindowA so that a
// fault there cannot hide itself in the tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace black_box {

// The id of a window named exactly `name_utf8` among the root's children and their
// children (a window manager's frame holds the client one level down; an embedded preview
// sits inside its parent); 0 when there is none or no X server answers. The name is the
// window's _NET_WM_NAME, or its WM_NAME when it has none.
unsigned long FindNamedWindow(const std::string& name_utf8);

// A rectangle of the screen (root coordinates).
struct ScreenArea {
    int left = 0, top = 0, width = 0, height = 0;
};

// The window that owns the CLIPBOARD selection (what a copy puts there), 0 when none does or
// no X server answers. EmptyClipboard leaves the selection without an owner, so that the next
// copy shows as an owner, whoever held it before.
unsigned long ClipboardOwner();
void EmptyClipboard();

// Where a window lies on the screen; an empty area when it is gone or no X server answers.
ScreenArea WindowArea(unsigned long window);

// What the screen shows in `area` now (the windows over the root included), 0x00RRGGBB row by
// row; pixels off the screen read 0. Empty when no X server answers.
std::vector<std::uint32_t> ScreenPixels(const ScreenArea& area);

}  // namespace black_box
