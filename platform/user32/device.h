// What a back end that emulates user32 on another system gives the window core, in the manner
// of SDL's video device: its top-level windows (made, placed, shown, embedded, gone), their
// presentation, the source of input and the wait for it, and the desktop's clipboard. The
// core (window_tree.h) keeps the rest as user32 does: child windows, input routing, focus,
// capture, timers, properties, paint requests and the event pump. The clock is the back
// end's tick count (platform/system.h).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/user32/timer_table.h"
#include "platform/window.h"

namespace plat::user32 {

// A top-level window as the core keeps it. A device makes it as a class of its own derived
// from this one, which holds the system's side of the window.
struct TopLevel {
    virtual ~TopLevel() = default;
    WindowHandle handle{};
    std::string title;  // CP932
    WindowStyle style = WindowStyle::Popup;
    bool full_screen = false;  // as created
    WindowHandle parent{};     // SetParent's: the window it is embedded in; None on the desktop
    std::int32_t style_bits = 0;
    WindowHandlers handlers;
    WindowTimers timers;
    // The display scale the device shows the window at: the system's window is `scale` times
    // its size here, and its child windows' images hold scale x scale pixels per design pixel.
    int scale = 1;
};

class Device {
public:
    virtual ~Device() = default;

    // ---- Top-level windows
    // A new window for `desc`, its handle set; the core fills in the rest of the record.
    // Null when the system refuses.
    virtual std::unique_ptr<TopLevel> create_window(const WindowDesc& desc) = 0;
    // The system's side of a window the core has closed goes; `system_gone`: the system has
    // destroyed it already (with the window it was embedded in).
    virtual void destroy_window(TopLevel& window, bool system_gone) = 0;
    // Where a window lies on the screen (a window of the program: its client area), the
    // program's own or another's; false when there is no such window.
    virtual bool window_rect(WindowHandle window, Rect& out) = 0;
    // Moves the window to `place`'s corner when `move`, gives it `place`'s size when `resize`.
    virtual void place_window(TopLevel& window, const Rect& place, bool move, bool resize) = 0;
    virtual void raise_topmost(TopLevel& window) = 0;
    virtual void show_window(TopLevel& window, bool visible) = 0;
    // Embeds the window in `parent` (None: back on the desktop); false when it cannot be.
    virtual bool embed_window(TopLevel& window, WindowHandle parent) = 0;
    // Another program's top-level window with this title; None when there is none.
    virtual WindowHandle find_foreign_window(std::string_view title_cp932) = 0;

    // ---- Presentation
    // Shows the window again as it is now: its picture (or its image) with its child windows
    // composed over it (WindowTree::compose).
    virtual void repaint(TopLevel& window) = 0;
    // The pointer's shape may have changed without the pointer moving.
    virtual void cursor_changed() = 0;

    // ---- Input
    // The start of an event pump: false when there is nothing to pump.
    virtual bool start_pump() = 0;
    // Hands the input that arrived since the last pump to the core's routing.
    virtual void deliver_input() = 0;
    // Waits until input arrives or `ms` milliseconds have passed.
    virtual void wait_for_input(std::uint64_t ms) = 0;

    // ---- The clipboard's text (CP932; empty when it holds none)
    virtual std::string clipboard_text() = 0;
    virtual void set_clipboard_text(std::string_view cp932) = 0;
};

// The back end's device. Each back end that uses the core defines it once: the back end is
// chosen when the program is linked, so there is no list to choose from at run time.
Device& device();

}  // namespace plat::user32
