// Window timers of the back ends that have no WM_TIMER of their own (Linux, scripted). Each
// window keeps its timers here; the event pump delivers the due ticks. As WM_TIMER is, a tick
// is coalesced: a timer that fell behind fires once per pump, never several times to catch
// up, and its next tick is one period after the one delivered.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "platform/types.h"

namespace plat::user32 {

struct Timer {
    std::uint32_t period_ms = 0;
    std::uint64_t next_due_ms = 0;
};

// One window's timers by id.
class WindowTimers {
public:
    // (Re)starts the timer: the first tick comes one period from now (at least 1 ms).
    void set(int timer_id, std::uint32_t period_ms, std::uint64_t now_ms);
    bool kill(int timer_id);

    std::size_t count(int timer_id) const { return timers_.count(timer_id); }
    const Timer& at(int timer_id) const { return timers_.at(timer_id); }

    // The timers due at `now_ms`, by id.
    std::vector<int> due(std::uint64_t now_ms) const;
    // The next tick one period from `now_ms`; false when the timer is not running.
    bool rearm(int timer_id, std::uint64_t now_ms);

    // Milliseconds until the first timer is due, 0 when one is due already, `limit` when
    // none is due sooner.
    std::uint64_t ms_until_due(std::uint64_t now_ms, std::uint64_t limit) const;

private:
    std::map<int, Timer> timers_;
};

// Where a window's ticks go: its timers and its tick handler; no timers when the window is
// gone. Both belong to the back end's window and are read at once, never kept.
struct TimerTarget {
    WindowTimers* timers = nullptr;
    const std::function<void(int timer_id)>* handler = nullptr;
};
using FindTimerTarget = std::function<TimerTarget(WindowHandle)>;

// One pump's ticks: every timer of `windows` due at clock() is noted first, then each is
// delivered in that order. A handler may kill timers and destroy windows (its own
// included), so the window is looked up again before each tick and a tick whose timer went
// is dropped. The timer is re-armed from clock() just before its handler runs.
void deliver_due_ticks(const std::vector<WindowHandle>& windows, const FindTimerTarget& find,
                       const std::function<std::uint64_t()>& clock);

}  // namespace plat::user32
