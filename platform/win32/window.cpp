// Windows, timers and the event pump over user32. Each window created here carries its
// handlers in a map keyed by HWND; the window procedure dispatches to them.
#include <map>
#include <memory>

#include "platform/timer.h"
#include "platform/win32/draw_win32.h"
#include "platform/win32/prelude.h"
#include "platform/window.h"

namespace plat {
namespace {

struct WindowData {
    WindowHandlers handlers;
    const win32::DibBitmap* picture = nullptr;
    Rect picture_rect;
    bool pressed = false;
};

std::map<HWND, std::unique_ptr<WindowData>>& registry() {
    static std::map<HWND, std::unique_ptr<WindowData>> windows;
    return windows;
}

WindowData* data_of(HWND hwnd) {
    auto it = registry().find(hwnd);
    return it == registry().end() ? nullptr : it->second.get();
}

int button_of(UINT msg) {
    switch (msg) {
    case WM_LBUTTONDOWN: case WM_LBUTTONUP: return 1;
    case WM_RBUTTONDOWN: case WM_RBUTTONUP: return 2;
    default: return 4;
    }
}

LRESULT CALLBACK window_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    WindowData* data = data_of(hwnd);
    if (!data) return DefWindowProcA(hwnd, msg, wp, lp);
    const Point client{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
    switch (msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (data->handlers.key_down) data->handlers.key_down(static_cast<int>(wp));
        return 0;
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
        data->pressed = true;
        if (data->handlers.mouse_down) data->handlers.mouse_down(button_of(msg), client);
        return 0;
    case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP: {
        const bool was_pressed = data->pressed;
        data->pressed = false;
        if (data->handlers.mouse_up) data->handlers.mouse_up(button_of(msg), client);
        if (was_pressed && data_of(hwnd) && data->handlers.click) data->handlers.click();
        return 0;
    }
    case WM_TIMER:
        if (data->handlers.timer) {
            auto handler = data->handlers.timer;  // the handler may destroy the window
            handler(static_cast<int>(wp));
        }
        return 0;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        if (data->picture) {
            const Rect& r = data->picture_rect;
            const Surface s = data->picture->surface();
            if (r.width() == s.width && r.height() == s.height)
                BitBlt(dc, r.left, r.top, s.width, s.height, data->picture->dc(), 0, 0, SRCCOPY);
            else
                StretchBlt(dc, r.left, r.top, r.width(), r.height(), data->picture->dc(), 0, 0,
                           s.width, s.height, SRCCOPY);
        }
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_CLOSE:
        DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY: {
        if (data->handlers.unload) {
            auto unload = std::move(data->handlers.unload);
            unload();
        }
        registry().erase(hwnd);
        if (registry().empty()) PostQuitMessage(0);
        return 0;
    }
    default:
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

const char* window_class() {
    static const char* name = [] {
        WNDCLASSA wc{};
        wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
        wc.lpfnWndProc = window_proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hIcon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        wc.lpszClassName = "ZephloraWindow";
        RegisterClassA(&wc);
        return "ZephloraWindow";
    }();
    return name;
}

}  // namespace

WindowHandle create_window(const WindowDesc& desc, WindowHandlers handlers) {
    // A full-screen window needs nothing more than its rect here: a popup window as large as
    // the screen covers it, taskbar included, and GDI shows every frame as it is drawn.
    const DWORD style = desc.style == WindowStyle::Popup
                            ? WS_POPUP
                            : (WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_BORDER);
    const Rect& r = desc.rect;
    auto data = std::make_unique<WindowData>();
    data->handlers = std::move(handlers);
    HWND hwnd = CreateWindowExA(0, window_class(), "", style, r.left, r.top, r.width(), r.height(),
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!hwnd) return WindowHandle::None;
    registry()[hwnd] = std::move(data);
    // The title is set after the handlers are in place, in the ANSI code page.
    SetWindowTextA(hwnd, desc.title.c_str());
    return win32::from_hwnd(hwnd);
}

void destroy_window(WindowHandle window) { DestroyWindow(win32::to_hwnd(window)); }
bool is_window(WindowHandle window) { return IsWindow(win32::to_hwnd(window)) != 0; }

WindowHandle find_window_by_title(std::string_view title) {
    return win32::from_hwnd(FindWindowA(nullptr, win32::z(title).c_str()));
}

bool is_desktop_window(WindowHandle window) {
    const HWND h = win32::to_hwnd(window);
    return h != nullptr && (h == GetDesktopWindow() || h == GetShellWindow());
}

bool get_window_rect(WindowHandle window, Rect& out) {
    RECT r;
    if (!GetWindowRect(win32::to_hwnd(window), &r)) return false;
    out = win32::from_rect(r);
    return true;
}

std::int32_t get_window_long(WindowHandle window, int index) {
    return static_cast<std::int32_t>(GetWindowLongA(win32::to_hwnd(window), index));
}

std::int32_t set_window_long(WindowHandle window, int index, std::int32_t value) {
    return static_cast<std::int32_t>(SetWindowLongA(win32::to_hwnd(window), index, value));
}

WindowHandle set_parent(WindowHandle child, WindowHandle parent) {
    return win32::from_hwnd(SetParent(win32::to_hwnd(child), win32::to_hwnd(parent)));
}

bool set_window_pos(WindowHandle window, std::intptr_t insert_after, int x, int y, int cx, int cy,
                    std::uint32_t flags) {
    return SetWindowPos(win32::to_hwnd(window), reinterpret_cast<HWND>(insert_after), x, y, cx, cy, flags) != 0;
}

bool move_window(WindowHandle window, int x, int y, int width, int height) {
    return MoveWindow(win32::to_hwnd(window), x, y, width, height, TRUE) != 0;
}

void show_window(WindowHandle window, bool visible) {
    ShowWindow(win32::to_hwnd(window), visible ? SW_SHOWNORMAL : SW_HIDE);
    if (visible) UpdateWindow(win32::to_hwnd(window));
}

Point screen_size_px() { return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

Point twips_per_pixel() {
    HDC dc = GetDC(nullptr);
    const int dpi_x = GetDeviceCaps(dc, LOGPIXELSX), dpi_y = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return {dpi_x > 0 ? 1440 / dpi_x : 15, dpi_y > 0 ? 1440 / dpi_y : 15};
}

int show_cursor(bool show) { return ShowCursor(show ? TRUE : FALSE); }

bool get_cursor_pos(Point& out) {
    POINT p;
    if (!GetCursorPos(&p)) return false;
    out = {p.x, p.y};
    return true;
}

int message_box(WindowHandle owner, std::string_view text, std::string_view title, std::uint32_t style) {
    return MessageBoxA(win32::to_hwnd(owner), win32::z(text).c_str(), win32::z(title).c_str(), style);
}

bool draw_animated_rects(WindowHandle window, int animation, const Rect& from, const Rect& to) {
    const RECT f = win32::to_rect(from), t = win32::to_rect(to);
    return DrawAnimatedRects(win32::to_hwnd(window), animation, &f, &t) != 0;
}

void present(WindowHandle window, const Bitmap& picture, int x, int y, int width, int height) {
    HWND hwnd = win32::to_hwnd(window);
    WindowData* data = data_of(hwnd);
    const auto* dib = dynamic_cast<const win32::DibBitmap*>(&picture);
    if (!data || !dib) return;
    data->picture = dib;
    data->picture_rect = {x, y, x + width, y + height};
    GdiFlush();
    HDC dc = GetDC(hwnd);
    const Surface s = dib->surface();
    if (width == s.width && height == s.height)
        BitBlt(dc, x, y, width, height, dib->dc(), 0, 0, SRCCOPY);
    else
        StretchBlt(dc, x, y, width, height, dib->dc(), 0, 0, s.width, s.height, SRCCOPY);
    ReleaseDC(hwnd, dc);
}

void present_changed(WindowHandle window, const Bitmap& picture, int x, int y, const Rect* changed,
                     std::size_t count) {
    HWND hwnd = win32::to_hwnd(window);
    WindowData* data = data_of(hwnd);
    const auto* dib = dynamic_cast<const win32::DibBitmap*>(&picture);
    if (!data || !dib) return;
    const Surface s = dib->surface();
    const Rect place{x, y, x + s.width, y + s.height};
    if (data->picture != dib || data->picture_rect != place) {
        present(window, picture, x, y, s.width, s.height);
        return;
    }
    GdiFlush();
    HDC dc = GetDC(hwnd);
    for (std::size_t i = 0; i < count; ++i) {
        const Rect& r = changed[i];
        BitBlt(dc, x + r.left, y + r.top, r.width(), r.height(), dib->dc(), r.left, r.top, SRCCOPY);
    }
    ReleaseDC(hwnd, dc);
}

void pump_events() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void run_event_loop() {
    if (registry().empty()) return;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

bool set_timer(WindowHandle window, int timer_id, std::uint32_t period_ms) {
    return SetTimer(win32::to_hwnd(window), static_cast<UINT_PTR>(timer_id), period_ms, nullptr) != 0;
}

bool kill_timer(WindowHandle window, int timer_id) {
    return KillTimer(win32::to_hwnd(window), static_cast<UINT_PTR>(timer_id)) != 0;
}

}  // namespace plat
