#include "shell/dialog_host.h"

#include "common/texts.h"
#include "platform/dialogs.h"
#include "platform/shell.h"
#include "platform/window.h"
#include "settings_dialog/settings_dialog.h"
#include "shell/process_state.h"
#include "shell/routines.h"
#include "shell/settings_store.h"

namespace shell {

settings_dialog::DialogHost SettingsDialogHost() {
    SaverSettingsRecord& s = SaverSettings;
    return {
        {s.Interval, s.NeonEffect, s.XAxis, s.YAxis, s.ZAxis, s.Sleep, s.BgmKind, s.BgmRepeat, s.BgmFile},
        ZoomOriginX,
        ZoomOriginY,
        [](std::string_view key, std::string_view value) {
            return WriteSetting(texts::kSettingsSection, key, value, SettingsPath());
        },
        [](long value) { return SettingNumberText(value); },
        [](std::string_view text) { return SettingTextValue(text); },
        ZoomOpen,
        ZoomClose,
        [](const settings_dialog::MusicFileRequest& r) -> std::optional<std::string> {
            plat::OpenFileRequest request;
            request.owner = r.owner;
            request.filter = r.filter;
            request.title = r.title;
            request.file_buffer_size = r.file_buffer_size;
            request.title_buffer_size = r.title_buffer_size;
            request.flags = r.flags;
            const plat::OpenFileResult result = plat::get_open_file_name(request);
            if (result.result <= 0) return std::nullopt;
            return result.path;
        },
        [](plat::WindowHandle owner, std::string_view target) {
            plat::shell_execute(owner, "open", target, "", "", plat::kSwShowNormal);
        },
        // The program's own page, shipped beside it: a link that leads somewhere wherever the
        // program is installed.
        ProgramFile("Zephlora.html"),
        [](plat::WindowHandle owner) {
            const std::string text = std::string(texts::kSettingsNotSaved) + "\n" + SettingsPath();
            plat::message_box(owner, text, texts::kMessageTitle, plat::kMbIconExclamation);
        },
    };
}

void RunSettingsDialog() {
    settings_dialog::DialogHost host = SettingsDialogHost();
    settings_dialog::ShowSettingsDialog(host);
}

}  // namespace shell
