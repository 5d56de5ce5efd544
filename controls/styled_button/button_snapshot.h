// A styled button's look in one of its states, as the benchmarks measure it.
#pragma once

#include "controls/styled_button/button_look.h"

namespace controls::styled_button {

enum class ButtonState { Normal, Hovered, Pressed, Focused, Disabled, DesignMode };

// The look with the flags, hover tracking, enabled state and design mode of the state.
ButtonLook in_state(ButtonLook look, ButtonState state);

}  // namespace controls::styled_button
