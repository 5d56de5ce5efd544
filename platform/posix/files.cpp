// Plain file operations over POSIX calls. Paths arrive as CP932 and are opened as UTF-8.
#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "platform/text.h"

namespace plat {
namespace {

std::string native(std::string_view path) { return cp932_to_utf8(path); }

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
    if (path.empty()) return false;
    const int fd = ::open(native(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    ::close(fd);
    return regular;
}

bool read_file_range(std::string_view path, std::uint64_t offset, std::size_t length,
                     std::vector<std::uint8_t>& out) {
    out.clear();
    const int fd = ::open(native(path).c_str(), O_RDONLY | O_CLOEXEC);
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
    const int fd = ::open(native(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
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
    const std::string temp = target + ".tmp" + std::to_string(::getpid());
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    // The file that is replaced keeps its permissions.
    struct stat old {};
    bool ok = ::stat(target.c_str(), &old) != 0 || ::fchmod(fd, old.st_mode & 07777) == 0;
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
