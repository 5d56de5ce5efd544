#include "settings_dialog/backdrop.h"

#include <cmath>

#include "common/numeric.h"

namespace settings_dialog {

plat::ColorRef BackdropRowColour(int y, int height) {
    // The constant is 3.142, not pi, so the last row is a shade off black-blue, not exactly it.
    const double k = height / 3.142;
    const double c = k == 0.0 ? 0.0 : common::round_half_even(std::fabs(std::sin(y / k)) * 220.0);
    const auto level = static_cast<std::uint32_t>(c);
    return level | (level << 8) | ((level + 30) << 16);
}

void PaintBackdrop(plat::Dc backdrop, int width, int height) {
    const int rows = static_cast<std::int16_t>(height);
    for (int y = 0; y <= rows; ++y) {
        plat::GdiObject pen = plat::create_pen(plat::PenStyle::Solid, 1, BackdropRowColour(y, height));
        const plat::GdiObject old = plat::select_object(backdrop, pen);
        plat::move_to(backdrop, 0, y);
        plat::line_to(backdrop, width, y);
        plat::select_object(backdrop, old);
        plat::delete_object(pen);
    }
}

std::vector<plat::Point> TileOrigins(int panel_width, int panel_height, int strip_width, int strip_height) {
    std::vector<plat::Point> origins;
    if (strip_width <= 0 || strip_height <= 0) return origins;
    int x = 0, y = 0;
    while (true) {
        origins.push_back({x, y});
        if (y > panel_height) {
            if (x > panel_width) break;
            x += strip_width;
            y = 0;
        } else {
            y += strip_height;
        }
    }
    return origins;
}

void TilePanel(plat::Dc panel, int panel_width, int panel_height, plat::Dc strip, int strip_width,
               int strip_height) {
    for (const plat::Point at : TileOrigins(panel_width, panel_height, strip_width, strip_height))
        plat::bit_blt(panel, at.x, at.y, strip_width, strip_height, strip, 0, 0, plat::Rop::SrcCopy);
}

}  // namespace settings_dialog
