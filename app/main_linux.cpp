// Entry of the Linux executable: the arguments are joined into one command line, as Windows
// hands it to a screen saver, so that both builds accept the same lines (/s, /p 1234, /c).
// A command line of xscreensaver's kind (--root, --window-id ID) runs the display mode.
#include <string>
#include <vector>

#include "platform/system.h"
#include "platform/text.h"
#include "platform/window.h"
#include "shell/hack_mode.h"
#include "shell/saver_live.h"
#include "shell/saver_main.h"

int main(int argc, char** argv) {
    plat::handle_end_requests();
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (shell::IsHackCommandLine(args)) return shell::RunHackMode(args);
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) line += ' ';
        line += argv[i];
    }
    // A character without a CP932 form keeps its place, so the mode stays the second one.
    plat::set_command_line(plat::utf8_to_cp932_in_place(line));
    shell::SetSaverWindowHooks(shell::LiveSaverHooks());
    shell::SaverMain();
    plat::run_event_loop();
    return 0;
}
