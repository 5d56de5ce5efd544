// Placeholder of the settings dialog: an empty window with the dialog's title that closes on
// Esc or through its close box. The dialog itself (controls, loading and saving) grows here.
#include "settings_dialog/settings_dialog.h"

#include <memory>

#include "common/texts.h"
#include "platform/window.h"

namespace settings_dialog {

void ShowSettingsDialog() {
    constexpr int kVkEscape = 27;
    constexpr int kWidth = 400, kHeight = 300;
    const plat::Point screen = plat::screen_size_px();
    const int x = (screen.x - kWidth) / 2, y = (screen.y - kHeight) / 2;
    auto handle = std::make_shared<plat::WindowHandle>();
    plat::WindowHandlers handlers;
    handlers.key_down = [handle](int key) {
        if (key == kVkEscape) plat::destroy_window(*handle);
    };
    *handle = plat::create_window({std::string(texts::kTitleDialog), plat::WindowStyle::Dialog,
                                   {x, y, x + kWidth, y + kHeight}},
                                  std::move(handlers));
    if (*handle == plat::WindowHandle::None) return;
    plat::show_window(*handle, true);
    // Modal: the process has no other window, so the loop ends when this one closes.
    plat::run_event_loop();
}

}  // namespace settings_dialog
