// The scripted back end's window timers, on the virtual clock; pump_events delivers them.
#include "platform/scripted/world.h"
#include "platform/timer.h"

namespace plat {

using scripted::world;

namespace {

// A child window's timers are in the tree, a top-level window's with the window.
user32::WindowTimers* timers_of(WindowHandle h) {
    if (user32::TreeWindow* c = world().tree.find(h); c && world().tree.is_child(h)) return &c->timers;
    scripted::WindowState* w = scripted::find(h);
    return w ? &w->timers : nullptr;
}

}  // namespace

bool set_timer(WindowHandle h, int id, std::uint32_t period_ms) {
    user32::WindowTimers* t = timers_of(h);
    if (!t) return false;
    t->set(id, period_ms, world().clock_ms);
    return true;
}

bool kill_timer(WindowHandle h, int id) {
    user32::WindowTimers* t = timers_of(h);
    return t && t->kill(id);
}

}  // namespace plat
