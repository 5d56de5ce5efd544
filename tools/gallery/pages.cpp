// The table of pages. A new kind of control adds its page file and one line here.
#include "tools/gallery/gallery.h"

namespace gallery {

std::unique_ptr<Shown> ShowSlider(plat::WindowHandle host, const Request& request, std::string& error);
std::unique_ptr<Shown> ShowButton(plat::WindowHandle host, const Request& request, std::string& error);

const Page kPages[] = {
    {"slider", "normal", "the value slider: --drag X, --press/--move/--release X, --key VK", ShowSlider},
    {"button", "normal hovered pressed focused disabled design",
     "the styled button (ButtonStyle, Shape, colours, Gradient, Caption, Image...): --press/--move/--release X, --key VK",
     ShowButton},
    {nullptr, nullptr, nullptr, nullptr},
};

}  // namespace gallery
