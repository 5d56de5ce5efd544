#include "own_window.h"

#include <X11/Xlib.h>
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
    state_->display = XOpenDisplay(nullptr);
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

std::string OwnWindow::id() const { return std::to_string(state_->window); }

}  // namespace black_box
