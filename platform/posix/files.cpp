// Plain file operations over POSIX calls. Paths arrive as CP932 and are opened as the bytes
// that native_path gives.
//
// Only regular files are read: a FIFO, a device or a socket counts as missing. Files are
// opened without waiting (O_NONBLOCK) and their kind is tested on the open descriptor, since
// opening a FIFO for reading would otherwise wait for a writer for ever.
//
// A file is replaced through a temporary file of a fresh name in the same folder, created
// exclusively (mkstemp: never an existing name, never through a link), and renamed over the
// target; the rename replaces a link at the target itself, never the file it points to. So
// nothing planted in the folder can redirect the bytes elsewhere.
#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "platform/posix/native_path.h"

namespace plat {
namespace {

std::string native(std::string_view path) { return native_path(path); }

// A descriptor of the regular file at `path`, or -1.
int open_regular(std::string_view path) {
    if (path.empty()) return -1;
    const int fd = ::open(native(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return fd;
}

bool read_all(int fd, std::uint8_t* data, std::size_t length) {
    while (length > 0) {
        const ssize_t n = ::read(fd, data, length);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        length -= static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

bool can_open_for_reading(std::string_view path) {
    const int fd = open_regular(path);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

bool read_file_range(std::string_view path, std::uint64_t offset, std::size_t length,
                     std::vector<std::uint8_t>& out) {
    out.clear();
    const int fd = open_regular(path);
    if (fd < 0) return false;
    std::vector<std::uint8_t> data(length);
    const bool ok = ::lseek(fd, static_cast<off_t>(offset), SEEK_SET) == static_cast<off_t>(offset) &&
                    read_all(fd, data.data(), length);
    ::close(fd);
    if (ok) out = std::move(data);
    return ok;
}

bool read_whole_file(std::string_view path, std::vector<std::uint8_t>& out) {
    out.clear();
    const int fd = open_regular(path);
    if (fd < 0) return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0;
    if (ok) {
        out.resize(static_cast<std::size_t>(st.st_size));
        ok = read_all(fd, out.data(), out.size());
    }
    ::close(fd);
    if (!ok) out.clear();
    return ok;
}

bool write_file_replacing(std::string_view path, const void* data, std::size_t length) {
    const std::string target = native(path);
    std::string temp = target + ".tmpXXXXXX";  // the leftover cleanup knows ".tmp"
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return false;
    // The file that is replaced keeps its permissions; a new one gets the mode a new file of
    // ours would have (mkstemp makes it private).
    struct stat old {};
    bool ok;
    if (::stat(target.c_str(), &old) == 0) {
        ok = ::fchmod(fd, old.st_mode & 07777) == 0;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ok = ::fchmod(fd, 0644 & ~mask) == 0;
    }
    const auto* p = static_cast<const std::uint8_t*>(data);
    std::size_t left = length;
    while (ok && left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) ok = false;
        else { p += n; left -= static_cast<std::size_t>(n); }
    }
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    if (ok) ok = ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

void remove_leftover_temporaries(std::string_view path) {
    const std::string target = native(path);
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : target.substr(0, slash == 0 ? 1 : slash);
    const std::string prefix = target.substr(slash == std::string::npos ? 0 : slash + 1) + ".tmp";
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    std::vector<std::string> found;
    while (const dirent* entry = ::readdir(dir)) {
        if (std::string_view(entry->d_name).starts_with(prefix)) found.push_back(folder + "/" + entry->d_name);
    }
    ::closedir(dir);
    for (const std::string& leftover : found) {
        struct stat st {};
        if (::lstat(leftover.c_str(), &st) == 0 && !S_ISDIR(st.st_mode)) ::unlink(leftover.c_str());
    }
}

bool delete_file(std::string_view path) { return ::unlink(native(path).c_str()) == 0; }

}  // namespace plat
