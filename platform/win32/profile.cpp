// The platform's own profile functions.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/profile.h"
#include "platform/win32/fresh_file.h"
#include "platform/win32/prelude.h"

namespace plat {

std::string get_private_profile_string(std::string_view section, std::string_view key,
                                       std::string_view default_value, std::size_t buffer_size,
                                       std::string_view path) {
    if (buffer_size == 0) return {};
    std::vector<char> buffer(buffer_size, '\0');
    GetPrivateProfileStringA(win32::z(section).c_str(), win32::z(key).c_str(),
                             win32::z(default_value).c_str(), buffer.data(),
                             static_cast<DWORD>(buffer_size), win32::z(path).c_str());
    return std::string(buffer.data());
}

namespace {

// True when the volume that holds `file` has room for `bytes` more, for this user.
bool room_for(const std::string& file, std::uint64_t bytes) {
    const std::size_t slash = file.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? std::string(".\\") : file.substr(0, slash + 1);
    ULARGE_INTEGER available{};
    return GetDiskFreeSpaceExA(folder.c_str(), &available, nullptr, nullptr) && available.QuadPart >= bytes;
}

}  // namespace

// The system's writer rewrites the file in place (Wine's truncates it and writes it anew), so a
// process killed during a write leaves it cut or empty, and so does a disk that runs out of
// room: Wine's writer does not look at what its writes return, and reports a cut file as
// written. The store therefore writes a copy beside the file (named as write_file_replacing
// names its temporaries, so that remove_leftover_temporaries finds one a kill left), which then
// replaces the file in one rename; the copy carries the file's attributes. The system's writer
// is only let loose when the volume has room for the whole rewritten file. A write that cannot
// make its copy fails and leaves the file as it is, with one exception: a folder that takes no
// new files (an installed copy without a settings folder of the user's own) leaves the system's
// writer to work on the file in place, as the program did before the copy; a kill can still cut
// the file there, a full disk cannot. A read-only file goes to the system's writer, which
// refuses it (or finds nothing to change).
bool write_private_profile_string(std::string_view section, std::string_view key,
                                  std::string_view value, std::string_view path) {
    const std::string target = win32::z(path);
    const auto write = [&](const std::string& file) {
        return WritePrivateProfileStringA(win32::z(section).c_str(), win32::z(key).c_str(),
                                          win32::z(value).c_str(), file.c_str()) != 0;
    };
    const DWORD attributes = GetFileAttributesA(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) return write(target);

    // The copy is a fresh file of our own (see write_fresh_temporary), never a name planted
    // beside the file. A file that is there but cannot be read is never written: the system's
    // writer would take it for empty and leave only the new key.
    std::vector<std::uint8_t> bytes;
    if (exists && !read_whole_file(path, bytes)) return false;
    // The most the rewritten file can hold: every old line break may become CR LF, and the
    // write adds at most "[section]" and "key=value", each with CR LF.
    const std::uint64_t rewritten = 2 * bytes.size() + section.size() + key.size() + value.size() + 10;
    std::string temp;
    unsigned long error = ERROR_SUCCESS;
    if (!win32::write_fresh_temporary(target, bytes.data(), bytes.size(), temp, &error))
        return error == ERROR_ACCESS_DENIED && room_for(target, rewritten) && write(target);
    if (exists) SetFileAttributesA(temp.c_str(), attributes);
    bool ok = room_for(target, rewritten) && write(temp);
    // Out of the system's profile cache and onto the disk before it replaces the file.
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, temp.c_str());
    if (ok) {
        const HANDLE f = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ok = f != INVALID_HANDLE_VALUE && FlushFileBuffers(f);
        if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
    }
    if (ok) {
        // One rename (ReplaceFile is not one under Wine: it moves the old file away first).
        ok = MoveFileExA(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    }
    if (!ok) DeleteFileA(temp.c_str());
    return ok;
}

}  // namespace plat
