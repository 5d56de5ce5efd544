// The settings dialog "Zephloraの設定".
#pragma once

#include "settings_dialog/dialog_logic.h"

namespace settings_dialog {

// Shows the dialog modally with no owner and returns when it has closed.
void ShowSettingsDialog(DialogHost& host);

// The dialog's outer rectangle on a screen of that size: the client area exactly the
// backdrop's size (client_width x client_height), centred across and a third of the free
// space down.
plat::Rect DialogWindowRect(plat::Point screen, int client_width, int client_height);

}  // namespace settings_dialog
