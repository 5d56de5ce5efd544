#include "engine/engine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

#include "engine_support.h"

namespace {

using engine::Engine;
using engine::EngineSettings;
using engine::Phase;
using engine::ShapeDot;
using engine_test::Harness;
using engine_test::TempFolder;

// A folder with members 1..9, member n a small shape of 4 + n dots.
void WriteAllMembers(const TempFolder& folder) {
    for (int n = 1; n <= 9; ++n) folder.WriteMember(n, engine_test::RandomShape(4 + n, 60, static_cast<unsigned>(n)));
}

bool Start(Harness& h, int w = 320, int hgt = 240) {
    std::string error;
    h.engine->ShuffleAtLoad();
    const bool ok = h.engine->Start(w, hgt, error);
    EXPECT_TRUE(ok) << error;
    return ok;
}

TEST(EngineStart, ReadsMemberTwoAndHoldsIt) {
    TempFolder folder("start");
    WriteAllMembers(folder);
    Harness h(folder.path());
    ASSERT_TRUE(Start(h));
    EXPECT_EQ(h.engine->phase(), Phase::Holding);
    EXPECT_EQ(h.engine->CurrentDots, engine_test::RandomShape(6, 60, 2));
    EXPECT_EQ(h.engine->OrderPos, 0);
    EXPECT_EQ(h.engine->BackIndex, 0);
    EXPECT_TRUE(h.engine->SortByDepth);
    EXPECT_EQ(h.engine->HalfWidth, 160);
    EXPECT_EQ(h.engine->CentreX, 160 + 320);  // 1.6 x 200 right of the middle
    EXPECT_EQ(h.engine->CentreY, 120 - 200);
}

TEST(EngineStart, AnUnreadableFirstShapeIsReportedAndNothingIsDrawn) {
    TempFolder folder("nofirst");
    folder.WriteText("Zephlora002.zpk", engine_test::MemberText({{1, 1, 1, 0}}).substr(0, 40));
    Harness h(folder.path());
    std::string error;
    EXPECT_FALSE(h.engine->Start(320, 240, error));
    EXPECT_NE(error.find("Zephlora002.zpk"), std::string::npos) << error;
    EXPECT_FALSE(h.engine->Frame());
    EXPECT_EQ(h.presents, 0);
    EXPECT_EQ(h.engine->ChangeTick().Began, false);
}

TEST(EngineStart, BackgroundPictureZeroIsCentredOnBlack) {
    TempFolder folder("centre");
    WriteAllMembers(folder);
    Harness h(folder.path());
    ASSERT_TRUE(Start(h, 101, 61));
    const plat::Surface s = h.engine->background()->surface();
    // Picture 0 is 40 x 30: at ((101 - 40) / 2, (61 - 30) / 2) = (30, 15).
    EXPECT_EQ(s.row(15)[30], 0x400010u);  // COLORREF 0x00100040 seen as 0x00RRGGBB
    EXPECT_EQ(s.row(15)[29], 0u);
    EXPECT_EQ(s.row(14)[30], 0u);
    EXPECT_EQ(s.row(44)[69], 0x400010u);
    EXPECT_EQ(s.row(45)[69], 0u);
    EXPECT_EQ(s.row(44)[70], 0u);
}

TEST(EngineStart, APictureLargerThanTheWindowIsCentredAndClipped) {
    TempFolder folder("bigpicture");
    WriteAllMembers(folder);
    Harness h(folder.path());
    h.pictures.backgrounds[0] = plat::create_bitmap(50, 40);
    const plat::Surface p = h.pictures.backgrounds[0]->surface();
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 50; ++x) p.row(y)[x] = static_cast<std::uint32_t>(y * 100 + x);
    h.engine = std::make_unique<Engine>(engine_test::InFolder(folder.path()), EngineSettings{}, h.pictures.view(), h.random,
                                        engine::EngineHooks{});
    ASSERT_TRUE(Start(h, 21, 11));
    const plat::Surface s = h.engine->background()->surface();
    // Offsets (21 - 50) / 2 = -14 and (11 - 40) / 2 = -14, truncated towards zero.
    EXPECT_EQ(s.row(0)[0], 14u * 100 + 14);
    EXPECT_EQ(s.row(10)[20], 24u * 100 + 34);
}

