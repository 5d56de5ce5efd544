// A window of another program (xscreensaver's) as the picture of a run, over a connection
// of its own. Only StructureNotify and Exposure are selected on it, which any number of
// clients may share: the daemon keeps the input it needs to unblank. Frames go in with
// XPutImage in the window's own visual; one of a different size is shrunk by averaging the
// pixels that each window pixel covers (a dot of two pixels must not blink away), or
// stretched by repeating them.
// The platform header first: the X11 headers define macros (None, Status) that clash with it.
#include "platform/host_window.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xinerama.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace plat {
namespace {

volatile std::sig_atomic_t signal_seen = 0;
void on_signal(int) { signal_seen = 1; }

struct Host {
    Display* display = nullptr;
    ::Window window = 0;
    Visual* visual = nullptr;
    int depth = 0;
    GC gc = nullptr;
    int width = 0, height = 0;
    XImage* image = nullptr;  // the window's size; its data is ours
    bool gone = false;
    bool repaint_all = true;
    void (*cleanup)() = nullptr;
};

Host& host() {
    static Host h;
    return h;
}

int on_error(Display*, XErrorEvent* e) {
    if (e->resourceid == host().window && (e->error_code == BadWindow || e->error_code == BadDrawable)) host().gone = true;
    return 0;
}

int on_io_error(Display*) {
    if (host().cleanup) {
        void (*cleanup)() = host().cleanup;
        host().cleanup = nullptr;
        cleanup();
    }
    ::_exit(0);
}

void drop_image() {
    Host& h = host();
    if (!h.image) return;
    std::free(h.image->data);
    h.image->data = nullptr;
    XDestroyImage(h.image);
    h.image = nullptr;
}

bool make_image() {
    Host& h = host();
    if (h.image && h.image->width == h.width && h.image->height == h.height) return true;
    drop_image();
    if (h.width <= 0 || h.height <= 0) return false;
    h.image = XCreateImage(h.display, h.visual, static_cast<unsigned>(h.depth), ZPixmap, 0, nullptr,
                           static_cast<unsigned>(h.width), static_cast<unsigned>(h.height), 32, 0);
    if (!h.image) return false;
    h.image->data = static_cast<char*>(std::calloc(static_cast<std::size_t>(h.image->bytes_per_line), static_cast<std::size_t>(h.height)));
    if (!h.image->data) {
        XDestroyImage(h.image);
        h.image = nullptr;
        return false;
    }
    h.repaint_all = true;
    return true;
}

// 0x00RRGGBB in memory order B, G, R, X: the frame's pixels go as they are.
bool native_layout(const XImage* image) {
    return image->bits_per_pixel == 32 && image->red_mask == 0xFF0000 && image->green_mask == 0xFF00 &&
           image->blue_mask == 0xFF && image->byte_order == LSBFirst;
}

// The pixel of 0x00RRGGBB in the image's own layout.
unsigned long pixel_of(const XImage* image, std::uint32_t rgb) {
    const auto place = [](unsigned long mask, unsigned value) {
        if (!mask) return 0ul;
        int shift = 0;
        while (!((mask >> shift) & 1)) ++shift;
        int bits = 0;
        while ((mask >> (shift + bits)) & 1) ++bits;
        const unsigned long v = bits >= 8 ? static_cast<unsigned long>(value) << (bits - 8) : value >> (8 - bits);
        return (v << shift) & mask;
    };
    return place(image->red_mask, (rgb >> 16) & 0xFF) | place(image->green_mask, (rgb >> 8) & 0xFF) |
           place(image->blue_mask, rgb & 0xFF);
}

void put_pixel_row(XImage* image, int y, const std::uint32_t* rgb, int x0, int x1) {
    if (native_layout(image)) {
        std::memcpy(image->data + static_cast<std::ptrdiff_t>(y) * image->bytes_per_line + x0 * 4, rgb + x0,
                    static_cast<std::size_t>(x1 - x0) * 4);
        return;
    }
    for (int x = x0; x < x1; ++x) XPutPixel(image, x, y, pixel_of(image, rgb[x]));
}

// The source span [first, last) that window pixel i of `to` covers in `from` pixels; never
// empty, so a stretch repeats pixels.
void spans(int from, int to, std::vector<int>& first, std::vector<int>& last) {
    first.resize(static_cast<std::size_t>(to));
    last.resize(static_cast<std::size_t>(to));
    for (int i = 0; i < to; ++i) {
        int a = static_cast<int>(static_cast<long long>(i) * from / to);
        int b = static_cast<int>(static_cast<long long>(i + 1) * from / to);
        if (b <= a) b = std::min(a + 1, from);
        first[static_cast<std::size_t>(i)] = a;
        last[static_cast<std::size_t>(i)] = b;
    }
}

void fill_scaled(const Surface& s, XImage* image, int width, int height) {
    std::vector<int> x0, x1, y0, y1;
    spans(s.width, width, x0, x1);
    spans(s.height, height, y0, y1);
    std::vector<std::uint32_t> row(static_cast<std::size_t>(width));
    std::vector<std::uint32_t> sum(static_cast<std::size_t>(s.width) * 3);
    for (int y = 0; y < height; ++y) {
        // The covered source rows, summed per column first.
        std::fill(sum.begin(), sum.end(), 0u);
        const int rows = y1[static_cast<std::size_t>(y)] - y0[static_cast<std::size_t>(y)];
        for (int sy = y0[static_cast<std::size_t>(y)]; sy < y1[static_cast<std::size_t>(y)]; ++sy) {
            const std::uint32_t* src = s.row(sy);
            for (int sx = 0; sx < s.width; ++sx) {
                const std::uint32_t p = src[sx];
                sum[static_cast<std::size_t>(sx) * 3] += (p >> 16) & 0xFF;
                sum[static_cast<std::size_t>(sx) * 3 + 1] += (p >> 8) & 0xFF;
                sum[static_cast<std::size_t>(sx) * 3 + 2] += p & 0xFF;
            }
        }
        for (int x = 0; x < width; ++x) {
            std::uint32_t r = 0, g = 0, b = 0;
            const int a = x0[static_cast<std::size_t>(x)], e = x1[static_cast<std::size_t>(x)];
            for (int sx = a; sx < e; ++sx) {
                r += sum[static_cast<std::size_t>(sx) * 3];
                g += sum[static_cast<std::size_t>(sx) * 3 + 1];
                b += sum[static_cast<std::size_t>(sx) * 3 + 2];
            }
            const std::uint32_t n = static_cast<std::uint32_t>(rows * (e - a));
            row[static_cast<std::size_t>(x)] = ((r / n) << 16) | ((g / n) << 8) | (b / n);
        }
        put_pixel_row(image, y, row.data(), 0, width);
    }
}

Rect monitor_of(Display* d, ::Window w, int width, int height, bool& first) {
    ::Window child = 0;
    int cx = 0, cy = 0;
    XTranslateCoordinates(d, w, DefaultRootWindow(d), width / 2, height / 2, &cx, &cy, &child);
    Rect found{0, 0, DisplayWidth(d, DefaultScreen(d)), DisplayHeight(d, DefaultScreen(d))};
    first = true;
    int event_base = 0, error_base = 0, count = 0;
    if (XineramaQueryExtension(d, &event_base, &error_base) && XineramaIsActive(d)) {
        XineramaScreenInfo* screens = XineramaQueryScreens(d, &count);
        for (int i = 0; i < count; ++i) {
            const Rect r{screens[i].x_org, screens[i].y_org, screens[i].x_org + screens[i].width,
                         screens[i].y_org + screens[i].height};
            if (i == 0 || (cx >= r.left && cx < r.right && cy >= r.top && cy < r.bottom)) {
                found = r;
                first = i == 0;
            }
            if (cx >= r.left && cx < r.right && cy >= r.top && cy < r.bottom) break;
        }
        if (screens) XFree(screens);
    }
    return found;
}

}  // namespace

