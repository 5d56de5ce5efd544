// The process's entry procedure: single-instance test, mode dispatch, pack and settings.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "shell/process_state.h"

namespace shell {

// Reads the command line from plat::command_line(). Returns when a window stays open (the
// caller then runs the event loop until it is gone); ends the process itself otherwise.
void SaverMain();

// The second character of the command line in upper case; empty when the line has fewer
// than two characters. Returned as CP932 bytes (a double-byte character stays whole).
std::string ModeChar(std::string_view command_line);

// The mode that a command line selects.
SaverMode ModeOf(std::string_view command_line);

// The window handle from the fourth character on, read loosely as a decimal number
// (blanks skipped, stops at the first character that cannot continue it, none gives 0),
// rounded half to even; 0 when it does not fit 32 bits.
std::int32_t ParentHandle(std::string_view command_line);

}  // namespace shell
