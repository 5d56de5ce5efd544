// The process's entry procedure: single-instance test, mode dispatch, pack and settings.
#pragma once

namespace shell {

// Reads the command line from plat::command_line(). Returns when a window stays open (the
// caller then runs the event loop until it is gone); ends the process itself otherwise.
void SaverMain();

}  // namespace shell
