// The pictures inside the executable, as the program gets them from plat::load_picture. The
// same program runs on the native build and, under Wine, on the Win32 build, so both are held
// to the same pixels.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/sprite_sheet.h"
#include "platform/pictures.h"

namespace {

using plat::Picture;

struct Record {
    const char* file;
    int width;
    int height;
    bool lossless;
    std::uint64_t pixel_sum;
    int mean_r, mean_g, mean_b;  // x 1000
};

// What the generator's own decoding of each file gives.
constexpr Record kRecords[] = {
#include "assets/pictures/checksums.inc"
};
static_assert(std::size(kRecords) == plat::kPictureCount);

// Same sum as the generator's: position-weighted, modulo 2^64.
std::uint64_t pixel_sum(const plat::Surface& s) {
    std::uint64_t sum = 0, i = 0;
    for (int y = 0; y < s.height; ++y) {
        for (int x = 0; x < s.width; ++x, ++i) {
            const std::uint64_t v = s.row(y)[x];
            sum += (v ^ (i * 0x9E3779B1ull)) * (2 * i + 1);
        }
    }
    return sum;
}

int red(std::uint32_t p) { return (p >> 16) & 0xFF; }
int green(std::uint32_t p) { return (p >> 8) & 0xFF; }
int blue(std::uint32_t p) { return p & 0xFF; }
std::uint32_t rgb(int r, int g, int b) { return (std::uint32_t(r) << 16) | (std::uint32_t(g) << 8) | std::uint32_t(b); }

std::unique_ptr<plat::Bitmap> load(Picture p) {
    auto bitmap = plat::load_picture(p);
    EXPECT_TRUE(bitmap) << "picture " << static_cast<int>(p);
    return bitmap;
}

TEST(Pictures, RecordsFollowThePictureList) {
    // The generator writes the records in its own order; the executables number the pictures
    // by the picture list.
    for (int i = 0; i < plat::kPictureCount; ++i)
        EXPECT_STREQ(kRecords[i].file, plat::picture_file_name(static_cast<Picture>(i))) << i;
}

TEST(Pictures, EveryPictureDecodesToItsRecordedPixels) {
    for (int i = 0; i < plat::kPictureCount; ++i) {
        const auto& rec = kRecords[i];
        auto bitmap = load(static_cast<Picture>(i));
        ASSERT_TRUE(bitmap);
        const auto s = bitmap->surface();
        ASSERT_EQ(s.width, rec.width) << rec.file;
        ASSERT_EQ(s.height, rec.height) << rec.file;
        double sums[3] = {0, 0, 0};
        for (int y = 0; y < s.height; ++y) {
            for (int x = 0; x < s.width; ++x) {
                const auto p = s.row(y)[x];
                ASSERT_EQ(p >> 24, 0u) << rec.file;
                sums[0] += red(p);
                sums[1] += green(p);
                sums[2] += blue(p);
            }
        }
        if (rec.lossless) {
            EXPECT_EQ(pixel_sum(s), rec.pixel_sum) << rec.file;
        } else {
            // Another decoder's rounding may differ by a level here and there, not more.
            const double n = double(s.width) * s.height;
            EXPECT_NEAR(sums[0] / n, rec.mean_r / 1000.0, 1.0) << rec.file;
            EXPECT_NEAR(sums[1] / n, rec.mean_g / 1000.0, 1.0) << rec.file;
            EXPECT_NEAR(sums[2] / n, rec.mean_b / 1000.0, 1.0) << rec.file;
        }
    }
}

TEST(Pictures, TheSpecifiedSizes) {
    const std::array<std::pair<Picture, std::pair<int, int>>, 16> sizes{{
        {Picture::SpriteSheet, {40, 16}}, {Picture::Background0, {320, 320}}, {Picture::Background5, {300, 300}},
        {Picture::Background8, {300, 300}}, {Picture::Background9, {320, 221}}, {Picture::Preview, {152, 112}},
        {Picture::OptionOn, {12, 12}}, {Picture::PanelTexture, {394, 24}}, {Picture::SliderLeft, {11, 20}},
        {Picture::SliderRight, {14, 20}}, {Picture::SliderHandle, {19, 10}}, {Picture::SliderFullFill, {1, 20}},
        {Picture::SliderUp, {20, 14}}, {Picture::SliderDown, {20, 11}}, {Picture::SliderHandle2, {10, 19}},
        {Picture::Icon16, {16, 16}},
    }};
    for (const auto& [p, wh] : sizes) {
        auto b = load(p);
        ASSERT_TRUE(b);
        EXPECT_EQ(b->width(), wh.first) << static_cast<int>(p);
        EXPECT_EQ(b->height(), wh.second) << static_cast<int>(p);
    }
    for (int i = 1; i <= 8; ++i) {
        if (i == 5 || i == 8) continue;
        auto b = load(static_cast<Picture>(static_cast<int>(Picture::Background0) + i));
        ASSERT_TRUE(b);
        EXPECT_EQ(b->width(), 280);
        EXPECT_EQ(b->height(), 280);
    }
    EXPECT_EQ(plat::load_picture(static_cast<Picture>(plat::kPictureCount)), nullptr);
    EXPECT_EQ(plat::load_picture(static_cast<Picture>(-1)), nullptr);
}

TEST(Pictures, SpriteSheetIsExact) {
    // Green of the top-left quarter of each band's disc; the other quarters mirror it.
    constexpr int quarters[5][4][4] = {
        {{0, 23, 55, 63}, {23, 63, 104, 127}, {55, 104, 144, 168}, {63, 127, 168, 191}},
        {{0, 16, 40, 48}, {16, 48, 80, 96}, {40, 80, 112, 135}, {48, 96, 135, 151}},
        {{0, 15, 31, 39}, {15, 39, 63, 72}, {31, 63, 87, 96}, {39, 72, 96, 111}},
        {{0, 8, 23, 24}, {8, 24, 40, 48}, {23, 40, 56, 64}, {24, 48, 64, 72}},
        {{0, 7, 8, 15}, {7, 15, 23, 24}, {8, 23, 31, 32}, {15, 24, 32, 39}},
    };
    auto sheet = load(Picture::SpriteSheet);
    ASSERT_TRUE(sheet);
    const auto s = sheet->surface();
    for (int band = 0; band < 5; ++band) {
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) {
                const int g = quarters[band][y < 4 ? y : 7 - y][x < 4 ? x : 7 - x];
                EXPECT_EQ(s.row(y)[band * 8 + x], rgb(0, g, 0)) << "band " << band << " x " << x << " y " << y;
            }
        }
    }
    for (int y = 8; y < 16; ++y) {
        for (int x = 0; x < 8; ++x) {
            const bool corner = (x == 0 || x == 7) && (y == 8 || y == 15);
            EXPECT_EQ(s.row(y)[x], corner ? 0xFFFFFFu : 0u) << "mask x " << x << " y " << y;
        }
    }
}