TEST(Frames, EveryDotIsStampedWithMaskAndDisc) {
    TempFolder folder("stamp");
    WriteAllMembers(folder);
    folder.WriteMember(2, {{0, 0, 0, 0}});
    EngineSettings settings;
    settings.XAxis = settings.YAxis = settings.ZAxis = 0;
    Harness h(folder.path(), settings);
    ASSERT_TRUE(Start(h, 400, 300));
    h.engine->CentreX = 100;
    h.engine->CentreY = 50;
    h.engine->RenderFrame();
    const plat::Surface s = h.engine->work()->surface();
    // One dot at the centre, all depths equal: band 4 (the dimmest disc).
    ASSERT_EQ(h.engine->Bands()[0], 4);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool corner = (x == 0 || x == 7) && (y == 0 || y == 7);
            const std::uint32_t under = 0;  // the background is black there
            const std::uint32_t expected = corner ? under | (engine::DiscGreen(4, x, y) << 8)
                                                  : (engine::DiscGreen(4, x, y) << 8);
            ASSERT_EQ(s.row(50 + y)[100 + x], expected) << x << "," << y;
        }
}

TEST(Frames, TheLaterOfTwoDotsAtOnePlaceShowsAndItsMaskClearsTheFootprint) {
    TempFolder folder("twodots");
    WriteAllMembers(folder);
    folder.WriteMember(2, {{0, 0, 0, 0}, {0, 0, 0, 0}});
    EngineSettings settings;
    settings.NeonEffect = 1;
    Harness h(folder.path(), settings);
    ASSERT_TRUE(Start(h, 300, 300));
    // Paint the background under the dot white: the mask keeps only the four corners of it.
    plat::fill_rect(const_cast<plat::Bitmap&>(*h.engine->background()), 0, 0, 300, 300, 0xFFFFFF);
    h.engine->CentreX = 10;
    h.engine->CentreY = 10;
    h.engine->RenderFrame();
    const plat::Surface s = h.engine->work()->surface();
    EXPECT_EQ(s.row(10)[10], 0xFFFFFFu);             // corner: background stays
    EXPECT_EQ(s.row(13)[13], 39u << 8);              // middle: only the disc
    EXPECT_EQ(s.row(9)[10], 0xFFFFFFu);              // outside the footprint
}

TEST(Frames, BandsWhenAllDepthsAreEqualAndAtThresholds) {
    TempFolder folder("bands");
    WriteAllMembers(folder);
    EngineSettings settings;
    settings.XAxis = settings.YAxis = settings.ZAxis = 0;
    settings.NeonEffect = 1;  // list order, so the depths below stay where they are
    // At angle 0 a dot (0, 0, z) rotates to depth m(m(z,255),255) ~ z x 0.992; the thresholds
    // use whatever those depths are, so build them from the rotated depths.
    folder.WriteMember(2, {{0, 0, 50, 0}, {0, 0, 50, 0}, {0, 0, 50, 0}});
    Harness h(folder.path(), settings);
    ASSERT_TRUE(Start(h));
    h.engine->RenderFrame();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(h.engine->Bands()[static_cast<std::size_t>(i)], 4);
}

TEST(Frames, BandsChangeOnlyAtExactThresholdDepths) {
    TempFolder folder("bands2");
    WriteAllMembers(folder);
    EngineSettings settings;
    settings.XAxis = settings.YAxis = settings.ZAxis = 0;
    settings.NeonEffect = 1;
    Harness h(folder.path(), settings);
    ASSERT_TRUE(Start(h));
    // Set the rotated list by hand through a shape whose rotation is known: with the angles
    // at 0 the product chain is fixed, so compute the depths the engine will see.
    engine::Tables t;
    engine::BuildTables(t);
    auto depth = [&](int z) {
        ShapeDot in{0, 0, z, 0}, out;
        engine::RotateDots(t, engine::Angles{}, &in, 0, &out);
        return out.Z;
    };
    // Find source depths whose rotated depths are t0 = -100 ... and others.
    std::vector<ShapeDot> dots;
    std::map<int, int> by_rotated;
    for (int z = -300; z <= 300; ++z) by_rotated.emplace(depth(z), z);
    const int t0 = -99, t5 = 101;  // must both be reachable
    ASSERT_TRUE(by_rotated.count(t0) && by_rotated.count(t5));
    const int step = (std::abs(t5) + std::abs(t0)) / 5;  // 40
    const int wanted[] = {t0, t0 + 7, t0 + 2 * step, t0 + 3, t0 + 3 * step, t0 + step, t0 + 4 * step, t0 + 5, t5};
    const int bands[] = {4, 4, 3, 3, 2, 4, 1, 1, 0};
    for (int w : wanted) {
        ASSERT_TRUE(by_rotated.count(w)) << w;
        dots.push_back(ShapeDot{0, 0, by_rotated[w], 0});
    }
    folder.WriteMember(2, dots);
    Harness h2(folder.path(), settings);
    ASSERT_TRUE(Start(h2));
    h2.engine->RenderFrame();
    for (std::size_t i = 0; i < std::size(bands); ++i) EXPECT_EQ(h2.engine->Bands()[i], bands[i]) << i;
}

