#include "platform/password.h"

namespace plat {

std::optional<int> verify_screen_save_pwd(WindowHandle) { return std::nullopt; }
std::optional<int> pwd_change_password(std::string_view, std::uint32_t, std::uint32_t,
                                       std::uint32_t) {
    return std::nullopt;
}

}  // namespace plat
