// Windows, timers and the event pump over user32. Each window created here carries its
// handlers in a map keyed by HWND; the window procedure dispatches to them. The windows are
// Unicode windows: their titles and captions are set in wide form from CP932, so that the
// system shows them rightly whatever its ANSI code page (an ANSI window's title passes through
// that code page), and typed characters are handed on as CP932 bytes.
#include <algorithm>
#include <map>
#include <memory>
#include <vector>

#include "platform/timer.h"
#include "platform/win32/controls_win32.h"
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
    bool child = false;
    bool wants_chars = false;
    int access_key = 0;
    std::unique_ptr<Bitmap> image;  // the window's own image (children always, others on demand)
    bool needs_paint = false;
    CursorKind cursor = CursorKind::Arrow;
    HICON cursor_icon = nullptr;  // a copy of the custom shape's icon
    ~WindowData() {
        if (cursor_icon) DestroyIcon(cursor_icon);
    }
};

bool busy = false;  // the hourglass over every window of the program

HCURSOR cursor_of(const WindowData& data) {
    if (busy) return LoadCursor(nullptr, IDC_WAIT);
    switch (data.cursor) {
    case CursorKind::Hand: return LoadCursor(nullptr, IDC_HAND);
    case CursorKind::Wait: return LoadCursor(nullptr, IDC_WAIT);
    case CursorKind::Custom: return data.cursor_icon;  // an icon serves as a cursor
    default: return LoadCursor(nullptr, IDC_ARROW);
    }
}

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

// Handlers are copied before they run: a handler may destroy its own window.
template <typename F, typename... A>
void call(const F& handler, A... args) {
    if (!handler) return;
    auto copy = handler;
    copy(args...);
}

int buttons_of(WPARAM wp) {
    return (wp & MK_LBUTTON ? 1 : 0) | (wp & MK_RBUTTON ? 2 : 0) | (wp & MK_MBUTTON ? 4 : 0);
}

bool usable(HWND hwnd) { return IsWindowVisible(hwnd) && IsWindowEnabled(hwnd); }

// The dialog's tab order: its visible, enabled descendants marked WS_TABSTOP, in stacking
// order (the top child first), each followed by its own.
void tab_order(HWND parent, std::vector<HWND>& out) {
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (!usable(c)) continue;
        if (GetWindowLongA(c, GWL_STYLE) & WS_TABSTOP) out.push_back(c);
        tab_order(c, out);
    }
}

void descendants(HWND parent, std::vector<HWND>& out) {
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        out.push_back(c);
        descendants(c, out);
    }
}

HWND dialog_of(HWND hwnd) { return GetAncestor(hwnd, GA_ROOT); }

HWND move_focus_from(HWND from, bool forward) {
    from = win32::control_of(from);
    std::vector<HWND> tabs;
    tab_order(dialog_of(from), tabs);
    if (tabs.empty()) return win32::control_of(GetFocus());
    const std::size_t next = next_tab_stop(
        static_cast<std::size_t>(std::find(tabs.begin(), tabs.end(), from) - tabs.begin()), tabs.size(), forward);
    SetFocus(tabs[next]);
    return win32::control_of(GetFocus());
}

// The usable window of the dialog whose caption owns the key; the first in the tab order
// when several do.
HWND access_key_owner(HWND hwnd, int key) {
    if (key == 0) return nullptr;
    std::vector<HWND> all, tabs;
    descendants(dialog_of(hwnd), all);
    std::erase_if(all, [key](HWND c) {
        const WindowData* d = data_of(c);
        return !d || d->access_key != key || !usable(c);
    });
    if (all.empty()) return nullptr;
    tab_order(dialog_of(hwnd), tabs);
    for (HWND t : tabs)
        if (std::find(all.begin(), all.end(), t) != all.end()) return t;
    return all.front();
}

bool run_access_key(HWND hwnd, int key) {
    HWND owner = access_key_owner(hwnd, key);
    WindowData* d = owner ? data_of(owner) : nullptr;
    if (!d) return false;
    call(d->handlers.access_key);
    return true;
}

