// Windows and the event pump (user32). One thread: every handler runs from the event pump,
// never in the middle of another handler.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/keys.h"
#include "platform/types.h"

namespace plat {

class Bitmap;

enum class WindowStyle {
    Popup,   // no border, no caption bar (the saver and preview windows)
    Dialog,  // fixed frame with a caption bar
};

struct WindowDesc {
    std::string title;  // CP932
    WindowStyle style = WindowStyle::Popup;
    Rect rect;          // outer rectangle in screen pixels
    // The saver's own window: it covers the whole screen, panels included, and shows frames
    // at the display's rate. Its rect is still the screen's.
    bool full_screen = false;
};

// Input and lifetime events of one window. Unset handlers are ignored.
struct WindowHandlers {
    std::function<void(int virtual_key)> key_down;
    std::function<void(int button, Point client)> mouse_down;  // button: 1 left, 2 right, 4 middle
    std::function<void(int button, Point client)> mouse_up;
    std::function<void()> click;                               // press and release inside the client
    std::function<void(int timer_id)> timer;
    std::function<void()> unload;                              // the window is being destroyed
};

WindowHandle create_window(const WindowDesc& desc, WindowHandlers handlers);
void destroy_window(WindowHandle window);  // runs the unload handler
bool is_window(WindowHandle window);

// FindWindowA(nullptr, title): any top-level window with exactly this title, including
// those of other processes.
WindowHandle find_window_by_title(std::string_view title_cp932);

bool get_window_rect(WindowHandle window, Rect& out);

// True for the desktop window under every other window (the X server's root window): a
// window that lasts as long as the session.
bool is_desktop_window(WindowHandle window);
std::int32_t get_window_long(WindowHandle window, int index);
std::int32_t set_window_long(WindowHandle window, int index, std::int32_t value);
WindowHandle set_parent(WindowHandle child, WindowHandle parent);

// GetWindowLongA's index of the window style, and the style bits it reports.
inline constexpr int kGwlStyle = -16;
inline constexpr std::int32_t kWsPopup = static_cast<std::int32_t>(0x80000000u);
inline constexpr std::int32_t kWsChild = 0x40000000;
inline constexpr std::int32_t kWsCaption = 0x00C00000;
inline constexpr std::int32_t kWsSysMenu = 0x00080000;
inline constexpr std::int32_t kWsMinimizeBox = 0x00020000;

// SetWindowPos's place in the z-order and its flags.
inline constexpr std::intptr_t kHwndTopmost = -1;
inline constexpr std::uint32_t kSwpNoSize = 0x0001;
inline constexpr std::uint32_t kSwpNoMove = 0x0002;
inline constexpr std::uint32_t kSwpNoActivate = 0x0010;
bool set_window_pos(WindowHandle window, std::intptr_t insert_after, int x, int y, int cx, int cy,
                    std::uint32_t flags);
bool move_window(WindowHandle window, int x, int y, int width, int height);
void show_window(WindowHandle window, bool visible);

// The screen's size in pixels and its twips per pixel (15 at 96 dots per inch).
Point screen_size_px();
Point twips_per_pixel();

// ShowCursor: returns the new display count.
int show_cursor(bool show);
bool get_cursor_pos(Point& out);

// MessageBoxA with no owner when `owner` is None; returns the button pressed.
int message_box(WindowHandle owner, std::string_view text_cp932, std::string_view title_cp932,
                std::uint32_t style);

// DrawAnimatedRects(window, animation, from, to).
bool draw_animated_rects(WindowHandle window, int animation, const Rect& from, const Rect& to);

// Copy a bitmap to the window's client area at (x, y), scaled to width x height. The
// window shows it again whenever it has to repaint, so the bitmap must live until the next
// present call or until the window is gone.
void present(WindowHandle window, const Bitmap& picture, int x, int y, int width, int height);

// The same at the picture's own size, when only the `count` rectangles `changed` (in the
// picture's pixels) differ from the picture last presented: only they are copied to the
// window. Anything else (another picture, another place, nothing shown yet) presents the
// whole picture.
void present_changed(WindowHandle window, const Bitmap& picture, int x, int y, const Rect* changed,
                     std::size_t count);

// Handle every pending event (timer ticks, input, repaints) and return.
void pump_events();

// Run the event loop until the process has no window left.
void run_event_loop();

}  // namespace plat
