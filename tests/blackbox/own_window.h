// X11 helpers of the live tests, kept apart because Xlib's macros clash with C++ names.
#pragma once

#include <memory>
#include <string>

namespace black_box {

// Whether the pointer's cursor, as the X server draws it now, has a visible pixel.
bool CursorVisible();

// A top-level X window of the test's own (a stand-in for the Display Properties dialog),
// white, at (40, 40), titled "Display Properties".
class OwnWindow {
public:
    OwnWindow(int width, int height);
    ~OwnWindow();
    OwnWindow(const OwnWindow&) = delete;
    OwnWindow& operator=(const OwnWindow&) = delete;
    void destroy();
    std::string id() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

}  // namespace black_box
