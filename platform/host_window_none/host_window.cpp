// No window of another program to draw into: the xscreensaver display mode exists in the
// Linux build only; the Windows and scripted back ends both compile this.
#include "platform/host_window.h"

namespace plat {

bool attach_host_window(std::uint64_t, HostWindowInfo&) { return false; }
void present_to_host_window(const Bitmap&, const Rect*, std::size_t) {}
bool host_window_alive() { return false; }
void on_host_window_lost(void (*)()) {}

}  // namespace plat
