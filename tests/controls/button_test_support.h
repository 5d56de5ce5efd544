// A dialog of the scripted world holding styled buttons, and a host that records what the
// buttons tell it.
#pragma once

#include <string>
#include <vector>

#include "controls/styled_button/qz_buttons_h.h"
#include "platform/scripted/control.h"
#include "platform/window.h"

namespace button_test {

struct RecordingHost : controls::ButtonHost {
    bool design = false;
    bool is_default = false;
    plat::ColorRef back = 0x8000000F;
    std::string name = "qzButtons_H1";
    std::vector<std::string> changes, messages;
    bool design_mode() const override { return design; }
    plat::ColorRef ambient_back_colour() const override { return back; }
    bool displays_as_default() const override { return is_default; }
    void property_changed(std::string_view key) override { changes.emplace_back(key); }
    std::string instance_name() const override { return name; }
    void show_message(std::string_view text, std::string_view) override { messages.emplace_back(text); }
};

// A 32-bit memory surface of w x h for painting a look directly.
struct Canvas {
    plat::Dc dc;
    plat::GdiObject bitmap, old;
    Canvas(int w, int h)
        : dc(plat::create_compatible_dc(plat::Dc::None)),
          bitmap(plat::create_compatible_bitmap(plat::Dc::None, w, h)),
          old(plat::select_object(dc, bitmap)) {
        plat::set_bk_mode(dc, plat::BkMode::Transparent);
    }
    ~Canvas() {
        plat::select_object(dc, old);
        plat::delete_object(bitmap);
        plat::delete_dc(dc);
    }
    plat::ColorRef at(int x, int y) const { return plat::get_pixel(dc, x, y); }
};

}  // namespace button_test
