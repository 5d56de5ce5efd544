// Windows and the event pump (user32). One thread: every handler runs from the event pump,
// never in the middle of another handler.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/draw.h"
#include "platform/types.h"
#include "platform/win32_values.h"

namespace plat {

// The stop that Tab (forward) or Shift+Tab moves the focus to, in a tab order of `count`
// stops, from the stop at `at` (`count` or more when the focus is on none of them: the first
// or the last). The order wraps round at both ends.
inline std::size_t next_tab_stop(std::size_t at, std::size_t count, bool forward) {
    if (at >= count) return forward ? 0 : count - 1;
    return forward ? (at + 1) % count : (at + count - 1) % count;
}

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
    // The user or the system asks the window to close (its close box, Alt+F4): the handler
    // closes it itself, while it is still on the screen. Unset, the window is destroyed.
    std::function<void()> close;
    // Child windows and dialogs. A press that follows the last one quickly on the same spot
    // arrives as double_click instead of mouse_down (and its release makes no click).
    std::function<void(int buttons, Point client)> mouse_move;  // buttons: those held, ORed
    std::function<void(int button, Point client)> double_click;
    std::function<void(int virtual_key)> key_up;
    std::function<void(int character)> character;  // a typed character, a CP932 byte
    std::function<void()> focus_gained;
    std::function<void()> focus_lost;
    std::function<void()> access_key;  // the letter of the window's caption was pressed
    // The window's image has to be drawn again (after invalidate_window or a resize); the
    // platform shows the image when the handler returns.
    std::function<void()> paint;
};

WindowHandle create_window(const WindowDesc& desc, WindowHandlers handlers);

// The outer rectangle of a top-level window of this style whose client area is `client`, from
// the platform's own frame metrics (AdjustWindowRectEx on Win32). On Linux and in the scripted
// world a window's rectangle is its client area's; the window manager's frame lies outside it.
Rect window_rect_for_client(WindowStyle style, const Rect& client);

// The windows this thread creates from now on show the 96-dpi design whole: scaled by the
// system to the display's DPI with sharp text where it can (Win32's GDI-scaled DPI awareness),
// else at 1:1; twips_per_pixel() on this thread is then the design's 15. Elsewhere, where a
// pixel is the design's anyway, nothing.
void use_gdi_scaled_dpi_for_thread();
void destroy_window(WindowHandle window);  // runs the unload handler
bool is_window(WindowHandle window);

// FindWindow(nullptr, title): any top-level window with exactly this title, including
// those of other processes.
WindowHandle find_window_by_title(std::string_view title_cp932);

bool get_window_rect(WindowHandle window, Rect& out);

// True for the desktop window under every other window (the X server's root window): a
// window that lasts as long as the session.
bool is_desktop_window(WindowHandle window);
// GetWindowLongA and SetWindowLongA; the program reads and writes the style (kGwlStyle, kWs*).
std::int32_t get_window_long(WindowHandle window, int index);
std::int32_t set_window_long(WindowHandle window, int index, std::int32_t value);
WindowHandle set_parent(WindowHandle child, WindowHandle parent);

// SetWindowPos with a place in the z-order (kHwnd*) and flags (kSwp*).
bool set_window_pos(WindowHandle window, std::intptr_t insert_after, int x, int y, int cx, int cy,
                    std::uint32_t flags);
bool move_window(WindowHandle window, int x, int y, int width, int height);
void show_window(WindowHandle window, bool visible);

// The icon of a top-level window (its title bar's and the task switcher's): a copy of the
// picture. On Win32 every window of the program carries the program's icon from its resources
// already, and the call leaves it.
bool set_window_icon(WindowHandle window, const Bitmap& picture);

// ---- Child windows ------------------------------------------------------------------

// A child window inside a dialog or another child. Its rect is in the parent's client
// coordinates. Children are stacked in creation order, the first on top; the dialog's tab
// order is that stacking order.
struct ChildDesc {
    Rect rect;
    std::string caption;  // CP932; the character after a single "&" is the access key
    bool visible = true;
    bool tab_stop = true;
    bool wants_chars = false;  // a text field: plain letters are its input, not access keys
};
WindowHandle create_child(WindowHandle parent, const ChildDesc& desc, WindowHandlers handlers);
WindowHandle get_parent(WindowHandle window);

// The access key of a caption: the character after the last single "&" ("&&" is a literal
// ampersand), as an ASCII capital; 0 when there is none or it is not ASCII. ("&" is never a
// CP932 trail byte, so the bytes can be walked one by one.)
inline int access_key_of(std::string_view caption) {
    int key = 0;
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        const unsigned char next = static_cast<unsigned char>(caption[i + 1]);
        if (next != '&') key = next >= 'a' && next <= 'z' ? next - 'a' + 'A' : next < 0x80 ? next : 0;
        ++i;
    }
    return key;
}
void set_window_caption(WindowHandle window, std::string_view caption_cp932);

