// The platform's own profile functions.
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

// The system's writer rewrites the file in place, so a process killed during a write leaves
// it cut or empty. It therefore writes a copy beside the file (named as write_file_replacing
// names its temporaries, so that remove_leftover_temporaries finds one a kill left), which
// then replaces the file in one rename; the copy carries the file's attributes. Where no copy can
// be made (a read-only file or folder) the system's writer works on the file itself, as it
// would anyway.
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
    // beside the file.
    std::vector<std::uint8_t> bytes;
    if (exists && !read_whole_file(path, bytes)) return write(target);
    std::string temp;
    if (!win32::write_fresh_temporary(target, bytes.data(), bytes.size(), temp)) return write(target);
    if (exists) SetFileAttributesA(temp.c_str(), attributes);
    bool ok = write(temp);
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
