#include "platform/linux/x11.h"

#include <SDL.h>
#include <SDL_syswm.h>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <gdk/gdk.h>

#include "platform/posix/memory_bitmap.h"
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

namespace {

// The last request that put pixels from shared memory: until the server has processed it,
// the memory it reads from may not change. The program has one connection, SDL's.
struct PendingPuts {
    Display* d = nullptr;
    unsigned long request = 0;  // none
    bool event = false;         // the request asked for the server's completion event
};
PendingPuts& pending_puts() {
    static PendingPuts pending;
    return pending;
}

// The puts are sent; `event`: the last asked for the server's completion event, which says,
// when it comes, that the server has read them all.
void puts_sent(Display* d, bool event) {
    pending_puts() = {d, NextRequest(d) - 1, event};
    XFlush(d);
}

// An event at or after the request in *arg: every event carries the number of the last
// request the server had processed when it sent it.
Bool processed_since(Display*, XEvent* event, XPointer arg) {
    return event->xany.serial >= *reinterpret_cast<const unsigned long*>(arg) ? True : False;
}

void await_puts_on(Display* d) {
    PendingPuts& p = pending_puts();
    if (p.request == 0 || p.d != d) return;
    // Whatever Xlib has read since (SDL reads every event) may say so already. Else the
    // completion event is waited for and left in the queue for SDL, which ignores it: one
    // read, where a round trip would write and then read.
    if (LastKnownRequestProcessed(d) < p.request) {
        if (p.event) {
            XEvent event;
            XPeekIfEvent(d, &event, processed_since, reinterpret_cast<XPointer>(&p.request));
        } else {
            XSync(d, False);
        }
    }
    p.request = 0;
}

// A band of rows in memory shared with the X server (MIT-SHM), far smaller than the screen:
// rectangles of a picture are copied into it side by side on shelves and put from there, and
// when it is full the server is waited for before it is filled again. Null where the server
// shares no memory with this process (a remote display).
class Staging {
public:
    static constexpr int kRows = 128;  // 1 MB at 1920 pixels a row, 2 MB at 3840

    static Staging* of(Display* d, Visual* visual, int width) {
        static Staging staging;
        if (staging.failed_ && staging.d_ == d) return nullptr;
        if (staging.image_ && staging.d_ == d && staging.image_->width >= width) return &staging;
        staging.release();
        staging.d_ = d;
        staging.failed_ = !staging.make(visual, width);
        return staging.failed_ ? nullptr : &staging;
    }

    // A picture's rectangles: the band is free again once the server has read the last ones,
    // which it has long done when the frame before went out a frame ago.
    void begin() {
        await_puts_on(d_);
        x_ = y_ = shelf_ = 0;
    }

    // Copies the rectangle (left, top, w, h) of the picture into the band and puts it at
    // (to_x, to_y) of the window; w at most the band's width. `last`: the picture's last, whose
    // final request asks for the server's completion event.
    void put(Window xw, GC gc, const std::uint32_t* pixels, int stride, int left, int top, int w, int h, int to_x,
             int to_y, bool last) {
        event_ = last;
        while (h > 0) {
            const int rows = std::min(h, kRows);
            if (x_ + w > image_->width) next_shelf();
            if (y_ + rows > kRows) wait();
            const int bpl = image_->bytes_per_line;
            for (int j = 0; j < rows; ++j)
                std::memcpy(image_->data + static_cast<std::ptrdiff_t>(y_ + j) * bpl + static_cast<std::ptrdiff_t>(x_) * 4,
                            pixels + static_cast<std::ptrdiff_t>(top + j) * stride + left, static_cast<std::size_t>(w) * 4);
            XShmPutImage(d_, xw, gc, image_, x_, y_, to_x, to_y, static_cast<unsigned>(w), static_cast<unsigned>(rows),
                         last && rows == h);
            x_ += w;
            shelf_ = std::max(shelf_, rows);
            top += rows;
            to_y += rows;
            h -= rows;
        }
    }

    // The band is full: the server has read everything put so far, and it is free again.
    void wait() {
        XSync(d_, False);
        x_ = y_ = shelf_ = 0;
    }

    // The picture's rectangles are sent; the band stays busy until the next begin.
    void end() {
        puts_sent(d_, event_);
        event_ = false;
    }

private:
    static int on_attach_error(Display*, XErrorEvent*) {
        attach_failed() = true;
        return 0;
    }
    static bool& attach_failed() {
        static bool failed = false;
        return failed;
    }

