// Window timers. Ticks arrive only through the event pump, as WindowHandlers::timer.
#pragma once

#include <cstdint>

#include "platform/types.h"

namespace plat {

bool set_timer(WindowHandle window, int timer_id, std::uint32_t period_ms);
bool kill_timer(WindowHandle window, int timer_id);

}  // namespace plat
