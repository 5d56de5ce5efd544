// No window of another program to draw into here: the xscreensaver display mode exists in
// the Linux build only.
#include "platform/host_window.h"

namespace plat {

bool attach_host_window(std::uint64_t, HostWindowInfo&) { return false; }
void present_to_host_window(const Bitmap&, const Rect*, std::size_t) {}
bool host_window_alive() { return false; }
void on_host_window_lost(void (*)()) {}

}  // namespace plat
