// The styled button's page: a 73 x 25 button (the settings dialog's size) built from the
// stored form over a container of the colour "--set cBack" does not change (RGB(212,208,200)),
// put in its state through input as a user gives it: hovered is the pointer moved onto it,
// pressed the pointer moved on and the left button held, focused the focus given by the host,
// disabled its Enabled key written False, design its design-time look. A picture named in
// "Image" or "mIcon" is one of the program's own (its file name, as assets/pictures.txt has
// it). Values are given in UTF-8. One number of a step is a place along the button, in the middle of its height.
#include <cstring>
#include <memory>
#include <vector>

#include "controls/styled_button/qz_buttons_h.h"
#include "platform/pictures.h"
#include "platform/scripted/control.h"
#include "platform/text.h"
#include "platform/window.h"
#include "tools/gallery/gallery.h"

namespace gallery {
namespace {

constexpr plat::ColorRef kContainer = 0x00C8D0D4;  // RGB(212,208,200)

class GalleryHost : public controls::ButtonHost {
public:
    bool design = false;
    bool design_mode() const override { return design; }
    plat::ColorRef ambient_back_colour() const override { return kContainer; }
    bool displays_as_default() const override { return design; }
    std::string instance_name() const override { return "qzButtons_H1"; }
    std::optional<controls::ButtonPicture> picture_named(std::string_view name) override {
        for (int i = 0; i < plat::kPictureCount; ++i) {
            const plat::Picture p = static_cast<plat::Picture>(i);
            if (name != plat::picture_file_name(p)) continue;
            auto bitmap = plat::load_picture(p);
            if (!bitmap) return std::nullopt;
            controls::ButtonPicture picture;
            picture.bitmap = plat::current_bitmap(plat::bitmap_dc(*bitmap));
            picture.name = std::string(name);
            pictures_.push_back(std::move(bitmap));
            return picture;
        }
        return std::nullopt;
    }

private:
    std::vector<std::unique_ptr<plat::Bitmap>> pictures_;
};

class ShownButton : public Shown {
public:
    plat::WindowHandle window() const override { return button ? button->hWnd() : plat::WindowHandle::None; }
    GalleryHost host;
    std::unique_ptr<controls::qzButtons_H> button;
};

}  // namespace

std::unique_ptr<Shown> ShowButton(plat::WindowHandle host_window, const Request& request, std::string& error) {
    static constexpr const char* kStates[] = {"normal", "hovered", "pressed", "focused", "disabled", "design"};
    const std::string state = request.state.empty() ? "normal" : request.state;
    bool known = false;
    for (const char* s : kStates) known = known || state == s;
    if (!known) {
        error = "the styled button has no state \"" + state + "\"";
        return nullptr;
    }
    // The container's colour under the button (it shows outside slanted and elliptic outlines).
    const plat::Dc host_dc = plat::window_dc(host_window);
    const plat::GdiObject brush = plat::create_solid_brush(kContainer);
    const plat::GdiObject all = plat::create_rect_rgn(0, 0, 4000, 4000);
    plat::fill_region(host_dc, all, brush);
    plat::delete_object(all);
    plat::delete_object(brush);

    auto shown = std::make_unique<ShownButton>();
    shown->host.design = state == "design";
    shown->button = std::make_unique<controls::qzButtons_H>(shown->host);
    controls::qzButtons_H& b = *shown->button;
    const plat::Rect rect = request.rect.value_or(plat::Rect{8, 8, 81, 33});
    if (!b.Create(host_window, rect)) {
        error = "the button's window could not be made";
        return nullptr;
    }
    // The command line is UTF-8; the stored form holds CP932 (captions, font faces).
    controls::PropertyBag bag;
    for (const auto& entry : request.bag.entries()) bag.set(entry.key, plat::utf8_to_cp932_in_place(entry.value));
    if (state == "disabled") bag.set("Enabled", "False");
    b.ReadProperties(bag);
    plat::pump_events();  // its first paint request
    b.Show();
    const plat::WindowHandle w = b.hWnd();
    const plat::Point middle{b.size().x / 2, b.size().y / 2};
    // The hover timer asks where the pointer is: on the button while it is there.
    auto point_at = [&](plat::Point client) {
        plat::Point screen = client;
        plat::client_to_screen(w, screen);
        plat::scripted::set_cursor_pos(screen);
    };
    if (state == "hovered" || state == "pressed") {
        point_at(middle);
        move(w, middle);
    }
    if (state == "pressed") press(w, middle);
    if (state == "focused") plat::set_focus(w);
    auto point = [&](const std::vector<int>& n) {
        return n.size() >= 2 ? plat::Point{n[0], n[1]} : plat::Point{n.at(0), b.size().y / 2};
    };
    for (const Step& step : request.steps) {
        switch (step.kind) {
        case Step::Press: point_at(point(step.numbers)); press(w, point(step.numbers), step.button); break;
        case Step::Move: point_at(point(step.numbers)); move(w, point(step.numbers)); break;
        case Step::Release: point_at(point(step.numbers)); release(w, point(step.numbers), step.button); break;
        case Step::Key: key(w, step.numbers.at(0)); break;
        case Step::Drag:
            point_at(middle);
            move(w, middle);
            press(w, middle);
            point_at(point(step.numbers));
            move(w, point(step.numbers));
            release(w, point(step.numbers));
            break;
        }
    }
    return shown;
}

}  // namespace gallery
