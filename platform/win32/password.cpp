// The screen-saver password services of Windows 95/98/Me, loaded at run time: neither
// library exists on the NT family (nor under Wine), where both calls report so.
#include "platform/password.h"
#include "platform/win32/prelude.h"

namespace plat {

std::optional<int> verify_screen_save_pwd(WindowHandle window) {
    HMODULE lib = LoadLibraryA("password.cpl");
    if (!lib) return std::nullopt;
    using Verify = BOOL(WINAPI*)(HWND);
    auto verify = reinterpret_cast<Verify>(reinterpret_cast<void*>(GetProcAddress(lib, "VerifyScreenSavePwd")));
    std::optional<int> result;
    if (verify) result = verify(win32::to_hwnd(window));
    FreeLibrary(lib);
    return result;
}

std::optional<int> pwd_change_password(std::string_view provider, std::uint32_t parent,
                                       std::uint32_t reserved1, std::uint32_t reserved2) {
    HMODULE lib = LoadLibraryA("mpr.dll");
    if (!lib) return std::nullopt;
    using Change = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, LPVOID);
    auto change = reinterpret_cast<Change>(reinterpret_cast<void*>(GetProcAddress(lib, "PwdChangePasswordA")));
    std::optional<int> result;
    if (change) {
        result = static_cast<int>(change(win32::z(provider).c_str(),
                                         reinterpret_cast<HWND>(static_cast<std::uintptr_t>(parent)),
                                         reserved1, reinterpret_cast<LPVOID>(static_cast<std::uintptr_t>(reserved2))));
    }
    FreeLibrary(lib);
    return result;
}

}  // namespace plat
