// The preview window "Preview Window": a still picture inside the Display Properties
// dialog's preview area. No input, no timers, no engine, no music.
#pragma once

#include "platform/types.h"

namespace shell {

// Creates the window hidden (the caller embeds it in its parent and shows it).
plat::WindowHandle CreatePreviewWindow();

// Places the picture control Img_Prev at (0, 0) with the given size in pixels and draws it.
void PlacePreviewPicture(plat::WindowHandle window, int width, int height);

}  // namespace shell
