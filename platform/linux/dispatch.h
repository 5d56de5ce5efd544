// The Linux event pump's work: SDL's events to the windows' handlers, embedded windows whose
// parent went, and due timer ticks.
#pragma once

#include <SDL.h>

namespace plat::linux_window {

void dispatch(const SDL_Event& e);

// An embedded window goes when its parent goes, as a child window does.
void drop_orphans();

// One pump's timer ticks, coalesced as WM_TIMER's are.
void deliver_timers();

}  // namespace plat::linux_window