TEST(Frames, NeonKeepsListOrderAndDepthSortDrawsFarToNear) {
    TempFolder folder("neon");
    WriteAllMembers(folder);
    const std::vector<ShapeDot> dots = {{1, 0, 40, 0}, {2, 0, -40, 0}, {3, 0, 10, 0}, {4, 0, -90, 0}};
    folder.WriteMember(2, dots);
    EngineSettings neon;
    neon.NeonEffect = 1;
    neon.XAxis = neon.YAxis = neon.ZAxis = 3;
    Harness h(folder.path(), neon);
    ASSERT_TRUE(Start(h));
    for (int frame = 0; frame < 50; ++frame) {
        const engine::Angles a = h.engine->Angle;
        h.engine->RenderFrame();
        std::vector<ShapeDot> rotated(4);
        engine::RotateDots(h.engine->Table, a, dots.data(), 3, rotated.data());
        for (int i = 0; i < 4; ++i) ASSERT_EQ(h.engine->ScreenDots[static_cast<std::size_t>(i)].Z, rotated[static_cast<std::size_t>(i)].Z);
    }
    EngineSettings sorted = neon;
    sorted.NeonEffect = 0;
    Harness h2(folder.path(), sorted);
    ASSERT_TRUE(Start(h2));
    for (int frame = 0; frame < 50; ++frame) {
        h2.engine->RenderFrame();
        for (int i = 1; i < 4; ++i)
            ASSERT_LE(h2.engine->ScreenDots[static_cast<std::size_t>(i - 1)].Z, h2.engine->ScreenDots[static_cast<std::size_t>(i)].Z);
    }
}

TEST(Frames, SortedFramesMatchThePlainRotationQuicksortAndProjection) {
    TempFolder folder("plainframes");
    WriteAllMembers(folder);
    // Few depths, so that equal depths abound and their order matters.
    folder.WriteMember(2, engine_test::RandomShape(3000, 20, 31));
    Harness h(folder.path());
    ASSERT_TRUE(Start(h, 640, 480));
    for (int frame = 0; frame < 40; ++frame) {
        const engine::Angles a = h.engine->Angle;
        const std::int16_t cx = h.engine->CentreX, cy = h.engine->CentreY;
        h.engine->RenderFrame();
        std::vector<ShapeDot> plain(h.engine->CurrentDots.size());
        engine::RotateDots(h.engine->Table, a, h.engine->CurrentDots.data(), h.engine->CurrentTop(), plain.data());
        engine::SortDotsByDepthReference(plain.data(), 0, h.engine->CurrentTop());
        engine::ProjectDots(plain.data(), h.engine->CurrentTop(), cx, cy);
        ASSERT_TRUE(std::equal(plain.begin(), plain.end(), h.engine->ScreenDots.begin())) << "frame " << frame;
        h.engine->StepDriftAndCentre();
    }
}

TEST(Frames, AnglesAdvanceAfterEveryFrameAndHugeRatesStayInTheTables) {
    TempFolder folder("angles");
    WriteAllMembers(folder);
    EngineSettings settings;
    settings.XAxis = 5000;
    settings.YAxis = -5;
    settings.ZAxis = 7;
    Harness h(folder.path(), settings);
    ASSERT_TRUE(Start(h));
    for (int i = 0; i < 300; ++i) {
        ASSERT_TRUE(h.engine->Frame());
        ASSERT_GE(h.engine->Angle.X, 0);
        ASSERT_LE(h.engine->Angle.X, 1024);
        ASSERT_EQ(h.engine->Angle.Y, 0);
    }
    EXPECT_EQ(h.engine->Angle.Z, (300 * 7 - 1) % 1024 + 1);
}

