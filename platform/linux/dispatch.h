// The Linux event pump's work: SDL's events to the windows' handlers, embedded windows whose
// parent went, and due timer ticks.
#pragma once

#include <SDL.h>

namespace plat::linux_window {

void dispatch(const SDL_Event& e);

// An embedded window goes when its parent goes, as a child window does.
void drop_orphans();

// The paint handlers of the windows with a paint request, and the repaint that shows them.
void deliver_paints();

// One pump's timer ticks, coalesced as WM_TIMER's are.
void deliver_timers();

}  // namespace plat::linux_window
