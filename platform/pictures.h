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
};

// Null when the picture cannot be decoded.
std::unique_ptr<Bitmap> load_picture(Picture picture);

}  // namespace plat
