// The slider's page: a 97 x 20 slider (the settings dialog's size; a vertical one stands
// 20 x 97) built from the stored form, then the steps. One number names a place along the
// slider's long axis (x for horizontal, y for vertical), in the middle of the other.
#include <memory>

#include "controls/slider/slider.h"
#include "tools/gallery/gallery.h"

namespace gallery {
namespace {

class ShownSlider : public Shown {
public:
    ShownSlider(plat::WindowHandle host, const Request& request) {
        const bool vertical = request.bag.read_int("Style", 0) != 0;
        const plat::Rect rect = request.rect.value_or(vertical ? plat::Rect{8, 8, 28, 105} : plat::Rect{8, 8, 105, 28});
        slider = std::make_unique<controls::Slider>(host, rect);
        slider->ReadProperties(request.bag);
    }
    plat::WindowHandle window() const override { return slider->window(); }

    std::unique_ptr<controls::Slider> slider;
};

}  // namespace

std::unique_ptr<Shown> ShowSlider(plat::WindowHandle host, const Request& request, std::string& error) {
    if (!request.state.empty() && request.state != "normal") {
        error = "the slider has no state \"" + request.state + "\" (it draws its value; use input steps)";
        return nullptr;
    }
    auto shown = std::make_unique<ShownSlider>(host, request);
    controls::Slider& s = *shown->slider;
    const plat::WindowHandle w = s.window();
    auto point = [&s](const std::vector<int>& n) {
        const plat::Rect r = s.rect();
        if (n.size() >= 2) return plat::Point{n[0], n[1]};
        return s.Style() != 0 ? plat::Point{r.width() / 2, n[0]} : plat::Point{n[0], r.height() / 2};
    };
    for (const Step& step : request.steps) {
        switch (step.kind) {
        case Step::Press: press(w, point(step.numbers), step.button); break;
        case Step::Move: move(w, point(step.numbers)); break;
        case Step::Release: release(w, point(step.numbers), step.button); break;
        case Step::Key: key(w, step.numbers.at(0)); break;
        case Step::Drag: {
            // From the middle of the control to the point, the left button held, then let go.
            const plat::Rect r = s.rect();
            press(w, {r.width() / 2, r.height() / 2});
            move(w, point(step.numbers));
            release(w, point(step.numbers));
            break;
        }
        }
    }
    return shown;
}

}  // namespace gallery
