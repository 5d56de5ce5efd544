#pragma once
// Labelled slider scenes that both builds draw: the Windows build under Wine with real GDI
// and the system's input (slider_probe.exe), the native build on the software raster and the
// scripted input. Each scene is a stored form, a place and input steps; its picture is the
// control's image after the last step. (No scene names a system colour: those are the
// system's own, and Wine's differ from the raster's Windows 10 table.)
#include <memory>
#include <string>
#include <vector>

#include "platform/draw.h"
#include "platform/types.h"

namespace control_test {

struct SceneStep {
    enum Kind { Press, Move, Release, Key } kind;
    int x = 0, y = 0;  // the point in the control, or the virtual key
};

struct SliderScene {
    std::string label;
    std::vector<std::pair<std::string, std::string>> bag;
    plat::Rect rect;
    std::vector<SceneStep> steps;
    int style_after_load = -1;  // a Style written after the stored form, when not -1
};

std::vector<SliderScene> slider_scenes();

// Draws one scene in a new host window and returns the control's picture.
std::unique_ptr<plat::Bitmap> draw_scene(const SliderScene& scene);

}  // namespace control_test
