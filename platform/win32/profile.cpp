// The platform's own profile functions.
#include <vector>

#include "platform/profile.h"
#include "platform/win32/prelude.h"

namespace plat {

std::string get_private_profile_string(std::string_view section, std::string_view key,
                                       std::string_view default_value, std::size_t buffer_size,
                                       std::string_view path) {
    if (buffer_size == 0) return {};
    std::vector<char> buffer(buffer_size, '\0');
    GetPrivateProfileStringA(win32::z(section).c_str(), win32::z(key).c_str(),
                             win32::z(default_value).c_str(), buffer.data(),
                             static_cast<DWORD>(buffer_size), win32::z(path).c_str());
    return std::string(buffer.data());
}

bool write_private_profile_string(std::string_view section, std::string_view key,
                                  std::string_view value, std::string_view path) {
    return WritePrivateProfileStringA(win32::z(section).c_str(), win32::z(key).c_str(),
                                      win32::z(value).c_str(), win32::z(path).c_str()) != 0;
}

}  // namespace plat
