// A styled button drawn in one of its states to a bitmap of its own, as the gallery and the
// README's contact sheet show it.
#pragma once

#include <memory>
#include <string_view>

#include "controls/property_bag.h"
#include "controls/styled_button/button_look.h"

namespace controls::styled_button {

enum class ButtonState { Normal, Hovered, Pressed, Focused, Disabled, DesignMode };

// The state's name ("normal", "hovered", "pressed", "focused", "disabled", "design"), and the
// state of a name (false when there is none of that name).
std::string_view state_name(ButtonState state);
bool state_of(std::string_view name, ButtonState& out);

// The look with the flags, hover tracking, enabled state and design mode of the state.
ButtonLook in_state(ButtonLook look, ButtonState state);

// The full paint of the look in the caption font, on a bitmap of the look's size over the
// container colour (which shows outside elliptic and slanted outlines and cut-out corners).
std::unique_ptr<plat::Bitmap> draw_button(const ButtonLook& look, const StoredFont& font, int twips_per_pixel_y = 15);

}  // namespace controls::styled_button
