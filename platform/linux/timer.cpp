// Window timers of the Linux back end, on the monotonic tick count; pump_events delivers them.
#include "platform/linux/window_registry.h"
#include "platform/system.h"
#include "platform/timer.h"

namespace plat {

bool set_timer(WindowHandle h, int timer_id, std::uint32_t period_ms) {
    linux_window::Window* w = linux_window::find(h);
    if (!w) return false;
    w->timers.set(timer_id, period_ms, tick_count_ms());
    return true;
}

bool kill_timer(WindowHandle h, int timer_id) {
    linux_window::Window* w = linux_window::find(h);
    return w && w->timers.kill(timer_id);
}

}  // namespace plat