// EnableWindow: a disabled window gets no input; the mouse goes to its parent instead.
bool enable_window(WindowHandle window, bool enabled);
bool is_window_enabled(WindowHandle window);
bool is_window_visible(WindowHandle window);

// SetWindowRgn: the window takes the region (and deletes it when it gets another or goes);
// input and painting outside it go to whatever lies beneath. None gives the whole window.
bool set_window_region(WindowHandle window, GdiObject region, bool redraw);

// The window's own image, as large as its client area: what is drawn into it stays visible,
// and the platform repaints the window from it. Resizing the window keeps what fits.
Dc window_dc(WindowHandle window);
// Show what was drawn into the image now (a child also shows through its parent's image
// where it is transparent: see labels).
void update_window(WindowHandle window);
// A paint request: the window's paint handler runs from the event pump.
void invalidate_window(WindowHandle window);

// Z-order of children: SetWindowPos with kHwndTop or kHwndBottom, or kSwpNoZOrder to keep it.

// SetCapture and ReleaseCapture: while a window holds the capture, every mouse event of its
// dialog goes to it, in its client coordinates, wherever the pointer is.
WindowHandle set_capture(WindowHandle window);  // returns the previous holder
bool release_capture();
WindowHandle get_capture();

// WindowFromPoint (screen coordinates): the topmost visible window there, inside its region;
// for a disabled child, its parent.
WindowHandle window_from_point(Point screen);
bool screen_to_client(WindowHandle window, Point& point);
bool client_to_screen(WindowHandle window, Point& point);

// The keyboard focus. Tab and Shift+Tab walk the dialog's tab order (visible, enabled
// children marked as tab stops); a control may walk it itself with move_focus.
WindowHandle set_focus(WindowHandle window);  // returns the window that had it
WindowHandle get_focus();
WindowHandle move_focus(WindowHandle from, bool forward);  // the window that has it now

// The state of Shift (1), Ctrl (2) and Alt (4) now, ORed: the Shift argument of mouse and
// key events.
int shift_state();

// Named values on a window (SetPropA, GetPropA, RemovePropA); 0 when unset.
bool set_prop(WindowHandle window, std::string_view name, std::intptr_t value);
std::intptr_t get_prop(WindowHandle window, std::string_view name);
std::intptr_t remove_prop(WindowHandle window, std::string_view name);

// The pointer's shape over a window's client area (WM_SETCURSOR's answer); a custom shape is
// icon (a copy is kept), its hot spot at the icon's top-left corner.
enum class CursorKind { Arrow, Hand, Wait, Custom };
bool set_window_cursor(WindowHandle window, CursorKind kind, Icon custom = Icon::None);
// The hourglass over every window of the program while busy (around a slow call).
void set_busy_cursor(bool busy);

// The screen's size in pixels and its twips per pixel (15 at 96 dots per inch).
Point screen_size_px();

// The display scale: how many screen pixels a design pixel takes, an integer from 1 to
// kMaxDisplayScale. Windows: the monitor's dots per inch / 96, rounded down (1 below 192 dpi).
// Linux: GDK_SCALE when it holds a positive integer, else the X resource Xft.dpi / 96 rounded
// to the nearest integer, else 1. A larger value is held to kMaxDisplayScale (no screen made
// today is that dense, and the pictures are drawn for no more).
inline constexpr int kMaxDisplayScale = 4;
int display_scale();

// True when there is a screen to show windows on: always on Windows; on Linux when the X
// display answers.
bool display_available();

// The monitors other than the primary one (the screen above), in virtual-screen pixels.
std::vector<Rect> other_monitors();
Point twips_per_pixel();

// ShowCursor: returns the new display count.
int show_cursor(bool show);
bool get_cursor_pos(Point& out);

// MessageBox with no owner when `owner` is None; returns the button pressed. The styles the
// program uses: one OK button with the stop sign (kMbIconHand) or the exclamation mark
// (kMbIconExclamation).
int message_box(WindowHandle owner, std::string_view text_cp932, std::string_view title_cp932,
                std::uint32_t style);

// DrawAnimatedRects(window, animation, from, to); the program's animation is kIdAniCaption.
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

// Before a frame for `window` is drawn: returns when the window's display has read every
// picture presented in it so far, so that a bitmap from create_window_bitmap may be drawn
// into again, and keeps the caller's pause of `pause_ms` after the frame before. A window
// that shows frames at the display's rate (Linux: the full-screen window) keeps the pause
// with its pace, at the next present; any other waits for it here.
void await_frame(WindowHandle window, std::uint32_t pause_ms);

// A bitmap of width x height (black) to be presented in `window` again and again: where the
// back end can, in memory that the window's display reads itself, so that presenting its
// changed rectangles copies nothing on this side (Linux: shared with the X server over
// MIT-SHM). Anywhere else, and for WindowHandle::None, an ordinary create_bitmap.
std::unique_ptr<Bitmap> create_window_bitmap(WindowHandle window, int width, int height);

// Handle every pending event (timer ticks, input, repaints) and return.
void pump_events();

// Run the event loop until the process has no window left.
void run_event_loop();

}  // namespace plat
