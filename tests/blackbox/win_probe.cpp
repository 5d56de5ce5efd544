// A small Windows program that the black-box tests run under Wine beside Zephlora.scr.
// Texts travel as hexadecimal CP932 bytes on the command line and on stdout, so that no
// code-page conversion can change them on the way; to and from windows they go in wide form,
// converted from and to code page 932 whatever Wine's ANSI code page is.
//
//   win_probe window TITLE SECONDS       opens a top-level window titled TITLE, prints
//                                        "ready" and its handle, and closes after SECONDS
//   win_probe close TITLE SECONDS        waits up to SECONDS for a window titled TITLE,
//                                        prints its style, and sends it WM_CLOSE
//   win_probe msgbox TITLE SECONDS       waits up to SECONDS for a window titled TITLE,
//                                        prints its style and each child's class and text,
//                                        then presses its OK button
//   win_probe get PATH (SECTION KEY SIZE)...
//                                        prints GetPrivateProfileStringA's result for each
//   win_probe put PATH SECTION KEY VALUE WritePrivateProfileStringA
//   win_probe client TITLE SECONDS       waits up to SECONDS for a window titled TITLE and
//                                        prints "client WIDTH HEIGHT at X Y": its client
//                                        area's size and its top-left corner on the screen
//   win_probe host TITLE SECONDS         as window, and every second prints its client size
//                                        and each child's text, place in the client area,
//                                        size and visibility
#include "platform/win32/prelude.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string unhex(const char* text) {
    std::string out;
    for (const char* p = text; p[0] && p[1]; p += 2) out.push_back(static_cast<char>(std::strtol(std::string(p, 2).c_str(), nullptr, 16)));
    return out;
}

std::wstring wide(const std::string& cp932) {
    std::wstring out(cp932.size() + 1, L'\0');
    const int n = MultiByteToWideChar(932, 0, cp932.data(), static_cast<int>(cp932.size()), out.data(),
                                      static_cast<int>(out.size()));
    out.resize(static_cast<std::size_t>(n > 0 ? n : 0));
    return out;
}

std::string cp932(const wchar_t* text) {
    const int n = WideCharToMultiByte(932, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n > 0 ? n : 1), '\0');
    if (n > 0) WideCharToMultiByte(932, 0, text, -1, out.data(), n, nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
}

// A window's text, as CP932.
std::string text_of(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return cp932(text);
}

std::string hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out.push_back(digits[c >> 4]);
        out.push_back(digits[c & 15]);
    }
    return out;
}

BOOL CALLBACK print_placed_child(HWND child, LPARAM parent) {
    const std::string text = text_of(child);
    RECT r;
    GetWindowRect(child, &r);
    POINT origin{r.left, r.top};
    ScreenToClient(reinterpret_cast<HWND>(parent), &origin);
    std::printf("placed %s %ld %ld %ld %ld visible %d\n", hex(text).c_str(), origin.x, origin.y, r.right - r.left,
                r.bottom - r.top, IsWindowVisible(child) ? 1 : 0);
    return TRUE;
}

constexpr UINT_PTR kReportTimer = 2;

LRESULT CALLBACK probe_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_TIMER && wp == kReportTimer) {
        RECT client;
        GetClientRect(hwnd, &client);
        std::printf("client %ld %ld\n", client.right, client.bottom);
        EnumChildWindows(hwnd, print_placed_child, reinterpret_cast<LPARAM>(hwnd));
        std::fflush(stdout);
        return 0;
    }
    if (msg == WM_TIMER || msg == WM_CLOSE) {
        DestroyWindow(hwnd);
        return 0;
    }
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

int open_window(const std::string& title, int seconds, bool report = false) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = probe_proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ProbeWindow";
    RegisterClassW(&wc);
    HWND hwnd = CreateWindowExW(0, L"ProbeWindow", wide(title).c_str(), WS_OVERLAPPEDWINDOW, 10, 10, 200, 100,
                                nullptr, nullptr, wc.hInstance, nullptr);
    if (!hwnd) return 1;
    ShowWindow(hwnd, SW_SHOWNORMAL);
    SetTimer(hwnd, 1, static_cast<UINT>(seconds) * 1000u, nullptr);
    if (report) SetTimer(hwnd, kReportTimer, 1000, nullptr);
    std::printf("ready %lu\n", static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(hwnd)));
    std::fflush(stdout);
    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
    return 0;
}

