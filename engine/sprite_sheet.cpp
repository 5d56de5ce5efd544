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

std::uint8_t ScaledDiscGreen(int band, int x, int y, int scale) {
    if (scale <= 1) return DiscGreen(band, x, y);
    if (ScaledMaskKeeps(x, y, scale)) return 0;
    // A pixel's centre and the table's pixel centres in units of 1 / (2 scale) of a table
    // pixel: the first lies at 2p + 1, table pixel i at (2i + 1) scale.
    const int span = 2 * scale;
    auto axis = [&](int p, int& i0, int& f) {
        const int c = 2 * p + 1 - scale;  // from the first table centre
        i0 = c < 0 ? -1 : c / span;
        f = c - i0 * span;
        if (i0 < 0) i0 = 0, f = 0;
        if (i0 >= 7) i0 = 7, f = 0;
    };
    int x0 = 0, fx = 0, y0 = 0, fy = 0;
    axis(x, x0, fx);
    axis(y, y0, fy);
    const int x1 = fx ? x0 + 1 : x0, y1 = fy ? y0 + 1 : y0;
    const int sum = DiscGreen(band, x0, y0) * (span - fx) * (span - fy) + DiscGreen(band, x1, y0) * fx * (span - fy) +
                    DiscGreen(band, x0, y1) * (span - fx) * fy + DiscGreen(band, x1, y1) * fx * fy;
    return static_cast<std::uint8_t>((sum + span * span / 2) / (span * span));
}

bool ScaledMaskKeeps(int x, int y, int scale) {
    const int last = 7 * scale;  // the first pixel of the last table pixel
    return (x < scale || x >= last) && (y < scale || y >= last);
}

std::unique_ptr<plat::Bitmap> BuildScaledSpriteSheet(int scale) {
    if (scale <= 1) return BuildSpriteSheet();
    const int side = 8 * scale;
    auto sheet = plat::create_bitmap(5 * side, 2 * side);
    if (!sheet) return nullptr;
    const plat::Surface s = sheet->surface();
    for (int y = 0; y < 2 * side; ++y)
        for (int x = 0; x < 5 * side; ++x) s.row(y)[x] = 0;
    for (int band = 0; band < 5; ++band)
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x)
                s.row(y)[band * side + x] = static_cast<std::uint32_t>(ScaledDiscGreen(band, x, y, scale)) << 8;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) s.row(side + y)[x] = ScaledMaskKeeps(x, y, scale) ? 0x00FFFFFFu : 0u;
    return sheet;
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
