// The resource pack that ships beside the executables: its layout, and nine shapes that the
// engine can read and draw.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "member_format.h"

namespace {

struct MemberPlace {
    int offset;
    int length;
};

// Zero-based offset and length of members 1..9.
constexpr std::array<MemberPlace, 9> kMembers{{{0, 7569}, {7569, 3851}, {11420, 4305}, {15725, 4020},
                                               {19745, 3746}, {23491, 2396}, {25887, 3148}, {29035, 4038},
                                               {33073, 3118}}};

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
    const auto& m = kMembers[n - 1];
    return pack().substr(m.offset, m.length);
}

TEST(ResourcePack, HasTheFixedLengthAndMemberPlaces) {
    ASSERT_EQ(pack().size(), 36191u);
    int next = 0;
    for (const auto& m : kMembers) {
        EXPECT_EQ(m.offset, next);
        next += m.length;
    }
    EXPECT_EQ(next, 36191);
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
        const auto member = member_format::parse(member_bytes(n), &why);
        ASSERT_TRUE(member) << "member " << n << ": " << why;
        // The count line names the highest index; the file holds exactly that many dots + 1,
        // then only the face section it announces, no partial dot line.
        const auto top = static_cast<int>(member->dots.size()) - 1;
        const auto lines = member_bytes(n);
        const auto line9_start = [&] {
            std::size_t p = 0;
            for (int k = 0; k < 8; ++k) p = lines.find("\r\n", p) + 2;
            return p;
        }();
        const auto line9 = lines.substr(line9_start, lines.find("\r\n", line9_start) - line9_start);
        EXPECT_EQ(line9.substr(line9.find('=') + 1), std::to_string(top)) << "member " << n;
        if (member->face_count) {
            EXPECT_EQ(member->after.size(), static_cast<std::size_t>(*member->face_count)) << "member " << n;
            for (const auto& face : member->after) {
                EXPECT_EQ(face.find_first_of("!@*"), std::string::npos) << "member " << n << ": " << face;
            }
        } else {
            EXPECT_TRUE(member->after.empty()) << "member " << n << " has lines after its dots";
        }
    }
}

TEST(ResourcePack, ShapesStayInsideTheProjectionRange) {
    // A radius of 170 keeps every dot below the depth of 260 whatever the rotation.
    for (int n = 1; n <= 9; ++n) {
        const auto member = member_format::parse(member_bytes(n));
        ASSERT_TRUE(member);
        for (const auto& d : member->dots) {
            const std::int64_t r2 = std::int64_t{d.x} * d.x + std::int64_t{d.y} * d.y + std::int64_t{d.z} * d.z;
            EXPECT_LE(r2, 170 * 170) << "member " << n << " dot " << d.x << "," << d.y << "," << d.z;
        }
    }
}

TEST(ResourcePack, ShapesAreDistinctCloudsOfSpacedDots) {
    std::set<std::vector<std::tuple<int, int, int>>> seen;
    for (int n = 1; n <= 9; ++n) {
        const auto member = member_format::parse(member_bytes(n));
        ASSERT_TRUE(member);
        const auto& dots = member->dots;
        EXPECT_GE(dots.size(), 150u) << "member " << n;
        std::vector<std::tuple<int, int, int>> points;
        for (const auto& d : dots) points.emplace_back(d.x, d.y, d.z);
        std::sort(points.begin(), points.end());
        EXPECT_EQ(std::adjacent_find(points.begin(), points.end()), points.end()) << "member " << n << " repeats a dot";
        EXPECT_TRUE(seen.insert(points).second) << "member " << n << " repeats another shape";
        // Typical spacing: 8 x 8 sprites must read as a shape, not a blob.
        std::vector<double> nearest;
        for (std::size_t i = 0; i < dots.size(); ++i) {
            double best = 1e18;
            for (std::size_t j = 0; j < dots.size(); ++j) {
                if (i == j) continue;
                const double dx = dots[i].x - dots[j].x, dy = dots[i].y - dots[j].y, dz = dots[i].z - dots[j].z;
                best = std::min(best, dx * dx + dy * dy + dz * dz);
            }
            nearest.push_back(std::sqrt(best));
        }
        std::nth_element(nearest.begin(), nearest.begin() + nearest.size() / 2, nearest.end());
        EXPECT_GE(nearest[nearest.size() / 2], 6.0) << "member " << n;
    }
}

TEST(MemberFormat, ReadsTheRulesOfTheFormat) {
    const std::string header = "a\r\nb\r\nc\r\nd\r\ne\r\nf\r\ng\r\nh\r\n";
    const auto m = member_format::parse(header + "Points = 3\r\nNot Available\r\nk\r\nl\r\n"
                                        "1!2@3\r\n -4 ! 5@6*7\r\n2.5!3.5@-2.5\r\n0!0@0\r\nignored\r\n");
    ASSERT_TRUE(m);
    ASSERT_EQ(m->dots.size(), 4u);
    EXPECT_EQ(m->dots[0].w, 0);
    EXPECT_EQ(m->dots[1].x, -4);
    EXPECT_EQ(m->dots[1].w, 7);
    EXPECT_EQ(m->dots[2].x, 2);   // halves to even
    EXPECT_EQ(m->dots[2].y, 4);
    EXPECT_EQ(m->dots[2].z, -2);
    EXPECT_FALSE(m->face_count);
    EXPECT_TRUE(member_format::parse(header + "=0\r\nFaces=12\r\nk\r\nl\r\n1!2@3\r\n"));
    EXPECT_FALSE(member_format::parse(header + "=0\r\nFaces=x\r\nk\r\nl\r\n1!2@3\r\n"));
    EXPECT_FALSE(member_format::parse(header + "=1\r\nNot Available\r\nk\r\nl\r\n1!2@3\r\n"));
    EXPECT_FALSE(member_format::parse(header + "=0\r\nNot Available\r\nk\r\nl\r\n1@2!3\r\n"));
    EXPECT_FALSE(member_format::parse(header + "=0\r\nNot Available\r\nk\r\nl\r\n1!2@3\n"));
    EXPECT_FALSE(member_format::parse(header + "=0\r\nNot Available\r\nk\r\nl\r\n1!2@3*\r\n"));
}

}  // namespace
