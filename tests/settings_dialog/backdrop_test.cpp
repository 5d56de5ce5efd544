// The backdrop gradient, the panel tiling and the music file request, drawn and run on the
// scripted back end's raster.
#include <gtest/gtest.h>

#include "common/texts.h"
#include "platform/draw.h"
#include "platform/scripted/control.h"
#include "settings_dialog/backdrop.h"
#include "settings_dialog/music_file.h"

namespace {

using settings_dialog::TileOrigins;

// A surface pixel (0x00RRGGBB) of an RGB colour.
constexpr std::uint32_t Px(int r, int g, int b) { return static_cast<std::uint32_t>((r << 16) | (g << 8) | b); }

class Backdrop : public ::testing::Test {
protected:
    void SetUp() override { plat::scripted::reset(); }
};

TEST_F(Backdrop, GradientRunsFromDarkBlueToPaleAndBackOverEveryColumn) {
    auto image = plat::create_bitmap(409, 345);
    plat::fill_rect(*image, 0, 0, 409, 345, 0x123456);
    settings_dialog::PaintBackdrop(plat::bitmap_dc(*image), 409, 345);
    const plat::Surface s = image->surface();
    EXPECT_EQ(s.row(0)[0], Px(0, 0, 30));
    EXPECT_EQ(s.row(172)[0], Px(220, 220, 250));  // |sin(172 / k)| x 220 = 219.998
    for (int y : {0, 1, 100, 172, 300, 344}) {
        const plat::ColorRef c = settings_dialog::BackdropRowColour(y, 345);
        const std::uint32_t want = Px(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
        EXPECT_EQ(s.row(y)[0], want) << y;
        EXPECT_EQ(s.row(y)[408], want) << y;  // the line reaches the last column
    }
    // Every row was drawn over what was there; the rows darken towards the bottom again.
    EXPECT_LT(s.row(344)[0] & 0xFF, 40u);
    EXPECT_EQ(settings_dialog::BackdropRowColour(345, 345) & 0xFFFF, 0u);
}

TEST_F(Backdrop, TilingEndsAColumnBelowThePanelAndTheRowBeyondIt) {
    // The timing panel: seven copies in the column at 0 and seven in the one at 394.
    const auto origins = TileOrigins(157, 129, 394, 24);
    ASSERT_EQ(origins.size(), 14u);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(origins[i], (plat::Point{0, 24 * i}));
        EXPECT_EQ(origins[7 + i], (plat::Point{394, 24 * i}));
    }
    // A panel as tall as whole copies still gets one copy below its bottom edge.
    EXPECT_EQ(TileOrigins(10, 48, 394, 24).back(), (plat::Point{394, 72}));
    // A strip without area would never advance: no copies at all.
    EXPECT_TRUE(TileOrigins(157, 129, 0, 24).empty());
    EXPECT_TRUE(TileOrigins(157, 129, 394, 0).empty());
}

TEST_F(Backdrop, PanelShowsTheStripRepeatedDownAndAcross) {
    auto strip = plat::create_bitmap(394, 24);
    const plat::Surface ss = strip->surface();
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 394; ++x) ss.row(y)[x] = static_cast<std::uint32_t>((x * 7 + y * 131) & 0xFFFFFF);
    // The music panel is 376 wide (one column covers it); a wider one needs the second column.
    for (int width : {376, 500}) {
        auto panel = plat::create_bitmap(width, 132);
        plat::fill_rect(*panel, 0, 0, width, 132, 0xABCDEF);
        settings_dialog::TilePanel(plat::bitmap_dc(*panel), width, 132, plat::bitmap_dc(*strip), 394, 24);
        const plat::Surface ps = panel->surface();
        int wrong = 0;
        for (int y = 0; y < 132; ++y)
            for (int x = 0; x < width; ++x) wrong += ps.row(y)[x] != ss.row(y % 24)[x % 394];
        EXPECT_EQ(wrong, 0) << width;
    }
}

TEST(MusicFile, RequestNamesOneFilterTheTitleAndTheBuffers) {
    const auto owner = static_cast<plat::WindowHandle>(77);
    const settings_dialog::MusicFileRequest r = settings_dialog::MakeMusicFileRequest(owner);
    EXPECT_EQ(r.owner, owner);
    const std::string filter = std::string(texts::kMusicFileFilterName) + '\0' + "*.MP3;*.WAV" + '\0' + '\0';
    EXPECT_EQ(r.filter, filter);
    EXPECT_EQ(r.filter.substr(0, 8), "BGM\xCC\xA7\xB2\xD9 ");  // BGMﾌｧｲﾙ in CP932
    EXPECT_EQ(r.title, "\xCC\xA7\xB2\xD9\x82\xF0\x8A\x4A\x82\xAD");  // ﾌｧｲﾙを開く
    EXPECT_EQ(r.file_buffer_size, 255u);
    EXPECT_EQ(r.title_buffer_size, 255u);
    EXPECT_EQ(r.flags, 0u);
}

TEST(MusicFile, AChoiceReplacesTheFileAndACancelChangesNothing) {
    std::string file = "C:\\old.mp3", shown = "C:\\old.mp3";
    auto show = [&](std::string_view name) { shown = std::string(name); };
    int asked = 0;
    settings_dialog::ChooseMusicFile(
        [&](const settings_dialog::MusicFileRequest&) {
            ++asked;
            return std::optional<std::string>{};
        },
        {}, file, show);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(file, "C:\\old.mp3");
    EXPECT_EQ(shown, "C:\\old.mp3");
    // A folder with a Japanese name (音楽, whose second byte is no separator): the name buffer
    // up to its first NUL, as it came.
    const std::string path = "C:\\\x89\xB9\x8A\x79\\a.wav";
    settings_dialog::ChooseMusicFile(
        [&](const settings_dialog::MusicFileRequest&) { return std::optional<std::string>(path + std::string(3, '\0') + "x"); },
        {}, file, show);
    EXPECT_EQ(file, path);
    EXPECT_EQ(shown, path);
}

}  // namespace
