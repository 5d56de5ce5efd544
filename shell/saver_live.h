// The saver window as the product runs it: the engine and the music plugged into the
// window's hooks. Timer4's first tick starts the engine and holds the frame loop (one event
// pump per frame, so every later tick and every input arrives between two frames); Timer3
// ticks are change ticks; Timer1 and Timer2 belong to the music supervision; keys go to the
// music first (the CD track keys) and end the saver otherwise.
#pragma once

#include "shell/saver_window.h"

namespace shell {

// The hooks of the live saver; the executables install them before SaverMain.
SaverWindowHooks LiveSaverHooks();

}  // namespace shell
