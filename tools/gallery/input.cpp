// The gallery's input: the scripted back end's queue, delivered by one pump through the
// window tree (capture, the window under the point, the keyboard focus).
#include "platform/scripted/control.h"
#include "platform/window.h"
#include "tools/gallery/gallery.h"

namespace gallery {

namespace sc = plat::scripted;

void press(plat::WindowHandle window, plat::Point client, int button) { sc::press_now(window, client, button); }
void move(plat::WindowHandle window, plat::Point client) { sc::move_now(window, client); }
void release(plat::WindowHandle window, plat::Point client, int button) { sc::release_now(window, client, button); }
void key(plat::WindowHandle window, int virtual_key) { sc::key_now(window, virtual_key); }

}  // namespace gallery
