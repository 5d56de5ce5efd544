#include "engine/sprite_sheet.h"

namespace engine {
namespace {

// The top-left quarter of each disc, row by row; the other quarters mirror it.
constexpr std::uint8_t kQuarter[5][4][4] = {
    {{0, 23, 55, 63}, {23, 63, 104, 127}, {55, 104, 144, 168}, {63, 127, 168, 191}},
    {{0, 16, 40, 48}, {16, 48, 80, 96}, {40, 80, 112, 135}, {48, 96, 135, 151}},
    {{0, 15, 31, 39}, {15, 39, 63, 72}, {31, 63, 87, 96}, {39, 72, 96, 111}},
    {{0, 8, 23, 24}, {8, 24, 40, 48}, {23, 40, 56, 64}, {24, 48, 64, 72}},
    {{0, 7, 8, 15}, {7, 15, 23, 24}, {8, 23, 31, 32}, {15, 24, 32, 39}},
};

}  // namespace

std::uint8_t DiscGreen(int band, int x, int y) {
    const int qx = x < 4 ? x : 7 - x;
    const int qy = y < 4 ? y : 7 - y;
    return kQuarter[band][qy][qx];
}

std::unique_ptr<plat::Bitmap> BuildSpriteSheet(std::uint32_t filler) {
    auto sheet = plat::create_bitmap(40, 16);
    if (!sheet) return nullptr;
    const plat::Surface s = sheet->surface();
    for (int band = 0; band < 5; ++band)
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                s.row(y)[band * 8 + x] = static_cast<std::uint32_t>(DiscGreen(band, x, y)) << 8;
    for (int y = 8; y < 16; ++y)
        for (int x = 0; x < 40; ++x) {
            const bool corner = (x == 0 || x == 7) && (y == 8 || y == 15);
            s.row(y)[x] = x < 8 ? (corner ? 0x00FFFFFFu : 0u) : filler;
        }
    return sheet;
}

}  // namespace engine