TEST(Pictures, ScaledSpriteSheetsAreDrawnByTheDiscRule) {
    // The rule gives the 8 x 8 sheet at scale 1, and the shipped sheets of scales 2 to 4.
    const auto one = engine::BuildScaledSpriteSheet(1);
    auto shipped = load(Picture::SpriteSheet);
    ASSERT_TRUE(one && shipped);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 40; ++x) EXPECT_EQ(one->surface().row(y)[x], shipped->surface().row(y)[x]) << x << "," << y;
    for (int scale = 2; scale <= 4; ++scale) {
        auto sheet = load(static_cast<Picture>(static_cast<int>(Picture::SpriteSheet2) + scale - 2));
        ASSERT_TRUE(sheet);
        const auto s = sheet->surface();
        ASSERT_EQ(s.width, 40 * scale);
        ASSERT_EQ(s.height, 16 * scale);
        const int side = 8 * scale;
        int wrong = 0;
        for (int band = 0; band < 5; ++band)
            for (int y = 0; y < side; ++y)
                for (int x = 0; x < side; ++x)
                    wrong += s.row(y)[band * side + x] != rgb(0, engine::ScaledDiscGreen(band, x, y, scale), 0);
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x)
                wrong += s.row(side + y)[x] != (engine::ScaledMaskKeeps(x, y, scale) ? 0xFFFFFFu : 0u);
        EXPECT_EQ(wrong, 0) << "scale " << scale;
        // The rim is one pixel wide: the middle of each edge is lit, the corners keep the
        // background, and inside the rim no two neighbours across the middle row are alike (no
        // blocks).
        EXPECT_GT(green(s.row(side / 2)[0]), 0) << "scale " << scale;
        EXPECT_EQ(s.row(0)[0], 0u);
        EXPECT_EQ(s.row(side)[0], 0xFFFFFFu);
        for (int x = scale; x <= 3 * scale; ++x) EXPECT_NE(s.row(side / 2)[x], s.row(side / 2)[x - 1]) << "scale " << scale << " x " << x;
    }
}