TEST(Morph, ThirtySevenFramesForADotThirtySevenAway) {
    TempFolder folder("morph37");
    WriteAllMembers(folder);
    folder.WriteMember(2, {{0, 0, 0, 0}});
    Harness h(folder.path());
    ASSERT_TRUE(Start(h));
    folder.WriteMember(5, {{37, -5, 5, 3}});
    ASSERT_TRUE(h.engine->PrepareMorph(engine_test::MemberFile(folder.path(), 5)));
    ASSERT_EQ(h.engine->phase(), Phase::Changing);  // the prepared change runs from the next frame
    int frames = 0;
    bool done = false;
    while (!done && frames < 100) {
        done = h.engine->RenderFrame();
        ++frames;
    }
    EXPECT_EQ(frames, 37);
    EXPECT_EQ(h.engine->MorphDots[0], (ShapeDot{37, -5, 5, 3}));
    h.engine->AdoptTarget();
    EXPECT_EQ(h.engine->CurrentDots, (std::vector<ShapeDot>{{37, -5, 5, 3}}));
}

TEST(Morph, AnIdenticalShapeCompletesAfterTheFirstFrame) {
    TempFolder folder("same");
    WriteAllMembers(folder);
    Harness h(folder.path());
    ASSERT_TRUE(Start(h));
    folder.WriteMember(7, h.engine->CurrentDots);
    ASSERT_TRUE(h.engine->PrepareMorph(engine_test::MemberFile(folder.path(), 7)));
    ASSERT_EQ(h.engine->phase(), Phase::Changing);  // the prepared change runs from the next frame
    EXPECT_TRUE(h.engine->RenderFrame());
}

TEST(Morph, MoreDotsStartOnExistingDots) {
    TempFolder folder("more");
    WriteAllMembers(folder);
    const std::vector<ShapeDot> current = {{1, 2, 3, 10}, {4, 5, 6, 11}, {7, 8, 9, 12}};
    folder.WriteMember(2, current);
    Harness h(folder.path());
    ASSERT_TRUE(Start(h));
    const auto target = engine_test::RandomShape(40, 100, 5);
    folder.WriteMember(3, target);
    ASSERT_TRUE(h.engine->PrepareMorph(engine_test::MemberFile(folder.path(), 3)));
    ASSERT_EQ(h.engine->MorphDots.size(), 40u);
    ASSERT_EQ(h.engine->TargetTop, 39);
    for (std::size_t j = 0; j < 40; ++j) {
        const ShapeDot& m = h.engine->MorphDots[j];
        if (j < 3) {
            EXPECT_EQ(m, (ShapeDot{current[j].X, current[j].Y, current[j].Z, target[j].W}));
            continue;
        }
        // Starts on some current dot k, with the W of the target's dot k.
        bool found = false;
        for (std::size_t k = 0; k < 3; ++k)
            found |= m == ShapeDot{current[k].X, current[k].Y, current[k].Z, target[k].W};
        EXPECT_TRUE(found) << j;
    }
}

TEST(Morph, FewerDotsMergeAndAdoptionKeepsTheNewCount) {
    TempFolder folder("fewer");
    WriteAllMembers(folder);
    const auto current = engine_test::RandomShape(30, 100, 8);
    folder.WriteMember(2, current);
    Harness h(folder.path());
    ASSERT_TRUE(Start(h));
    const std::vector<ShapeDot> target = {{1, 2, 3, 4}, {-5, -6, -7, -8}};
    folder.WriteMember(4, target);
    ASSERT_TRUE(h.engine->PrepareMorph(engine_test::MemberFile(folder.path(), 4)));
    ASSERT_EQ(h.engine->TargetDots.size(), 30u);
    ASSERT_EQ(h.engine->MorphDots.size(), 30u);
    for (std::size_t j = 2; j < 30; ++j) {
        const ShapeDot& t = h.engine->TargetDots[j];
        const bool merges = (t.X == 1 && t.Y == 2 && t.Z == 3) || (t.X == -5 && t.Y == -6 && t.Z == -7);
        EXPECT_TRUE(merges) << j;
        EXPECT_EQ(t.W, 0) << "the surplus target entries keep their cleared W";
    }
    ASSERT_EQ(h.engine->phase(), Phase::Changing);  // the prepared change runs from the next frame
    int frames = 0;
    while (!h.engine->RenderFrame() && frames < 1000) ++frames;
    EXPECT_EQ(h.engine->DrawnTop(), 29);
    h.engine->AdoptTarget();
    EXPECT_EQ(h.engine->CurrentDots, target);
    EXPECT_EQ(h.engine->CurrentTop(), 1);
    h.engine->RenderFrame();  // holding again on two dots
}

