// Window timers of the Linux back end, on the monotonic tick count; pump_events delivers them.
#include "platform/linux/window_registry.h"
#include "platform/system.h"
#include "platform/timer.h"

namespace plat {

namespace {

// A child window's timers are in the tree, a top-level window's with the window.
user32::WindowTimers* timers_of(WindowHandle h) {
    if (user32::TreeWindow* c = linux_window::tree().find(h); c && linux_window::tree().is_child(h)) return &c->timers;
    linux_window::Window* w = linux_window::find(h);
    return w ? &w->timers : nullptr;
}

}  // namespace

bool set_timer(WindowHandle h, int timer_id, std::uint32_t period_ms) {
    user32::WindowTimers* t = timers_of(h);
    if (!t) return false;
    t->set(timer_id, period_ms, tick_count_ms());
    return true;
}

bool kill_timer(WindowHandle h, int timer_id) {
    user32::WindowTimers* t = timers_of(h);
    return t && t->kill(timer_id);
}

}  // namespace plat
