// The dialog's layout description: it parses, and holds the places and stored properties the
// dialog is built from.
#include <gtest/gtest.h>

#include "common/texts.h"
#include "settings_dialog/dialog_layout.h"

namespace {

using settings_dialog::FindControl;
using settings_dialog::PixelRect;

constexpr plat::Point k96Dpi{15, 15};

plat::Rect Px(std::string_view name, std::optional<int> index = {}) {
    const controls::LayoutNode* node = FindControl(name, index);
    return node ? PixelRect(*node, k96Dpi) : plat::Rect{-1, -1, -1, -1};
}

constexpr plat::ColorRef Rgb(int r, int g, int b) {
    return static_cast<plat::ColorRef>(r | (g << 8) | (b << 16));
}

TEST(DialogLayout, ParsesIntoTheDialogWithItsTitleAndBackdrop) {
    const controls::LayoutResult parsed = controls::ParseLayout(settings_dialog::DialogLayoutText());
    ASSERT_TRUE(parsed.root) << "line " << parsed.error.line << ": " << parsed.error.message;
    EXPECT_EQ(parsed.root->name, "Zephlora_P");
    EXPECT_EQ(parsed.root->properties.read_text("Caption", ""), texts::kTitleDialog);
    EXPECT_EQ(Px("Pic_C"), (plat::Rect{0, 0, 409, 345}));
}

TEST(DialogLayout, PlacesPanelsAndControlsInTheirContainers) {
    EXPECT_EQ(Px("Pic_D", 0), (plat::Rect{16, 20, 173, 149}));
    EXPECT_EQ(Px("Pic_D", 1), (plat::Rect{184, 20, 389, 149}));
    EXPECT_EQ(Px("Pic_D", 2), (plat::Rect{16, 160, 392, 292}));
    EXPECT_EQ(Px("HSInterval"), (plat::Rect{36, 28, 133, 48}));
    EXPECT_EQ(Px("lblZaxis"), (plat::Rect{164, 76, 189, 89}));
    EXPECT_EQ(Px("Img_Neon", 1), (plat::Rect{116, 100, 129, 113}));
    EXPECT_EQ(Px("BGM_Repeat"), (plat::Rect{104, 24, 145, 45}));
    EXPECT_EQ(Px("lbl_Fname"), (plat::Rect{36, 88, 365, 121}));
    EXPECT_EQ(Px("qzButtons_H2"), (plat::Rect{320, 304, 393, 329}));
    // Each control sits in the container the dialog lays it out in.
    EXPECT_TRUE(FindControl("Pic_D", 0)->find("HSSleep"));
    EXPECT_TRUE(FindControl("Pic_D", 1)->find("lbl_Neon", 1));
    EXPECT_TRUE(FindControl("Pic_D", 2)->find("Cmd_File"));
    EXPECT_FALSE(FindControl("Pic_D", 2)->find("lbl_URL"));
    // The hidden sources lie outside the client area.
    EXPECT_GE(Px("Pic_Mbl").left, 409);
    EXPECT_EQ(Px("Pic_Mbl").width(), 394);
    EXPECT_EQ(Px("Img_Opt_on").width(), 12);
}

TEST(DialogLayout, SlidersCarryTheirBoundsAndColours) {
    const auto& interval = FindControl("HSInterval")->properties;
    EXPECT_EQ(interval.read_int("Min", -100), 1);
    EXPECT_EQ(interval.read_int("Max", 100), 30);
    EXPECT_EQ(interval.read_colour("ForeColor", 0), Rgb(192, 192, 255));
    EXPECT_EQ(interval.read_colour("ForeColor2", 0), Rgb(128, 255, 128));
    EXPECT_EQ(FindControl("HSSleep")->properties.read_colour("ForeColor", 0), Rgb(128, 255, 255));
    for (const char* axis : {"HSx", "HSy", "HSz"}) {
        const auto& p = FindControl(axis)->properties;
        EXPECT_EQ(p.read_int("Min", -100), 0) << axis;
        EXPECT_EQ(p.read_int("Max", 100), 10) << axis;
        EXPECT_EQ(p.read_colour("ForeColor", 0), Rgb(128, 128, 255)) << axis;
        EXPECT_EQ(p.read_colour("ForeColor2", 0), Rgb(255, 255, 255)) << axis;
    }
}

TEST(DialogLayout, ButtonsCarryTheirStyleColoursCaptionsAndFonts) {
    for (const char* name : {"qzButtons_H1", "qzButtons_H2", "Cmd_File"}) {
        const auto& p = FindControl(name)->properties;
        EXPECT_EQ(p.read_int("CapAlign", -1), 2) << name;
        EXPECT_EQ(p.read_int("BackStyle", -1), 2) << name;
        EXPECT_EQ(p.read_colour("cFore", 1), 0u) << name;
        EXPECT_EQ(p.read_colour("cFHover", 1), 0u) << name;
        EXPECT_EQ(p.read_colour("cGradient", 1), 0u) << name;
        EXPECT_EQ(p.read_colour("cBack", 0), 0xFFFFFFu) << name;
    }
    EXPECT_EQ(FindControl("qzButtons_H1")->properties.read_text("Caption", ""), "Cancel");
    EXPECT_EQ(FindControl("qzButtons_H2")->properties.read_text("Caption", ""), "Save");
    const auto file_font = FindControl("Cmd_File")->properties.read_font("Font");
    ASSERT_TRUE(file_font);
    EXPECT_EQ(file_font->face_cp932, "Times New Roman");
    EXPECT_EQ(file_font->points, 9.0);
}

TEST(DialogLayout, LabelsCarryTheirTextsFontsColoursAndAlignment) {
    const auto caption = [](std::string_view name, std::optional<int> index = {}) {
        return FindControl(name, index)->properties.read_text("Caption", "?");
    };
    // CP932 bytes of ﾓｰﾌｨﾝｸﾞまでのｲﾝﾀｰﾊﾞﾙ, ＢＧＭ無し and MP3、WAV.
    EXPECT_EQ(caption("lbl", 4), "\xD3\xB0\xCC\xA8\xDD\xB8\xDE\x82\xDC\x82\xC5\x82\xCC\xB2\xDD\xC0\xB0\xCA\xDE\xD9");
    EXPECT_EQ(caption("lbl_BGM", 0), "\x82\x61\x82\x66\x82\x6C\x96\xB3\x82\xB5");
    EXPECT_EQ(caption("lbl_BGM", 2), "MP3\x81\x41WAV");
    EXPECT_EQ(caption("lbl_Neon", 1), "on");
    EXPECT_NE(caption("lbl", 9).find("Ver." ZEPHLORA_VERSION), std::string::npos);  // project()'s
    const auto font = FindControl("lbl", 6)->properties.read_font("Font");
    ASSERT_TRUE(font);
    EXPECT_EQ(font->face_cp932, "\x82\x6C\x82\x72 \x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E");  // ＭＳ Ｐゴシック
    EXPECT_EQ(font->points, 9.75);
    EXPECT_EQ(font->charset, 128);
    EXPECT_FALSE(font->underline);
    EXPECT_TRUE(FindControl("lbl_URL")->properties.read_font("Font")->underline);
    EXPECT_EQ(FindControl("lbl_URL")->properties.read_colour("ForeColor", 0), 0xFFFFFFu);
    EXPECT_EQ(FindControl("lbl", 9)->properties.read_colour("ForeColor", 0), Rgb(224, 224, 224));
    EXPECT_EQ(FindControl("lbl_BGM", 1)->properties.read_colour("ForeColor", 1), 0u);
    EXPECT_EQ(FindControl("lbl", 5)->properties.read_colour("ForeColor", 0), 0x80000008u);
    EXPECT_EQ(FindControl("lbl_Sleep")->properties.read_int("Alignment", 0), 2);
    EXPECT_EQ(FindControl("Label2")->properties.read_int("Alignment", 0), 1);
}

TEST(DialogLayout, TabIndexesGiveTheKeyboardOrder) {
    const char* order[] = {"HSx", "HSy", "HSz", "HSInterval", "BGM_Repeat", "Cmd_File", "HSSleep",
                           "qzButtons_H2", "qzButtons_H1"};
    for (int i = 0; i < 9; ++i) EXPECT_EQ(FindControl(order[i])->properties.read_int("TabIndex", -1), i) << order[i];
}

}  // namespace
