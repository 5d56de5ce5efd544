// Process and system services (kernel32 and the odd user32 system call).
#pragma once

#include <cstdint>
#include <string>

namespace plat {

// Separator that the platform uses between a folder and a file name ("\" on Win32).
extern const char kPathSeparator;

// Folder that holds the running executable, without a trailing separator, as CP932 text.
std::string program_folder();

// GetVersionExA with an OSVERSIONINFOA whose size field is `struct_size`: the call's return
// value and the record's platform id (2 for the NT family).
struct VersionInfo {
    int result = 0;
    std::uint32_t platform_id = 0;
};
VersionInfo get_version_ex(std::uint32_t struct_size);

// SystemParametersInfoA(action, param, nullptr, win_ini); returns the call's result.
int system_parameters_info(std::uint32_t action, std::uint32_t param, std::uint32_t win_ini);

// The argument text that the process received, without the program path (the entry point
// records it once; the core reads it whenever it needs it).
const std::string& command_line();
void set_command_line(std::string text);

// Takes the guard that one copy of the program holds at a time, for the rest of the process's
// life: false when another running copy holds it. A guard that cannot be made (no place for
// it) is not a reason to refuse the start: true.
bool take_instance_guard();

// Lets the system's requests to end the program (a logout, `kill`, Ctrl+C) end it as closing
// its windows does, also while a message box or the file chooser is up. Called once at the
// start, before any window. Windows sends its windows such requests itself.
void handle_end_requests();

// Pause the calling thread.
void sleep_ms(std::uint32_t ms);

// Milliseconds from an arbitrary start, monotonic.
std::uint64_t tick_count_ms();

// Microseconds since the Unix epoch from the time-of-day clock (for re-seeding generators).
std::uint64_t time_of_day_us();

// End the process at once with the given exit code; the scripted back end throws
// ProcessExit instead so that a test can watch the end.
[[noreturn]] void end_process(int code);

struct ProcessExit {
    int code;
};

}  // namespace plat
