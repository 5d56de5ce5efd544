#include "platform/user32/timer_table.h"

#include <algorithm>
#include <utility>

namespace plat::user32 {

void WindowTimers::set(int timer_id, std::uint32_t period_ms, std::uint64_t now_ms) {
    timers_[timer_id] = {period_ms, now_ms + std::max<std::uint32_t>(period_ms, 1)};
}

bool WindowTimers::kill(int timer_id) { return timers_.erase(timer_id) > 0; }

std::uint64_t WindowTimers::ms_until_due(std::uint64_t now_ms, std::uint64_t limit) const {
    std::uint64_t wait = limit;
    for (const auto& [id, t] : timers_) wait = std::min(wait, t.next_due_ms > now_ms ? t.next_due_ms - now_ms : 0);
    return wait;
}

std::vector<int> WindowTimers::due(std::uint64_t now_ms) const {
    std::vector<int> ids;
    for (const auto& [id, t] : timers_)
        if (t.next_due_ms <= now_ms) ids.push_back(id);
    return ids;
}

bool WindowTimers::rearm(int timer_id, std::uint64_t now_ms) {
    const auto it = timers_.find(timer_id);
    if (it == timers_.end()) return false;
    it->second.next_due_ms = now_ms + it->second.period_ms;
    return true;
}

void deliver_due_ticks(const std::vector<WindowHandle>& windows, const FindTimerTarget& find,
                       const std::function<std::uint64_t()>& clock) {
    const std::uint64_t now = clock();
    std::vector<std::pair<WindowHandle, int>> due;
    for (WindowHandle h : windows)
        if (const TimerTarget target = find(h); target.timers)
            for (int id : target.timers->due(now)) due.emplace_back(h, id);
    for (const auto& [h, id] : due) {
        const TimerTarget target = find(h);
        if (!target.timers || !target.timers->rearm(id, clock())) continue;
        if (target.handler && *target.handler) {
            auto handler = *target.handler;  // the handler may destroy the window
            handler(id);
        }
    }
}

}  // namespace plat::user32
