// The password services of the scripted machine answer as the test set them up.
#include "platform/password.h"
#include "platform/scripted/control.h"

namespace plat {
namespace scripted {
std::optional<int> answer_verify();
std::optional<int> answer_change(PasswordChangeCall call);
}  // namespace scripted

std::optional<int> verify_screen_save_pwd(WindowHandle) { return scripted::answer_verify(); }
std::optional<int> pwd_change_password(std::string_view provider, std::uint32_t parent,
                                       std::uint32_t reserved1, std::uint32_t reserved2) {
    return scripted::answer_change({std::string(provider), parent, reserved1, reserved2});
}

}  // namespace plat
