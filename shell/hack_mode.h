// The xscreensaver display mode of the Linux build: xscreensaver starts the program as one of
// its hacks ("zephlora --root"), one process per monitor, each drawing into a window that the
// daemon made for its monitor, and stops it with SIGTERM; its settings program runs it with
// "--window-id" in a preview pane. The animation runs there without a window of its own,
// without input, and ends within a fraction of a second on SIGTERM or SIGINT, a lost X
// connection or the end of its window, deleting its members.
//
// Arguments take one or two hyphens:
//   --root                draw into $XSCREENSAVER_WINDOW (hexadecimal with 0x, or decimal),
//                         else into the root window
//   --window-id ID        draw into window ID (decimal, or hexadecimal with 0x); wins over --root
//   --help                the usage
// and the options of the settings table (common/settings.in: --interval N, --sleep N, the
// rotation rates, --neon and --no-neon, each with its range there). A given option holds for
// this run in place of the settings file's value; everything else (the music among it) comes
// from the settings file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/process_state.h"

namespace shell {

// The options of the settings table have the member of their name ("_" for "-") and the type
// of their setting (a switch: true when on).
struct HackOptions {
    bool root = false;
    std::optional<std::uint64_t> window_id;
    std::optional<std::int16_t> interval, sleep;
    std::optional<std::int32_t> x_speed, y_speed, z_speed;
    std::optional<bool> neon;
    bool help = false;
};

// True when the arguments (without the program's name) are an xscreensaver command line: the
// first one begins with "--", or is one of the options above with a single hyphen. Every
// other line (/s, -s, /p 1234, /c, the empty line) keeps its screen-saver meaning.
bool IsHackCommandLine(const std::vector<std::string>& args);

// Reads the options; false with the reason when an option is unknown, lacks its value or has
// one that is no number of its range.
bool ParseHackOptions(const std::vector<std::string>& args, HackOptions& options, std::string& error);

// A window id as xscreensaver writes it: decimal, or hexadecimal after "0x"; nothing else.
std::optional<std::uint64_t> ParseWindowId(std::string_view text);

// The options that were given, over the settings read from the file.
void ApplyHackOptions(const HackOptions& options, SaverSettingsRecord& settings);

// The usage text (UTF-8).
std::string HackUsage();

// The whole run; returns the exit code (0 after a run that was stopped, 1 after a usage
// error or when there is nothing to draw into).
int RunHackMode(const std::vector<std::string>& args);

}  // namespace shell
