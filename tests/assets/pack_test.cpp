// The resource pack that ships beside the executables: its layout, and nine shapes that the
// engine can read and draw.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "engine/shape_file.h"
#include "shell/resource_pack.h"

namespace {

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The pack the build placed in the working folder (the build folder, beside the executables).
const std::string& pack() {
    static const std::string bytes = read_file("Zephlora.zpk");
    return bytes;
}

std::string member_bytes(int n) {
    const auto& m = shell::PackMemberOf(n);
    return pack().substr(m.position - 1, m.length);
}

// The member's CR LF lines (the text ends with CR LF, so no empty last line).
std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// Member n read by the engine's own reader from a member file, as a run reads it.
std::optional<std::vector<engine::ShapeDot>> read_member(int n, std::string* why = nullptr) {
    // CTest runs the tests of this program as parallel processes: each writes its own file.
    const std::string path = "assets_pack_test_member" + std::to_string(n) + "_" +
                             std::to_string(::getpid()) + ".zpk";
    {
        std::ofstream out(path, std::ios::binary);
        const auto bytes = member_bytes(n);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    std::vector<engine::ShapeDot> dots;
    engine::ShapeError error = engine::ShapeError::None;
    int line = 0;
    const auto top = engine::ReadShapeFile(path, dots, &error, &line);
    std::remove(path.c_str());
    if (!top) {
        if (why) *why = std::string(engine::ShapeErrorText(error)) + " at line " + std::to_string(line);
        return std::nullopt;
    }
    if (static_cast<std::size_t>(*top) + 1 != dots.size()) return std::nullopt;
    return dots;
}

TEST(ResourcePack, HasTheFixedLengthAndMemberPlaces) {
    ASSERT_EQ(pack().size(), 36191u);
    ASSERT_EQ(pack().size(), shell::kPackLength);
    std::uint32_t next = 0;
    for (const auto& m : shell::PackMemberTable) {
        EXPECT_EQ(m.position - 1, next);
        next += m.length;
    }
    EXPECT_EQ(next, 36191u);
    // Each member ends its last line exactly at its last byte: no member spills into the next.
    for (int n = 1; n <= 9; ++n) {
        const auto bytes = member_bytes(n);
        EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n") << "member " << n;
        EXPECT_EQ(bytes.rfind("Zephlora shape", 0), 0u) << "member " << n << " starts inside another";
    }
}

TEST(ResourcePack, EveryMemberIsAValidShape) {
    for (int n = 1; n <= 9; ++n) {
        std::string why;
        const auto dots = read_member(n, &why);
        ASSERT_TRUE(dots) << "member " << n << ": " << why;
        // The count line names the highest index; the file holds exactly that many dots + 1,
        // then only the face section that line 10 announces: no partial dot line, no stray text.
        const auto lines = lines_of(member_bytes(n));
        const int top = static_cast<int>(dots->size()) - 1;
        ASSERT_GE(lines.size(), 13u + top);
        EXPECT_EQ(lines[8].substr(lines[8].find('=') + 1), std::to_string(top)) << "member " << n;
        const std::size_t rest = lines.size() - (13 + top);
        if (lines[9].find("Not Available") != std::string::npos) {
            EXPECT_EQ(rest, 0u) << "member " << n << " has lines after its dots";
        } else {
            EXPECT_EQ(std::to_string(rest), lines[9].substr(lines[9].find('=') + 1)) << "member " << n;
            for (std::size_t k = 13 + top; k < lines.size(); ++k)
                EXPECT_EQ(lines[k].find_first_of("!@*"), std::string::npos) << "member " << n << ": " << lines[k];
        }
        for (int i = 0; i <= top; ++i)
            EXPECT_EQ(lines[12 + i].find_first_not_of("-0123456789!@"), std::string::npos) << "member " << n;
    }
}

TEST(ResourcePack, ShapesStayInsideTheProjectionRange) {
    // A radius of 170 keeps every dot below the depth of 260 whatever the rotation.
    for (int n = 1; n <= 9; ++n) {
        const auto dots = read_member(n);
        ASSERT_TRUE(dots);
        for (const auto& d : *dots) {
            const std::int64_t r2 = std::int64_t{d.X} * d.X + std::int64_t{d.Y} * d.Y + std::int64_t{d.Z} * d.Z;
            EXPECT_LE(r2, 170 * 170) << "member " << n << " dot " << d.X << "," << d.Y << "," << d.Z;
        }
    }
}

TEST(ResourcePack, ShapesAreDistinctCloudsOfSpacedDots) {
    std::set<std::vector<std::tuple<int, int, int>>> seen;
    for (int n = 1; n <= 9; ++n) {
        const auto member = read_member(n);
        ASSERT_TRUE(member);
        const auto& dots = *member;
        EXPECT_GE(dots.size(), 150u) << "member " << n;
        std::vector<std::tuple<int, int, int>> points;
        for (const auto& d : dots) points.emplace_back(d.X, d.Y, d.Z);
        std::sort(points.begin(), points.end());
        EXPECT_EQ(std::adjacent_find(points.begin(), points.end()), points.end()) << "member " << n << " repeats a dot";
        EXPECT_TRUE(seen.insert(points).second) << "member " << n << " repeats another shape";
        // Typical spacing: 8 x 8 sprites must read as a shape, not a blob.
        std::vector<double> nearest;
        for (std::size_t i = 0; i < dots.size(); ++i) {
            double best = 1e18;
            for (std::size_t j = 0; j < dots.size(); ++j) {
                if (i == j) continue;
                const double dx = dots[i].X - dots[j].X, dy = dots[i].Y - dots[j].Y, dz = dots[i].Z - dots[j].Z;
                best = std::min(best, dx * dx + dy * dy + dz * dz);
            }
            nearest.push_back(std::sqrt(best));
        }
        std::nth_element(nearest.begin(), nearest.begin() + nearest.size() / 2, nearest.end());
        EXPECT_GE(nearest[nearest.size() / 2], 6.0) << "member " << n;
    }
}

}  // namespace
