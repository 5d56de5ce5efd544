#pragma once
// The gallery's command line:
//
//   zephlora_gallery --control NAME [--set Key=Value]... [--rect X,Y,W,H] [--state NAME]
//                    [--button N] [--press P] [--move P] [--release P] [--drag P] [--key VK]...
//                    [--zoom N] --out FILE.png
//   zephlora_gallery --list
//
// P is one number (a place along the control, as its page says) or X,Y in the control's
// pixels; --button gives the button (1 left, 2 right, 4 middle) of the presses and releases
// after it. Steps run in the order given.
#include <optional>
#include <string>
#include <vector>

#include "tools/gallery/gallery.h"

namespace gallery {

struct Options {
    std::string control;
    Request request;
    std::string out;
    int zoom = 1;
    bool list = false;
};

// The options, or empty with `error` set.
std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error);

}  // namespace gallery
