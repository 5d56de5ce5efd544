// The gallery's input: the scripted back end's queue, delivered by one pump through the
// window tree (capture, the window under the point, the keyboard focus).
#include "platform/scripted/control.h"
#include "platform/window.h"
#include "tools/gallery/gallery.h"

namespace gallery {

namespace sc = plat::scripted;

void press(plat::WindowHandle window, plat::Point client, int button) {
    sc::queue_mouse_down(button, client, window);
    plat::pump_events();
}

void move(plat::WindowHandle window, plat::Point client) {
    sc::queue_mouse_move(client, window);
    plat::pump_events();
}

void release(plat::WindowHandle window, plat::Point client, int button) {
    sc::queue_mouse_up(button, client, window);
    plat::pump_events();
}

void key(plat::WindowHandle window, int virtual_key) {
    plat::set_focus(window);
    sc::queue_key(virtual_key, window);
    sc::queue_key_up(virtual_key, window);
    plat::pump_events();
}

}  // namespace gallery