void show_image(HDC dc, const WindowData& data) {
    if (data.picture) {
        const Rect& r = data.picture_rect;
        const Surface s = data.picture->surface();
        if (r.width() == s.width && r.height() == s.height)
            BitBlt(dc, r.left, r.top, s.width, s.height, data.picture->dc(), 0, 0, SRCCOPY);
        else
            StretchBlt(dc, r.left, r.top, r.width(), r.height(), data.picture->dc(), 0, 0,
                       s.width, s.height, SRCCOPY);
    } else if (data.image) {
        const Surface s = data.image->surface();
        BitBlt(dc, 0, 0, s.width, s.height, static_cast<const win32::DibBitmap&>(*data.image).dc(), 0, 0, SRCCOPY);
    }
}

// A typed character (WM_CHAR of a Unicode window: one UTF-16 unit) as the CP932 bytes that
// an ANSI window on a Japanese system gets: one byte, or a double-byte character's lead byte
// and then its trail byte; "?" for a character that CP932 has no form for.
// A character outside the BMP comes as two halves (surrogates): the first gives nothing, the
// second the "?" of the whole.
std::string typed_cp932(WPARAM wp) {
    const auto unit = static_cast<wchar_t>(wp);
    if (unit >= 0xD800 && unit < 0xDC00) return {};
    if (unit >= 0xDC00 && unit < 0xE000) return "?";
    return win32::cp932_from_wide(std::wstring_view(&unit, 1));
}

