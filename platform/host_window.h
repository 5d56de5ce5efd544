// Drawing into a window that another program owns, as a display hack of xscreensaver does:
// the daemon makes one window per monitor (and its settings program one preview pane) and
// runs the hack in it. The window is never ours: nothing here selects input on it, moves it
// or maps it, and nothing is drawn anywhere else. Only the Linux back end has such windows;
// the others report that there is none.
#pragma once

#include <cstdint>

#include "platform/draw.h"
#include "platform/types.h"

namespace plat {

struct HostWindowInfo {
    int width = 0, height = 0;  // the window's size now
    Rect monitor;               // the monitor that holds the window's centre (root coordinates)
    bool on_first_monitor = false;
};

// Opens the X display and takes window `id` (0: the display's root window) to draw into,
// and from now on ends the run on SIGTERM, SIGINT, SIGHUP, SIGQUIT, a lost connection or the
// window's end.
// False when there is no display or no such window.
bool attach_host_window(std::uint64_t id, HostWindowInfo& info);

// Puts the frame into the window, shrunk (or stretched) to the window's size of the moment;
// a frame of that size goes unchanged, and then only the `changed` rectangles of it (all of
// it when `changed` is null; nothing when there are none), unless the window needs all.
void present_to_host_window(const Bitmap& frame, const Rect* changed, std::size_t count);

// Takes the window's events (its new size when it is resized). False once the run must end:
// the window was destroyed, the connection failed, or SIGTERM, SIGINT, SIGHUP or SIGQUIT came.
bool host_window_alive();

// Runs `cleanup` (once) when the run has to end at a moment when host_window_alive cannot be
// asked any more (the connection lost inside a call): the process then ends at once.
void on_host_window_lost(void (*cleanup)());

}  // namespace plat
