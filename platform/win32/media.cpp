#include "platform/media.h"
#include "platform/win32/prelude.h"

#include <mmsystem.h>

#include "common/wave_file.h"

namespace plat {
namespace {

// True when `name` is a file whose RIFF/WAVE structure passes common::check_wave. The system
// player trusts a wave's header: a data chunk that claims 4 GB, or a format chunk of no
// channels or no block size, ends its thread and leaves the saver's window stuck.
bool is_sound_wave(const char* name) {
    const HANDLE f = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size{};
    bool ok = GetFileType(f) == FILE_TYPE_DISK && GetFileSizeEx(f, &size);
    ok = ok && common::check_wave(static_cast<std::uint64_t>(size.QuadPart),
                                  [f](std::uint64_t offset, std::size_t length, std::uint8_t* out) {
                                      LARGE_INTEGER at;
                                      at.QuadPart = static_cast<LONGLONG>(offset);
                                      DWORD got = 0;
                                      return SetFilePointerEx(f, at, nullptr, FILE_BEGIN) &&
                                             ReadFile(f, out, static_cast<DWORD>(length), &got, nullptr) &&
                                             got == length;
                                  }).has_value();
    CloseHandle(f);
    return ok;
}

}  // namespace

std::uint32_t mci_send_string(std::string_view command, char* reply, std::uint32_t reply_length,
                              WindowHandle callback) {
    return mciSendStringA(win32::z(command).c_str(), reply, reply_length, win32::to_hwnd(callback));
}

bool mci_get_error_string(std::uint32_t code, char* text, std::uint32_t text_length) {
    return mciGetErrorStringA(code, text, text_length) != 0;
}

bool play_sound(const char* name, std::uint32_t flags) {
    if (name && !is_sound_wave(name)) {
        // As for a file that is not there: the sound that played stops, nothing plays.
        PlaySoundA(nullptr, nullptr, 0);
        return false;
    }
    return PlaySoundA(name, nullptr, flags) != 0;
}

int wave_out_device_count() { return static_cast<int>(waveOutGetNumDevs()); }

}  // namespace plat
