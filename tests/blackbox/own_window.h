// X11 helpers of the live tests, kept apart because Xlib's macros clash with C++ names.
#pragma once

#include <memory>
#include <string>

namespace black_box {

// Whether the pointer's cursor, as the X server draws it now, has a visible pixel.
bool CursorVisible();

// What a window shows now: its size, and how many of its pixels are green dots (green well
// above red and blue) and how many are the white of an own window that nothing covered.
struct WindowPixels {
    int width = 0, height = 0;
    long green = 0, white = 0;
};
WindowPixels CountPixels(unsigned long window);

// What a user sees of an area of one X screen of `display` (its root window's image, with
// the windows on it): how many pixels are lit (anything but black: the desktop, where a
// server started with a white root shows through) and how many of them are green dots. `read` is false
// when the server could not be asked.
struct AreaPixels {
    bool read = false;
    long lit = 0, green = 0;
};
AreaPixels CountScreenPixels(const std::string& display, int screen, int left, int top, int right, int bottom);

// A top-level X window of the test's own (a stand-in for the Display Properties dialog),
// white, at (40, 40), titled "Display Properties".
class OwnWindow {
public:
    OwnWindow(int width, int height);
    ~OwnWindow();
    OwnWindow(const OwnWindow&) = delete;
    OwnWindow& operator=(const OwnWindow&) = delete;
    void destroy();
    void resize(int width, int height);
    std::string id() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace black_box
