// Process and system services on Linux. The system family is reported as the NT family:
// like Windows NT, a Linux desktop has no screen-saver password of the saver's own, and the
// screen locker of the desktop guards the session instead.
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/system.h"
#include "platform/linux/modal.h"
#include "platform/posix/native_path.h"

namespace plat {

const char kPathSeparator = '/';

namespace {
std::string& stored_command_line() {
    static std::string text;
    return text;
}
}  // namespace

std::string program_folder() {
    char buffer[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return ".";
    std::string path(buffer, static_cast<std::size_t>(n));
    const auto slash = path.rfind('/');
    path = slash == 0 ? std::string("/") : path.substr(0, slash);
    return path_from_native(path);  // the bytes as they are, whatever the folder's name
}

VersionInfo get_version_ex(std::uint32_t struct_size) {
    if (struct_size != 148) return {0, 0};
    return {1, 2};
}

int system_parameters_info(std::uint32_t, std::uint32_t, std::uint32_t) {
    // The screen-saver-running flag has no counterpart here; the call succeeds and does nothing.
    return 1;
}

// An exclusive lock on a file in the user's runtime folder ($XDG_RUNTIME_DIR, else a file of
// the user's own in /tmp); the system drops the lock when the process ends. There is one per
// X display, as the title test looks at one display's windows.
bool take_instance_guard() {
    std::string display = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
    for (char& c : display)
        if (c == '/') c = '_';
    const std::string name = "zephlora-" + (display.empty() ? std::string("none") : display) + ".lock";
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat st {};
    std::string path;
    if (runtime && *runtime == '/' && ::stat(runtime, &st) == 0 && S_ISDIR(st.st_mode))
        path = std::string(runtime) + "/" + name;
    else
        path = "/tmp/" + std::to_string(::getuid()) + "-" + name;
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (fd < 0) return true;
    // A file of another user cannot speak for this one's copies.
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::getuid()) {
        ::close(fd);
        return true;
    }
    // A record lock, not flock: a record lock belongs to this process alone, so a child that
    // a library forks (SDL shows its message box in one) never holds it on after the program
    // has gone. Held until the process ends.
    struct flock whole {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    if (::fcntl(fd, F_SETLK, &whole) == 0) return true;
    const bool busy = errno == EAGAIN || errno == EACCES;
    ::close(fd);
    return !busy;
}

void handle_end_requests() { linux_modal::install_end_handlers(); }

const std::string& command_line() { return stored_command_line(); }
void set_command_line(std::string text) { stored_command_line() = std::move(text); }

void sleep_ms(std::uint32_t ms) {
    timespec ts{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
    while (::nanosleep(&ts, &ts) != 0) {
    }
}

std::uint64_t tick_count_ms() {
    timespec ts{};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::uint64_t>(ts.tv_sec) * 1000u + static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u;
}

std::uint64_t time_of_day_us() {
    timespec ts{};
    ::clock_gettime(CLOCK_REALTIME, &ts);
    return static_cast<std::uint64_t>(ts.tv_sec) * 1000000u + static_cast<std::uint64_t>(ts.tv_nsec) / 1000u;
}

[[noreturn]] void end_process(int code) {
    std::fflush(nullptr);
    std::_Exit(code);
}

}  // namespace plat