// The schedule of changes as the change tick sees it, with a member order of our choosing.
class Schedule : public ::testing::Test {
protected:
    void SetUp() override {
        folder = std::make_unique<TempFolder>("schedule");
        WriteAllMembers(*folder);
    }
    std::unique_ptr<TempFolder> folder;
};

TEST_F(Schedule, TicksBelowTheIntervalChangeNothing) {
    EngineSettings settings;
    settings.Interval = 3;
    Harness h(folder->path(), settings);
    ASSERT_TRUE(Start(h));
    EXPECT_FALSE(h.engine->ChangeTick().Began);
    EXPECT_FALSE(h.engine->ChangeTick().Began);
    EXPECT_EQ(h.engine->phase(), Phase::Holding);
    const auto r = h.engine->ChangeTick();
    EXPECT_TRUE(r.Began);
    EXPECT_EQ(r.Member, h.engine->ShapeOrder[1]);
    EXPECT_EQ(h.engine->OrderPos, 1);
    EXPECT_EQ(h.engine->phase(), Phase::Changing);
}

TEST_F(Schedule, ZeroOrNegativeIntervalChangesOnEveryTick) {
    for (int interval : {0, -4, 1}) {
        EngineSettings settings;
        settings.Interval = interval;
        Harness h(folder->path(), settings);
        ASSERT_TRUE(Start(h));
        EXPECT_TRUE(h.engine->ChangeTick().Began) << interval;
    }
}

TEST_F(Schedule, TicksDuringAChangeAreHeldBackUntilAdoption) {
    EngineSettings settings;
    settings.Interval = 1;
    Harness h(folder->path(), settings);
    ASSERT_TRUE(Start(h));
    ASSERT_TRUE(h.engine->ChangeTick().Began);
    const int pos = h.engine->OrderPos;
    EXPECT_FALSE(h.engine->ChangeTick().Began);  // a change runs: not counted, never nested
    EXPECT_EQ(h.engine->OrderPos, pos);
    int frames = 0;
    while (h.engine->phase() == Phase::Changing && frames < 10000) {
        ASSERT_TRUE(h.engine->Frame());
        ++frames;
    }
    EXPECT_EQ(h.engine->phase(), Phase::Holding);
    EXPECT_EQ(h.engine->CurrentTop(), 4 + h.engine->ShapeOrder[1] - 1);
    EXPECT_TRUE(h.engine->ChangeTick().Began);
}

TEST_F(Schedule, BackgroundCyclesAtTheTenthAndNinetyFirstChange) {
    EngineSettings settings;
    settings.Interval = 1;
    Harness h(folder->path(), settings);
    ASSERT_TRUE(Start(h));
    std::vector<int> backs;
    for (int change = 1; change <= 91; ++change) {
        const auto r = h.engine->ChangeTick();
        ASSERT_TRUE(r.Began && !r.Failed) << change;
        ASSERT_GE(h.engine->OrderPos, 1);
        ASSERT_LE(h.engine->OrderPos, 9);
        backs.push_back(h.engine->BackIndex);
        h.engine->AdoptTarget();
    }
    for (int change = 1; change <= 9; ++change) EXPECT_EQ(backs[static_cast<std::size_t>(change - 1)], 0);
    EXPECT_EQ(backs[9], 1);   // the tenth change
    EXPECT_EQ(backs[89], 9);  // the 90th
    EXPECT_EQ(backs[90], 0);  // the 91st brings picture 0 back
    // And the background image shows picture 0 again (its colour at the centre).
    const plat::Surface s = h.engine->background()->surface();
    EXPECT_EQ(s.row(120)[160], 0x400010u);
}

TEST_F(Schedule, EachCycleShowsEveryMemberOnce) {
    EngineSettings settings;
    settings.Interval = 1;
    Harness h(folder->path(), settings);
    ASSERT_TRUE(Start(h));
    for (int cycle = 0; cycle < 3; ++cycle) {
        std::set<int> members;
        for (int i = 0; i < 9; ++i) {
            members.insert(h.engine->ChangeTick().Member);
            h.engine->AdoptTarget();
        }
        EXPECT_EQ(members.size(), 9u);
    }
}