// Offset across the groove -> the empty strip's rim colour.
constexpr int kEmptyRim[20][3] = {
    {2, 2, 2}, {209, 209, 211}, {204, 202, 207}, {164, 157, 164}, {55, 41, 41}, {78, 71, 78},
    {-1, -1, -1}, {-1, -1, -1}, {-1, -1, -1}, {-1, -1, -1}, {-1, -1, -1}, {-1, -1, -1}, {-1, -1, -1},
    {140, 145, 139}, {193, 193, 193}, {63, 61, 64}, {-2, -2, -2}, {-2, -2, -2}, {-2, -2, -2}, {78, 71, 78},
};

std::uint32_t strip_pixel(const plat::Surface& s, bool vertical, int offset) {
    return vertical ? s.row(0)[offset] : s.row(offset)[0];
}

TEST(Pictures, SliderStripsHaveTheirRims) {
    for (bool vertical : {false, true}) {
        auto empty = load(vertical ? Picture::SliderEmptyFill2 : Picture::SliderEmptyFill);
        auto full = load(vertical ? Picture::SliderFullFill2 : Picture::SliderFullFill);
        ASSERT_TRUE(empty && full);
        const auto e = empty->surface();
        const auto f = full->surface();
        for (int k = 0; k < 20; ++k) {
            const auto pe = strip_pixel(e, vertical, k);
            const auto pf = strip_pixel(f, vertical, k);
            const auto& want = kEmptyRim[k];
            if (want[0] == -1) {  // the groove: the default colours until the slider recolours it
                EXPECT_EQ(pe, rgb(0, 0, 0)) << "offset " << k;
                EXPECT_EQ(pf, rgb(200, 200, 0)) << "offset " << k;
                continue;
            }
            if (want[0] == -2) {
                EXPECT_LE(red(pe) + green(pe) + blue(pe), 45) << "near black at offset " << k;
            } else {
                EXPECT_EQ(pe, rgb(want[0], want[1], want[2])) << "offset " << k << (vertical ? " vertical" : "");
            }
            EXPECT_LE(std::abs(red(pf) - red(pe)), 4) << "offset " << k;
            EXPECT_LE(std::abs(green(pf) - green(pe)), 4) << "offset " << k;
            EXPECT_LE(std::abs(blue(pf) - blue(pe)), 4) << "offset " << k;
        }
    }
}

TEST(Pictures, SliderCapsAndHandlesAreDarkCapsAndLightKnobs) {
    for (Picture p : {Picture::SliderLeft, Picture::SliderRight, Picture::SliderUp, Picture::SliderDown}) {
        auto b = load(p);
        ASSERT_TRUE(b);
        const auto s = b->surface();
        int dark = 0, light = 0;
        for (int y = 0; y < s.height; ++y)
            for (int x = 0; x < s.width; ++x) {
                const auto v = s.row(y)[x];
                const int lum = (red(v) + green(v) + blue(v)) / 3;
                dark += lum < 90;
                light += lum > 180;
            }
        EXPECT_GT(dark, s.width * s.height / 2) << static_cast<int>(p);
        EXPECT_GT(light, 8) << static_cast<int>(p);
    }
    for (Picture p : {Picture::SliderHandle, Picture::SliderHandle2}) {
        auto b = load(p);
        ASSERT_TRUE(b);
        const auto s = b->surface();
        const auto centre = s.row(s.height / 2)[2];
        EXPECT_GT(red(centre), 150);
        EXPECT_EQ(red(centre), green(centre));
    }
}

