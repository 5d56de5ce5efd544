// The styled button's costs on this build's back end (real GDI and user32 in the MinGW build
// under Wine or Windows; the raster and the Linux windowing natively): one full paint of the
// settings dialog's 73 x 25 button (style 2, a gradient, a caption) with its block copy to the
// window, a hover change (the repaint in the hovered look), and the work of one hover-timer
// tick while the pointer rests on the button, with the share of one core that 20 ticks a
// second take. A speed figure, so it prints and does not judge.
//
//     button_bench [REPEATS]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "controls/styled_button/button_snapshot.h"
#include "controls/styled_button/qz_buttons_h.h"
#include "platform/window.h"

namespace {

using namespace controls::styled_button;
using Clock = std::chrono::steady_clock;

// Nanoseconds per call, the best of five runs of `count` calls.
double time_calls(int count, const std::function<void()>& call) {
    double best = 1e18;
    for (int run = 0; run < 5; ++run) {
        const auto start = Clock::now();
        for (int i = 0; i < count; ++i) call();
        const double ns = std::chrono::duration<double, std::nano>(Clock::now() - start).count() / count;
        best = std::min(best, ns);
    }
    return best;
}

struct DialogHost : controls::ButtonHost {
    plat::ColorRef ambient_back_colour() const override { return 0xFFFFFF; }
};

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2000;
    plat::WindowDesc desc;
    desc.title = "button bench";
    desc.style = plat::WindowStyle::Dialog;
    desc.rect = {100, 100, 400, 250};
    const plat::WindowHandle dialog = plat::create_window(desc, {});
    plat::show_window(dialog, true);
    plat::pump_events();

    DialogHost host;
    controls::qzButtons_H button(host);
    controls::PropertyBag bag;
    bag.set("Caption", "OK");
    bag.set("BackStyle", "2");
    bag.set("Gradient", "3");
    bag.set("cGradient", "&H00000000&");
    bag.set("cFore", "&H00000000&");
    bag.set("cBack", "&H00FFFFFF&");
    bag.write_font("Font", {"Times New Roman", 9.0});
    if (!button.Create(dialog, {20, 20, 93, 45})) return 1;
    button.ReadProperties(bag);
    plat::pump_events();

    const double paint_ns = time_calls(count, [&] { button.Refresh(); });

    // A hover change repaints in the hovered look: the same pipeline from another state.
    const ButtonLook rest = button.look();
    const ButtonLook hovered = in_state(rest, ButtonState::Hovered);
    const plat::Dc window = plat::window_dc(button.hWnd());
    const plat::Dc surface = plat::create_compatible_dc(window);
    const plat::GdiObject bitmap = plat::create_compatible_bitmap(window, rest.width, rest.height);
    const plat::GdiObject old = plat::select_object(surface, bitmap);
    plat::set_bk_mode(surface, plat::BkMode::Transparent);
    const plat::GdiObject font = plat::create_font(caption_font("Times New Roman", 9.0, false, false, false, false, 15));
    const plat::GdiObject old_font = plat::select_object(surface, font);
    PaintCache cache;
    bool in = false;
    const double hover_ns = time_calls(count, [&] {
        in = !in;
        paint_button(in ? hovered : rest, surface, cache);
        plat::bit_blt(window, 0, 0, rest.width, rest.height, surface, 0, 0, plat::Rop::SrcCopy);
        plat::update_window(button.hWnd());
    });
    plat::select_object(surface, old_font);
    plat::delete_object(font);
    plat::select_object(surface, old);
    plat::delete_object(bitmap);
    plat::delete_dc(surface);

    // One hover tick with the pointer on the button: the two window properties, the pointer's
    // place and the window under it.
    plat::set_prop(button.hWnd(), controls::qzButtons_H::kClassIdProp, 1);
    plat::set_prop(button.hWnd(), controls::qzButtons_H::kTimerIdProp, controls::qzButtons_H::kHoverTimerId);
    volatile std::intptr_t sink = 0;
    const double tick_ns = time_calls(count * 10, [&] {
        sink = sink + plat::get_prop(button.hWnd(), controls::qzButtons_H::kClassIdProp);
        sink = sink + plat::get_prop(button.hWnd(), controls::qzButtons_H::kTimerIdProp);
        plat::Point p;
        plat::get_cursor_pos(p);
        sink = sink + static_cast<std::intptr_t>(plat::window_from_point(p));
    });
    const double ticks_per_second = 1000.0 / controls::qzButtons_H::kHoverPeriodMs;

    std::printf("full paint, 73 x 25, style 2, gradient, caption: %.1f us\n", paint_ns / 1000);
    std::printf("hover change (repaint in the other look):        %.1f us\n", hover_ns / 1000);
    std::printf("hover tick:                                      %.2f us, %.4f %% of one core at %.0f ticks/s\n",
                tick_ns / 1000, tick_ns * ticks_per_second / 1e9 * 100, ticks_per_second);
    plat::destroy_window(dialog);
    return 0;
}