    bool make(Visual* visual, int width) {
        if (!XShmQueryExtension(d_)) return false;
        image_ = XShmCreateImage(d_, visual, 24, ZPixmap, nullptr, &info_, static_cast<unsigned>(width), kRows);
        if (!image_) return false;
        if (image_->bits_per_pixel != 32) return release(), false;
        image_->byte_order = LSBFirst;
        info_.shmid = shmget(IPC_PRIVATE, static_cast<std::size_t>(image_->bytes_per_line) * kRows, IPC_CREAT | 0600);
        if (info_.shmid < 0) return release(), false;
        info_.shmaddr = image_->data = static_cast<char*>(shmat(info_.shmid, nullptr, 0));
        if (info_.shmaddr == reinterpret_cast<char*>(-1)) {
            info_.shmaddr = image_->data = nullptr;
            return release(), false;
        }
        info_.readOnly = False;
        // A server that cannot reach the memory (another machine's) answers with an error,
        // which is caught here rather than ending the process.
        attach_failed() = false;
        XSync(d_, False);
        const auto previous = XSetErrorHandler(on_attach_error);
        const bool attached = XShmAttach(d_, &info_);
        XSync(d_, False);
        XSetErrorHandler(previous);
        shmctl(info_.shmid, IPC_RMID, nullptr);  // gone with the last user, whatever happens
        attached_ = attached && !attach_failed();
        if (!attached_) return release(), false;
        return true;
    }

    void release() {
        if (image_ && info_.shmaddr) {
            if (attached_) XShmDetach(d_, &info_);
            XSync(d_, False);
            shmdt(info_.shmaddr);
        }
        attached_ = false;
        if (image_) {
            image_->data = nullptr;
            XDestroyImage(image_);
        }
        image_ = nullptr;
        info_ = {};
        x_ = y_ = shelf_ = 0;
    }

    void next_shelf() {
        x_ = 0;
        y_ += shelf_;
        shelf_ = 0;
    }

    Display* d_ = nullptr;
    XShmSegmentInfo info_{};
    XImage* image_ = nullptr;
    bool failed_ = false, attached_ = false;
    bool event_ = false;  // the last put asked for the completion event
    int x_ = 0, y_ = 0, shelf_ = 0;
};

}  // namespace

namespace {

// Pictures whose pixels lie in memory shared with the X server, attached on the connection
// of the window they were made for: their rectangles go to the server without a copy.
struct SharedPicture {
    Display* d = nullptr;
    XShmSegmentInfo info{};
    std::uint32_t* pixels = nullptr;
    int width = 0, height = 0;
    XImage* image = nullptr;  // made at the first put, for the window's visual
};
std::vector<SharedPicture*>& shared_pictures() {
    static std::vector<SharedPicture*> pictures;
    return pictures;
}
SharedPicture* shared_picture_of(Display* d, const std::uint32_t* pixels) {
    for (SharedPicture* p : shared_pictures())
        if (p->d == d && p->pixels == pixels) return p;
    return nullptr;
}

bool shm_attach_failed = false;
int on_shm_attach_error(Display*, XErrorEvent*) {
    shm_attach_failed = true;
    return 0;
}

// The X side of an SDL window whose visual holds pixels as the pictures do (0x00RRGGBB in a
// 24-bit visual of the screen's default depth); false for any other.
struct Target {
    Display* d = nullptr;
    Window xw = 0;
    Visual* visual = nullptr;
    GC gc = nullptr;
};
bool target_of(SDL_Window* window, Target& out) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
    Display* d = info.info.x11.display;
    const Window xw = info.info.x11.window;
    // The window's visual is asked for once (a round trip), not at every frame.
    static Window checked = 0;
    static Visual* visual = nullptr;
    static GC gc = nullptr;
    if (xw != checked) {
        checked = xw;
        visual = nullptr;
        XWindowAttributes a;
        // Pixel values are written as they are, so the visual's masks are what counts (a
        // virtual X server's default visual is DirectColor with these masks, as SDL's own
        // framebuffer takes it too).
        if (XGetWindowAttributes(d, xw, &a) && a.depth == 24 && a.visual && a.visual->red_mask == 0xFF0000 &&
            a.visual->green_mask == 0xFF00 && a.visual->blue_mask == 0xFF) {
            const int screen = XScreenNumberOfScreen(a.screen);
            // The screen's own context serves every window of its default depth.
            if (DefaultDepth(d, screen) == a.depth) {
                visual = a.visual;
                gc = DefaultGC(d, screen);
            }
        }
    }
    if (!visual) return false;
    out = {d, xw, visual, gc};
    return true;
}

}  // namespace

std::unique_ptr<Bitmap> create_shared_bitmap(SDL_Window* window, int width, int height) {
    SDL_SysWMinfo wm;
    SDL_VERSION(&wm.version);
    if (!window || width <= 0 || height <= 0 || !SDL_GetWindowWMInfo(window, &wm) || wm.subsystem != SDL_SYSWM_X11)
        return nullptr;
    Display* d = wm.info.x11.display;
    if (!XShmQueryExtension(d)) return nullptr;
    auto p = std::make_unique<SharedPicture>();
    p->d = d;
    p->width = width;
    p->height = height;
    const std::size_t bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
    p->info.shmid = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (p->info.shmid < 0) return nullptr;
    void* at = shmat(p->info.shmid, nullptr, 0);
    if (at == reinterpret_cast<void*>(-1)) {
        shmctl(p->info.shmid, IPC_RMID, nullptr);
        return nullptr;
    }
    p->info.shmaddr = static_cast<char*>(at);
    p->info.readOnly = True;  // the server only reads the picture
    // A server that cannot reach the memory (another machine's, another namespace's) answers
    // with an error, which is caught here rather than ending the process.
    shm_attach_failed = false;
    XSync(d, False);
    const auto previous = XSetErrorHandler(on_shm_attach_error);
    const bool attached = XShmAttach(d, &p->info);
    XSync(d, False);
    XSetErrorHandler(previous);
    shmctl(p->info.shmid, IPC_RMID, nullptr);  // gone with the last user, whatever happens
    if (!attached || shm_attach_failed) {
        shmdt(at);
        return nullptr;
    }
    // Fresh shared memory is zero: black already, and untouched pages cost nothing until drawn.
    p->pixels = static_cast<std::uint32_t*>(at);
    SharedPicture* raw = p.release();
    shared_pictures().push_back(raw);
    return posix::wrap_pixels(raw->pixels, width, height, [raw] {
        auto& all = shared_pictures();
        all.erase(std::remove(all.begin(), all.end(), raw), all.end());
        XShmDetach(raw->d, &raw->info);
        XSync(raw->d, False);
        if (raw->image) {
            raw->image->data = nullptr;
            XDestroyImage(raw->image);
        }
        shmdt(raw->info.shmaddr);
        delete raw;
    });
}

