// The settings dialog "Zephloraの設定".
#pragma once

namespace settings_dialog {

// Shows the dialog modally with no owner and returns when it has closed.
void ShowSettingsDialog();

}  // namespace settings_dialog
