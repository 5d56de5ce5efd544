#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "platform/user32/timer_table.h"

using plat::WindowHandle;
using plat::user32::TimerTarget;
using plat::user32::WindowTimers;

namespace {

// Two windows with their timers and handlers, a clock the test moves, and the ticks seen.
struct Table {
    struct Entry {
        WindowTimers timers;
        std::function<void(int)> handler;
    };
    std::map<WindowHandle, Entry> windows;
    std::uint64_t clock = 0;
    std::vector<std::pair<WindowHandle, int>> ticks;

    WindowHandle add(std::uintptr_t id) {
        const auto h = static_cast<WindowHandle>(id);
        windows[h].handler = [this, h](int timer) { ticks.emplace_back(h, timer); };
        return h;
    }
    void pump() {
        std::vector<WindowHandle> all;
        for (auto& [h, e] : windows) all.push_back(h);
        plat::user32::deliver_due_ticks(
            all,
            [this](WindowHandle h) {
                auto it = windows.find(h);
                return it == windows.end() ? TimerTarget{} : TimerTarget{&it->second.timers, &it->second.handler};
            },
            [this] { return clock; });
    }
};

}  // namespace

TEST(TimerTable, ATimerThatFellBehindTicksOncePerPumpAndRestartsFromTheTick) {
    Table t;
    const WindowHandle a = t.add(1);
    t.windows[a].timers.set(7, 100, t.clock);
    t.clock = 99;
    t.pump();
    EXPECT_TRUE(t.ticks.empty());
    t.clock = 1000;  // ten periods late
    t.pump();
    t.pump();
    ASSERT_EQ(t.ticks.size(), 1u);
    EXPECT_EQ(t.windows[a].timers.at(7).next_due_ms, 1100u);
    EXPECT_EQ(t.windows[a].timers.ms_until_due(1050, 500), 50u);
    EXPECT_EQ(t.windows[a].timers.ms_until_due(1200, 500), 0u);
}

TEST(TimerTable, AZeroPeriodStillWaitsOneMillisecond) {
    Table t;
    const WindowHandle a = t.add(1);
    t.windows[a].timers.set(1, 0, 10);
    t.clock = 10;
    t.pump();
    EXPECT_TRUE(t.ticks.empty());
    t.clock = 11;
    t.pump();
    EXPECT_EQ(t.ticks.size(), 1u);
}

TEST(TimerTable, AHandlerThatKillsOrDestroysDropsTheTicksStillDue) {
    Table t;
    const WindowHandle a = t.add(1), b = t.add(2);
    t.windows[a].timers.set(1, 10, 0);
    t.windows[a].timers.set(2, 10, 0);
    t.windows[b].timers.set(1, 10, 0);
    t.windows[a].handler = [&](int timer) {
        t.ticks.emplace_back(a, timer);
        t.windows[a].timers.kill(2);
        t.windows.erase(b);  // the handler may destroy another window, or its own
    };
    t.clock = 10;
    t.pump();
    EXPECT_EQ(t.ticks, (std::vector<std::pair<WindowHandle, int>>{{a, 1}}));
    EXPECT_FALSE(t.windows[a].timers.kill(2));
}
