// The preview window "Preview Window": a still picture inside the Display Properties
// dialog's preview area. No input, no engine, no music; one timer watches the parent.
#pragma once

#include "platform/types.h"

namespace shell {

// Creates the window hidden (the caller embeds it in its parent and shows it).
plat::WindowHandle CreatePreviewWindow();

// Looks twice a second whether the parent still exists and closes the preview when it has
// gone, so that a preview never outlives the dialog it was shown in (a parent in another
// process does not always take its foreign children with it).
void WatchPreviewParent(plat::WindowHandle window, plat::WindowHandle parent);

// Places the picture control Img_Prev at (0, 0) with the given size in pixels and draws it.
void PlacePreviewPicture(plat::WindowHandle window, int width, int height);

}  // namespace shell
