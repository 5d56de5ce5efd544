// Screen-saver password services of Windows 95/98/Me, loaded at run time.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/types.h"

namespace plat {

// VerifyScreenSavePwd from "password.cpl": non-zero lets the saver end. Empty when the
// library or the function cannot be had.
std::optional<int> verify_screen_save_pwd(WindowHandle window);

// PwdChangePasswordA(provider, parent, reserved1, reserved2) from mpr. Empty when the
// library or the function cannot be had.
std::optional<int> pwd_change_password(std::string_view provider, std::uint32_t parent,
                                       std::uint32_t reserved1, std::uint32_t reserved2);

}  // namespace plat
