// The user's own folders for what an installed copy cannot write beside itself. A folder is
// taken only when it is a real folder (never a link) of this user's own; the temporary one
// must also be closed to everybody else, since the members of a run lie in it.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "platform/files.h"
#include "platform/posix/native_path.h"

namespace plat {
namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value && *value == '/' ? std::string(value) : std::string();
}

// The folder at `path` (native bytes) as this user's own, made with `mode` when missing.
// `closed`: nobody else may have any access to it.
bool own_folder(const std::string& path, mode_t mode, bool closed) {
    if (::mkdir(path.c_str(), mode) != 0 && errno != EEXIST) return false;
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) return false;
    if (closed && (st.st_mode & 077) != 0 && ::chmod(path.c_str(), 0700) != 0) return false;
    return true;
}

}  // namespace

bool folder_takes_new_files(std::string_view folder) {
    std::string probe = native_path(folder) + "/.zephlora-probe-XXXXXX";
    const int fd = ::mkstemp(probe.data());
    if (fd < 0) return false;
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
}

std::string user_temporary_folder() {
    const std::string runtime = environment("XDG_RUNTIME_DIR");
    if (!runtime.empty()) {
        struct stat st {};
        if (::stat(runtime.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
            own_folder(runtime + "/zephlora", 0700, true))
            return path_from_native(runtime + "/zephlora");
    }
    std::string tmp = environment("TMPDIR");
    if (tmp.empty()) tmp = "/tmp";
    const std::string fixed = tmp + "/zephlora-" + std::to_string(::getuid());
    if (own_folder(fixed, 0700, true)) return path_from_native(fixed);
    // Somebody else holds that name: a folder of a fresh name instead.
    std::string fresh = fixed + "-XXXXXX";
    if (::mkdtemp(fresh.data())) return path_from_native(fresh);
    return {};
}

std::string user_settings_folder() {
    std::string base = environment("XDG_CONFIG_HOME");
    if (base.empty()) {
        const std::string home = environment("HOME");
        if (home.empty()) return {};
        base = home + "/.config";
        if (!own_folder(base, 0700, false) && ::access(base.c_str(), W_OK) != 0) return {};
    }
    const std::string folder = base + "/zephlora";
    if (!own_folder(folder, 0700, false)) return {};
    return path_from_native(folder);
}

std::string make_private_folder(std::string_view parent) {
    std::string name = native_path(parent) + "/run-XXXXXX";
    if (!::mkdtemp(name.data())) return {};
    return path_from_native(name);
}

bool remove_empty_folder(std::string_view folder) { return ::rmdir(native_path(folder).c_str()) == 0; }

}  // namespace plat
