#include "own_window.h"

#include <chrono>
#include <thread>

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xfixes.h>

namespace black_box {

bool CursorVisible() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return false;
    bool visible = false;
    if (XFixesCursorImage* image = XFixesGetCursorImage(display)) {
        for (int i = 0; i < image->width * image->height; ++i)
            if ((image->pixels[i] >> 24) & 0xFF) visible = true;
        XFree(image);
    }
    XCloseDisplay(display);
    return visible;
}

struct OwnWindow::State {
    Display* display = nullptr;
    Window window = 0;
};

OwnWindow::OwnWindow(int width, int height) : state_(std::make_unique<State>()) {
    // A server still busy with the connections of a test that just ended may refuse one for
    // a moment.
    for (int attempt = 0; attempt < 20 && !state_->display; ++attempt) {
        state_->display = XOpenDisplay(nullptr);
        if (!state_->display) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (!state_->display) return;
    Display* d = state_->display;
    const int screen = DefaultScreen(d);
    state_->window = XCreateSimpleWindow(d, RootWindow(d, screen), 40, 40, width, height, 0, BlackPixel(d, screen),
                                         WhitePixel(d, screen));
    XStoreName(d, state_->window, "Display Properties");
    XMapWindow(d, state_->window);
    XSync(d, False);
}

OwnWindow::~OwnWindow() {
    destroy();
    if (state_->display) XCloseDisplay(state_->display);
}

void OwnWindow::destroy() {
    if (state_->display && state_->window) XDestroyWindow(state_->display, state_->window);
    if (state_->display) XSync(state_->display, False);
    state_->window = 0;
}

void OwnWindow::resize(int width, int height) {
    if (!state_->display || !state_->window) return;
    XResizeWindow(state_->display, state_->window, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XSync(state_->display, False);
}

WindowPixels CountPixels(unsigned long window) {
    WindowPixels out;
    Display* d = XOpenDisplay(nullptr);
    if (!d) return out;
    XWindowAttributes a{};
    if (XGetWindowAttributes(d, window, &a)) {
        out.width = a.width;
        out.height = a.height;
        if (XImage* image = XGetImage(d, window, 0, 0, static_cast<unsigned>(a.width), static_cast<unsigned>(a.height),
                                      AllPlanes, ZPixmap)) {
            for (int y = 0; y < a.height; ++y)
                for (int x = 0; x < a.width; ++x) {
                    const unsigned long p = XGetPixel(image, x, y);
                    const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
                    if (r == 255 && g == 255 && b == 255) ++out.white;
                    else if (g > 64 && g > r + 32 && g > b + 32) ++out.green;
                }
            XDestroyImage(image);
        }
    }
    XCloseDisplay(d);
    return out;
}

AreaPixels CountScreenPixels(const std::string& display, int screen, int left, int top, int right, int bottom) {
    AreaPixels out;
    Display* d = XOpenDisplay(display.c_str());
    if (!d) return out;
    if (screen < ScreenCount(d) && right > left && bottom > top) {
        if (XImage* image = XGetImage(d, RootWindow(d, screen), left, top, static_cast<unsigned>(right - left),
                                      static_cast<unsigned>(bottom - top), AllPlanes, ZPixmap)) {
            out.read = true;
            for (int y = 0; y < bottom - top; ++y)
                for (int x = 0; x < right - left; ++x) {
                    const unsigned long p = XGetPixel(image, x, y);
                    const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
                    if (r == 0 && g == 0 && b == 0) continue;
                    ++out.lit;
                    if (g > 64 && g > r + 32 && g > b + 32) ++out.green;
                }
            XDestroyImage(image);
        }
    }
    XCloseDisplay(d);
    return out;
}

std::string OwnWindow::id() const { return std::to_string(state_->window); }

}  // namespace black_box
