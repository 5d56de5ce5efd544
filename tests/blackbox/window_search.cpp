#include "window_search.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>

namespace black_box {
namespace {

// Windows come and go while the tree is read; a window that is gone is simply no match.
int IgnoreError(Display*, XErrorEvent*) { return 0; }

std::string NameOf(Display* d, Window w) {
    const Atom net_wm_name = XInternAtom(d, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
    for (const auto& [property, type] : {std::pair{net_wm_name, utf8}, std::pair<Atom, Atom>{XA_WM_NAME, AnyPropertyType}}) {
        Atom actual = 0;
        int format = 0;
        unsigned long count = 0, rest = 0;
        unsigned char* data = nullptr;
        const bool read = XGetWindowProperty(d, w, property, 0, 4096, False, type, &actual, &format, &count, &rest,
                                             &data) == Success;
        std::string name;
        if (read && data && format == 8) name.assign(reinterpret_cast<const char*>(data), count);
        if (data) XFree(data);
        if (!name.empty()) return name;
    }
    return {};
}

std::vector<Window> ChildrenOf(Display* d, Window w) {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    std::vector<Window> out;
    if (XQueryTree(d, w, &root, &parent, &children, &count) && children) out.assign(children, children + count);
    if (children) XFree(children);
    return out;
}

}  // namespace

unsigned long FindNamedWindow(const std::string& name_utf8) {
    if (name_utf8.empty()) return 0;
    Display* d = XOpenDisplay(nullptr);
    if (!d) return 0;
    XErrorHandler previous = XSetErrorHandler(IgnoreError);
    const std::vector<Window> top = ChildrenOf(d, DefaultRootWindow(d));
    Window found = 0;
    for (Window w : top)
        if (!found && NameOf(d, w) == name_utf8) found = w;
    for (Window w : top)
        for (Window child : found ? std::vector<Window>{} : ChildrenOf(d, w))
            if (!found && NameOf(d, child) == name_utf8) found = child;
    XSync(d, False);
    XSetErrorHandler(previous);
    XCloseDisplay(d);
    return found;
}

unsigned long ClipboardOwner() {
    Display* d = XOpenDisplay(nullptr);
    if (!d) return 0;
    const Window owner = XGetSelectionOwner(d, XInternAtom(d, "CLIPBOARD", False));
    XCloseDisplay(d);
    return owner;
}

void EmptyClipboard() {
    Display* d = XOpenDisplay(nullptr);
    if (!d) return;
    XSetSelectionOwner(d, XInternAtom(d, "CLIPBOARD", False), None, CurrentTime);
    XSync(d, False);
    XCloseDisplay(d);
}

ScreenArea WindowArea(unsigned long window) {
    ScreenArea area;
    Display* d = XOpenDisplay(nullptr);
    if (!d) return area;
    XErrorHandler previous = XSetErrorHandler(IgnoreError);
    XWindowAttributes a{};
    Window child = 0;
    int x = 0, y = 0;
    if (XGetWindowAttributes(d, window, &a) &&
        XTranslateCoordinates(d, window, DefaultRootWindow(d), 0, 0, &x, &y, &child))
        area = {x, y, a.width, a.height};
    XSync(d, False);
    XSetErrorHandler(previous);
    XCloseDisplay(d);
    return area;
}

std::vector<std::uint32_t> ScreenPixels(const ScreenArea& area) {
    if (area.width <= 0 || area.height <= 0) return {};
    Display* d = XOpenDisplay(nullptr);
    if (!d) return {};
    std::vector<std::uint32_t> out(static_cast<std::size_t>(area.width) * static_cast<std::size_t>(area.height), 0);
    // The root refuses a rectangle that reaches past its edges: only the part on the screen is read.
    XErrorHandler previous = XSetErrorHandler(IgnoreError);
    const int left = std::max(area.left, 0), top = std::max(area.top, 0);
    const int right = std::min(area.left + area.width, DisplayWidth(d, DefaultScreen(d)));
    const int bottom = std::min(area.top + area.height, DisplayHeight(d, DefaultScreen(d)));
    if (right > left && bottom > top) {
        if (XImage* image = XGetImage(d, DefaultRootWindow(d), left, top, static_cast<unsigned>(right - left),
                                      static_cast<unsigned>(bottom - top), AllPlanes, ZPixmap)) {
            for (int y = top; y < bottom; ++y)
                for (int x = left; x < right; ++x)
                    out[static_cast<std::size_t>(y - area.top) * static_cast<std::size_t>(area.width) +
                        static_cast<std::size_t>(x - area.left)] =
                        static_cast<std::uint32_t>(XGetPixel(image, x - left, y - top)) & 0xFFFFFFu;
            XDestroyImage(image);
        }
    }
    XSync(d, False);
    XSetErrorHandler(previous);
    XCloseDisplay(d);
    return out;
}

}  // namespace black_box
