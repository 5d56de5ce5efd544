#pragma once
// The gallery draws one control, built from a stored form given on the command line, in a
// state or after input steps, as the screen would show it. Each kind of control is one page
// (a source file of its own) with one entry in the table of pages (pages.cpp).
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "controls/property_bag.h"
#include "platform/types.h"

namespace gallery {

// One input step of the command line: --press, --move, --release, --drag with a point (one
// or two numbers, the page decides what one number means), --key with a virtual key.
struct Step {
    enum Kind { Press, Move, Release, Drag, Key } kind = Press;
    std::vector<int> numbers;
    int button = 1;
};

struct Request {
    controls::PropertyBag bag;      // --set Key=Value, in the order given
    std::optional<plat::Rect> rect;  // --rect X,Y,W,H (pixels in the host), else the page's own
    std::string state;              // --state NAME, empty for the page's first
    std::vector<Step> steps;
};

// A control shown in the host window; it lives as long as the object.
class Shown {
public:
    virtual ~Shown() = default;
    virtual plat::WindowHandle window() const = 0;
};

struct Page {
    const char* name;    // --control NAME
    const char* states;  // the states it knows, the first the default, separated by blanks
    const char* about;   // one line for --help
    // Builds the control in `host`, puts it in `request.state` and runs the steps; null with
    // `error` set when the request does not fit the page.
    std::unique_ptr<Shown> (*show)(plat::WindowHandle host, const Request& request, std::string& error);
};

// The pages, ending with a null name.
extern const Page kPages[];

// Input through the scripted back end, as a user gives it; each returns after the pump.
void press(plat::WindowHandle window, plat::Point client, int button = 1);
void move(plat::WindowHandle window, plat::Point client);
void release(plat::WindowHandle window, plat::Point client, int button = 1);
void key(plat::WindowHandle window, int virtual_key);

}  // namespace gallery