void await_puts() {
    if (Display* d = pending_puts().d) await_puts_on(d);
}

bool fill_window(SDL_Window* window, std::uint32_t rgb) {
    Target t;
    if (!target_of(window, t)) return false;
    XGCValues values;
    values.foreground = rgb & 0xFFFFFF;
    GC gc = XCreateGC(t.d, t.xw, GCForeground, &values);
    XFillRectangle(t.d, t.xw, gc, 0, 0, 0x7FFF, 0x7FFF);
    XFreeGC(t.d, gc);
    XSync(t.d, False);
    return true;
}

bool put_picture(SDL_Window* window, const std::uint32_t* pixels, int width, int height, int stride, Point at,
                 const Rect* rects, std::size_t count) {
    Target t;
    if (!pixels || width <= 0 || height <= 0 || stride < width || !target_of(window, t)) return false;
    Display* d = t.d;
    const Window xw = t.xw;
    Visual* visual = t.visual;
    GC gc = t.gc;
    // A picture in shared memory goes to the server as it is: one request a rectangle, and
    // await_puts before the picture may change again.
    if (SharedPicture* shared = shared_picture_of(d, pixels);
        shared && shared->width == width && shared->height == height && stride == width) {
        if (!shared->image) {
            shared->image = XShmCreateImage(d, visual, 24, ZPixmap, shared->info.shmaddr, &shared->info,
                                            static_cast<unsigned>(width), static_cast<unsigned>(height));
            if (shared->image && (shared->image->bits_per_pixel != 32 || shared->image->bytes_per_line != width * 4)) {
                shared->image->data = nullptr;
                XDestroyImage(shared->image);
                shared->image = nullptr;
            }
            if (shared->image) shared->image->byte_order = LSBFirst;
        }
        if (shared->image) {
            bool event = false;
            for (std::size_t i = 0; i < count; ++i) {
                const Rect& r = rects[i];
                const int left = std::max(r.left, 0), top = std::max(r.top, 0);
                const int right = std::min(r.right, width), bottom = std::min(r.bottom, height);
                if (left >= right || top >= bottom) continue;
                event = i + 1 == count;
                XShmPutImage(d, xw, gc, shared->image, left, top, at.x + left, at.y + top,
                             static_cast<unsigned>(right - left), static_cast<unsigned>(bottom - top), event);
            }
            puts_sent(d, event);
            return true;
        }
    }
    if (Staging* staging = Staging::of(d, visual, width)) {
        staging->begin();
        for (std::size_t i = 0; i < count; ++i) {
            const Rect& r = rects[i];
            const int left = std::max(r.left, 0), top = std::max(r.top, 0);
            const int right = std::min(r.right, width), bottom = std::min(r.bottom, height);
            if (left < right && top < bottom)
                staging->put(xw, gc, pixels, stride, left, top, right - left, bottom - top, at.x + left, at.y + top,
                             i + 1 == count);
        }
        staging->end();
        return true;
    }
    // Without shared memory the pixels go through the connection itself.
    XImage* image = XCreateImage(d, visual, 24, ZPixmap, 0,
                                 const_cast<char*>(reinterpret_cast<const char*>(pixels)),
                                 static_cast<unsigned>(width), static_cast<unsigned>(height), 32, stride * 4);
    if (!image) return false;
    const bool usable = image->bits_per_pixel == 32;
    if (usable) {
        image->byte_order = LSBFirst;  // the picture's order; Xlib swaps for a server of the other
        for (std::size_t i = 0; i < count; ++i) {
            const Rect& r = rects[i];
            const int left = std::max(r.left, 0), top = std::max(r.top, 0);
            const int right = std::min(r.right, width), bottom = std::min(r.bottom, height);
            if (left < right && top < bottom)
                XPutImage(d, xw, gc, image, left, top, at.x + left, at.y + top, static_cast<unsigned>(right - left),
                          static_cast<unsigned>(bottom - top));
        }
        XSync(d, False);
    }
    image->data = nullptr;  // the picture's, not the image's
    XDestroyImage(image);
    return usable;
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
