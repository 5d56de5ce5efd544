// Plain file operations over the narrow Win32 file API; paths are in the ANSI code page.
//
// A file is replaced through a temporary file of a fresh name in the same folder, created
// with CREATE_NEW (never an existing name, so never through a link planted there), and moved
// over the target; a name that is taken is passed over for the next one.
#include "platform/files.h"
#include "platform/win32/fresh_file.h"
#include "platform/win32/prelude.h"

#include <atomic>

namespace plat {
namespace {

struct Handle {
    HANDLE h;
    explicit Handle(HANDLE handle) : h(handle) {}
    ~Handle() { if (h != INVALID_HANDLE_VALUE) CloseHandle(h); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool ok() const { return h != INVALID_HANDLE_VALUE; }
};

HANDLE open_read(std::string_view path) {
    return CreateFileA(win32::z(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool read_exact(HANDLE h, std::uint8_t* data, std::size_t length) {
    while (length > 0) {
        DWORD got = 0;
        const DWORD want = length > 0x10000000 ? 0x10000000 : static_cast<DWORD>(length);
        if (!ReadFile(h, data, want, &got, nullptr) || got == 0) return false;
        data += got;
        length -= got;
    }
    return true;
}

// ".tmp", digits, "-", digits: the suffix of write_fresh_temporary's names.
bool is_fresh_temporary_name(std::string_view suffix) {
    if (!suffix.starts_with(".tmp")) return false;
    suffix.remove_prefix(4);
    const std::size_t dash = suffix.find('-');
    const auto digits = [](std::string_view d) {
        return !d.empty() && d.find_first_not_of("0123456789") == std::string_view::npos;
    };
    return dash != std::string_view::npos && digits(suffix.substr(0, dash)) && digits(suffix.substr(dash + 1));
}

}  // namespace

bool can_open_for_reading(std::string_view path) {
    if (path.empty()) return false;
    const DWORD attributes = GetFileAttributesA(win32::z(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    Handle f(open_read(path));
    return f.ok();
}

bool read_file_range(std::string_view path, std::uint64_t offset, std::size_t length,
                     std::vector<std::uint8_t>& out) {
    out.clear();
    Handle f(open_read(path));
    if (!f.ok()) return false;
    LARGE_INTEGER pos;
    pos.QuadPart = static_cast<LONGLONG>(offset);
    std::vector<std::uint8_t> data(length);
    if (!SetFilePointerEx(f.h, pos, nullptr, FILE_BEGIN) || !read_exact(f.h, data.data(), length)) return false;
    out = std::move(data);
    return true;
}

bool read_whole_file(std::string_view path, std::vector<std::uint8_t>& out) {
    out.clear();
    Handle f(open_read(path));
    LARGE_INTEGER size;
    if (!f.ok() || !GetFileSizeEx(f.h, &size)) return false;
    std::vector<std::uint8_t> data(static_cast<std::size_t>(size.QuadPart));
    if (!read_exact(f.h, data.data(), data.size())) return false;
    out = std::move(data);
    return true;
}

namespace win32 {

bool write_fresh_temporary(const std::string& target, const void* data, std::size_t length,
                           std::string& temp, unsigned long* error) {
    static std::atomic<unsigned> counter{0};
    unsigned long ignored = 0;
    unsigned long& failure = error ? *error : ignored;
    failure = ERROR_SUCCESS;
    Handle f(INVALID_HANDLE_VALUE);
    for (int attempt = 0; attempt < 64 && !f.ok(); ++attempt) {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        const unsigned long long salt = static_cast<unsigned long long>(now.QuadPart) * 2654435761u + counter++;
        temp = target + ".tmp" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(salt % 1000000007u);
        f.h = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (!f.ok()) failure = GetLastError();
        if (!f.ok() && failure != ERROR_FILE_EXISTS && failure != ERROR_ALREADY_EXISTS) return false;
    }
    if (!f.ok()) return false;
    DWORD written = 0;
    const bool wrote = WriteFile(f.h, data, static_cast<DWORD>(length), &written, nullptr);
    bool ok = wrote && written == length;
    if (!ok) failure = wrote ? ERROR_DISK_FULL : GetLastError();  // a short write: no room for the rest
    if (!FlushFileBuffers(f.h) && ok) {
        failure = GetLastError();
        ok = false;
    }
    if (!ok) {
        CloseHandle(f.h);
        f.h = INVALID_HANDLE_VALUE;
        DeleteFileA(temp.c_str());
    }
    return ok;
}

}  // namespace win32

bool write_file_replacing(std::string_view path, const void* data, std::size_t length) {
    const std::string target = win32::z(path);
    std::string temp;
    if (!win32::write_fresh_temporary(target, data, length, temp)) return false;
    const bool ok = MoveFileExA(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) DeleteFileA(temp.c_str());
    return ok;
}

void remove_leftover_temporaries(std::string_view path) {
    const std::string target = win32::z(path);
    const std::size_t slash = target.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::size_t name_length = target.size() - folder.size();
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((target + ".tmp*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) continue;
        // Only names of the form write_fresh_temporary gives (".tmp<pid>-<n>"): Wine's file
        // calls follow a Unix link planted in the folder, and DeleteFileA then deletes the file
        // it points to, so a name the program never makes is left alone.
        if (!is_fresh_temporary_name(std::string_view(found.cFileName).substr(name_length))) continue;
        const std::string leftover = folder + found.cFileName;
        SetFileAttributesA(leftover.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(leftover.c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

bool delete_file(std::string_view path) { return DeleteFileA(win32::z(path).c_str()) != 0; }

}  // namespace plat
