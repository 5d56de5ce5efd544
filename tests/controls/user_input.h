#pragma once
// Input as a user gives it, for tests of controls on either build: the scripted back end's
// queued input natively, the system's own input (SendInput) on Windows and under Wine. Every
// call returns once the windows have handled what it sent.
#include <memory>

#include "platform/draw.h"
#include "platform/types.h"

namespace control_test {

// A fresh machine (scripted) and a dialog window shown at a fixed place on the screen, in
// front, for controls to live in.
plat::WindowHandle make_host(int width, int height);
void close_host(plat::WindowHandle host);

// Mouse input at a point in `window`'s client coordinates (any window of the host).
void press(plat::WindowHandle window, plat::Point client, int button = 1);
void move(plat::WindowHandle window, plat::Point client);  // with the buttons that are held
void release(plat::WindowHandle window, plat::Point client, int button = 1);
// A key pressed and let go while `window` has the keyboard focus.
void key(plat::WindowHandle window, int virtual_key);

// What the window shows: a copy of its image.
std::unique_ptr<plat::Bitmap> image_of(plat::WindowHandle window);

}  // namespace control_test
