// The settings dialog as configure mode shows it: over the process-wide settings record, the
// settings file and the zoom routines of start-up.
#pragma once

namespace shell {

// Shows the dialog modally and returns when it has closed.
void RunSettingsDialog();

}  // namespace shell
