// The probe program: the test dialog of probe_dialog.h in this build's own back end, its log
// on standard output (and where its client area lies, for whoever drives it).
#include <cstdio>
#include <string>

#include "platform/window.h"
#include "probe_dialog.h"

int main() {
    const plat::WindowHandle dialog = probe::build([](const std::string& line) {
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
    });
    plat::Point origin{0, 0};
    plat::client_to_screen(dialog, origin);
    std::printf("origin %d %d\n", origin.x, origin.y);
    std::fflush(stdout);
    plat::run_event_loop();
    return 0;
}
