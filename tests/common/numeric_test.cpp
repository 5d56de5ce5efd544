#include "common/numeric.h"

#include <gtest/gtest.h>

#include "common/texts.h"

TEST(Numeric, StrictReadingNeedsTheWholeTextToBeANumber) {
    EXPECT_EQ(common::parse_number(" -1.5 "), -1.5);
    EXPECT_EQ(common::parse_number("2.9"), 2.9);
    EXPECT_EQ(common::parse_number("1e3"), 1000.0);
    EXPECT_EQ(common::parse_number("abc"), std::nullopt);
    EXPECT_EQ(common::parse_number("12abc"), std::nullopt);
    EXPECT_EQ(common::parse_number(""), std::nullopt);
    EXPECT_EQ(common::parse_number("."), std::nullopt);
    EXPECT_EQ(common::parse_number("1e999"), std::nullopt);
}

TEST(Numeric, LooseReadingTakesTheLeadingNumber) {
    EXPECT_EQ(common::leading_number(" 1234"), 1234.0);
    EXPECT_EQ(common::leading_number("  1234xyz"), 1234.0);
    EXPECT_EQ(common::leading_number("Error:263"), 0.0);
    EXPECT_EQ(common::leading_number("-7.5e1z"), -75.0);
    EXPECT_EQ(common::leading_number("1e"), 1.0);
}

TEST(Numeric, RoundingIsHalfToEvenAndRangesAreChecked) {
    EXPECT_EQ(common::to_int32_rounded(2.5), 2);
    EXPECT_EQ(common::to_int32_rounded(3.5), 4);
    EXPECT_EQ(common::to_int32_rounded(-2.5), -2);
    EXPECT_EQ(common::to_int16_floor(2.9), 2);
    EXPECT_EQ(common::to_int16_floor(-1.5), -2);
    EXPECT_EQ(common::to_int16_floor(32767.9), 32767);
    EXPECT_EQ(common::to_int16_floor(32768.0), std::nullopt);
    EXPECT_EQ(common::to_int16_floor(-32769.0), std::nullopt);
    EXPECT_EQ(common::to_int32_rounded(2147483647.4), 2147483647);
    EXPECT_EQ(common::to_int32_rounded(2147483647.6), std::nullopt);
}

TEST(Texts, JapaneseTextsAreShiftJisBytes) {
    // "の設定" in CP932.
    EXPECT_EQ(texts::kTitleDialog, std::string_view("Zephlora\x82\xcc\x90\xdd\x92\xe8", 14));
    // Half-width katakana are single bytes.
    EXPECT_EQ(texts::kKeyInterval.size(), 7u);
}
