// Entry of Zephlora.scr. Debian's MinGW screen-saver library is empty, so the program has
// its own entry point and reads the switches itself.
#include "platform/system.h"
#include "platform/win32/prelude.h"
#include "platform/window.h"
#include "shell/saver_live.h"
#include "shell/saver_main.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR command_line, int) {
    plat::set_command_line(command_line ? command_line : "");
    shell::SetSaverWindowHooks(shell::LiveSaverHooks());
    shell::SaverMain();
    plat::run_event_loop();
    return 0;
}
