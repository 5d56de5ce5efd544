#include "engine/motion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <random>
#include <set>

namespace {

using engine::ShapeDot;

TEST(Tables, SampleRowsAndTheUnusedLastEntry) {
    engine::Tables t;
    engine::BuildTables(t);
    const int rows[][3] = {{0, 2, 255}, {255, 255, 0}, {511, 0, -255}, {767, -255, 0},
                           {1023, 0, 255}, {1024, 2, 255}};
    for (const auto& r : rows) {
        EXPECT_EQ(t.Sin[r[0]], r[1]) << "index " << r[0];
        EXPECT_EQ(t.Cos[r[0]], r[2]) << "index " << r[0];
    }
    EXPECT_EQ(t.Sin[1025], 0);
    EXPECT_EQ(t.Cos[1025], 0);
    for (int i = 0; i <= 1024; ++i) {
        EXPECT_LE(std::abs(t.Sin[i]), 255);
        EXPECT_LE(std::abs(t.Cos[i]), 255);
    }
}

TEST(FixedProduct, RoundsHalvesToEvenLikeTheFloatingPointDivision) {
    EXPECT_EQ(engine::FixedProduct(128, 1), 0);   // 0.5 -> 0
    EXPECT_EQ(engine::FixedProduct(384, 1), 2);   // 1.5 -> 2
    EXPECT_EQ(engine::FixedProduct(-128, 1), 0);  // -0.5 -> 0
    EXPECT_EQ(engine::FixedProduct(-384, 1), -2);
    EXPECT_EQ(engine::FixedProduct(100, 2), 1);   // 0.78 -> 1
    std::mt19937 gen(7);
    std::uniform_int_distribution<int> a(-8'000'000, 8'000'000), b(-255, 255);
    for (int i = 0; i < 100000; ++i) {
        const int x = a(gen), y = b(gen);
        const double expected = std::nearbyint(static_cast<double>(static_cast<long long>(x) * y) / 256.0);
        ASSERT_EQ(engine::FixedProduct(x, y), expected) << x << " * " << y;
    }
}

TEST(Rotation, EachProductIsRoundedOnItsOwn) {
    engine::Tables t;
    engine::BuildTables(t);
    const ShapeDot in[1] = {{100, 0, 0, 9}};
    ShapeDot out[1];
    engine::RotateDots(t, engine::Angles{}, in, 0, out);
    EXPECT_EQ(out[0], (ShapeDot{100, -1, 1, 9}));
}

// Every rotated dot equals the three stages written out with FixedProduct, for small shapes
// (rotated eight at a time in narrow arithmetic), for coordinates at and just past the edge of
// that arithmetic, for large ones, and for lists whose length is no multiple of eight.
TEST(Rotation, EveryDotFollowsTheStagesOfRoundedProducts) {
    engine::Tables t;
    engine::BuildTables(t);
    auto expected = [&t](const ShapeDot& d, engine::Angles a) {
        using engine::FixedProduct;
        const int sY = t.Sin[a.Y], cY = t.Cos[a.Y], sZ = t.Sin[a.Z], cZ = t.Cos[a.Z], sX = t.Sin[a.X], cX = t.Cos[a.X];
        const int x1 = FixedProduct(d.X, cY) - FixedProduct(d.Z, sY), z1 = FixedProduct(d.X, sY) + FixedProduct(d.Z, cY);
        const int x2 = FixedProduct(x1, cZ) + FixedProduct(d.Y, sZ), y1 = FixedProduct(d.Y, cZ) - FixedProduct(x1, sZ);
        const int z2 = FixedProduct(z1, cX) - FixedProduct(y1, sX), y2 = FixedProduct(z1, sX) + FixedProduct(y1, cX);
        return ShapeDot{x2, y2, z2, d.W};
    };
    std::mt19937 gen(5);
    const int ranges[] = {1, 150, 4095, 4096, 4097, 40000, 8'000'000};
    for (int round = 0; round < 700; ++round) {
        const int r = ranges[round % 7];
        const int n = 1 + static_cast<int>(gen() % 300);
        std::uniform_int_distribution<int> coord(-r, r);
        std::vector<ShapeDot> in(static_cast<std::size_t>(n)), out(in.size());
        for (auto& d : in) d = ShapeDot{coord(gen), coord(gen), coord(gen), static_cast<int>(gen())};
        // The extremes of the range, where the narrow arithmetic is tightest.
        if (round % 3 == 0) in[0] = ShapeDot{r, -r, r, 1};
        if (round % 3 == 1) in[static_cast<std::size_t>(n - 1)] = ShapeDot{-r, -r, -r, 2};
        const engine::Angles a{static_cast<std::int16_t>(gen() % 1025), static_cast<std::int16_t>(gen() % 1025),
                               static_cast<std::int16_t>(gen() % 1025)};
        engine::RotateDots(t, a, in.data(), n - 1, out.data());
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(out[static_cast<std::size_t>(i)], expected(in[static_cast<std::size_t>(i)], a))
                << "range " << r << ", dot " << i << " of " << n << ", angles " << a.X << " " << a.Y << " " << a.Z;
    }
}

TEST(Rotation, LargestCoordinatesDoNotOverflow) {
    engine::Tables t;
    engine::BuildTables(t);
    const ShapeDot in[2] = {{8'000'000, 8'000'000, 8'000'000, 0}, {-8'000'000, -8'000'000, -8'000'000, 0}};
    ShapeDot out[2];
    for (int a = 0; a <= 1024; a += 37) {
        engine::RotateDots(t, engine::Angles{static_cast<std::int16_t>(a), static_cast<std::int16_t>(1024 - a),
                                             static_cast<std::int16_t>(a / 2)},
                           in, 1, out);
        // The rotation keeps lengths (scaled by 255/256 a stage); sqrt(3) x 8e6 bounds them.
        for (const auto& d : out)
            for (long long v : {d.X, d.Y, d.Z}) EXPECT_LE(std::llabs(v), 13'900'000LL);
        EXPECT_EQ(out[1].X, -out[0].X);
    }
}

TEST(Projection, DepthScalesTheOffsetAndDotsAtTheEyeAreParked) {
    ShapeDot d[5] = {{10, -20, 130, 1}, {10, -20, -260, 1}, {50, 60, 260, 1}, {50, 60, 300, 1}, {7, 3, 0, 1}};
    engine::ProjectDots(d, 4, 400, 300);
    EXPECT_EQ(d[0], (ShapeDot{420, 260, 130, 1}));  // twice the offset
    EXPECT_EQ(d[1], (ShapeDot{405, 290, -260, 1}));  // half
    EXPECT_EQ(d[2], (ShapeDot{320, 200, 260, 1}));
    EXPECT_EQ(d[3], (ShapeDot{320, 200, 300, 1}));
    EXPECT_EQ(d[4], (ShapeDot{407, 303, 0, 1}));
}

TEST(Projection, MatchesTheFloatingPointFormulaAndRoundsHalvesToEven) {
    ShapeDot half[2] = {{1, 3, -260, 0}, {-1, -3, -260, 0}};  // 0.5 and 1.5 from the centre
    engine::ProjectDots(half, 1, 0, 0);
    EXPECT_EQ(half[0].X, 0);
    EXPECT_EQ(half[0].Y, 2);
    EXPECT_EQ(half[1].X, 0);
    EXPECT_EQ(half[1].Y, -2);
    std::mt19937 gen(11);
    std::uniform_int_distribution<int> c(-20000, 20000), z(-20000, 259);
    for (int i = 0; i < 100000; ++i) {
        ShapeDot d{c(gen), c(gen), z(gen), 0};
        const ShapeDot in = d;
        engine::ProjectDots(&d, 0, 512, -384);
        const double ex = std::nearbyint(-(static_cast<double>(in.X) * 260) / (in.Z - 260) + 512);
        const double ey = std::nearbyint(-(static_cast<double>(in.Y) * 260) / (in.Z - 260) - 384);
        ASSERT_EQ(d.X, ex);
        ASSERT_EQ(d.Y, ey);
    }
    // Far beyond any screen the position is held, not overflowed.
    ShapeDot far{8'000'000, -8'000'000, 259, 0};
    engine::ProjectDots(&far, 0, 0, 0);
    EXPECT_GT(far.X, 100'000'000);
    EXPECT_LT(far.Y, -100'000'000);
}

// Whole lists of dots, near and far, at and behind the eye, against the formula one dot at a
// time; the depth and W pass through.
TEST(Projection, ListsMatchTheFormulaDotByDot) {
    std::mt19937 gen(9);
    const int ranges[] = {10, 300, 20000, 8'000'000};
    for (int round = 0; round < 200; ++round) {
        const int r = ranges[round % 4];
        std::uniform_int_distribution<int> coord(-r, r);
        const int n = 1 + static_cast<int>(gen() % 100);
        std::vector<ShapeDot> dots(static_cast<std::size_t>(n));
        for (auto& d : dots) {
            d = ShapeDot{coord(gen), coord(gen), std::min(coord(gen), 300), static_cast<int>(gen())};
            if (gen() % 8 == 0) d.Z = 259 + static_cast<int>(gen() % 3);  // just before, at and past the eye
        }
        const int cx = static_cast<int>(gen() % 4000) - 500, cy = static_cast<int>(gen() % 3000) - 500;
        std::vector<ShapeDot> out = dots;
        engine::ProjectDots(out.data(), n - 1, cx, cy);
        for (int i = 0; i < n; ++i) {
            const ShapeDot& d = dots[static_cast<std::size_t>(i)];
            ShapeDot want = d;
            if (d.Z >= 260) {
                want.X = 320;
                want.Y = 200;
            } else {
                auto pixel = [&](int v, int c) {
                    const double p = -(static_cast<double>(v) * 260) / (static_cast<double>(d.Z) - 260) + c;
                    return static_cast<int>(std::nearbyint(std::clamp(p, -1e9, 1e9)));
                };
                want.X = pixel(d.X, cx);
                want.Y = pixel(d.Y, cy);
            }
            ASSERT_EQ(out[static_cast<std::size_t>(i)], want) << "round " << round << ", dot " << i;
        }
    }
}

TEST(Angles, AdvanceWrapsPinsAndStaysInsideTheTables) {
    EXPECT_EQ(engine::AdvanceAngle(1020, 5), 1);
    EXPECT_EQ(engine::AdvanceAngle(3, -5), 0);
    EXPECT_EQ(engine::AdvanceAngle(1019, 5), 1024);
    EXPECT_EQ(engine::AdvanceAngle(0, 0), 0);
    EXPECT_EQ(engine::AdvanceAngle(500, 1024), 500);
    // Rates far outside the dialog's 0..10 keep the angle inside 0..1024.
    std::int16_t a = 0;
    for (std::int32_t rate : {5000, 5000, 123457, 2147483647, -2147483647 - 1, 1 << 30, 5000}) {
        a = engine::AdvanceAngle(a, rate);
        EXPECT_GE(a, 0);
        EXPECT_LE(a, 1024);
    }
    EXPECT_EQ(engine::AdvanceAngle(0, 5000), 5000 - 4 * 1024);
}

TEST(Drift, StartStateAndFirstStepMoveRightAndUp) {
    engine::DriftState d = engine::DriftStart();
    EXPECT_EQ(d.x, 1.6f);
    EXPECT_EQ(d.y, 1.0f);
    EXPECT_EQ(d.vx, 1.4f);
    EXPECT_EQ(d.vy, 1.8f);
    std::int16_t cx, cy;
    engine::DriftCentre(d, 512, 384, cx, cy);
    EXPECT_EQ(cx, 832);  // 1.6 x 200 + 512
    EXPECT_EQ(cy, 184);  // 384 - 200
    const engine::DriftState before = d;
    engine::StepDrift(d);
    EXPECT_GT(d.x, before.x);
    EXPECT_GT(d.y, before.y);
    // Velocity first (the springs pull back towards the middle), then the position.
    EXPECT_LT(d.vx, before.vx);
    EXPECT_LT(d.vy, before.vy);
    EXPECT_EQ(d.x, static_cast<float>(0.002f * static_cast<double>(d.vx) + 1.6f));
    std::int16_t cx2, cy2;
    engine::DriftCentre(d, 512, 384, cx2, cy2);
    EXPECT_GE(cx2, cx);
    EXPECT_LE(cy2, cy);
}

TEST(Drift, SwingsWithoutSettlingAndStaysInItsRange) {
    engine::DriftState d = engine::DriftStart();
    float min_x = 0, max_x = 0, min_y = 0, max_y = 0;
    for (int i = 0; i < 200000; ++i) {
        engine::StepDrift(d);
        min_x = std::min(min_x, d.x), max_x = std::max(max_x, d.x);
        min_y = std::min(min_y, d.y), max_y = std::max(max_y, d.y);
    }
    ASSERT_TRUE(std::isfinite(d.x) && std::isfinite(d.y));
    // About 463 pixels left and right and 334 up and down at 200 pixels a unit.
    EXPECT_NEAR(max_x * 200, 463, 25);
    EXPECT_NEAR(-min_x * 200, 463, 25);
    EXPECT_NEAR(max_y * 200, 334, 25);
    EXPECT_NEAR(-min_y * 200, 334, 25);
}

TEST(Drift, AMassOnAnAnchorStaysFinite) {
    engine::DriftState d{-1.0f, 0.0f, 0.0f, 0.0f};
    engine::StepDrift(d);
    EXPECT_TRUE(std::isfinite(d.x) && std::isfinite(d.vx) && std::isfinite(d.y));
}

// Keys sorted by the fast sort give the records in exactly the reference's order, equal depths
// included.
TEST(DepthSort, FastSortGivesTheReferenceOrderEvenForEqualDepths) {
    std::mt19937 gen(3);
    for (int round = 0; round < 300; ++round) {
        const int n = 1 + static_cast<int>(gen() % (round < 200 ? 64 : 5000));
        const int spread = 1 + static_cast<int>(gen() % 40);
        std::vector<ShapeDot> dots(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i)
            dots[static_cast<std::size_t>(i)] = ShapeDot{i, 0, static_cast<int>(gen() % spread) - spread / 2, 0};
        if (round % 10 == 0) std::sort(dots.begin(), dots.end(), [](auto& a, auto& b) { return a.Z > b.Z; });
        std::vector<engine::DepthKey> keys(dots.size());
        for (int i = 0; i < n; ++i) keys[static_cast<std::size_t>(i)] = {dots[static_cast<std::size_t>(i)].Z, i};
        std::vector<ShapeDot> ref = dots;
        engine::SortDotsByDepthReference(ref.data(), 0, n - 1);
        engine::SortDepthKeys(keys.data(), 0, n - 1);
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(dots[static_cast<std::size_t>(keys[static_cast<std::size_t>(i)].index)], ref[static_cast<std::size_t>(i)])
                << "round " << round << " position " << i;
        for (int i = 1; i < n; ++i) ASSERT_LE(ref[static_cast<std::size_t>(i - 1)].Z, ref[static_cast<std::size_t>(i)].Z);
    }
}

// Short ranges are finished from tables and bit masks: every way that up to six depths can
// compare (each assignment of depths 0..n-1), as whole lists and within longer ones.
TEST(DepthSort, EveryPatternOfUpToSixDepthsEndsInTheReferenceOrder) {
    for (int n = 1; n <= 6; ++n) {
        int total = 1;
        for (int t = 0; t < n; ++t) total *= n;
        for (int v = 0; v < total; ++v) {
            std::vector<ShapeDot> dots;
            for (int t = 0, rest = v; t < n; ++t, rest /= n) dots.push_back(ShapeDot{t, 0, rest % n, 0});
            for (const bool alone : {true, false}) {
                if (!alone && v % 7 != 0) continue;
                std::vector<ShapeDot> list = dots;
                if (!alone)  // and at the start of a longer list of greater depths
                    for (int t = 0; t < 100; ++t) list.push_back(ShapeDot{100 + t, 0, 50 + t % 3, 0});
                const int m = static_cast<int>(list.size());
                std::vector<ShapeDot> ref = list, out(list.size());
                std::vector<engine::DepthKey> keys(list.size());
                engine::SortDotsByDepthReference(ref.data(), 0, m - 1);
                engine::SortDotsByDepth(list.data(), m - 1, keys.data(), out.data());
                ASSERT_EQ(out, ref) << n << " depths, case " << v << (alone ? "" : " in a longer list");
            }
        }
    }
}

TEST(DepthSort, RunsOfEqualDepthsOfEveryLengthEndInTheReferenceOrder) {
    for (int n = 1; n <= 300; ++n) {
        for (int variant = 0; variant < 3; ++variant) {
            // All equal; equal with one smaller depth first; equal with one larger depth last.
            std::vector<ShapeDot> dots(static_cast<std::size_t>(n));
            for (int i = 0; i < n; ++i) dots[static_cast<std::size_t>(i)] = ShapeDot{i, 0, 7, 0};
            if (variant == 1) dots.front().Z = 6;
            if (variant == 2) dots.back().Z = 8;
            std::vector<engine::DepthKey> keys(dots.size());
            for (int i = 0; i < n; ++i) keys[static_cast<std::size_t>(i)] = {dots[static_cast<std::size_t>(i)].Z, i};
            std::vector<ShapeDot> ref = dots;
            engine::SortDotsByDepthReference(ref.data(), 0, n - 1);
            engine::SortDepthKeys(keys.data(), 0, n - 1);
            for (int i = 0; i < n; ++i)
                ASSERT_EQ(dots[static_cast<std::size_t>(keys[static_cast<std::size_t>(i)].index)], ref[static_cast<std::size_t>(i)])
                    << "length " << n << " variant " << variant << " position " << i;
        }
    }
}

// The whole sort of records, on depths of many kinds: narrow and wide ranges (both kinds of
// key), long runs of equal depths, few distinct depths, already ordered and reversed lists,
// and more dots than the small keys can number.
TEST(DepthSort, SortedRecordsMatchTheReferenceOnManyDepthDistributions) {
    std::mt19937 gen(11);
    auto check = [](const std::vector<ShapeDot>& dots, const char* what, int round) {
        const int n = static_cast<int>(dots.size());
        std::vector<ShapeDot> ref = dots, out(dots.size(), ShapeDot{-1, -1, -1, -1});
        std::vector<engine::DepthKey> keys(dots.size());
        engine::SortDotsByDepthReference(ref.data(), 0, n - 1);
        engine::SortDotsByDepth(dots.data(), n - 1, keys.data(), out.data());
        for (int i = 0; i < n; ++i)
            ASSERT_EQ(out[static_cast<std::size_t>(i)], ref[static_cast<std::size_t>(i)])
                << what << ", round " << round << ", " << n << " dots, position " << i;
    };
    for (int round = 0; round < 400; ++round) {
        const int n = 1 + static_cast<int>(gen() % (round % 4 == 0 ? 40000 : round % 4 == 1 ? 3000 : 300));
        const int kind = round % 7;
        // Depth spreads from one value up to beyond what a 16-bit offset holds.
        const std::int64_t spreads[] = {1, 2, 3, 17, 500, 40000, 4'000'000'000LL};
        const std::int64_t spread = spreads[static_cast<std::size_t>(kind)];
        const std::int64_t base = kind == 6 ? -2'000'000'000LL : static_cast<std::int64_t>(gen() % 2000) - 1000;
        std::vector<ShapeDot> dots(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) {
            const auto z = static_cast<std::int32_t>(base + static_cast<std::int64_t>(gen() % static_cast<std::uint64_t>(spread)));
            dots[static_cast<std::size_t>(i)] = ShapeDot{i, static_cast<int>(gen()), z, static_cast<int>(gen() % 9)};
        }
        if (round % 5 == 1) std::sort(dots.begin(), dots.end(), [](auto& a, auto& b) { return a.Z < b.Z; });
        if (round % 5 == 2) std::sort(dots.begin(), dots.end(), [](auto& a, auto& b) { return a.Z > b.Z; });
        check(dots, "random depths", round);
    }
    // Beyond 65,536 dots the indices no longer fit the small keys.
    std::vector<ShapeDot> many(70000);
    for (int i = 0; i < 70000; ++i) many[static_cast<std::size_t>(i)] = ShapeDot{i, 0, static_cast<int>(gen() % 300), 0};
    check(many, "70,000 dots", 0);
    // The smallest and the largest depths together.
    std::vector<ShapeDot> extremes = {{0, 0, INT32_MAX, 0}, {1, 0, INT32_MIN, 0}, {2, 0, 0, 0}, {3, 0, INT32_MAX, 0}};
    check(extremes, "extreme depths", 0);
    check(std::vector<ShapeDot>{{5, 6, 7, 8}}, "one dot", 0);
    // Depth spans just inside and just outside what the small keys hold.
    for (int span : {32767, 32768}) {
        std::vector<ShapeDot> edge(1000);
        for (int i = 0; i < 1000; ++i)
            edge[static_cast<std::size_t>(i)] = ShapeDot{i, 0, -5000 + static_cast<int>(gen() % 3) * (span / 2), 0};
        edge[3].Z = -5000 + span;
        check(edge, "span edge", span);
    }
}

TEST(DepthSort, EqualDepthsFollowTheQuicksortNotTheListOrder) {
    // Three equal depths: the partition swaps the outer two.
    ShapeDot d[3] = {{1, 0, 5, 0}, {2, 0, 5, 0}, {3, 0, 5, 0}};
    engine::SortDotsByDepthReference(d, 0, 2);
    EXPECT_EQ(d[0].X, 3);
    EXPECT_EQ(d[1].X, 2);
    EXPECT_EQ(d[2].X, 1);
}

class FixedRandom final : public engine::RandomSource {
public:
    explicit FixedRandom(std::vector<double> values) : values_(std::move(values)) {}
    void Reseed() override { ++reseeds; }
    double Next() override { return values_[next_++ % values_.size()]; }
    int reseeds = 0;

private:
    std::vector<double> values_;
    std::size_t next_ = 0;
};

TEST(Shuffle, PicksTheKthUnplacedMemberAndReseedsBeforeEveryDraw) {
    // r = 0.5 each time: k = floor(0.5 x remaining) + 1.
    FixedRandom half({0.5});
    engine::ShapeOrderList order{};
    order[0] = 77;
    engine::ShuffleShapes(order, half);
    // remaining 9: k=5 -> 5; 8: k=5 -> 6; 7: k=4 -> 4; 6: k=4 -> 7; 5: k=3 -> 3;
    // 4: k=3 -> 8; 3: k=2 -> 2; 2: k=2 -> 9; 1: k=1 -> 1.
    const engine::ShapeOrderList expected = {77, 5, 6, 4, 7, 3, 8, 2, 9, 1};
    EXPECT_EQ(order, expected);
    EXPECT_EQ(half.reseeds, 9);

    FixedRandom low({0.0}), high({0.999999});
    engine::ShuffleShapes(order, low);
    EXPECT_EQ(order, (engine::ShapeOrderList{77, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    engine::ShuffleShapes(order, high);
    EXPECT_EQ(order, (engine::ShapeOrderList{77, 9, 8, 7, 6, 5, 4, 3, 2, 1}));
}

TEST(Shuffle, AlwaysAPermutationOfOneToNine) {
    engine::SeededRandom random(99);
    std::set<std::vector<int>> seen;
    for (int round = 0; round < 500; ++round) {
        engine::ShapeOrderList order{};
        order[0] = -3;
        engine::ShuffleShapes(order, random);
        EXPECT_EQ(order[0], -3);
        std::set<int> members(order.begin() + 1, order.end());
        ASSERT_EQ(members, (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
        seen.insert(std::vector<int>(order.begin() + 1, order.end()));
    }
    EXPECT_GT(seen.size(), 400u);  // the orders differ from one shuffle to the next
}

TEST(Random, ClockSourceGoesOnWithinOneClockStep) {
    engine::ClockRandom random;
    random.Reseed();
    const double a = random.Next();
    random.Reseed();  // same microsecond, or a new seed: either way no repeat of the stream
    const double b = random.Next();
    EXPECT_GE(a, 0.0);
    EXPECT_LT(a, 1.0);
    EXPECT_GE(b, 0.0);
    EXPECT_LT(b, 1.0);
}

}  // namespace
