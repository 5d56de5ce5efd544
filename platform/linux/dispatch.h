// The Linux device's input: SDL's events to the window core's routing, the system's request to
// end, and embedded windows whose parent went.
#pragma once

#include <SDL.h>

namespace plat::linux_window {

void dispatch(const SDL_Event& e);

// Every event that is waiting, then the end the system asked for (every window closes), then
// the embedded windows whose parent has gone (they go with it, as a child window does).
void deliver_events();

}  // namespace plat::linux_window
