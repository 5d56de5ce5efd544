#include <cstdlib>
#include <string>

#include "platform/system.h"
#include "platform/win32/prelude.h"

namespace plat {

const char kPathSeparator = '\\';

namespace win32 {
std::string z(std::string_view text) { return std::string(text); }
}  // namespace win32

namespace {
std::string& stored_command_line() {
    static std::string text;
    return text;
}
}  // namespace

namespace {

// The wide text in the ANSI code page, when every character has its exact form there (no
// best-fit look-alike such as "e" for "\u00e9", no "?").
bool exact_ansi(const std::wstring& wide, std::string& out) {
    out.clear();
    if (wide.empty()) return true;
    const int size = static_cast<int>(wide.size());
    BOOL used_default = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr, 0, nullptr, &used_default);
    if (n <= 0 || used_default) return false;
    out.assign(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, out.data(), n, nullptr, &used_default);
    if (used_default) return false;
    // The way back must give the same characters.
    const int m = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, out.data(), n, nullptr, 0);
    std::wstring back(static_cast<std::size_t>(m > 0 ? m : 0), L'\0');
    if (m > 0) MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, out.data(), n, back.data(), m);
    return back == wide;
}

}  // namespace

std::string win32::narrow_path(const std::wstring& folder) {
    std::string narrow;
    if (exact_ansi(folder, narrow)) return narrow;
    std::wstring short_name(32768, L'\0');
    const DWORD s = GetShortPathNameW(folder.c_str(), short_name.data(), static_cast<DWORD>(short_name.size()));
    if (s > 0 && s < short_name.size()) {
        short_name.resize(s);
        if (exact_ansi(short_name, narrow)) return narrow;
    }
    const int size = static_cast<int>(folder.size());
    const int m = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, folder.data(), size, nullptr, 0, "?", nullptr);
    narrow.assign(static_cast<std::size_t>(m > 0 ? m : 0), '\0');
    if (m > 0) WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, folder.data(), size, narrow.data(), m, "?", nullptr);
    return narrow;
}

// The folder is taken in wide form. The narrow calls of the program reach it by its own name
// when that name has an exact ANSI form, else by its short (8.3) name. When neither exists,
// the folder is given with "?" in place of what has no form: no file can have that name, so
// the program finds nothing there, rather than the files of a look-alike folder.
std::string program_folder() {
    std::wstring path(32768, L'\0');
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0 || n >= path.size()) return ".";
    path.resize(n);
    const std::size_t cut = path.rfind(L'\\');
    if (cut == std::wstring::npos) return ".";
    return win32::narrow_path(path.substr(0, cut));
}

VersionInfo get_version_ex(std::uint32_t struct_size) {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = struct_size;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const BOOL r = GetVersionExA(&info);
#pragma GCC diagnostic pop
    return {r, info.dwPlatformId};
}

int system_parameters_info(std::uint32_t action, std::uint32_t param, std::uint32_t win_ini) {
    return SystemParametersInfoA(action, param, nullptr, win_ini);
}

// A named mutex of the session; the system closes it when the process ends.
bool take_instance_guard() {
    const HANDLE mutex = CreateMutexA(nullptr, FALSE, "Local\\Zephlora.Instance");
    if (!mutex) return GetLastError() != ERROR_ACCESS_DENIED;
    return GetLastError() != ERROR_ALREADY_EXISTS;  // the handle stays open for the process's life
}

const std::string& command_line() { return stored_command_line(); }
void set_command_line(std::string text) { stored_command_line() = std::move(text); }

void handle_end_requests() {}

void sleep_ms(std::uint32_t ms) { Sleep(ms); }
std::uint64_t tick_count_ms() { return GetTickCount64(); }

std::uint64_t time_of_day_us() {
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    const std::uint64_t t = (static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    return (t - 116444736000000000ull) / 10u;
}

[[noreturn]] void end_process(int code) { ExitProcess(static_cast<UINT>(code)); }

}  // namespace plat
