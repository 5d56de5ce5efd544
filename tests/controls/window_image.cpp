// What a window shows on the raster's back ends (Linux and scripted): a copy of its image,
// taken through the window's device context as a paint would read it.
#include "platform/window.h"
#include "tests/controls/user_input.h"

namespace control_test {

std::unique_ptr<plat::Bitmap> image_of(plat::WindowHandle window) {
    plat::Rect r;
    if (!plat::get_window_rect(window, r)) return nullptr;
    auto copy = plat::create_bitmap(r.width(), r.height());
    plat::bit_blt(plat::bitmap_dc(*copy), 0, 0, r.width(), r.height(), plat::window_dc(window), 0, 0,
                  plat::Rop::SrcCopy);
    return copy;
}

}  // namespace control_test
