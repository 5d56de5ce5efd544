// The file-open dialog (comdlg32) and the shell's open verb (shell32), the systems' own.
#include "platform/win32/prelude.h"

#include <commdlg.h>
#include <shellapi.h>

#include <vector>

#include "platform/dialogs.h"
#include "platform/shell.h"

namespace plat {

OpenFileResult get_open_file_name(const OpenFileRequest& request) {
    std::vector<char> file(std::max<std::uint32_t>(1, request.file_buffer_size), '\0');
    std::vector<char> title(std::max<std::uint32_t>(1, request.title_buffer_size), '\0');
    // The list ends with an empty string: two NULs after the last pattern.
    std::string filter = request.filter;
    if (filter.empty() || filter.back() != '\0') filter.push_back('\0');
    const std::string caption = request.title, folder = request.initial_folder;
    OPENFILENAMEA ofn{};
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    ofn.hwndOwner = win32::to_hwnd(request.owner);
    ofn.hInstance = GetModuleHandleA(nullptr);
    ofn.lpstrFilter = filter.size() > 1 ? filter.c_str() : nullptr;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrFileTitle = title.data();
    ofn.nMaxFileTitle = static_cast<DWORD>(title.size());
    ofn.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    ofn.lpstrTitle = caption.empty() ? nullptr : caption.c_str();
    ofn.Flags = request.flags;
    OpenFileResult r;
    r.result = GetOpenFileNameA(&ofn);
    if (r.result <= 0) return OpenFileResult{};
    r.path.assign(file.data());
    r.file_title.assign(title.data());
    return r;
}

std::intptr_t shell_execute(WindowHandle owner, std::string_view verb, std::string_view file,
                            std::string_view parameters, std::string_view folder, int show) {
    const std::string v = win32::z(verb), f = win32::z(file), p = win32::z(parameters), d = win32::z(folder);
    HINSTANCE started = ShellExecuteA(win32::to_hwnd(owner), v.c_str(), f.c_str(), p.c_str(), d.c_str(), show);
    return reinterpret_cast<std::intptr_t>(started);
}

}  // namespace plat
