// Multimedia (winmm): the command-string interpreter, the wave sound call and the
// wave device count. Command text is CP932.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/types.h"

namespace plat {

// mciSendStringA(command, reply, reply_length, callback): 0 on success, else an error code.
// `reply` may be null when `reply_length` is 0.
std::uint32_t mci_send_string(std::string_view command, char* reply, std::uint32_t reply_length,
                              WindowHandle callback);

// mciGetErrorStringA: writes the description of `code` (zero-terminated); false on failure.
bool mci_get_error_string(std::uint32_t code, char* text, std::uint32_t text_length);

// PlaySoundA(name, nullptr, flags); a null name stops the sound. A name is played only when it
// is a wave file whose RIFF structure passes common::check_wave (common/wave_file.h); any other
// name stops the sound and plays nothing, as a missing file does, and gives false.
inline constexpr std::uint32_t kSndAsync = 0x0001;
inline constexpr std::uint32_t kSndNoDefault = 0x0002;
inline constexpr std::uint32_t kSndLoop = 0x0008;
bool play_sound(const char* name_cp932, std::uint32_t flags);

// waveOutGetNumDevs.
int wave_out_device_count();

}  // namespace plat
