// The user's own folders for what an installed copy cannot write beside itself. A folder is
// taken only when it is a real folder (never a link) of this user's own; the temporary one
// must also be closed to everybody else, since the members of a run lie in it.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

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

namespace {

// A private folder is held by its process through a record lock on the file "owner" inside
// it, for as long as the process lives: the system drops the lock however the process ends,
// even by SIGKILL, so a folder whose lock can be taken has lost its process.
constexpr const char* kOwnerFile = "/owner";
constexpr const char* kPrivatePrefix = "run-";
// A folder without its owner file is one that a process was killed in before it could make
// it (or one of a version that made none); it is taken for abandoned only when older than this.
constexpr time_t kUnownedGraceSeconds = 60;

bool lock_whole(int fd) {
    struct flock whole {};
    whole.l_type = F_WRLCK;
    whole.l_whence = SEEK_SET;
    return ::fcntl(fd, F_SETLK, &whole) == 0;
}

// Whether the private folder `path` (native bytes) lost its process.
bool abandoned(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) return false;
    const int fd = ::open((path + kOwnerFile).c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) return errno == ENOENT && ::time(nullptr) - st.st_mtime > kUnownedGraceSeconds;
    const bool taken = lock_whole(fd);  // released again when closed
    ::close(fd);
    return taken;
}

// Deletes the files in a private folder (the members, their temporaries, the owner file) and
// the folder; anything else in it (a folder, a link is deleted as the link) keeps it there.
void remove_private_folder(const std::string& path) {
    if (DIR* dir = ::opendir(path.c_str())) {
        std::vector<std::string> files;
        while (const dirent* entry = ::readdir(dir)) {
            const std::string_view name = entry->d_name;
            if (name != "." && name != "..") files.push_back(path + "/" + std::string(name));
        }
        ::closedir(dir);
        for (const std::string& f : files) {
            struct stat st {};
            if (::lstat(f.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) ::unlink(f.c_str());
        }
    }
    ::rmdir(path.c_str());
}

// The private folders in `parent` whose processes are gone (killed before their end).
void remove_abandoned_private_folders(const std::string& parent) {
    DIR* dir = ::opendir(parent.c_str());
    if (!dir) return;
    std::vector<std::string> found;
    while (const dirent* entry = ::readdir(dir))
        if (std::string_view(entry->d_name).starts_with(kPrivatePrefix)) found.push_back(parent + "/" + entry->d_name);
    ::closedir(dir);
    for (const std::string& path : found)
        if (abandoned(path)) remove_private_folder(path);
}

}  // namespace

std::string make_private_folder(std::string_view parent) {
    const std::string native_parent = native_path(parent);
    remove_abandoned_private_folders(native_parent);
    std::string name = native_parent + "/" + kPrivatePrefix + "XXXXXX";
    if (!::mkdtemp(name.data())) return {};
    // Held for the rest of the process's life; the descriptor stays open on purpose.
    const int fd = ::open((name + kOwnerFile).c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0 || !lock_whole(fd)) {
        if (fd >= 0) ::close(fd);
        remove_private_folder(name);
        return {};
    }
    return path_from_native(name);
}

bool remove_empty_folder(std::string_view folder) {
    const std::string path = native_path(folder);
    // The owner file of a private folder goes with it.
    struct stat st {};
    const std::string owner = path + kOwnerFile;
    if (::lstat(owner.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::unlink(owner.c_str());
    return ::rmdir(path.c_str()) == 0;
}

}  // namespace plat
