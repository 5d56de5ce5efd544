// The file-open dialog (comdlg32) and the shell's open verb (shell32), the systems' own.
#include "platform/win32/prelude.h"

#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "platform/dialogs.h"
#include "platform/shell.h"

namespace plat {

namespace {
// A file name of the program (the system's ANSI code page) in wide form.
std::wstring wide_from_ansi(const std::string& name) {
    if (name.empty()) return {};
    const int n = MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), wide.data(), n);
    return wide;
}
}  // namespace

// The title and the filter are the program's texts, handed over in wide form from CP932 so that
// they read rightly on a system of any code page. The folder and the chosen file are names of
// files, in the system's ANSI code page as every name the program keeps; a name with no exact
// form there comes back as its short name, as the program's own folder does.
OpenFileResult get_open_file_name(const OpenFileRequest& request) {
    // Room for any path; the chosen name must still fit the request's buffer in ANSI form.
    std::vector<wchar_t> file(32768, L'\0');
    std::vector<wchar_t> title(32768, L'\0');
    // The list ends with an empty string: two NULs after the last pattern.
    std::wstring filter = win32::wide_from_cp932(request.filter);
    if (filter.empty() || filter.back() != L'\0') filter.push_back(L'\0');
    const std::wstring caption = win32::wide_from_cp932(request.title.substr(0, request.title.find('\0')));
    const std::wstring folder = wide_from_ansi(request.initial_folder.substr(0, request.initial_folder.find('\0')));
    OPENFILENAMEW ofn{};
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    ofn.hwndOwner = win32::to_hwnd(request.owner);
    ofn.hInstance = GetModuleHandleW(nullptr);
    ofn.lpstrFilter = filter.size() > 1 ? filter.c_str() : nullptr;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrFileTitle = title.data();
    ofn.nMaxFileTitle = static_cast<DWORD>(title.size());
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.lpstrTitle = caption.empty() ? nullptr : caption.c_str();
    ofn.Flags = request.flags;
    OpenFileResult r;
    r.result = GetOpenFileNameW(&ofn);
    if (r.result <= 0) return OpenFileResult{};
    r.path = win32::narrow_path(file.data());
    // The path and its NUL fit the buffer, or nothing was chosen (as the ANSI call refuses a
    // name too long for its buffer).
    if (r.path.size() + 1 > std::max<std::uint32_t>(1, request.file_buffer_size)) return OpenFileResult{};
    const std::size_t cut = r.path.rfind('\\');
    r.file_title = r.path.substr(cut == std::string::npos ? 0 : cut + 1);
    if (r.file_title.size() + 1 > std::max<std::uint32_t>(1, request.title_buffer_size)) r.file_title.clear();
    return r;
}

std::intptr_t shell_execute(WindowHandle owner, std::string_view verb, std::string_view file,
                            std::string_view parameters, std::string_view folder, int show) {
    const std::string v = win32::z(verb), f = win32::z(file), p = win32::z(parameters), d = win32::z(folder);
    HINSTANCE started = ShellExecuteA(win32::to_hwnd(owner), v.c_str(), f.c_str(), p.c_str(), d.c_str(), show);
    return reinterpret_cast<std::intptr_t>(started);
}

}  // namespace plat
