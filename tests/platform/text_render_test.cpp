// Fonts found for the program's names, GDI's metrics for them, and text painted where the
// layout puts it, in the text colour, inside the clip rectangles only.
#include <gtest/gtest.h>

#include <vector>

#include "raster/text.h"
#include "raster/text/font.h"

namespace {

namespace dt = raster::dt;

// "ＭＳ Ｐゴシック", "ＭＳ ゴシック" in CP932.
const std::string kPGothic = "\x82\x6c\x82\x72 \x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e";
const std::string kGothic = "\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e";

plat::FontDesc desc(const std::string& face, int height, int weight = 400, bool italic = false, int charset = 128) {
    plat::FontDesc d;
    d.face = face;
    d.height = height;
    d.weight = weight;
    d.italic = italic;
    d.charset = static_cast<std::uint8_t>(charset);
    return d;
}

bool ends_with(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(TextFonts, TheProgramsNamesResolveToTheInstalledStandIns) {
    EXPECT_EQ(raster::resolve_font(desc(kPGothic, -13)).family, "IPAPGothic");
    EXPECT_TRUE(ends_with(raster::resolve_font(desc(kPGothic, -13)).path, "ipagp.ttf"));
    EXPECT_EQ(raster::resolve_font(desc(kGothic, -13)).family, "IPAGothic");
    EXPECT_EQ(raster::resolve_font(desc("MS UI Gothic", -13)).family, "IPAPGothic");
    EXPECT_EQ(raster::resolve_font(desc("Times New Roman", -12, 400, false, 1)).family, "Liberation Serif");
    EXPECT_EQ(raster::resolve_font(desc("times new roman", -12, 400, false, 1)).family, "Liberation Serif");
    EXPECT_EQ(raster::resolve_font(desc("Arial", -12, 400, false, 0)).family, "Liberation Sans");
}

TEST(TextFonts, AnUnknownNameGivesAFontOfTheSameCharacterSet) {
    const auto font = raster::load_font(desc("No Such Face", -13));
    ASSERT_TRUE(font);
    EXPECT_GT(font->glyph(U'日').width, 0) << font->file().path;
    EXPECT_TRUE(raster::load_font(desc("No Such Face", -13, 400, false, 0)));
}

TEST(TextFonts, HeightsFollowGdi) {
    // Negative: the em size in pixels; ascent and descent are the Windows values scaled.
    const auto em = raster::load_font(desc(kPGothic, -13));
    EXPECT_EQ(em->metrics().ppem, 13);
    EXPECT_EQ(em->metrics().ascent, 11);
    EXPECT_EQ(em->metrics().descent, 3);
    EXPECT_EQ(em->metrics().height, 14);
    // Positive: the cell height, never exceeded; 0 is a cell of 16.
    const auto cell = raster::load_font(desc(kPGothic, 16));
    EXPECT_EQ(cell->metrics().ppem, 15);
    EXPECT_EQ(cell->metrics().height, 16);
    EXPECT_EQ(raster::load_font(desc(kPGothic, 0))->metrics().ppem, 15);
}

TEST(TextFonts, BoldAndItalicAreMadeOnlyWhereTheFamilyLacksThem) {
    const auto regular = raster::load_font(desc(kPGothic, -13));
    const auto bold = raster::load_font(desc(kPGothic, -13, 700));
    EXPECT_TRUE(bold->synthetic_bold());
    EXPECT_EQ(bold->advance(U'A'), regular->advance(U'A') + 1);
    EXPECT_TRUE(raster::load_font(desc(kPGothic, -13, 400, true))->synthetic_italic());

    const auto serif_bold = raster::load_font(desc("Times New Roman", -12, 700, false, 1));
    EXPECT_FALSE(serif_bold->synthetic_bold());
    EXPECT_TRUE(ends_with(serif_bold->file().path, "LiberationSerif-Bold.ttf"));
    const auto serif_italic = raster::load_font(desc("Times New Roman", -12, 400, true, 1));
    EXPECT_FALSE(serif_italic->synthetic_italic());
}

struct Picture {
    int width, height;
    std::vector<std::uint32_t> pixels;
    Picture(int w, int h, std::uint32_t fill = 0xFFFFFF) : width(w), height(h), pixels(w * h, fill) {}
    plat::Surface surface() { return plat::Surface{pixels.data(), width, height, width}; }
    std::uint32_t at(int x, int y) const { return pixels[y * width + x]; }
    // The smallest rectangle holding every pixel that is not `background`.
    plat::Rect ink(std::uint32_t background = 0xFFFFFF) const {
        plat::Rect r{width, height, -1, -1};
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (at(x, y) != background) {
                    r.left = std::min(r.left, x);
                    r.top = std::min(r.top, y);
                    r.right = std::max(r.right, x + 1);
                    r.bottom = std::max(r.bottom, y + 1);
                }
        return r;
    }
};

TEST(TextPaint, AButtonCaptionLandsCentredInItsMeasuredBox) {
    // A 73 x 25 button: the caption is measured in a box 12 pixels smaller, then centred.
    const auto font = raster::load_font(desc(kPGothic, -13, 400, false, 1));
    Picture p(73, 25);
    plat::Rect measured{0, 0, 61, 13};
    const std::string caption = "Save";
    raster::draw_text(p.surface(), {}, font.get(), caption, measured, dt::CalcRect | dt::WordBreak, 0, false, 0);
    const int tw = measured.width(), th = measured.height();
    ASSERT_GT(tw, 10);
    ASSERT_EQ(th, 14);
    plat::Rect box{(73 - tw) / 2, (25 - th) / 2, (73 - tw) / 2 + tw, (25 - th) / 2 + th};
    const int result = raster::draw_text(p.surface(), {}, font.get(), caption, box, dt::Center | dt::WordBreak,
                                       0x000000, false, 0);
    EXPECT_EQ(result, 14);
    const plat::Rect ink = p.ink();
    EXPECT_GE(ink.left, box.left);
    EXPECT_LE(ink.right, box.right);
    EXPECT_GE(ink.top, box.top);
    EXPECT_LE(ink.bottom, box.bottom);
    EXPECT_LE(std::abs((ink.left - 0) - (73 - ink.right)), 3) << "not centred";
    // Black text: the darkest pixel is the text colour itself.
    EXPECT_NE(std::find(p.pixels.begin(), p.pixels.end(), 0u), p.pixels.end());
}

TEST(TextPaint, TextColourIsBlueGreenRedAndOpaqueModeFillsTheCell) {
    const auto font = raster::load_font(desc(kPGothic, -24, 400, false, 1));
    Picture p(60, 30, 0x123456);
    plat::Rect box{2, 2, 58, 28};
    raster::draw_text(p.surface(), {}, font.get(), "I", box, dt::Left, 0x0000FF /* red */, true, 0x00FF00);
    const plat::Rect cell = p.ink(0x123456);
    EXPECT_EQ(cell.left, 2);
    EXPECT_EQ(cell.top, 2);
    EXPECT_EQ(cell.bottom, 2 + font->metrics().height);
    EXPECT_EQ(cell.right, 2 + font->advance(U'I'));
    EXPECT_EQ(p.at(2, 2), 0x00FF00u);  // the background colour, laid out as the surface's pixels
    EXPECT_NE(std::find(p.pixels.begin(), p.pixels.end(), 0xFF0000u), p.pixels.end());
}

TEST(TextPaint, PaintingStaysInsideTheClipTheBoxAndTheSurface) {
    const auto font = raster::load_font(desc(kPGothic, -13));
    Picture p(40, 30);
    const plat::Rect clip[] = {{0, 0, 12, 30}, {30, 0, 100, 30}};
    plat::Rect box{-20, -5, 60, 40};
    raster::draw_text(p.surface(), clip, font.get(), "WWWWWWWWWW\nWWWWWWWWWW\nWWWWWWWWWW", box, dt::Left, 0, true, 0);
    for (int y = 0; y < 30; ++y)
        for (int x = 12; x < 30; ++x) ASSERT_EQ(p.at(x, y), 0xFFFFFFu) << x << "," << y;
    EXPECT_EQ(p.at(5, 5), 0u);
    // Without DT_NOCLIP the text's own rectangle clips too.
    Picture q(40, 30);
    plat::Rect small{5, 5, 15, 15};
    raster::draw_text(q.surface(), {}, font.get(), "WWWWWW", small, dt::Left, 0, true, 0);
    EXPECT_EQ(q.ink(), small);
    plat::Rect unclipped{5, 5, 15, 15};
    raster::draw_text(q.surface(), {}, font.get(), "WWWWWW", unclipped, dt::Left | dt::NoClip, 0, true, 0);
    EXPECT_GT(q.ink().right, 15);
}

TEST(TextPaint, TheAccessKeyIsUnderlinedOneRowBelowTheBaseline) {
    const auto font = raster::load_font(desc(kPGothic, -13));
    Picture with(60, 20), without(60, 20);
    plat::Rect a{0, 0, 60, 20}, b{0, 0, 60, 20};
    raster::draw_text(with.surface(), {}, font.get(), "&Wa", a, dt::Left, 0, false, 0);
    raster::draw_text(without.surface(), {}, font.get(), "Wa", b, dt::Left, 0, false, 0);
    // The bar spans W's advance less its last pixel; nothing else changes.
    const int row = font->metrics().ascent + 1, end = font->advance(U'W') - 1;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 60; ++x) {
            const bool bar = y == row && x < end;
            EXPECT_EQ(with.at(x, y), bar ? 0u : without.at(x, y)) << x << "," << y;
        }
}

TEST(TextPaint, UnderlineAndStrikeOutCrossTheWholeRun) {
    plat::FontDesc lined = desc(kPGothic, -24);
    lined.underline = true;
    plat::FontDesc struck = desc(kPGothic, -24);
    struck.strike_out = true;
    const auto plain_font = raster::load_font(desc(kPGothic, -24));
    const auto lined_font = raster::load_font(lined), struck_font = raster::load_font(struck);
    // The rows in which `font` paints all of "ii" (a run of 2 i's) but the plain font does not.
    const auto bar_rows = [&](const raster::Font* font) {
        Picture p(60, 40), q(60, 40);
        plat::Rect a{0, 0, 60, 40}, b{0, 0, 60, 40};
        raster::draw_text(p.surface(), {}, font, "ii", a, dt::Left, 0, false, 0);
        raster::draw_text(q.surface(), {}, plain_font.get(), "ii", b, dt::Left, 0, false, 0);
        std::vector<int> rows;
        const int width = 2 * plain_font->advance(U'i');
        for (int y = 0; y < 40; ++y) {
            bool full = true;
            for (int x = 0; x < width; ++x) full = full && p.at(x, y) == 0;
            if (full && q.at(0, y) != 0) rows.push_back(y);
        }
        return rows;
    };
    const int baseline = plain_font->metrics().ascent;
    const std::vector<int> under = bar_rows(lined_font.get()), strike = bar_rows(struck_font.get());
    ASSERT_FALSE(under.empty());
    ASSERT_FALSE(strike.empty());
    EXPECT_GE(under.front(), baseline - 1);
    EXPECT_LT(under.back(), baseline + plain_font->metrics().descent);
    EXPECT_LT(strike.back(), baseline);
    EXPECT_GT(strike.front(), baseline - plain_font->metrics().ascent);
}

TEST(TextPaint, ADeviceContextWithoutAFontUsesTheSystemFont) {
    Picture p(80, 30);
    plat::Rect r{0, 0, 80, 30};
    const int h = raster::draw_text(p.surface(), {}, nullptr, "Abc", r, dt::CalcRect, 0, false, 0);
    EXPECT_EQ(h, 16);
    EXPECT_GT(r.right, 0);
    plat::Rect d{0, 0, 80, 30};
    raster::draw_text(p.surface(), {}, nullptr, "Abc", d, dt::Left, 0, false, 0);
    EXPECT_LT(p.ink().right, 80);
    EXPECT_GE(p.ink().left, 0);
}

}  // namespace
