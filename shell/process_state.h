// The process-wide state that the whole program shares: the settings record, the mode, the
// cursor's display count and the zoom origin of the settings dialog. What belongs to one
// window or one run (the saver window and its covers, the live host, the hack's run, the
// folders decided at start-up) is held by the unit that owns it, in a function-local static.
// Everything runs on the one user-interface thread, so none of it is locked.
#pragma once

#include <cstdint>
#include <string>

namespace shell {

// The modes that the command line selects (see ModeOf in saver_main.h).
enum class SaverMode {
    Run,             // "S": full screen, cursor hidden, password test on exit
    Preview,         // "P": still picture inside the parent window
    Configure,       // "C": settings dialog
    ChangePassword,  // "A": the system's password-change dialog
    Plain,           // empty command line: full screen, cursor visible, no password
    Quit,            // anything else: split the pack, read the settings, end
};

// The user's settings, filled once by LoadSettings. Truth values in 16-bit fields are -1/0;
// NeonEffect is stored as the dialog writes it (1 on, 0 off).
struct SaverSettingsRecord {
    std::int16_t Interval = 0;    // seconds from one shape change to the next
    std::int16_t NeonEffect = 0;  // 1: neon on
    std::int32_t XAxis = 0;       // rotation rates
    std::int32_t YAxis = 0;
    std::int32_t ZAxis = 0;
    std::int16_t Sleep = 0;       // pause after each frame, ms
    std::int16_t BgmKind = 0;     // 0 none, 1 audio CD, 2 music file
    std::int16_t BgmRepeat = 0;   // CD track to hold, 0 none
    std::string BgmFile;          // CP932 path of the music file
};

extern SaverSettingsRecord SaverSettings;
// The mode of this process, set by SaverMain before it acts on it.
extern SaverMode CurrentMode;
// What the last ShowCursor call returned.
extern std::int32_t CursorShowCount;
// Screen point from which the settings dialog zooms open and to which it zooms shut.
extern std::int16_t ZoomOriginX;
extern std::int16_t ZoomOriginY;

// Back to the values at process start (for tests that run start-up more than once).
void ResetProcessState();

}  // namespace shell
