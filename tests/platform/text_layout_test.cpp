// DrawTextA's layout rules on a font whose every character is 5 pixels wide and 10 tall, the
// break rules of CP932 text and its decoding.
#include <gtest/gtest.h>

#include <random>

#include "raster/text.h"
#include "raster/text/cp932_decode.h"
#include "raster/text/layout.h"
#include "raster/text/line_break.h"

namespace {

using namespace raster::text;
namespace dt = raster::dt;

const LineMetrics kMetrics{10, 8, 4};

Layout lay(std::u32string_view text, plat::Rect rect, std::uint32_t format) {
    return lay_out(text, rect, format, kMetrics, [](char32_t) { return 5; });
}

std::vector<std::u32string> texts(const Layout& l) {
    std::vector<std::u32string> out;
    for (const raster::text::Run& r : l.runs) out.push_back(r.text);
    return out;
}

TEST(TextLayout, CalcRectGivesTheExtentAndDrawsNothing) {
    const Layout one = lay(U"abc", {10, 20, 100, 100}, dt::CalcRect);
    EXPECT_EQ(one.rect, (plat::Rect{10, 20, 25, 30}));
    EXPECT_EQ(one.result, 10);
    EXPECT_TRUE(one.runs.empty());
    // Three lines ("abcd", "efgh", "ij": the blank does not fit and is dropped); the widest
    // one sets the width, and the box's height does not matter.
    const Layout three = lay(U"abcd efgh ij", {0, 0, 22, 5}, dt::CalcRect | dt::WordBreak);
    EXPECT_EQ(three.rect, (plat::Rect{0, 0, 20, 30}));
    EXPECT_EQ(three.result, 30);
}

TEST(TextLayout, EmptyTextHasNoWidthAndOneLineOnlyWhenSingle) {
    EXPECT_EQ(lay(U"", {5, 5, 50, 50}, dt::CalcRect).rect, (plat::Rect{5, 5, 5, 5}));
    const Layout single = lay(U"", {5, 5, 50, 50}, dt::CalcRect | dt::SingleLine);
    EXPECT_EQ(single.rect, (plat::Rect{5, 5, 5, 15}));
    EXPECT_EQ(single.result, 10);
}

TEST(TextLayout, AmpersandUnderlinesTheNextCharacterAndADoubleOneIsLiteral) {
    const Layout key = lay(U"&Cancel", {0, 0, 100, 20}, 0);
    ASSERT_EQ(key.runs.size(), 1u);
    EXPECT_EQ(key.runs[0].text, U"Cancel");
    EXPECT_EQ(key.runs[0].underline, 0);
    EXPECT_EQ(key.runs[0].width, 30);

    const Layout literal = lay(U"A&&B &x", {0, 0, 100, 20}, 0);
    EXPECT_EQ(literal.runs[0].text, U"A&B x");
    EXPECT_EQ(literal.runs[0].underline, 4);

    EXPECT_EQ(lay(U"A&&B", {0, 0, 100, 20}, 0).runs[0].underline, -1);
    EXPECT_EQ(lay(U"end&", {0, 0, 100, 20}, 0).runs[0].text, U"end&");  // nothing to underline
    const Layout off = lay(U"A&&B &x", {0, 0, 100, 20}, dt::NoPrefix);
    EXPECT_EQ(off.runs[0].text, U"A&&B &x");
    EXPECT_EQ(off.runs[0].underline, -1);
}

TEST(TextLayout, WordBreakKeepsTheBlankOnLeftLinesAndDropsItOnCentredOnes) {
    // "ab cd" in 17 pixels: "ab " fits (15), "cd" goes to the next line.
    const Layout left = lay(U"ab cd", {0, 0, 17, 100}, dt::WordBreak);
    EXPECT_EQ(texts(left), (std::vector<std::u32string>{U"ab ", U"cd"}));
    EXPECT_EQ(left.runs[0].width, 15);
    const Layout centre = lay(U"ab cd", {0, 0, 17, 100}, dt::WordBreak | dt::Center);
    EXPECT_EQ(texts(centre), (std::vector<std::u32string>{U"ab", U"cd"}));
    EXPECT_EQ(centre.runs[0].x, (0 + 17 - 10) / 2);
    EXPECT_EQ(centre.result, 20);
}

TEST(TextLayout, AWordWiderThanTheBoxStaysWhole) {
    const Layout l = lay(U"abcdefgh ij", {0, 0, 12, 100}, dt::WordBreak | dt::CalcRect);
    EXPECT_EQ(l.rect.right, 40);  // "abcdefgh" overflows the 12-pixel box
    EXPECT_EQ(l.rect.bottom, 20);
}

TEST(TextLayout, JapaneseBreaksBetweenCharactersButNotBeforeClosingMarks) {
    // 日本語です。 in 27 pixels: five characters fit, but 。 may not begin a line.
    const Layout l = lay(U"日本語です。", {0, 0, 27, 100}, dt::WordBreak);
    EXPECT_EQ(texts(l), (std::vector<std::u32string>{U"日本語で", U"す。"}));
}

TEST(TextLayout, EachKindOfLineEndEndsOneLine) {
    EXPECT_EQ(texts(lay(U"a\r\nb\nc\rd\n\re", {0, 0, 100, 100}, 0)),
              (std::vector<std::u32string>{U"a", U"b", U"c", U"d", U"e"}));
    EXPECT_EQ(lay(U"a\n\nb", {0, 0, 100, 100}, dt::CalcRect).rect.bottom, 30);
    EXPECT_EQ(lay(U"a\n", {0, 0, 100, 100}, dt::CalcRect).rect.bottom, 10);
    // A single line shows the line end as a character.
    EXPECT_EQ(texts(lay(U"a\nb", {0, 0, 100, 100}, dt::SingleLine)), (std::vector<std::u32string>{U"a\nb"}));
}

TEST(TextLayout, AlignmentIncludingTextWiderThanTheBox) {
    EXPECT_EQ(lay(U"abc", {10, 0, 40, 10}, dt::Right).runs[0].x, 25);
    EXPECT_EQ(lay(U"abc", {10, 0, 41, 10}, dt::Center).runs[0].x, 18);  // (51 - 15) / 2
    // Wider than the box: the centre division truncates towards zero.
    EXPECT_EQ(lay(U"abcdefg", {0, 0, 10, 10}, dt::Center).runs[0].x, -12);  // (10 - 35) / 2
}

TEST(TextLayout, SingleLinesCentreOrSitAtTheBottom) {
    EXPECT_EQ(lay(U"a", {0, 0, 50, 25}, dt::SingleLine | dt::VCenter).runs[0].y, 7);  // 12 - 5
    EXPECT_EQ(lay(U"a", {0, 0, 50, 25}, dt::SingleLine | dt::Bottom).runs[0].y, 15);
    EXPECT_EQ(lay(U"a", {0, 0, 50, 25}, dt::SingleLine | dt::VCenter).result, 17);
}

TEST(TextLayout, TheLineThatCrossesTheBottomIsTheLastDrawn) {
    const std::u32string five = U"a\nb\nc\nd\ne";
    EXPECT_EQ(lay(five, {0, 0, 50, 15}, 0).runs.size(), 2u);
    EXPECT_EQ(lay(five, {0, 0, 50, 15}, dt::NoClip).runs.size(), 5u);
    EXPECT_EQ(lay(five, {0, 0, 50, 15}, dt::CalcRect).rect.bottom, 50);
}

TEST(TextLayout, TabsExpandToEightAverageCharacters) {
    const Layout l = lay(U"a\tb", {0, 0, 200, 10}, dt::ExpandTabs);
    ASSERT_EQ(l.runs.size(), 2u);
    EXPECT_EQ(l.runs[1].x, 32);
    EXPECT_EQ(lay(U"a\tb", {0, 0, 200, 10}, dt::ExpandTabs | dt::CalcRect).rect.right, 37);
}

TEST(TextLayout, AnyTextEndsInBoundedLinesOfItsOwnCharacters) {
    const std::u32string alphabet = U"ab &&\t\r\n日。ー「";
    const std::uint32_t bits[] = {dt::Center, dt::Right, dt::VCenter, dt::Bottom, dt::WordBreak,
                                  dt::SingleLine, dt::ExpandTabs, dt::NoClip, dt::NoPrefix};
    std::mt19937 gen(11);
    for (int round = 0; round < 3000; ++round) {
        std::u32string text(gen() % 30, U'a');
        for (char32_t& c : text) c = alphabet[gen() % alphabet.size()];
        std::uint32_t format = 0;
        for (std::uint32_t b : bits)
            if (gen() % 3 == 0) format |= b;
        const plat::Rect rect{3, 4, 3 + static_cast<int>(gen() % 70) - 5, 4 + static_cast<int>(gen() % 50)};
        const Layout calc = lay(text, rect, format | dt::CalcRect);
        const Layout drawn = lay(text, rect, format | dt::NoClip);
        ASSERT_LE(calc.lines.size(), text.size() + 1);
        EXPECT_EQ(calc.rect.left, rect.left);
        EXPECT_EQ(calc.rect.top, rect.top);
        EXPECT_EQ(calc.lines.size(), drawn.lines.size());
        for (const plat::Rect& line : calc.lines) EXPECT_LE(line.width(), calc.rect.width());
        for (const raster::text::Run& run : drawn.runs)
            for (char32_t c : run.text) ASSERT_NE(alphabet.find(c), std::u32string::npos);
    }
}

std::vector<std::size_t> breaks_of(std::u32string_view text) {
    std::vector<std::size_t> out;
    const std::vector<bool> b = break_opportunities(text);
    for (std::size_t k = 1; k < text.size(); ++k)
        if (b[k]) out.push_back(k);
    return out;
}

TEST(TextLineBreak, Opportunities) {
    EXPECT_EQ(breaks_of(U"ab cd  ef"), (std::vector<std::size_t>{3, 7}));
    EXPECT_EQ(breaks_of(U"日本語"), (std::vector<std::size_t>{1, 2}));
    EXPECT_EQ(breaks_of(U"「設定」です。"), (std::vector<std::size_t>{2, 4, 5}));
    EXPECT_EQ(breaks_of(U"ショップ"), (std::vector<std::size_t>{3}));  // not before ョ or ッ
    EXPECT_EQ(breaks_of(U"ﾓｰﾄﾞ"), (std::vector<std::size_t>{2}));       // nor before ｰ or ﾞ
    EXPECT_EQ(breaks_of(U"100%の"), (std::vector<std::size_t>{4}));
    EXPECT_EQ(breaks_of(U"My Documents\\音楽"), (std::vector<std::size_t>{3, 12, 14}));
}

TEST(TextCp932, DecodesCharactersOneByOne) {
    EXPECT_EQ(decode_cp932("A\xd3\xb0"), U"Aﾓｰ");        // half-width katakana are single bytes
    EXPECT_EQ(decode_cp932("\x93\xfa\x96\x7b"), U"日本");
    EXPECT_EQ(decode_cp932("a\\b"), U"a\\b");
    EXPECT_EQ(decode_cp932("ab\x93"), U"ab?");           // a lead byte with nothing after it
    EXPECT_EQ(decode_cp932("\x85\x40z"), U"\u30FBz");    // an undefined pair is one character
    EXPECT_EQ(cp932_to_utf8("\x82\x6c\x82\x72 \x82\x6f"), "ＭＳ Ｐ");
}

}  // namespace
