#include "shell/dialog_host.h"

#include "common/texts.h"
#include "settings_dialog/settings_dialog.h"
#include "shell/process_state.h"
#include "shell/routines.h"
#include "shell/settings_store.h"

namespace shell {

void RunSettingsDialog() {
    SaverSettingsRecord& s = SaverSettings;
    settings_dialog::DialogHost host{
        {s.Interval, s.NeonEffect, s.XAxis, s.YAxis, s.ZAxis, s.Sleep, s.BgmKind, s.BgmRepeat, s.BgmFile},
        ZoomOriginX,
        ZoomOriginY,
        [](std::string_view key, std::string_view value) {
            WriteSetting(texts::kSettingsSection, key, value, SettingsPath());
        },
        [](long value) { return SettingNumberText(value); },
        ZoomOpen,
        ZoomClose,
        {},
        {},
        // The program's own page, shipped beside it: a link that leads somewhere wherever the
        // program is installed.
        ProgramFile("Zephlora.html"),
    };
    settings_dialog::ShowSettingsDialog(host);
}

}  // namespace shell
