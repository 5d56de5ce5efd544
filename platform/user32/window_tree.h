// The window core of the back ends that emulate user32 (Linux, scripted): every window of the
// program the way user32 keeps it. Each top-level window is its device's (device.h) and holds
// a tree of child windows, stacked in creation order (the first child on top), each with its
// rect in its parent's client coordinates, an optional region, an image of its own,
// properties and timers. Input arrives here from the device in the top-level window's client
// coordinates (design pixels: a top-level window at a display scale s shows each as s x s
// pixels of the system's, and its device divides input by s) and goes to the window user32
// would give it to: the capture holder, else the
// topmost visible child under the pointer inside its region (a disabled child hands it to its
// parent); keys go to the focused window, and the dialog keys (Tab, Shift+Tab, access keys)
// are taken first.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/draw.h"
#include "platform/user32/device.h"
#include "platform/window.h"

namespace plat::user32 {

struct TreeWindow {
    WindowHandle handle{}, parent{};  // parent None: a top-level window
    std::unique_ptr<TopLevel> top;    // a top-level window's record (its device's); null for a child
    Rect rect;                        // in the parent's client coordinates; top level: its size
    bool visible = true;
    bool enabled = true;
    bool tab_stop = false;
    bool wants_chars = false;
    bool has_region = false;
    std::vector<Rect> region;  // in the window's own coordinates
    std::string caption;       // CP932
    int access_key = 0;
    WindowHandlers handlers;   // a child's; a top-level window's are in its record
    WindowTimers timers;       // likewise
    std::unique_ptr<Bitmap> image;
    std::map<std::string, std::intptr_t, std::less<>> props;
    std::vector<WindowHandle> children;  // the top one first
    bool needs_paint = false;
    CursorKind cursor = CursorKind::Arrow;
    Icon cursor_icon{};  // owned: a copy of the custom shape's icon
};

class WindowTree {
public:
    // Takes in a top-level window that its device has made; returns its handle.
    WindowHandle add_root(std::unique_ptr<TopLevel> top);
    // A new child window (None when the parent is not a window of the tree).
    WindowHandle add_child(WindowHandle parent, const ChildDesc& desc, WindowHandlers handlers);
    // Closes the window and its descendants, each after its unload handler ran (the window
    // before its children); the focus and the capture go with them, and a top-level window's
    // device lets its side go (`system_gone`: the system has destroyed it already).
    void close(WindowHandle h, bool system_gone);

    TreeWindow* find(WindowHandle h);
    TopLevel* top(WindowHandle h);  // null unless h is a top-level window
    bool has_children(WindowHandle h) const;
    // The top-level windows, by handle.
    std::vector<TopLevel*> top_levels();
    WindowHandlers* handlers(WindowHandle h);
    WindowTimers* timers(WindowHandle h);
    WindowHandle root_of(WindowHandle h);
    // Device pixels per design pixel of the window's top-level window (TopLevel::scale).
    int scale_of(WindowHandle h);
    // The window's client origin in its top-level window's client coordinates.
    Point origin(WindowHandle h);
    // Every window of the tree, by handle (the top-level windows have the lower ones).
    std::vector<WindowHandle> all();

    // A handle for a window that the system has not numbered (a child window): above any
    // that the back ends give their top-level windows.
    WindowHandle private_handle() { return static_cast<WindowHandle>(next_private_++); }

    // Moves and sizes a child (or sizes a top-level window); the image keeps what fits and
    // a paint request follows a change of size.
    void set_rect(WindowHandle h, const Rect& rect);
    void restack(WindowHandle h, bool top);
    void set_caption(WindowHandle h, std::string_view caption);
    bool set_region(WindowHandle h, GdiObject region);
    Dc image_dc(WindowHandle h);
    void request_paint(WindowHandle h);
    // The top-level window that holds `h` shows it again after a change that shows.
    void changed(WindowHandle h);
    // Runs the paint handlers of the windows with a paint request; returns the top-level
    // windows whose picture changed.
    std::vector<WindowHandle> deliver_paints();

    // Whether a visible window and all its ancestors are visible (and enabled).
    bool showing(WindowHandle h);
    bool usable(WindowHandle h);

    // The window under a point of a top-level window's client area.
    WindowHandle hit(WindowHandle root, Point p);
    WindowHandle window_from_point(Point screen);
    bool screen_to_client(WindowHandle h, Point& p);
    bool client_to_screen(WindowHandle h, Point& p);

    // Mouse input on a top-level window, in its client coordinates.
    void mouse_down(WindowHandle root, int button, Point p);
    void mouse_up(WindowHandle root, int button, Point p);
    void mouse_move(WindowHandle root, Point p);

    // Keyboard input on a top-level window; `shift` as shift_state().
    void key_down(WindowHandle root, int virtual_key, int shift);
    void key_up(WindowHandle root, int virtual_key);
    void character(WindowHandle root, int ch);

    WindowHandle set_capture(WindowHandle h);
    bool release_capture();
    WindowHandle capture() const { return capture_; }
    WindowHandle set_focus(WindowHandle h);
    WindowHandle focus() const { return focus_; }
    WindowHandle move_focus(WindowHandle from, bool forward);

    bool set_cursor(WindowHandle h, CursorKind kind, Icon custom);
    void set_busy(bool busy) { busy_ = busy; }
    // The shape the pointer takes at a point of a top-level window (the capture holder's
    // while there is one), and the icon of a custom one.
    CursorKind cursor_at(WindowHandle root, Point p, Icon& custom);

    // Copies the images of the top-level window's children, bottom first, over `target`
    // (the top-level window's client area), each clipped to its parents and its region;
    // the top-level window's own image first when `with_root_image`.
    void compose(WindowHandle root, const Surface& target, bool with_root_image);

    static constexpr std::uint64_t kDoubleClickMs = 500;  // GetDoubleClickTime's default
    static constexpr int kDoubleClickSlop = 2;            // half of SM_CXDOUBLECLK

private:
    void remove(WindowHandle h, bool system_gone);
    Point root_origin(WindowHandle root);
    WindowHandle keyboard_target(WindowHandle root);
    WindowHandle access_key_owner(WindowHandle root, int key);
    void tab_order(WindowHandle h, std::vector<WindowHandle>& out);
    WindowHandle mouse_target(WindowHandle root, Point p, Point& client);
    bool inside(const TreeWindow& w, Point own) const;
    void compose_children(const TreeWindow& w, Point origin, const Rect& clip,
                          const Surface& target, int scale);

    std::map<WindowHandle, std::unique_ptr<TreeWindow>> windows_;
    std::uintptr_t next_private_ = 0x7F000000;
    WindowHandle capture_{}, focus_{};
    bool busy_ = false;
    int buttons_ = 0;  // held, ORed
    WindowHandle pressed_{};
    // The last press, for double clicks.
    WindowHandle last_press_{};
    int last_button_ = 0;
    Point last_point_;
    std::uint64_t last_time_ = 0;
};

// The program's windows. (The scripted back end starts it afresh for every test.)
WindowTree& window_tree();

}  // namespace plat::user32
