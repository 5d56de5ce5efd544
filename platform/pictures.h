// The pictures that ship inside the executable (Windows resources in Zephlora.scr,
// compiled-in data in the Linux build), decoded to the same pixels everywhere.
#pragma once

#include <memory>

#include "platform/draw.h"

namespace plat {

enum class Picture {
    SpriteSheet,    // 40 x 16 dot sprites and mask
    Background0,    // ten astronomical backgrounds, Background0 + n
    Background1,
    Background2,
    Background3,
    Background4,
    Background5,
    Background6,
    Background7,
    Background8,
    Background9,
    Preview,        // 152 x 112 still picture of the preview window
    OptionOn,       // 12 x 12 option glyphs of the settings dialog
    OptionOff,
    PanelTexture,   // 394 x 24 brushed metal
    SliderLeft,     // the slider's ten images: end caps, handles and fill strips
    SliderRight,
    SliderHandle,
    SliderFullFill,
    SliderEmptyFill,
    SliderUp,
    SliderDown,
    SliderHandle2,
    SliderFullFill2,
    SliderEmptyFill2,
    Icon32,         // the program icon, 32 x 32 and 16 x 16, opaque
    Icon16,
};

inline constexpr int kPictureCount = static_cast<int>(Picture::Icon16) + 1;

// Null when the picture cannot be decoded.
std::unique_ptr<Bitmap> load_picture(Picture picture);

}  // namespace plat
