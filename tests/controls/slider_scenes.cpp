#include "tests/controls/slider_scenes.h"

#include "controls/slider/slider.h"
#include "platform/window.h"
#include "tests/controls/user_input.h"

namespace control_test {

std::vector<SliderScene> slider_scenes() {
    using S = SceneStep;
    const plat::Rect wide{10, 10, 107, 30}, tall{10, 10, 30, 107};
    const std::vector<std::pair<std::string, std::string>> coarse{{"Max", "3"}, {"Min", "0"}, {"Value", "0"}};
    auto with = [](std::vector<std::pair<std::string, std::string>> bag, std::pair<std::string, std::string> more) {
        bag.push_back(std::move(more));
        return bag;
    };
    std::vector<SliderScene> s = {
        {"defaults", {}, wide, {}},
        {"at Min", {{"Value", "-100"}}, wide, {}},
        {"at Max", {{"Value", "100"}}, wide, {}},
        {"halfway", {{"Value", "0"}}, wide, {}},
        {"narrow grows to 63", {}, {10, 10, 30, 60}, {}},
        {"long", {{"Value", "-37"}}, {10, 10, 310, 30}, {}},
        {"dialog interval", {{"Max", "30"}, {"Min", "1"}, {"Value", "12"}, {"ForeColor", "&H00FFC0C0&"}, {"ForeColor2", "&H0080FF80&"}}, wide, {}},
        {"dialog axis", {{"Max", "10"}, {"Min", "0"}, {"Value", "7"}, {"ForeColor", "&H00FF8080&"}, {"ForeColor2", "&H00FFFFFF&"}}, wide, {}},
        {"back colour", {{"Value", "20"}, {"BackColor", "&H00402010&"}}, wide, {}},
        {"odd range 1", with(coarse, {"Value", "1"}), wide, {}},
        {"odd range 2", with(coarse, {"Value", "2"}), wide, {}},
        {"drag snap off", coarse, wide, {{S::Press, 19, 10}, {S::Move, 40, 10}}},
        {"drag snap on", with(coarse, {"Snap", "True"}), wide, {{S::Press, 19, 10}, {S::Move, 40, 10}}},
        {"drag past the end", coarse, wide, {{S::Press, 19, 10}, {S::Move, 250, 10}, {S::Release, 250, 10}}},
        {"released then key", coarse, wide, {{S::Press, 19, 10}, {S::Move, 41, 10}, {S::Release, 41, 10}, {S::Key, 39}}},
        {"vertical defaults", {{"Style", "1"}}, tall, {}},
        {"vertical at Max", {{"Style", "1"}, {"Value", "100"}}, tall, {}},
        {"vertical drag snap off", with(coarse, {"Style", "1"}), tall, {{S::Press, 10, 80}, {S::Move, 10, 40}}},
        {"vertical drag snap on", with(with(coarse, {"Style", "1"}), {"Snap", "True"}), tall, {{S::Press, 10, 80}, {S::Move, 10, 40}}},
        {"turned from horizontal", {{"Value", "30"}}, wide, {}, 1},
    };
    return s;
}

std::unique_ptr<plat::Bitmap> draw_scene(const SliderScene& scene) {
    const plat::WindowHandle host = make_host(340, 140);
    std::unique_ptr<plat::Bitmap> picture;
    {
        controls::Slider slider(host, scene.rect);
        controls::PropertyBag bag;
        for (const auto& [key, value] : scene.bag) bag.set(key, value);
        slider.ReadProperties(bag);
        if (scene.style_after_load != -1) slider.SetStyle(scene.style_after_load);
        const plat::WindowHandle w = slider.window();
        for (const SceneStep& step : scene.steps) {
            switch (step.kind) {
            case SceneStep::Press: press(w, {step.x, step.y}); break;
            case SceneStep::Move: move(w, {step.x, step.y}); break;
            case SceneStep::Release: release(w, {step.x, step.y}); break;
            case SceneStep::Key: key(w, step.x); break;
            }
        }
        picture = image_of(w);
        // Let go of a button still held, so that the next scene starts with none.
        if (!scene.steps.empty() && scene.steps.back().kind != SceneStep::Release && scene.steps.back().kind != SceneStep::Key)
            release(w, {scene.steps.back().x, scene.steps.back().y});
    }
    close_host(host);
    return picture;
}

}  // namespace control_test
