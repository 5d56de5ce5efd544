// The combo box of the Win32 back end: the system's COMBOBOX with CBS_DROPDOWN. Its edit
// field is subclassed so that Tab and Shift+Tab walk the dialog's tab order as they do from
// the back end's own windows.
#include <cctype>
#include <map>
#include <memory>

#include "platform/controls.h"
#include "platform/win32/controls_win32.h"
#include "platform/win32/prelude.h"

namespace plat {
namespace {

struct ComboData {
    HWND combo = nullptr;
    ComboHandlers handlers;
    HFONT font = nullptr;
    WNDPROC edit_proc = nullptr;
    bool setting = false;  // the field's text is being set by the program, not the user
};

std::map<HWND, std::unique_ptr<ComboData>>& combos() {
    static std::map<HWND, std::unique_ptr<ComboData>> all;
    return all;
}

// The combo that an edit field belongs to.
ComboData* of_edit(HWND edit) {
    for (auto& [h, c] : combos())
        if (GetWindow(h, GW_CHILD) == edit || FindWindowExA(h, nullptr, "EDIT", nullptr) == edit) return c.get();
    return nullptr;
}

void fire(const std::function<void()>& handler) {
    if (!handler) return;
    auto copy = handler;
    copy();
}

LRESULT CALLBACK edit_proc(HWND edit, UINT msg, WPARAM wp, LPARAM lp) {
    ComboData* c = of_edit(edit);
    if (!c) return DefWindowProcA(edit, msg, wp, lp);
    const WNDPROC original = c->edit_proc;
    switch (msg) {
    case WM_KEYDOWN:
        if (wp == VK_TAB && GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0) {
            move_focus(win32::from_hwnd(c->combo), GetKeyState(VK_SHIFT) >= 0);
            return 0;
        }
        // Escape closes a dropped list; otherwise it is the dialog's, which may end the box
        // with it (nothing of `c` is touched afterwards).
        if (wp == VK_ESCAPE && !SendMessageA(c->combo, CB_GETDROPPEDSTATE, 0, 0) && c->handlers.cancel) {
            const auto cancel = c->handlers.cancel;
            cancel();
            return 0;
        }
        break;
    case WM_CHAR:
        if (wp == '\t') return 0;
        break;
    case WM_SYSKEYDOWN:
        if (((wp >= 'A' && wp <= 'Z') || (wp >= '0' && wp <= '9')) && win32::dialog_access_key(c->combo, static_cast<int>(wp)))
            return 0;
        break;
    case WM_SYSCHAR:
        if (wp < 0x80 && std::isalnum(static_cast<int>(wp))) return 0;  // taken with its key: no menu, no beep
        break;
    case WM_NCDESTROY: {
        const HWND combo = c->combo;
        SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        if (c->font) DeleteObject(c->font);
        combos().erase(combo);
        return CallWindowProcA(original, edit, msg, wp, lp);
    }
    default: break;
    }
    return CallWindowProcA(original, edit, msg, wp, lp);
}

HWND combo_of(WindowHandle h) {
    HWND hwnd = win32::to_hwnd(h);
    return combos().count(hwnd) ? hwnd : nullptr;
}

}  // namespace

namespace win32 {
void control_command(HWND control, int code) {
    auto it = combos().find(control);
    if (it == combos().end()) return;
    if (code == CBN_EDITCHANGE && !it->second->setting) fire(it->second->handlers.change);
    if (code == CBN_SELCHANGE) {
        // The field takes the item's text only after this notification: it is given it here,
        // so that the handlers read the text chosen.
        const LRESULT i = SendMessageA(control, CB_GETCURSEL, 0, 0);
        const LRESULT n = i >= 0 ? SendMessageA(control, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0) : -1;
        if (n >= 0) {
            std::string item(static_cast<std::size_t>(n) + 1, '\0');
            SendMessageA(control, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item.data()));
            it->second->setting = true;
            SetWindowTextA(control, item.c_str());
            it->second->setting = false;
        }
        fire(it->second->handlers.change);
        if (combos().count(control)) fire(it->second->handlers.select);
    }
}
HWND control_of(HWND hwnd) {
    if (hwnd)
        if (ComboData* c = of_edit(hwnd)) return c->combo;
    return hwnd;
}
}  // namespace win32

