// The scripted back end's system services: the program's place, the system family, the
// virtual clock and the end of the process.
#include "platform/scripted/world.h"
#include "platform/system.h"

namespace plat {

const char kPathSeparator = '/';

using scripted::world;

std::string program_folder() { return world().program_folder; }
VersionInfo get_version_ex(std::uint32_t struct_size) {
    if (struct_size != 148) return {0, 0};
    return world().version;
}
int system_parameters_info(std::uint32_t action, std::uint32_t param, std::uint32_t) {
    world().spi_calls.emplace_back(action, param);
    return 1;
}
bool take_instance_guard() { return !world().instance_guard_held; }
const std::string& command_line() { return world().command_line; }
void set_command_line(std::string text) { world().command_line = std::move(text); }
void handle_end_requests() {}

void sleep_ms(std::uint32_t ms) { world().clock_ms += ms; }
std::uint64_t tick_count_ms() { return world().clock_ms; }
std::uint64_t time_of_day_us() { return 1'700'000'000'000'000ull + world().clock_ms * 1000; }
[[noreturn]] void end_process(int code) { throw ProcessExit{code}; }

}  // namespace plat
