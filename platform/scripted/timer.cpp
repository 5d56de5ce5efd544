// The scripted back end's window timers, on the virtual clock; pump_events delivers them.
#include "platform/scripted/world.h"
#include "platform/timer.h"

namespace plat {

using scripted::world;

bool set_timer(WindowHandle h, int id, std::uint32_t period_ms) {
    scripted::WindowState* w = scripted::find(h);
    if (!w) return false;
    w->timers.set(id, period_ms, world().clock_ms);
    return true;
}

bool kill_timer(WindowHandle h, int id) {
    scripted::WindowState* w = scripted::find(h);
    return w && w->timers.kill(id);
}

}  // namespace plat
