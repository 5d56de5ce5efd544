// Windows and Wine: the system's input queue. SendInput moves the real pointer and presses
// the real buttons and keys; the system finds the window (capture, the window under the
// pointer, the focus) and the event pump delivers the messages.
#include "platform/win32/prelude.h"
#include "platform/window.h"
#include "tests/controls/user_input.h"

namespace control_test {
namespace {

// Pumps until the input sent has arrived and been handled: the system posts it to the
// thread's queue a little later, so the queue is watched for a short quiet spell.
void settle() {
    int quiet = 0;
    for (int round = 0; round < 400 && quiet < 4; ++round) {
        const bool pending = HIWORD(GetQueueStatus(QS_INPUT | QS_POSTMESSAGE | QS_SENDMESSAGE | QS_PAINT)) != 0;
        plat::pump_events();
        quiet = pending ? 0 : quiet + 1;
        Sleep(5);
    }
}

void send(INPUT in) {
    SendInput(1, &in, sizeof in);
    settle();
}

// The pointer to a screen point (when it is not there already: a move of no distance is no
// move for the system either).
void move_pointer(POINT screen) {
    POINT now;
    if (GetCursorPos(&now) && now.x == screen.x && now.y == screen.y) return;
    // Absolute coordinates run from 0 to 65535 over the primary screen; round up so that the
    // system's own rounding down lands on the pixel.
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = static_cast<LONG>((static_cast<long long>(screen.x) * 65536 + width - 1) / width);
    in.mi.dy = static_cast<LONG>((static_cast<long long>(screen.y) * 65536 + height - 1) / height);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    send(in);
}

void send_button(DWORD flag) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flag;
    send(in);
}

POINT on_screen(plat::WindowHandle window, plat::Point client) {
    plat::client_to_screen(window, client);
    return POINT{client.x, client.y};
}

DWORD down_flag(int button) {
    return button == 1 ? MOUSEEVENTF_LEFTDOWN : button == 2 ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_MIDDLEDOWN;
}
DWORD up_flag(int button) {
    return button == 1 ? MOUSEEVENTF_LEFTUP : button == 2 ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_MIDDLEUP;
}

}  // namespace

// One host for the whole program: when a program's last top-level window goes, the back end
// posts the quit message, and the queue would never fall quiet again.
plat::WindowHandle make_host(int width, int height) {
    static plat::WindowHandle host = plat::WindowHandle::None;
    HWND hwnd = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(host));
    if (host == plat::WindowHandle::None) {
        plat::WindowDesc desc;
        desc.title = "controls";
        desc.style = plat::WindowStyle::Popup;
        desc.rect = {100, 100, 100 + width, 100 + height};
        host = plat::create_window(desc, {});
        hwnd = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(host));
        plat::show_window(host, true);
        SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
    plat::move_window(host, 100, 100, width, height);
    SetForegroundWindow(hwnd);
    SetActiveWindow(hwnd);
    settle();
    return host;
}

// The host stays for the next test; its controls go with their owners.
void close_host(plat::WindowHandle) { settle(); }

void press(plat::WindowHandle window, plat::Point client, int button) {
    move_pointer(on_screen(window, client));
    send_button(down_flag(button));
}

void move(plat::WindowHandle window, plat::Point client) { move_pointer(on_screen(window, client)); }

void release(plat::WindowHandle window, plat::Point client, int button) {
    move_pointer(on_screen(window, client));
    send_button(up_flag(button));
}

void key(plat::WindowHandle window, int virtual_key) {
    plat::set_focus(window);
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = static_cast<WORD>(virtual_key);
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof in[0]);
    settle();
}

std::unique_ptr<plat::Bitmap> image_of(plat::WindowHandle window) {
    RECT r;
    if (!GetClientRect(reinterpret_cast<HWND>(static_cast<std::uintptr_t>(window)), &r)) return nullptr;
    auto copy = plat::create_bitmap(r.right, r.bottom);
    plat::bit_blt(plat::bitmap_dc(*copy), 0, 0, r.right, r.bottom, plat::window_dc(window), 0, 0, plat::Rop::SrcCopy);
    GdiFlush();
    return copy;
}

}  // namespace control_test