BOOL CALLBACK print_child(HWND child, LPARAM) {
    char cls[64] = {};
    GetClassNameA(child, cls, sizeof cls);
    const std::string text = text_of(child);
    const unsigned long style = static_cast<unsigned long>(GetWindowLongA(child, GWL_STYLE));
    std::printf("child %s %08lx %s\n", cls, style, hex(text).c_str());
    return TRUE;
}

HWND wait_for(const std::string& title, int seconds) {
    HWND found = nullptr;
    for (int i = 0; i < seconds * 10 && !found; ++i) {
        found = FindWindowW(nullptr, wide(title).c_str());
        if (!found) Sleep(100);
    }
    return found;
}

int close_window(const std::string& title, int seconds) {
    HWND window = wait_for(title, seconds);
    if (!window) {
        std::printf("none\n");
        return 2;
    }
    std::printf("style %08lx visible %d\n", static_cast<unsigned long>(GetWindowLongA(window, GWL_STYLE)),
                IsWindowVisible(window) ? 1 : 0);
    std::fflush(stdout);
    PostMessageA(window, WM_CLOSE, 0, 0);
    return 0;
}

int inspect_message_box(const std::string& title, int seconds) {
    HWND box = wait_for(title, seconds);
    if (!box) {
        std::printf("none\n");
        return 2;
    }
    char cls[64] = {};
    GetClassNameA(box, cls, sizeof cls);
    std::printf("class %s\n", cls);
    EnumChildWindows(box, print_child, 0);
    std::fflush(stdout);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    return 0;
}

int report_client(const std::string& title, int seconds) {
    HWND window = wait_for(title, seconds);
    if (!window) {
        std::printf("none\n");
        return 2;
    }
    // The window is shown at the end of its load: wait for that, so the place is final.
    for (int i = 0; i < seconds * 10 && !IsWindowVisible(window); ++i) Sleep(100);
    RECT client;
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    std::printf("client %ld %ld at %ld %ld\n", client.right, client.bottom, origin.x, origin.y);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "window" && argc == 4) return open_window(unhex(argv[2]), std::atoi(argv[3]));
    if (command == "host" && argc == 4) return open_window(unhex(argv[2]), std::atoi(argv[3]), true);
    if (command == "client" && argc == 4) return report_client(unhex(argv[2]), std::atoi(argv[3]));
    if (command == "close" && argc == 4) return close_window(unhex(argv[2]), std::atoi(argv[3]));
    if (command == "desktop") {  // the desktop window's handle, in decimal
        std::printf("%lu\n", static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(GetDesktopWindow())));
        return 0;
    }
    if (command == "msgbox" && argc == 4) return inspect_message_box(unhex(argv[2]), std::atoi(argv[3]));
    if (command == "get" && argc >= 6 && (argc - 3) % 3 == 0) {
        const std::string path = unhex(argv[2]);
        for (int i = 3; i + 2 < argc; i += 3) {
            const int size = std::atoi(argv[i + 2]);
            std::vector<char> buffer(static_cast<std::size_t>(size) + 1, '\0');
            const DWORD n = GetPrivateProfileStringA(unhex(argv[i]).c_str(), unhex(argv[i + 1]).c_str(), "",
                                                     buffer.data(), static_cast<DWORD>(size), path.c_str());
            std::printf("%lu %s\n", static_cast<unsigned long>(n), hex(buffer.data()).c_str());
        }
        return 0;
    }
    if (command == "put" && argc == 6) {
        const BOOL ok = WritePrivateProfileStringA(unhex(argv[3]).c_str(), unhex(argv[4]).c_str(),
                                                   unhex(argv[5]).c_str(), unhex(argv[2]).c_str());
        std::printf("%d\n", ok ? 1 : 0);
        return 0;
    }
    std::fprintf(stderr, "usage: win_probe window|host|close|desktop|msgbox|get|put ...\n");
    return 64;
}