LRESULT CALLBACK window_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    WindowData* data = data_of(hwnd);
    if (!data) return DefWindowProcW(hwnd, msg, wp, lp);
    const Point client{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
    switch (msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        const int vk = static_cast<int>(wp);
        const bool ctrl_or_alt = GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0;
        if (vk == VK_TAB && !ctrl_or_alt) {
            std::vector<HWND> tabs;
            tab_order(dialog_of(hwnd), tabs);
            if (!tabs.empty()) {
                move_focus_from(hwnd, GetKeyState(VK_SHIFT) >= 0);
                return 0;
            }
        }
        const bool letter = (vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9');
        if (msg == WM_SYSKEYDOWN && letter && run_access_key(hwnd, vk)) return 0;
        call(data->handlers.key_down, vk);
        return 0;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP:
        call(data->handlers.key_up, static_cast<int>(wp));
        return msg == WM_SYSKEYUP ? DefWindowProcW(hwnd, msg, wp, lp) : 0;
    case WM_SYSCHAR:
        return 0;  // Alt+letter was handled with its key (no menu, no beep)
    case WM_CHAR: {
        const std::string bytes = typed_cp932(wp);
        if (bytes.size() == 1) {
            const int ch = static_cast<unsigned char>(bytes[0]);
            if (ch == '\t') return 0;  // Tab was a focus move
            // A plain letter is an access key unless the focused window takes text.
            if (!data->wants_chars && ch > ' ' && ch < 0x7F) {
                const int key = ch >= 'a' && ch <= 'z' ? ch - 'a' + 'A' : ch;
                if (run_access_key(hwnd, key)) return 0;
            }
        }
        for (const char byte : bytes) {
            call(data->handlers.character, static_cast<int>(static_cast<unsigned char>(byte)));
            data = data_of(hwnd);  // the handler may have destroyed the window
            if (!data) return 0;
        }
        return 0;
    }
    case WM_SETCURSOR:
        if (LOWORD(lp) != HTCLIENT) return DefWindowProcW(hwnd, msg, wp, lp);
        SetCursor(cursor_of(*data));
        return TRUE;
    case WM_SETFOCUS:
        call(data->handlers.focus_gained);
        return 0;
    case WM_KILLFOCUS:
        call(data->handlers.focus_lost);
        return 0;
    case WM_MOUSEMOVE:
        call(data->handlers.mouse_move, buttons_of(wp), client);
        return 0;
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN:
        data->pressed = true;
        call(data->handlers.mouse_down, button_of(msg), client);
        return 0;
    case WM_LBUTTONDBLCLK: case WM_RBUTTONDBLCLK: case WM_MBUTTONDBLCLK:
        data->pressed = false;
        call(data->handlers.double_click,
             msg == WM_LBUTTONDBLCLK ? 1 : msg == WM_RBUTTONDBLCLK ? 2 : 4, client);
        return 0;
    case WM_LBUTTONUP: case WM_RBUTTONUP: case WM_MBUTTONUP: {
        const bool was_pressed = data->pressed;
        data->pressed = false;
        call(data->handlers.mouse_up, button_of(msg), client);
        // A click is a press and a release on the same window, the pointer still over it.
        POINT screen{client.x, client.y};
        ClientToScreen(hwnd, &screen);
        if (was_pressed && data_of(hwnd) && WindowFromPoint(screen) == hwnd) call(data_of(hwnd)->handlers.click);
        return 0;
    }
    case WM_SIZE:
        if (data->image) {
            const int width = std::max(1, static_cast<int>(LOWORD(lp))), height = std::max(1, static_cast<int>(HIWORD(lp)));
            if (width != data->image->width() || height != data->image->height()) {
                auto image = create_bitmap(width, height);
                bit_blt(*image, 0, 0, data->image->width(), data->image->height(), *data->image, 0, 0, Rop::SrcCopy);
                data->image = std::move(image);
                data->needs_paint = true;
                InvalidateRect(hwnd, nullptr, FALSE);
            }
        }
        return 0;
    case WM_TIMER:
        if (data->handlers.timer) {
            auto handler = data->handlers.timer;  // the handler may destroy the window
            handler(static_cast<int>(wp));
        }
        return 0;
    case WM_PAINT: {
        if (data->needs_paint) {
            data->needs_paint = false;
            call(data->handlers.paint);
            data = data_of(hwnd);
            if (!data) return 0;
        }
        GdiFlush();
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        show_image(dc, *data);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_COMMAND:
        if (lp) win32::control_command(reinterpret_cast<HWND>(lp), HIWORD(wp));
        return 0;
    case WM_ENABLE:
        // A control shows whether it takes input: it draws itself again.
        if (data->child) {
            data->needs_paint = true;
            InvalidateRect(hwnd, nullptr, FALSE);
        }
        return 0;
    case WM_CLOSE:
        // DestroyWindow hides the window before WM_DESTROY: a window with something to show on
        // its way out (a closing animation) does it here, then destroys itself.
        if (data->handlers.close) data->handlers.close();
        else DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY: {
        if (data->handlers.unload) {
            auto unload = std::move(data->handlers.unload);
            unload();
        }
        const bool child = data->child;
        registry().erase(hwnd);
        if (!child && std::none_of(registry().begin(), registry().end(), [](const auto& w) { return !w.second->child; }))
            PostQuitMessage(0);
        return 0;
    }
    default:
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
}

const wchar_t* window_class() {
    static const wchar_t* name = [] {
        WNDCLASSW wc{};
        wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
        wc.lpfnWndProc = window_proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        wc.lpszClassName = L"ZephloraWindow";
        RegisterClassW(&wc);
        return L"ZephloraWindow";
    }();
    return name;
}

// Child windows paint everything from their image: no background brush.
const wchar_t* child_class() {
    static const wchar_t* name = [] {
        WNDCLASSW wc{};
        wc.style = CS_DBLCLKS;
        wc.lpfnWndProc = window_proc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
        wc.lpszClassName = L"ZephloraChild";
        RegisterClassW(&wc);
        return L"ZephloraChild";
    }();
    return name;
}

}  // namespace

namespace {
DWORD top_level_style(WindowStyle style) {
    return style == WindowStyle::Popup ? WS_POPUP : (WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_BORDER);
}
}  // namespace

Rect window_rect_for_client(WindowStyle style, const Rect& client) {
    RECT r{client.left, client.top, client.right, client.bottom};
    if (!AdjustWindowRectEx(&r, top_level_style(style), FALSE, 0)) return client;
    return {r.left, r.top, r.right, r.bottom};
}

namespace {
// The twips per pixel of a display of 96 dots per inch: the one that layouts are designed for.
constexpr int kDesignTwipsPerPixel = 1440 / 96;

// Set on a thread whose windows show the 96-dpi design whole: there a pixel is the design's.
thread_local bool design_pixels = false;
}  // namespace

void use_gdi_scaled_dpi_for_thread() {
    // SetThreadDpiAwarenessContext exists from Windows 10 1607 on; GDI scaling from 1703. There
    // the context makes the thread DPI-unaware: it sees a display of 96 dpi, and the system
    // scales its windows, text drawn sharp. On an older system, or where the context is unknown
    // (Wine), the call is absent or fails: the process stays DPI-aware and the windows show the
    // design at 1:1, never positions scaled with their contents left at their pixel size.
    // DPI_AWARENESS_CONTEXT_UNAWARE_GDISCALED is the handle value -5.
    using SetContext = HANDLE(WINAPI*)(HANDLE);
    HMODULE user32 = GetModuleHandleA("user32.dll");
    auto set_context = user32 ? reinterpret_cast<SetContext>(reinterpret_cast<void*>(
                                    GetProcAddress(user32, "SetThreadDpiAwarenessContext")))
                              : nullptr;
    if (set_context) set_context(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-5)));
    design_pixels = true;
}

