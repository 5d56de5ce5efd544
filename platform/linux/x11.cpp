#include "platform/linux/x11.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <gdk/gdk.h>
#ifdef GDK_WINDOWING_X11
#include <gdk/gdkx.h>
#endif

namespace plat::x11 {
namespace {

bool error_seen = false;
int on_error(Display*, XErrorEvent*) {
    error_seen = true;
    return 0;
}

Display* display() {
    static Display* d = [] {
        Display* opened = XOpenDisplay(nullptr);
        if (opened) XSetErrorHandler(on_error);
        return opened;
    }();
    return d;
}

std::string name_of(Display* d, Window w) {
    std::string name;
    const Atom net_wm_name = XInternAtom(d, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(d, w, net_wm_name, 0, 1024, False, utf8, &type, &format, &count,
                           &after, &data) == Success && data && type == utf8 && format == 8)
        name.assign(reinterpret_cast<char*>(data), count);
    if (data) XFree(data);
    if (!name.empty()) return name;
    XTextProperty text{};
    if (XGetWMName(d, w, &text) && text.value) {
        char** list = nullptr;
        int n = 0;
        if (Xutf8TextPropertyToTextList(d, &text, &list, &n) >= Success && list && n > 0)
            name = list[0];
        else
            name.assign(reinterpret_cast<char*>(text.value), text.nitems);
        if (list) XFreeStringList(list);
        XFree(text.value);
    }
    return name;
}

Window search(Display* d, Window parent, const std::string& name, int depth) {
    Window root = 0, up = 0, *children = nullptr;
    unsigned int n = 0;
    if (!XQueryTree(d, parent, &root, &up, &children, &n)) return 0;
    Window found = 0;
    for (unsigned int i = 0; i < n && !found; ++i)
        if (name_of(d, children[i]) == name) found = children[i];
    for (unsigned int i = 0; i < n && !found && depth > 1; ++i)
        found = search(d, children[i], name, depth - 1);
    if (children) XFree(children);
    return found;
}

}  // namespace

unsigned long find_top_level(const std::string& name_utf8) {
    Display* d = display();
    if (!d || name_utf8.empty()) return 0;
    error_seen = false;
    const Window found = search(d, DefaultRootWindow(d), name_utf8, 2);
    return found;
}

double xft_dpi() {
    Display* d = display();
    const char* resources = d ? XResourceManagerString(d) : nullptr;
    if (!resources) return 0;
    // One resource a line, "name:<blanks>value"; the last line that names Xft.dpi counts, as
    // with xrdb.
    double dpi = 0;
    std::string_view all(resources);
    while (!all.empty()) {
        const std::size_t end = all.find('\n');
        std::string_view line = all.substr(0, end);
        all = end == std::string_view::npos ? std::string_view{} : all.substr(end + 1);
        constexpr std::string_view kName = "Xft.dpi:";
        if (line.substr(0, kName.size()) != kName) continue;
        const std::string value(line.substr(kName.size()));
        char* rest = nullptr;
        const double v = std::strtod(value.c_str(), &rest);
        dpi = rest != value.c_str() && v > 0 && v < 1e6 ? v : 0;
    }
    return dpi;
}

bool is_root(unsigned long window) {
    Display* d = display();
    if (!d || window == 0) return false;
    for (int screen = 0; screen < ScreenCount(d); ++screen)
        if (RootWindow(d, screen) == window) return true;
    return false;
}

bool window_rect(unsigned long window, Rect& out) {
    Display* d = display();
    if (!d || window == 0) return false;
    error_seen = false;
    XWindowAttributes attributes{};
    const Status ok = XGetWindowAttributes(d, window, &attributes);
    XSync(d, False);
    if (!ok || error_seen) return false;
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(d, window, attributes.root, 0, 0, &x, &y, &child);
    XSync(d, False);
    if (error_seen) return false;
    out = {x, y, x + attributes.width, y + attributes.height};
    return true;
}

bool reparent(unsigned long child, unsigned long parent) {
    Display* d = display();
    if (!d) return false;
    error_seen = false;
    XReparentWindow(d, child, parent ? parent : DefaultRootWindow(d), 0, 0);
    XSync(d, False);
    return !error_seen;
}

bool set_transient_for(unsigned long window, unsigned long owner) {
    Display* d = display();
    if (!d || !window || !owner) return false;
    error_seen = false;
    XSetTransientForHint(d, window, owner);
    XSync(d, False);
    return !error_seen;
}

unsigned long gdk_window_xid(_GdkWindow* window) {
#ifdef GDK_WINDOWING_X11
    if (window && GDK_IS_X11_WINDOW(window)) return static_cast<unsigned long>(gdk_x11_window_get_xid(window));
#else
    (void)window;
#endif
    return 0;
}

unsigned long sdl_window_id(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11)
        return static_cast<unsigned long>(info.info.x11.window);
    return 0;
}