bool attach_host_window(std::uint64_t id, HostWindowInfo& info) {
    Host& h = host();
    struct sigaction action {};
    action.sa_handler = on_signal;
    sigemptyset(&action.sa_mask);
    for (int number : {SIGTERM, SIGINT, SIGHUP, SIGQUIT}) ::sigaction(number, &action, nullptr);

    h.display = XOpenDisplay(nullptr);
    if (!h.display) return false;
    XSetErrorHandler(on_error);
    XSetIOErrorHandler(on_io_error);
    h.window = id ? static_cast<::Window>(id) : DefaultRootWindow(h.display);
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(h.display, h.window, &attributes) || h.gone) return false;
    h.visual = attributes.visual;
    h.depth = attributes.depth;
    h.width = attributes.width;
    h.height = attributes.height;
    XSelectInput(h.display, h.window, StructureNotifyMask | ExposureMask);
    h.gc = XCreateGC(h.display, h.window, 0, nullptr);
    XSync(h.display, False);
    if (h.gone) return false;
    info.width = h.width;
    info.height = h.height;
    info.monitor = monitor_of(h.display, h.window, h.width, h.height, info.on_first_monitor);
    return true;
}

void on_host_window_lost(void (*cleanup)()) { host().cleanup = cleanup; }

bool host_window_alive() {
    Host& h = host();
    if (!h.display) return false;
    while (XPending(h.display) > 0) {
        XEvent e;
        XNextEvent(h.display, &e);
        if (e.xany.window != h.window) continue;
        if (e.type == DestroyNotify) h.gone = true;
        if (e.type == ConfigureNotify) {
            h.width = e.xconfigure.width;
            h.height = e.xconfigure.height;
            h.repaint_all = true;
        }
        if (e.type == Expose) h.repaint_all = true;
    }
    return !h.gone && !signal_seen;
}

void present_to_host_window(const Bitmap& frame, const Rect* changed, std::size_t count) {
    Host& h = host();
    if (!h.display || h.gone || !make_image()) return;
    const Surface s = frame.surface();
    if (s.width == h.width && s.height == h.height) {
        Rect area{0, 0, s.width, s.height};
        if (!h.repaint_all && changed && count == 0) return;
        if (!h.repaint_all && changed) {
            area = changed[0];
            for (std::size_t i = 1; i < count; ++i)
                area = {std::min(area.left, changed[i].left), std::min(area.top, changed[i].top),
                        std::max(area.right, changed[i].right), std::max(area.bottom, changed[i].bottom)};
            area = {std::max(area.left, 0), std::max(area.top, 0), std::min(area.right, s.width),
                    std::min(area.bottom, s.height)};
        }
        if (area.right <= area.left || area.bottom <= area.top) return;
        for (int y = area.top; y < area.bottom; ++y) put_pixel_row(h.image, y, s.row(y), area.left, area.right);
        XPutImage(h.display, h.window, h.gc, h.image, area.left, area.top, area.left, area.top,
                  static_cast<unsigned>(area.width()), static_cast<unsigned>(area.height()));
    } else {
        fill_scaled(s, h.image, h.width, h.height);
        XPutImage(h.display, h.window, h.gc, h.image, 0, 0, 0, 0, static_cast<unsigned>(h.width),
                  static_cast<unsigned>(h.height));
    }
    h.repaint_all = false;
    XFlush(h.display);
}

}  // namespace plat
