// The layout description of the settings dialog, read at load: the windows and controls of
// Zephlora_P with their places (twips) and stored properties.
#pragma once

#include <optional>
#include <string_view>

#include "controls/layout.h"
#include "platform/types.h"

namespace settings_dialog {

// The description's text, CP932.
std::string_view DialogLayoutText();

// The parsed description (parsed once); nullptr when the text does not parse, which the
// dialog's tests rule out.
const controls::LayoutNode* DialogLayout();

// A node's place in its container in pixels: Left, Top, Width, Height divided by the
// screen's twips per pixel (truncated, as the platform divides them).
plat::Rect PixelRect(const controls::LayoutNode& node, plat::Point twips_per_pixel);

// The room a label that does not wrap may grow into when a font wider than the designed one
// needs it (pixels, in its container's client coordinates): its own row, from the nearest
// control on its left to the nearest on its right, or to the container's edges. A gap that
// faces another label which may grow towards it is shared at its middle, so that no label
// ever covers another control. The room always holds the label's own box.
plat::Rect LabelRoom(const controls::LayoutNode& container, const controls::LayoutNode& label,
                     plat::Point twips_per_pixel);

// The node of that name (and index) anywhere in the dialog, or nullptr.
const controls::LayoutNode* FindControl(std::string_view name, std::optional<int> index = {});

}  // namespace settings_dialog