WindowHandle create_combo_box(WindowHandle parent, const ComboDesc& desc, ComboHandlers handlers) {
    HWND owner = win32::to_hwnd(parent);
    if (!IsWindow(owner)) return WindowHandle::None;
    const Rect& r = desc.rect;
    const DWORD style = WS_CHILD | WS_VSCROLL | WS_CLIPSIBLINGS | CBS_DROPDOWN | CBS_AUTOHSCROLL |
                        (desc.tab_stop ? WS_TABSTOP : 0);
    // The window's height is the field's and the dropped list's together.
    HWND hwnd = CreateWindowExA(0, "COMBOBOX", "", style, r.left, r.top, r.width(), r.height() + 200, owner,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!hwnd) return WindowHandle::None;
    auto data = std::make_unique<ComboData>();
    data->combo = hwnd;
    data->handlers = std::move(handlers);
    data->font = reinterpret_cast<HFONT>(static_cast<std::uintptr_t>(create_font(desc.font)));
    if (data->font) SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(data->font), FALSE);
    // The field as high as asked: its height is the selection field's item height plus the
    // edges (three pixels above and below).
    if (r.height() > 6) SendMessageA(hwnd, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), r.height() - 6);
    const LRESULT item = SendMessageA(hwnd, CB_GETITEMHEIGHT, 0, 0);
    const int rows = desc.list_rows > 0 ? desc.list_rows : 8;
    SetWindowPos(hwnd, HWND_BOTTOM, 0, 0, r.width(), r.height() + rows * static_cast<int>(item > 0 ? item : 16) + 2,
                 SWP_NOMOVE | SWP_NOACTIVATE);
    for (const std::string& s : desc.items) SendMessageA(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
    HWND edit = FindWindowExA(hwnd, nullptr, "EDIT", nullptr);
    combos()[hwnd] = std::move(data);
    if (edit)
        combos()[hwnd]->edit_proc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(edit_proc)));
    if (desc.visible) ShowWindow(hwnd, SW_SHOWNA);
    return win32::from_hwnd(hwnd);
}

std::string combo_text(WindowHandle combo) {
    HWND hwnd = combo_of(combo);
    if (!hwnd) return {};
    const int n = GetWindowTextLengthA(hwnd);
    std::string text(static_cast<std::size_t>(n) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(hwnd, text.data(), n + 1)));
    return text;
}

bool set_combo_text(WindowHandle combo, std::string_view text) {
    HWND hwnd = combo_of(combo);
    if (!hwnd) return false;
    ComboData* c = combos()[hwnd].get();
    c->setting = true;
    const bool ok = SetWindowTextA(hwnd, win32::z(text).c_str()) != 0;
    c->setting = false;
    return ok;
}

bool add_combo_item(WindowHandle combo, std::string_view item) {
    HWND hwnd = combo_of(combo);
    return hwnd && SendMessageA(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(win32::z(item).c_str())) >= 0;
}

std::vector<std::string> combo_items(WindowHandle combo) {
    std::vector<std::string> out;
    HWND hwnd = combo_of(combo);
    if (!hwnd) return out;
    const LRESULT count = SendMessageA(hwnd, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT n = SendMessageA(hwnd, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        std::string s(static_cast<std::size_t>(n > 0 ? n : 0) + 1, '\0');
        SendMessageA(hwnd, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(s.data()));
        s.resize(static_cast<std::size_t>(n > 0 ? n : 0));
        out.push_back(std::move(s));
    }
    return out;
}

int combo_selection(WindowHandle combo) {
    HWND hwnd = combo_of(combo);
    return hwnd ? static_cast<int>(SendMessageA(hwnd, CB_GETCURSEL, 0, 0)) : -1;
}

bool is_combo_dropped(WindowHandle combo) {
    HWND hwnd = combo_of(combo);
    return hwnd && SendMessageA(hwnd, CB_GETDROPPEDSTATE, 0, 0) != 0;
}

}  // namespace plat