int screen_of_display(int index, int count) {
    Display* d = display();
    if (!d || ScreenCount(d) < 2 || count != ScreenCount(d) || index < 0 || index >= count) return -1;
    const int first = DefaultScreen(d);
    if (index == 0) return first;
    int seen = 0;
    for (int screen = 0; screen < ScreenCount(d); ++screen)
        if (screen != first && ++seen == index) return screen;
    return -1;
}

unsigned long create_screen_window(int screen, const Rect& rect) {
    Display* d = display();
    if (!d || screen < 0 || screen >= ScreenCount(d)) return 0;
    error_seen = false;
    XSetWindowAttributes attributes{};
    attributes.background_pixel = BlackPixel(d, screen);
    attributes.border_pixel = BlackPixel(d, screen);
    const Window w = XCreateWindow(d, RootWindow(d, screen), rect.left, rect.top,
                                   static_cast<unsigned>(std::max(1, rect.width())),
                                   static_cast<unsigned>(std::max(1, rect.height())), 0, CopyFromParent, InputOutput,
                                   CopyFromParent, CWBackPixel | CWBorderPixel, &attributes);
    // No frame, as SDL's border-less windows ask of a window manager.
    const long motif_hints[5] = {2, 0, 0, 0, 0};  // flags: decorations; decorations: none
    const Atom motif = XInternAtom(d, "_MOTIF_WM_HINTS", False);
    XChangeProperty(d, w, motif, motif, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(motif_hints), 5);
    XSync(d, False);
    if (error_seen) {
        XDestroyWindow(d, w);
        XSync(d, False);
        return 0;
    }
    return w;
}

void destroy_screen_window(unsigned long window) {
    Display* d = display();
    if (!d || window == 0) return;
    XDestroyWindow(d, window);
    XSync(d, False);
}

bool select_sdl_events(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    Display* d = info.info.x11.display;
    XSelectInput(d, info.info.x11.window,
                 FocusChangeMask | EnterWindowMask | LeaveWindowMask | ExposureMask | ButtonPressMask |
                     ButtonReleaseMask | PointerMotionMask | KeyPressMask | KeyReleaseMask | PropertyChangeMask |
                     StructureNotifyMask | KeymapStateMask);
    XFlush(d);
    return true;
}

}  // namespace plat::x11

namespace plat::x11 {

// The outline is drawn with XOR over everything on the screen (the root window, through its
// children), so that drawing it a second time takes it away again.
bool zoom_outline(const Rect& from, const Rect& to, int steps, unsigned step_ms, int scale) {
    Display* d = display();
    if (!d || steps < 1) return false;
    const Window root = DefaultRootWindow(d);
    XGCValues values;
    values.function = GXxor;
    values.foreground = WhitePixel(d, DefaultScreen(d)) ^ BlackPixel(d, DefaultScreen(d));
    values.subwindow_mode = IncludeInferiors;
    values.line_width = 2 * std::max(1, scale);
    GC gc = XCreateGC(d, root, GCFunction | GCForeground | GCSubwindowMode | GCLineWidth, &values);
    auto at = [&](int i) {
        auto mix = [&](int a, int b) { return a + (b - a) * i / steps; };
        return Rect{mix(from.left, to.left), mix(from.top, to.top), mix(from.right, to.right), mix(from.bottom, to.bottom)};
    };
    auto outline = [&](const Rect& r) {
        XDrawRectangle(d, root, gc, r.left, r.top, static_cast<unsigned>(std::max(1, r.width())),
                       static_cast<unsigned>(std::max(1, r.height())));
    };
    for (int i = 1; i <= steps; ++i) {
        const Rect r = at(i);
        outline(r);
        XFlush(d);
        SDL_Delay(step_ms);
        outline(r);
    }
    XFlush(d);
    XFreeGC(d, gc);
    return true;
}

}  // namespace plat::x11
