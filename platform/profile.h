// Profile files (the Windows "ini" format): GetPrivateProfileStringA and
// WritePrivateProfileStringA. All text is CP932.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace plat {

// Copies the value (or `default_value`) into a buffer of `buffer_size` bytes, cut so that a
// terminating zero fits, and returns the text up to that zero. Section and key names match
// without regard to letter case.
std::string get_private_profile_string(std::string_view section, std::string_view key,
                                       std::string_view default_value, std::size_t buffer_size,
                                       std::string_view path);

// Creates the file, section and key as needed, otherwise replaces the value; leaves every
// other line alone. Returns the call's result (true on success).
bool write_private_profile_string(std::string_view section, std::string_view key,
                                  std::string_view value, std::string_view path);

}  // namespace plat
