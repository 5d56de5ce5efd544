// The user's own folders for what an installed copy cannot write beside itself: the
// temporary folder of the user's profile (its access list already closes it to other users,
// and a folder made in it inherits that) and the profile's application data.
#include "platform/files.h"
#include "platform/win32/prelude.h"

#include <shlobj.h>

#include <string>

namespace plat {
namespace {

// `parent` (wide, without a trailing separator) + "\Zephlora", made when missing; its narrow
// form, or empty.
std::string zephlora_folder_in(std::wstring parent) {
    while (!parent.empty() && parent.back() == L'\\') parent.pop_back();
    if (parent.empty()) return {};
    const std::wstring folder = parent + L"\\Zephlora";
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return {};
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY) ||
        (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return {};
    return win32::narrow_path(folder);
}

}  // namespace

bool folder_takes_new_files(std::string_view folder) {
    const std::string probe = std::string(folder) + "\\.zephlora-probe-" + std::to_string(GetCurrentProcessId());
    const HANDLE h = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    DeleteFileA(probe.c_str());  // Wine may not honour the delete on close
    return true;
}

std::string user_temporary_folder() {
    std::wstring temp(MAX_PATH + 1, L'\0');
    const DWORD n = GetTempPathW(static_cast<DWORD>(temp.size()), temp.data());
    if (n == 0 || n >= temp.size()) return {};
    temp.resize(n);
    return zephlora_folder_in(temp);
}

std::string user_settings_folder() {
    wchar_t appdata[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA | CSIDL_FLAG_CREATE, nullptr, 0, appdata))) return {};
    return zephlora_folder_in(appdata);
}

std::string make_private_folder(std::string_view parent) {
    for (unsigned n = 0; n < 100; ++n) {
        const std::string folder = std::string(parent) + "\\run-" + std::to_string(GetCurrentProcessId()) + "-" +
                                   std::to_string(n);
        if (CreateDirectoryA(folder.c_str(), nullptr)) return folder;
        if (GetLastError() != ERROR_ALREADY_EXISTS) return {};
    }
    return {};
}

bool remove_empty_folder(std::string_view folder) { return RemoveDirectoryA(win32::z(folder).c_str()) != 0; }

}  // namespace plat
