// Placeholder until the profile reader and writer land: every key reads as its default.
#include "platform/profile.h"

namespace plat {

std::string get_private_profile_string(std::string_view, std::string_view,
                                       std::string_view default_value, std::size_t buffer_size,
                                       std::string_view) {
    if (buffer_size == 0) return {};
    return std::string(default_value.substr(0, buffer_size - 1));
}

bool write_private_profile_string(std::string_view, std::string_view, std::string_view,
                                  std::string_view) {
    return false;
}

}  // namespace plat
