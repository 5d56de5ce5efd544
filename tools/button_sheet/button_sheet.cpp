// Draws the styled button's contact sheet: the eight styles in each of their six states in
// the settings dialog's colours, and the seven shapes of two styles, each button as the
// control paints it (the native raster), magnified.
//
//     zephlora_button_sheet OUTPUT.png
#include <cstdio>
#include <string>

#include "controls/styled_button/button_snapshot.h"
#include "platform/draw.h"
#include "tools/recorder/image_files.h"

namespace {

using namespace controls::styled_button;

constexpr int kScale = 3, kCellW = 73 * kScale + 16, kCellH = 25 * kScale + 14, kLabelW = 120, kHeaderH = 24;
constexpr plat::ColorRef kSheet = Rgb(236, 236, 236);

ButtonLook dialog_look(int style, int shape) {
    ButtonLook l;
    l.width = 73;
    l.height = 25;
    l.style = style;
    l.shape = shape;
    l.caption = "&OK";
    l.fore = 0;
    l.hover_fore = 0;
    l.back = 0xFFFFFF;
    l.hover_back = 0xFFFFFF;
    l.gradient = 0;
    l.container = Rgb(212, 208, 200);
    const Insets insets = outline_insets(shape, l.width, l.height);
    l.xl = insets.left;
    l.xr = insets.right;
    return l;
}

void stamp(plat::Bitmap& sheet, const plat::Bitmap& button, int x, int y) {
    const plat::Surface src = button.surface(), dst = sheet.surface();
    for (int j = 0; j < src.height * kScale; ++j)
        for (int i = 0; i < src.width * kScale; ++i)
            if (x + i < dst.width && y + j < dst.height) dst.row(y + j)[x + i] = src.row(j / kScale)[i / kScale];
}

void label(plat::Dc dc, const std::string& text, int x, int y, int w, int h) {
    plat::Rect r{x, y, x + w, y + h};
    plat::draw_text(dc, text, r, 0x24 /* DT_VCENTER | DT_SINGLELINE */);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: zephlora_button_sheet OUTPUT.png\n");
        return 2;
    }
    const controls::StoredFont font{"Times New Roman", 9.0};
    constexpr ButtonState kStates[] = {ButtonState::Normal,  ButtonState::Hovered,  ButtonState::Pressed,
                                       ButtonState::Focused, ButtonState::Disabled, ButtonState::DesignMode};
    const int rows = 8 + 1 + 2 * 7 / 6 + 2;
    auto sheet = plat::create_bitmap(kLabelW + 6 * kCellW, kHeaderH + (8 + 3) * kCellH + kHeaderH);
    plat::fill_rect(*sheet, 0, 0, sheet->width(), sheet->height(), kSheet);
    (void)rows;
    const plat::Dc dc = plat::bitmap_dc(*sheet);
    plat::set_bk_mode(dc, plat::BkMode::Transparent);
    const plat::GdiObject text_font = plat::create_font({-14, 400, false, false, false, 1, "Liberation Sans"});
    const plat::GdiObject old_font = plat::select_object(dc, text_font);
    for (int s = 0; s < 6; ++s) label(dc, std::string(state_name(kStates[s])), kLabelW + s * kCellW + 8, 0, kCellW, kHeaderH);
    for (int style = 0; style < 8; ++style) {
        const int y = kHeaderH + style * kCellH;
        label(dc, "ButtonStyle " + std::to_string(style), 8, y, kLabelW, kCellH);
        for (int s = 0; s < 6; ++s) {
            const auto button = draw_button(in_state(dialog_look(style, 0), kStates[s]), font);
            if (button) stamp(*sheet, *button, kLabelW + s * kCellW + 8, y + 7);
        }
    }
    // The shapes, normal and pressed, in styles 2 and 4.
    const int top = kHeaderH + 8 * kCellH + kHeaderH;
    label(dc, "ButtonShape 0-6 (style 2 hovered, style 4 normal, style 6 pressed)", 8, top - kHeaderH, 6 * kCellW, kHeaderH);
    int n = 0;
    for (int shape = 0; shape < 7; ++shape)
        for (int style : {2, 4, 6}) {
            if (n >= 18) break;
            const ButtonState state = style == 2 ? ButtonState::Hovered : style == 4 ? ButtonState::Normal : ButtonState::Pressed;
            const auto button = draw_button(in_state(dialog_look(style, shape), state), font);
            const int col = n % 6, row = n / 6;
            if (button) stamp(*sheet, *button, kLabelW + col * kCellW + 8 - kLabelW / 2, top + row * kCellH + 7);
            ++n;
        }
    plat::select_object(dc, old_font);
    plat::delete_object(text_font);
    return recorder::WritePng(argv[1], sheet->surface()) ? 0 : 1;
}