TEST(Pictures, OptionGlyphsAreABlueSquareInAFrameAndAnEmptyGreySquare) {
    auto on = load(Picture::OptionOn);
    auto off = load(Picture::OptionOff);
    ASSERT_TRUE(on && off);
    const auto s_on = on->surface();
    const auto s_off = off->surface();
    const auto mid_on = s_on.row(6)[6];
    EXPECT_GT(blue(mid_on), red(mid_on) + 80);
    const auto frame_on = s_on.row(0)[6];
    EXPECT_LT(blue(frame_on), blue(mid_on));
    for (int y = 2; y < 10; ++y)
        for (int x = 2; x < 10; ++x) {
            const auto v = s_off.row(y)[x];
            EXPECT_LE(std::abs(red(v) - blue(v)), 6);
            EXPECT_GT(red(v), 150);
        }
}

TEST(Pictures, PanelTextureIsLightGreyBrushedMetal) {
    auto panel = load(Picture::PanelTexture);
    ASSERT_TRUE(panel);
    const auto s = panel->surface();
    double sum = 0, along = 0, across = 0;
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x) {
            const auto v = s.row(y)[x];
            EXPECT_LE(std::abs(red(v) - blue(v)), 8);
            sum += green(v);
            if (x + 1 < s.width) along += std::abs(green(v) - green(s.row(y)[x + 1]));
            if (y + 1 < s.height) across += std::abs(green(v) - green(s.row(y + 1)[x]));
        }
    const double mean = sum / (s.width * s.height);
    EXPECT_GT(mean, 170);
    EXPECT_LT(mean, 230);
    // Streaks run along the rows: neighbours in a row differ less than neighbours in a column.
    EXPECT_LT(along / (s.height * (s.width - 1)), across / ((s.height - 1) * s.width));
}

TEST(Pictures, BackgroundsMeetTheBlackScreenWithoutEdges) {
    for (int i = 0; i < 10; ++i) {
        auto b = load(static_cast<Picture>(static_cast<int>(Picture::Background0) + i));
        ASSERT_TRUE(b);
        const auto s = b->surface();
        int brightest_edge = 0, brightest = 0;
        for (int y = 0; y < s.height; ++y)
            for (int x = 0; x < s.width; ++x) {
                const auto v = s.row(y)[x];
                const int m = std::max({red(v), green(v), blue(v)});
                brightest = std::max(brightest, m);
                if (x == 0 || y == 0 || x == s.width - 1 || y == s.height - 1) brightest_edge = std::max(brightest_edge, m);
            }
        EXPECT_EQ(brightest_edge, 0) << "background " << i << " has a visible edge";
        EXPECT_GT(brightest, 150) << "background " << i << " shows nothing";
    }
}

TEST(Pictures, PreviewShowsGreenDotsBeforeABlueWorld) {
    auto b = load(Picture::Preview);
    ASSERT_TRUE(b);
    const auto s = b->surface();
    int green_dots = 0, blue_world = 0;
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x) {
            const auto v = s.row(y)[x];
            green_dots += green(v) > 120 && red(v) < 80 && blue(v) < 80;
            blue_world += blue(v) > 60 && blue(v) > red(v) + 20;
        }
    EXPECT_GT(green_dots, 40);
    EXPECT_GT(blue_world, 400);
}

}  // namespace

namespace {

// stb_image's decoding of the preview JPEG, the same in both builds (measured; it changes
// only when assets/pictures/preview.jpg does).
constexpr std::uint64_t kPreviewPixelSum = 5341669043236330292ull;

TEST(Pictures, PreviewDecodesAlikeInBothBuilds) {
    auto b = plat::load_picture(Picture::Preview);
    ASSERT_TRUE(b);
    EXPECT_EQ(pixel_sum(b->surface()), kPreviewPixelSum);
}

}  // namespace
