#include "controls/styled_button/button_snapshot.h"

namespace controls::styled_button {

ButtonLook in_state(ButtonLook look, ButtonState state) {
    look.flags = 0;
    look.hover_tracking = false;
    look.enabled = true;
    look.design_mode = false;
    switch (state) {
    case ButtonState::Normal: break;
    case ButtonState::Hovered:
        look.flags = kPointerOver;
        look.hover_tracking = true;
        break;
    case ButtonState::Pressed:
        look.flags = kFocused | kPressed | kPointerOver;
        look.hover_tracking = true;
        break;
    case ButtonState::Focused: look.flags = kFocused; break;
    case ButtonState::Disabled: look.enabled = false; break;
    case ButtonState::DesignMode: look.design_mode = true; break;
    }
    return look;
}

}  // namespace controls::styled_button
