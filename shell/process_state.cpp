#include "shell/process_state.h"

namespace shell {

SaverSettingsRecord SaverSettings;
SaverMode CurrentMode = SaverMode::Quit;
std::int32_t CursorShowCount = 0;
std::int16_t ZoomOriginX = 0;
std::int16_t ZoomOriginY = 0;

void ResetProcessState() {
    SaverSettings = SaverSettingsRecord{};
    CurrentMode = SaverMode::Quit;
    CursorShowCount = 0;
    ZoomOriginX = 0;
    ZoomOriginY = 0;
}

}  // namespace shell