TEST_F(Schedule, AnUnreadableMemberAbandonsTheChangeAndTheAnimationGoesOn) {
    EngineSettings settings;
    settings.Interval = 1;
    Harness h(folder->path(), settings);
    ASSERT_TRUE(Start(h));
    const int bad = h.engine->ShapeOrder[1];
    const int next = h.engine->ShapeOrder[2];
    std::filesystem::remove(engine_test::MemberFile(folder->path(), bad));
    const auto before = h.engine->CurrentDots;
    const auto r = h.engine->ChangeTick();
    EXPECT_TRUE(r.Failed);
    EXPECT_EQ(r.Member, bad);
    EXPECT_EQ(h.engine->phase(), Phase::Holding);
    EXPECT_EQ(h.engine->CurrentDots, before);
    // Frames go on: the picture keeps turning.
    const engine::Angles a = h.engine->Angle;
    ASSERT_TRUE(h.engine->Frame());
    EXPECT_NE(h.engine->Angle.X, a.X);
    // The next change goes on with the order.
    const auto r2 = h.engine->ChangeTick();
    EXPECT_TRUE(r2.Began && !r2.Failed);
    EXPECT_EQ(r2.Member, next);
    EXPECT_EQ(h.engine->phase(), Phase::Changing);
}

TEST_F(Schedule, RefusedMembersAbandonTheChangeToo) {
    EngineSettings settings;
    settings.Interval = 1;
    Harness h(folder->path(), settings);
    ASSERT_TRUE(Start(h));
    const int bad = h.engine->ShapeOrder[1];
    folder->WriteText("Zephlora00" + std::to_string(bad) + ".zpk",
                      engine_test::MemberText({{9'000'000, 0, 0, 0}}));
    const auto r = h.engine->ChangeTick();
    EXPECT_TRUE(r.Failed);
    EXPECT_EQ(r.Error, engine::ShapeError::CoordinateTooLarge);
    EXPECT_TRUE(h.engine->Frame());
}

TEST(FrameLoop, PausesAreBoundedAndNegativeOnesSkipped) {
    TempFolder folder("sleep");
    WriteAllMembers(folder);
    for (auto [sleep, expected] : std::vector<std::pair<int, int>>{{1, 1}, {0, -1}, {-5, -1}, {-32768, -1},
                                                                    {999, 999}, {32767, 1000}}) {
        EngineSettings settings;
        settings.Sleep = sleep;
        Harness h(folder.path(), settings);
        ASSERT_TRUE(Start(h));
        ASSERT_TRUE(h.engine->Frame());
        if (expected < 0) {
            EXPECT_TRUE(h.sleeps.empty()) << sleep;
        } else {
            ASSERT_EQ(h.sleeps.size(), 1u) << sleep;
            EXPECT_EQ(h.sleeps[0], static_cast<std::uint32_t>(expected));
        }
        EXPECT_EQ(h.presents, 1);
        EXPECT_EQ(h.pumps, 1);
    }
}

TEST(FrameLoop, StopDuringThePumpEndsTheLoopWithoutAnotherStep) {
    TempFolder folder("stop");
    WriteAllMembers(folder);
    Harness h(folder.path());
    ASSERT_TRUE(Start(h));
    h.on_pump = [&] { h.engine->Stop(); };
    const auto drift = h.engine->Drift;
    EXPECT_FALSE(h.engine->Frame());
    EXPECT_EQ(h.engine->Drift.x, drift.x) << "no drift step after the window closed";
    EXPECT_FALSE(h.engine->Frame());
    EXPECT_EQ(h.presents, 1);
}

TEST(FrameLoop, TicksFromThePumpStartChangesBetweenFrames) {
    TempFolder folder("pumpticks");
    WriteAllMembers(folder);
    EngineSettings settings;
    settings.Interval = 2;
    Harness h(folder.path(), settings);
    ASSERT_TRUE(Start(h));
    int frame = 0;
    int changes = 0;
    h.on_pump = [&] {
        if (frame % 10 == 9 && h.engine->ChangeTick().Began) ++changes;  // a tick every 10 frames
    };
    for (; frame < 2000; ++frame) ASSERT_TRUE(h.engine->Frame());
    EXPECT_GT(changes, 5);
    EXPECT_LE(h.engine->OrderPos, 9);
}

}  // namespace