bool win32::dialog_access_key(HWND from, int key) { return run_access_key(from, key); }

WindowHandle create_window(const WindowDesc& desc, WindowHandlers handlers) {
    // A full-screen window needs nothing more than its rect here: a popup window as large as
    // the screen covers it, taskbar included, and GDI shows every frame as it is drawn.
    const DWORD style = top_level_style(desc.style);
    const Rect& r = desc.rect;
    auto data = std::make_unique<WindowData>();
    data->handlers = std::move(handlers);
    HWND hwnd = CreateWindowExW(0, window_class(), L"", style, r.left, r.top, r.width(), r.height(),
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!hwnd) return WindowHandle::None;
    registry()[hwnd] = std::move(data);
    // The title is set after the handlers are in place.
    SetWindowTextW(hwnd, win32::wide_from_cp932(desc.title).c_str());
    return win32::from_hwnd(hwnd);
}

WindowHandle create_child(WindowHandle parent, const ChildDesc& desc, WindowHandlers handlers) {
    HWND owner = win32::to_hwnd(parent);
    if (!data_of(owner)) return WindowHandle::None;
    const Rect& r = desc.rect;
    auto data = std::make_unique<WindowData>();
    data->handlers = std::move(handlers);
    data->child = true;
    data->wants_chars = desc.wants_chars;
    data->access_key = access_key_of(desc.caption);
    data->image = create_bitmap(std::max(1, r.width()), std::max(1, r.height()));
    data->needs_paint = true;
    const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | (desc.tab_stop ? WS_TABSTOP : 0);
    // Created hidden, so that nothing of it shows before its handlers are in place.
    HWND hwnd = CreateWindowExW(0, child_class(), win32::wide_from_cp932(desc.caption).c_str(), style, r.left,
                                r.top, r.width(), r.height(), owner, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!hwnd) return WindowHandle::None;
    registry()[hwnd] = std::move(data);
    // A new child goes below its siblings: the stacking order is the creation order.
    SetWindowPos(hwnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (desc.visible) ShowWindow(hwnd, SW_SHOWNA);
    return win32::from_hwnd(hwnd);
}

WindowHandle get_parent(WindowHandle window) { return win32::from_hwnd(GetParent(win32::to_hwnd(window))); }

void set_window_caption(WindowHandle window, std::string_view caption) {
    HWND hwnd = win32::to_hwnd(window);
    if (WindowData* d = data_of(hwnd)) d->access_key = access_key_of(caption);
    SetWindowTextW(hwnd, win32::wide_from_cp932(caption).c_str());
}

bool enable_window(WindowHandle window, bool enabled) { return EnableWindow(win32::to_hwnd(window), enabled) != 0; }
bool is_window_enabled(WindowHandle window) { return IsWindowEnabled(win32::to_hwnd(window)) != 0; }
bool is_window_visible(WindowHandle window) { return IsWindowVisible(win32::to_hwnd(window)) != 0; }

bool set_window_region(WindowHandle window, GdiObject region, bool redraw) {
    return SetWindowRgn(win32::to_hwnd(window), reinterpret_cast<HRGN>(static_cast<std::uintptr_t>(region)), redraw) != 0;
}

Dc window_dc(WindowHandle window) {
    HWND hwnd = win32::to_hwnd(window);
    WindowData* d = data_of(hwnd);
    if (!d) return Dc::None;
    if (!d->image) {
        RECT r;
        GetClientRect(hwnd, &r);
        d->image = create_bitmap(std::max(1, static_cast<int>(r.right)), std::max(1, static_cast<int>(r.bottom)));
    }
    return bitmap_dc(*d->image);
}

void update_window(WindowHandle window) {
    HWND hwnd = win32::to_hwnd(window);
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateWindow(hwnd);
}

void invalidate_window(WindowHandle window) {
    HWND hwnd = win32::to_hwnd(window);
    if (WindowData* d = data_of(hwnd)) d->needs_paint = true;
    InvalidateRect(hwnd, nullptr, FALSE);
}

WindowHandle set_capture(WindowHandle window) { return win32::from_hwnd(SetCapture(win32::to_hwnd(window))); }
bool release_capture() { return ReleaseCapture() != 0; }
WindowHandle get_capture() { return win32::from_hwnd(GetCapture()); }

WindowHandle window_from_point(Point screen) { return win32::from_hwnd(WindowFromPoint(POINT{screen.x, screen.y})); }

bool screen_to_client(WindowHandle window, Point& point) {
    POINT p{point.x, point.y};
    if (!ScreenToClient(win32::to_hwnd(window), &p)) return false;
    point = {p.x, p.y};
    return true;
}

bool client_to_screen(WindowHandle window, Point& point) {
    POINT p{point.x, point.y};
    if (!ClientToScreen(win32::to_hwnd(window), &p)) return false;
    point = {p.x, p.y};
    return true;
}

// A combo box has the focus while its edit field has it.
WindowHandle set_focus(WindowHandle window) {
    return win32::from_hwnd(win32::control_of(SetFocus(win32::to_hwnd(window))));
}
WindowHandle get_focus() { return win32::from_hwnd(win32::control_of(GetFocus())); }
WindowHandle move_focus(WindowHandle from, bool forward) {
    return win32::from_hwnd(move_focus_from(win32::to_hwnd(from), forward));
}

bool set_window_cursor(WindowHandle window, CursorKind kind, Icon custom) {
    WindowData* d = data_of(win32::to_hwnd(window));
    if (!d || (kind == CursorKind::Custom && custom == Icon::None)) return false;
    if (d->cursor_icon) DestroyIcon(d->cursor_icon);
    d->cursor_icon = kind == CursorKind::Custom
                         ? CopyIcon(reinterpret_cast<HICON>(static_cast<std::uintptr_t>(custom)))
                         : nullptr;
    d->cursor = kind;
    return true;
}

void set_busy_cursor(bool on) {
    busy = on;
    // The shape changes at once, not only at the next move of the pointer.
    POINT p;
    GetCursorPos(&p);
    HWND under = WindowFromPoint(p);
    const WindowData* d = data_of(under);
    SetCursor(on ? LoadCursor(nullptr, IDC_WAIT) : d ? cursor_of(*d) : LoadCursor(nullptr, IDC_ARROW));
}

bool display_available() { return true; }

int shift_state() {
    return (GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
           (GetKeyState(VK_MENU) < 0 ? 4 : 0);
}

bool set_prop(WindowHandle window, std::string_view name, std::intptr_t value) {
    return SetPropA(win32::to_hwnd(window), win32::z(name).c_str(), reinterpret_cast<HANDLE>(value)) != 0;
}
std::intptr_t get_prop(WindowHandle window, std::string_view name) {
    return reinterpret_cast<std::intptr_t>(GetPropA(win32::to_hwnd(window), win32::z(name).c_str()));
}
std::intptr_t remove_prop(WindowHandle window, std::string_view name) {
    return reinterpret_cast<std::intptr_t>(RemovePropA(win32::to_hwnd(window), win32::z(name).c_str()));
}

void destroy_window(WindowHandle window) { DestroyWindow(win32::to_hwnd(window)); }
bool is_window(WindowHandle window) { return IsWindow(win32::to_hwnd(window)) != 0; }

// The title compared as the system holds it, in wide form from CP932: a copy on a system of
// any code page finds a window of another copy.
WindowHandle find_window_by_title(std::string_view title) {
    return win32::from_hwnd(FindWindowW(nullptr, win32::wide_from_cp932(title).c_str()));
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

bool set_window_icon(WindowHandle window, const Bitmap&) { return IsWindow(win32::to_hwnd(window)) != 0; }

void show_window(WindowHandle window, bool visible) {
    ShowWindow(win32::to_hwnd(window), visible ? SW_SHOWNORMAL : SW_HIDE);
    if (visible) UpdateWindow(win32::to_hwnd(window));
}

namespace {
BOOL CALLBACK add_other_monitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(monitor, &info) && !(info.dwFlags & MONITORINFOF_PRIMARY))
        reinterpret_cast<std::vector<Rect>*>(list)->push_back(win32::from_rect(info.rcMonitor));
    return TRUE;
}
}  // namespace

std::vector<Rect> other_monitors() {
    std::vector<Rect> monitors;
    EnumDisplayMonitors(nullptr, nullptr, add_other_monitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

Point screen_size_px() { return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}; }

int display_scale() {
    // The primary monitor's effective DPI (GetDpiForMonitor, Windows 8.1 on; shcore is loaded
    // by name so that older systems still start), else the system's.
    int dpi = 0;
    if (HMODULE shcore = LoadLibraryA("shcore.dll")) {
        using GetDpi = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
        if (auto get = reinterpret_cast<GetDpi>(reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")))) {
            UINT x = 0, y = 0;
            const HMONITOR primary = MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
            if (SUCCEEDED(get(primary, 0 /* MDT_EFFECTIVE_DPI */, &x, &y))) dpi = static_cast<int>(y);
        }
        FreeLibrary(shcore);
    }
    if (dpi <= 0) {
        HDC dc = GetDC(nullptr);
        dpi = GetDeviceCaps(dc, LOGPIXELSY);
        ReleaseDC(nullptr, dc);
    }
    return std::clamp(dpi / 96, 1, kMaxDisplayScale);
}

// The screen's, or the design's on a thread that shows the design whole (which is the screen's
// where the system scales that thread's windows: it reports 96 dpi there).
Point twips_per_pixel() {
    if (design_pixels) return {kDesignTwipsPerPixel, kDesignTwipsPerPixel};
    HDC dc = GetDC(nullptr);
    const int dpi_x = GetDeviceCaps(dc, LOGPIXELSX), dpi_y = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return {dpi_x > 0 ? 1440 / dpi_x : kDesignTwipsPerPixel, dpi_y > 0 ? 1440 / dpi_y : kDesignTwipsPerPixel};
}

int show_cursor(bool show) { return ShowCursor(show ? TRUE : FALSE); }

bool get_cursor_pos(Point& out) {
    POINT p;
    if (!GetCursorPos(&p)) return false;
    out = {p.x, p.y};
    return true;
}

int message_box(WindowHandle owner, std::string_view text, std::string_view title, std::uint32_t style) {
    return MessageBoxW(win32::to_hwnd(owner), win32::wide_from_cp932(text).c_str(),
                       win32::wide_from_cp932(title).c_str(), style);
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

// BitBlt has read the picture when it returns, and frames are not paced here.
void await_frame(WindowHandle, std::uint32_t pause_ms) {
    if (pause_ms > 0) Sleep(pause_ms);
}

std::unique_ptr<Bitmap> create_window_bitmap(WindowHandle, int width, int height) {
    // A DIB section already, which GDI copies to the window straight.
    return create_bitmap(width, height);
}

void pump_events() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void run_event_loop() {
    if (registry().empty()) return;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool set_timer(WindowHandle window, int timer_id, std::uint32_t period_ms) {
    return SetTimer(win32::to_hwnd(window), static_cast<UINT_PTR>(timer_id), period_ms, nullptr) != 0;
}

bool kill_timer(WindowHandle window, int timer_id) {
    return KillTimer(win32::to_hwnd(window), static_cast<UINT_PTR>(timer_id)) != 0;
}

}  // namespace plat
