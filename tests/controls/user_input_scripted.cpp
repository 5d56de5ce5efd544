// The scripted back end: input is queued for the next pump, which delivers it through the
// window tree (capture, the window under the point, the focus) as the Linux back end does.
#include "platform/scripted/control.h"
#include "platform/window.h"
#include "tests/controls/user_input.h"
#include "tests/support/test_dialog.h"

namespace control_test {

namespace sc = plat::scripted;

plat::WindowHandle make_host(int width, int height) {
    sc::reset();
    const plat::WindowHandle host = testing_support::show_dialog({100, 100, 100 + width, 100 + height}, {}, "controls");
    plat::pump_events();
    return host;
}

void close_host(plat::WindowHandle host) { plat::destroy_window(host); }

void press(plat::WindowHandle window, plat::Point client, int button) { sc::press_now(window, client, button); }
void move(plat::WindowHandle window, plat::Point client) { sc::move_now(window, client); }
void release(plat::WindowHandle window, plat::Point client, int button) { sc::release_now(window, client, button); }
void key(plat::WindowHandle window, int virtual_key) { sc::key_now(window, virtual_key); }

}  // namespace control_test
