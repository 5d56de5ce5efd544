#include "platform/media.h"
#include "platform/win32/prelude.h"

#include <mmsystem.h>

namespace plat {

std::uint32_t mci_send_string(std::string_view command, char* reply, std::uint32_t reply_length,
                              WindowHandle callback) {
    return mciSendStringA(win32::z(command).c_str(), reply, reply_length, win32::to_hwnd(callback));
}

bool mci_get_error_string(std::uint32_t code, char* text, std::uint32_t text_length) {
    return mciGetErrorStringA(code, text, text_length) != 0;
}

bool play_sound(const char* name, std::uint32_t flags) {
    return PlaySoundA(name, nullptr, flags) != 0;
}

int wave_out_device_count() { return static_cast<int>(waveOutGetNumDevs()); }

}  // namespace plat
