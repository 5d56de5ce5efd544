// Placeholder multimedia services of the Linux back end: no device answers.
#include <cstring>

#include "platform/media.h"

namespace plat {

std::uint32_t mci_send_string(std::string_view, char* reply, std::uint32_t reply_length,
                              WindowHandle) {
    if (reply && reply_length) reply[0] = 0;
    return 263;
}
bool mci_get_error_string(std::uint32_t, char* text, std::uint32_t text_length) {
    if (!text || text_length == 0) return false;
    text[0] = 0;
    return false;
}
bool play_sound(const char*, std::uint32_t) { return false; }
int wave_out_device_count() { return 0; }

}  // namespace plat
