// The child windows of the back ends that have none of their own (Linux, scripted), the way
// user32 keeps them: a tree of windows under each top-level window, stacked in creation order
// (the first child on top), each with its rect in its parent's client coordinates, an
// optional region, an image of its own, properties and timers. Input arrives here in the
// top-level window's client coordinates and goes to the window user32 would give it to:
// the capture holder, else the topmost visible child under the pointer inside its region
// (a disabled child hands it to its parent); keys go to the focused window, and the dialog
// keys (Tab, Shift+Tab, access keys) are taken first.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/draw.h"
#include "platform/user32/timer_table.h"
#include "platform/window.h"

namespace plat::user32 {

struct TreeWindow {
    WindowHandle handle{}, parent{};  // parent None: a top-level window
    Rect rect;                        // in the parent's client coordinates; top level: its size
    bool visible = true;
    bool enabled = true;
    bool tab_stop = false;
    bool wants_chars = false;
    bool has_region = false;
    std::vector<Rect> region;  // in the window's own coordinates
    std::string caption;       // CP932
    int access_key = 0;
    WindowHandlers handlers;   // a child's; a top-level window's stay with its back end
    WindowTimers timers;       // a child's
    std::unique_ptr<Bitmap> image;
    std::map<std::string, std::intptr_t, std::less<>> props;
    std::vector<WindowHandle> children;  // the top one first
    bool needs_paint = false;
    CursorKind cursor = CursorKind::Arrow;
    Icon cursor_icon{};  // owned: a copy of the custom shape's icon
};

// What the tree needs of its back end: the handlers of a top-level window and where its
// client area lies on the screen.
struct TreeBackEnd {
    std::function<WindowHandlers*(WindowHandle)> root_handlers;
    std::function<Point(WindowHandle)> root_origin;
};

class WindowTree {
public:
    explicit WindowTree(TreeBackEnd back_end) : back_end_(std::move(back_end)) {}

    void add_root(WindowHandle h, int width, int height);
    bool add_child(WindowHandle h, WindowHandle parent, const ChildDesc& desc,
                   WindowHandlers handlers);
    // Forgets the window and its descendants, each after its unload handler ran (the
    // window before its children); the focus and the capture go with them. A top-level
    // window's own unload is its back end's.
    void remove(WindowHandle h);

    TreeWindow* find(WindowHandle h);
    bool is_child(WindowHandle h);
    WindowHandlers* handlers(WindowHandle h);
    WindowHandle root_of(WindowHandle h);
    // The window's client origin in its top-level window's client coordinates.
    Point origin(WindowHandle h);
    // Every window of the tree, parents before children.
    std::vector<WindowHandle> all();

    // Moves and sizes a child (or sizes a top-level window); the image keeps what fits and
    // a paint request follows a change of size.
    void set_rect(WindowHandle h, const Rect& rect);
    void restack(WindowHandle h, bool top);
    void set_caption(WindowHandle h, std::string_view caption);
    bool set_region(WindowHandle h, GdiObject region);
    Dc image_dc(WindowHandle h);
    void request_paint(WindowHandle h);
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
    void mouse_down(WindowHandle root, int button, Point p, std::uint64_t now_ms);
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
    WindowHandle keyboard_target(WindowHandle root);
    WindowHandle access_key_owner(WindowHandle root, int key);
    void tab_order(WindowHandle h, std::vector<WindowHandle>& out);
    WindowHandle mouse_target(WindowHandle root, Point p, Point& client);
    bool inside(const TreeWindow& w, Point own) const;
    void compose_children(const TreeWindow& w, Point origin, const Rect& clip,
                          const Surface& target);

    TreeBackEnd back_end_;
    std::map<WindowHandle, std::unique_ptr<TreeWindow>> windows_;
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

// The back end's tree, and its repaint of the top-level window that holds `h` after a
// change that shows (each back end defines both).
WindowTree& window_tree();
void tree_changed(WindowHandle h);
// The pointer's shape may have changed without the pointer moving.
void cursor_changed();

}  // namespace plat::user32
