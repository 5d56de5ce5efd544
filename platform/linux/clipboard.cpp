// The desktop's clipboard through SDL (the X11 CLIPBOARD selection), its text in UTF-8.
#include <SDL.h>

#include "platform/linux/window_registry.h"
#include "platform/user32/clipboard.h"
#include "platform/text.h"

namespace plat::user32 {

std::string clipboard_text() {
    if (!linux_window::ensure_video() || !SDL_HasClipboardText()) return {};
    char* utf8 = SDL_GetClipboardText();
    if (!utf8) return {};
    std::string out = utf8_to_cp932_in_place(utf8);
    SDL_free(utf8);
    return out;
}

void set_clipboard_text(std::string_view cp932) {
    if (linux_window::ensure_video()) SDL_SetClipboardText(cp932_to_utf8(cp932).c_str());
}

}  // namespace plat::user32
