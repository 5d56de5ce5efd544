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

std::string program_folder() {
    char buffer[MAX_PATH * 2];
    const DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    if (n == 0 || n >= sizeof buffer) return ".";
    std::string path(buffer, n);
    // The last separator; CharPrevA steps over double-byte characters whose trail byte is 0x5C.
    std::size_t cut = std::string::npos;
    for (const char* p = buffer; *p; p = CharNextA(p))
        if (*p == '\\') cut = static_cast<std::size_t>(p - buffer);
    return cut == std::string::npos ? std::string(".") : path.substr(0, cut);
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

const std::string& command_line() { return stored_command_line(); }
void set_command_line(std::string text) { stored_command_line() = std::move(text); }

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
