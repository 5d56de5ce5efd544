#include "engine/shape_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

namespace {

using engine::ParseShapeText;
using engine::ReadShapeFile;
using engine::ShapeDot;
using engine::ShapeError;

// A member with the given count line, face line and dot lines, CR LF ended.
std::string member(const std::string& count_line, const std::string& face_line,
                   const std::vector<std::string>& dot_lines, const std::string& tail = "") {
    std::string text;
    for (int i = 1; i <= 8; ++i) text += "header " + std::to_string(i) + "\r\n";
    text += count_line + "\r\n" + face_line + "\r\n" + "[Dots]\r\n" + "ignored\r\n";
    for (const auto& l : dot_lines) text += l + "\r\n";
    return text + tail;
}

std::optional<int> parse(const std::string& text, std::vector<ShapeDot>& dots,
                         ShapeError* why = nullptr) {
    return ParseShapeText(text, dots, why);
}

TEST(ShapeFile, ReadsDotsWithAndWithoutTheFourthValue) {
    std::vector<ShapeDot> dots;
    const auto top = parse(member("Count=2", "Faces=Not Available",
                                  {"1!2@3", " -4 ! 5 @ -6 * 7", "10!20@30*-40"}),
                           dots);
    ASSERT_EQ(top, 2);
    ASSERT_EQ(dots.size(), 3u);
    EXPECT_EQ(dots[0], (ShapeDot{1, 2, 3, 0}));
    EXPECT_EQ(dots[1], (ShapeDot{-4, 5, -6, 7}));
    EXPECT_EQ(dots[2], (ShapeDot{10, 20, 30, -40}));
}

TEST(ShapeFile, CountLineTakesTheTextAfterTheFirstEqualsOrTheWholeLine) {
    std::vector<ShapeDot> dots;
    const std::vector<std::string> five = {"0!0@0", "1!1@1", "2!2@2", "3!3@3", "4!4@4"};
    // Any label before the "="; exactly lines 13 to 16 are taken, the fifth is never read.
    EXPECT_EQ(parse(member("whatever label=3", "Not Available", five), dots), 3);
    EXPECT_EQ(dots.size(), 4u);
    EXPECT_EQ(dots[3], (ShapeDot{3, 3, 3, 0}));
    EXPECT_EQ(parse(member(" 3 ", "Not Available", five), dots), 3);
    // The count is rounded half to even: 2.5 reads as 2.
    EXPECT_EQ(parse(member("n=2.5", "Not Available", five), dots), 2);
    // A second "=" belongs to the number text and makes it unreadable.
    ShapeError why{};
    EXPECT_FALSE(parse(member("a=b=3", "Not Available", five), dots, &why));
    EXPECT_EQ(why, ShapeError::BadCount);
}

TEST(ShapeFile, FaceLineIsNotAvailableOrANumber) {
    std::vector<ShapeDot> dots;
    const std::vector<std::string> one = {"1!2@3"};
    EXPECT_EQ(parse(member("0", "xx Not Available yy", one), dots), 0);
    EXPECT_EQ(parse(member("0", "Faces=12", one), dots), 0);
    EXPECT_EQ(parse(member("0", "-5", one), dots), 0);
    ShapeError why{};
    EXPECT_FALSE(parse(member("0", "Faces=many", one), dots, &why));
    EXPECT_EQ(why, ShapeError::BadFaceCount);
    EXPECT_FALSE(parse(member("0", "not available", one), dots, &why));  // case matters
}

TEST(ShapeFile, FieldsRoundHalfToEvenAndAllowBlanks) {
    std::vector<ShapeDot> dots;
    ASSERT_EQ(parse(member("0", "Not Available", {"2.5! 3.5 @  -7  *-2.5"}), dots), 0);
    EXPECT_EQ(dots[0], (ShapeDot{2, 4, -7, -2}));
}

TEST(ShapeFile, FaceSectionAfterTheDotsIsIgnored) {
    std::vector<ShapeDot> dots;
    EXPECT_EQ(parse(member("1", "Faces=2", {"1!1@1", "2!2@2"}, "garbage\r\n1,2,3\r\n"), dots), 1);
}

TEST(ShapeFile, LastLineWithoutItsEndAndOtherLineEndsRead) {
    std::vector<ShapeDot> dots;
    std::string text = member("1", "Not Available", {"1!1@1", "2!2@2"});
    text.resize(text.size() - 2);  // no CR LF after the last dot
    EXPECT_EQ(parse(text, dots), 1);
    std::string lf;
    for (char c : member("1", "Not Available", {"1!1@1", "2!2@2"}))
        if (c != '\r') lf += c;
    EXPECT_EQ(parse(lf, dots), 1);
    EXPECT_EQ(dots[1], (ShapeDot{2, 2, 2, 0}));
}

TEST(ShapeFile, BadDotLinesFailTheWholeRead) {
    const std::vector<ShapeDot> before = {{9, 9, 9, 9}};
    for (const char* bad : {"1@2!3", "1!2", "1 2 3", "1!2*3@4", "1!x@3", "1!!3@4", "1!2@", "1!2@3*",
                            "1!2@3*4*5", "", "1!2@3@4"}) {
        std::vector<ShapeDot> dots = before;
        ShapeError why{};
        int line = 0;
        EXPECT_FALSE(ParseShapeText(member("1", "Not Available", {"0!0@0", bad}), dots, &why, &line))
            << bad;
        EXPECT_EQ(why, ShapeError::BadDotLine) << bad;
        EXPECT_EQ(line, 14) << bad;
        EXPECT_EQ(dots, before) << "a failed read leaves the list alone";
    }
}

TEST(ShapeFile, RefusesCountsOutOfRangeAndHugeCoordinates) {
    std::vector<ShapeDot> dots;
    ShapeError why{};
    EXPECT_FALSE(parse(member("-1", "Not Available", {"1!1@1"}), dots, &why));
    EXPECT_EQ(why, ShapeError::CountOutOfRange);
    EXPECT_FALSE(parse(member("32768", "Not Available", {"1!1@1"}), dots, &why));
    EXPECT_EQ(why, ShapeError::CountOutOfRange);
    EXPECT_FALSE(parse(member("1e30", "Not Available", {"1!1@1"}), dots, &why));
    EXPECT_EQ(why, ShapeError::CountOutOfRange);
    // More dots promised than lines present: refused before the list is made.
    EXPECT_FALSE(parse(member("20000", "Not Available", {"1!1@1"}), dots, &why));
    EXPECT_EQ(why, ShapeError::CountOutOfRange);
    EXPECT_FALSE(parse(member("2", "Not Available", {"1!1@1", "2!2@2"}), dots, &why));
    EXPECT_EQ(why, ShapeError::CountOutOfRange);

    EXPECT_EQ(parse(member("0", "Not Available", {"8000000!-8000000@8000000*2000000000"}), dots), 0);
    for (const char* big : {"8000001!0@0", "0!-8000001@0", "0!0@9e9", "0!0@0*3000000000"}) {
        EXPECT_FALSE(parse(member("0", "Not Available", {big}), dots, &why)) << big;
        EXPECT_NE(why, ShapeError::None);
    }
}

TEST(ShapeFile, ShortFilesFail) {
    std::vector<ShapeDot> dots;
    ShapeError why{};
    EXPECT_FALSE(parse("", dots, &why));
    EXPECT_EQ(why, ShapeError::MissingLines);
    EXPECT_FALSE(parse("1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n0\r\n", dots, &why));
    EXPECT_EQ(why, ShapeError::MissingLines);
}

TEST(ShapeFile, TheLargestShapeReads) {
    std::vector<std::string> lines;
    for (int i = 0; i <= engine::kMaxShapeTop; ++i)
        lines.push_back(std::to_string(i) + "!" + std::to_string(-i) + "@1*" + std::to_string(i % 7));
    std::vector<ShapeDot> dots;
    ASSERT_EQ(parse(member("Count=32767", "Not Available", lines), dots), 32767);
    EXPECT_EQ(dots[32767], (ShapeDot{32767, -32767, 1, 32767 % 7}));
}

TEST(ShapeFile, ReadsFromAFileAndReportsAMissingOne) {
    const auto dir = std::filesystem::temp_directory_path() / "zephlora_shape_file_test";
    std::filesystem::create_directories(dir);
    const auto path = (dir / "member.zpk").string();
    {
        std::ofstream out(path, std::ios::binary);
        out << member("Count=1", "Not Available", {"5!6@7*8", "-1!-2@-3"});
    }
    std::vector<ShapeDot> dots;
    ASSERT_EQ(ReadShapeFile(path, dots), 1);
    EXPECT_EQ(dots[0], (ShapeDot{5, 6, 7, 8}));
    ShapeError why{};
    EXPECT_FALSE(ReadShapeFile((dir / "missing.zpk").string(), dots, &why));
    EXPECT_EQ(why, ShapeError::Unreadable);
    std::filesystem::remove_all(dir);
}

// Bounded random mutations of a valid member never crash, and every accepted result obeys the
// limits.
TEST(ShapeFile, FuzzedMembersNeverBreakTheLimits) {
    std::mt19937 random(20261207);
    const std::string base =
        member("Count=3", "Faces=2", {"1!2@3*4", "-5!6.5@7", "8 ! 9 @ 10", "0!0@0*0"}, "f 1 2 3\r\n");
    const std::string alphabet = "0123456789!@*=.-+ eE\r\nNot Available";
    for (int round = 0; round < 20000; ++round) {
        std::string text = base;
        const int edits = 1 + static_cast<int>(random() % 6);
        for (int e = 0; e < edits; ++e) {
            const std::size_t pos = text.empty() ? 0 : random() % (text.size() + 1);
            switch (random() % 4) {
            case 0: text.insert(pos, 1, alphabet[random() % alphabet.size()]); break;
            case 1: if (pos < text.size()) text.erase(pos, 1); break;
            case 2: if (pos < text.size()) text[pos] = static_cast<char>(random() % 256); break;
            case 3: text.insert(pos, std::to_string(static_cast<long long>(random()) - 0x40000000)); break;
            }
        }
        std::vector<ShapeDot> dots;
        const auto top = ParseShapeText(text, dots);
        if (!top) continue;
        ASSERT_GE(*top, 0);
        ASSERT_LE(*top, engine::kMaxShapeTop);
        ASSERT_EQ(dots.size(), static_cast<std::size_t>(*top) + 1);
        for (const auto& d : dots) {
            ASSERT_LE(std::abs(d.X), engine::kMaxCoordinate);
            ASSERT_LE(std::abs(d.Y), engine::kMaxCoordinate);
            ASSERT_LE(std::abs(d.Z), engine::kMaxCoordinate);
        }
    }
}

}  // namespace
