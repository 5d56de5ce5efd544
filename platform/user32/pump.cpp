// The event pump and the window timers of the back ends that emulate user32, in Win32's order:
// the input that is waiting first, then the timer ticks (WM_TIMER is made only when the queue
// holds nothing else), then the paint requests. Ticks come on the back end's clock (its tick
// count), at most one per timer per pump, as WM_TIMER is coalesced.
#include "platform/system.h"
#include "platform/timer.h"
#include "platform/user32/device.h"
#include "platform/user32/window_tree.h"

namespace plat {

using user32::device;
using user32::window_tree;

namespace {

// The loop wakes at least this often even when no tick is due, for what a device notices
// only by looking (a window of another program that has gone).
constexpr std::uint64_t kLongestWaitMs = 100;

void deliver_ticks() {
    user32::deliver_due_ticks(
        window_tree().all(),
        [](WindowHandle h) {
            user32::WindowTimers* timers = window_tree().timers(h);
            return timers ? user32::TimerTarget{timers, &window_tree().handlers(h)->timer} : user32::TimerTarget{};
        },
        tick_count_ms);
}

void deliver_paints() {
    for (WindowHandle root : window_tree().deliver_paints())
        if (user32::TopLevel* w = window_tree().top(root)) device().repaint(*w);
}

}  // namespace

bool set_timer(WindowHandle h, int timer_id, std::uint32_t period_ms) {
    user32::WindowTimers* t = window_tree().timers(h);
    if (!t) return false;
    t->set(timer_id, period_ms, tick_count_ms());
    return true;
}

bool kill_timer(WindowHandle h, int timer_id) {
    user32::WindowTimers* t = window_tree().timers(h);
    return t && t->kill(timer_id);
}

void pump_events() {
    if (!device().start_pump()) return;
    device().deliver_input();
    deliver_ticks();
    deliver_paints();
}

void run_event_loop() {
    while (!window_tree().top_levels().empty()) {
        // Sleep until input arrives or the next tick is due.
        const std::uint64_t now = tick_count_ms();
        std::uint64_t wait = kLongestWaitMs;
        for (WindowHandle h : window_tree().all()) wait = window_tree().timers(h)->ms_until_due(now, wait);
        device().wait_for_input(wait);
        pump_events();
    }
}

}  // namespace plat
