#include "controls/styled_button/button_snapshot.h"

#include <array>

#include "controls/styled_button/button_tools.h"

namespace controls::styled_button {

namespace {
constexpr std::array<std::string_view, 6> kNames = {"normal", "hovered", "pressed", "focused", "disabled", "design"};
}

std::string_view state_name(ButtonState state) { return kNames[static_cast<std::size_t>(state)]; }

bool state_of(std::string_view name, ButtonState& out) {
    for (std::size_t i = 0; i < kNames.size(); ++i)
        if (kNames[i] == name) {
            out = static_cast<ButtonState>(i);
            return true;
        }
    return false;
}

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

std::unique_ptr<plat::Bitmap> draw_button(const ButtonLook& look, const StoredFont& font, int twips_per_pixel_y) {
    auto out = plat::create_bitmap(look.width, look.height);
    if (!out) return nullptr;
    MemoryDc surface(plat::Dc::None, plat::create_compatible_bitmap(plat::Dc::None, look.width, look.height));
    plat::set_bk_mode(surface.dc, plat::BkMode::Transparent);
    Tool caption(surface.dc, plat::create_font(caption_font(font.face_cp932, font.points, font.bold, font.italic,
                                                            font.underline, font.strikeout, twips_per_pixel_y)));
    {
        PaintCache cache;
        paint_button(look, surface.dc, cache);
        plat::select_clip_rgn(surface.dc, plat::GdiObject::None);
    }
    // The container shows where the outline leaves the button out.
    const plat::Dc dst = plat::bitmap_dc(*out);
    fill_rect(*out, 0, 0, look.width, look.height, look.container);
    const plat::GdiObject region = outline_region(look.style, look.shape, look.enabled, look.width, look.height);
    plat::select_clip_rgn(dst, region);
    plat::bit_blt(dst, 0, 0, look.width, look.height, surface.dc, 0, 0, plat::Rop::SrcCopy);
    plat::select_clip_rgn(dst, plat::GdiObject::None);
    plat::delete_object(region);
    return out;
}

}  // namespace controls::styled_button
