// The settings dialog as configure mode shows it: over the process-wide settings record, the
// settings file and the zoom routines of start-up.
#pragma once

#include "settings_dialog/dialog_logic.h"

namespace shell {

// What the dialog uses of the rest of the program: SaverSettings, the settings file, the zooms,
// the file chooser, the shell and the message box.
settings_dialog::DialogHost SettingsDialogHost();

// Shows the dialog modally over SettingsDialogHost and returns when it has closed.
void RunSettingsDialog();

}  // namespace shell
