// Frames composed by restoring only what the last frame stamped, held to frames composed
// from a whole copy of the background: two engines with the same seed run side by side
// through long runs and every frame's pixels are compared by hash; and everything that
// differs from one frame to the next lies inside the rectangles the engine reports.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "engine/engine.h"
#include "engine/scaled_frame.h"
#include "engine/sprite_sheet.h"
#include "engine_support.h"
#include "shell/resource_pack.h"

namespace {

using engine_test::TempFolder;

std::uint64_t FrameHash(const plat::Bitmap& frame) {
    const plat::Surface s = frame.surface();
    std::uint64_t h = 1469598103934665603ull;
    for (int y = 0; y < s.height; ++y) {
        const std::uint32_t* row = s.row(y);
        for (int x = 0; x < s.width; ++x) h = (h ^ row[x]) * 1099511628211ull;
    }
    return h;
}

// Backgrounds of noise, so that a rectangle restored from the wrong place shows; some
// larger than the screen, so that they are clipped.
std::vector<std::unique_ptr<plat::Bitmap>> NoisePictures(unsigned seed) {
    std::mt19937 gen(seed);
    std::vector<std::unique_ptr<plat::Bitmap>> pictures;
    for (int i = 0; i < 10; ++i) {
        const int w = 60 + 97 * i, h = 40 + 71 * i;
        auto b = plat::create_bitmap(w, h);
        const plat::Surface s = b->surface();
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) s.row(y)[x] = gen() & 0x00FFFFFFu;
        pictures.push_back(std::move(b));
    }
    return pictures;
}

struct Run {
    std::string folder;
    int width = 0, height = 0;
    int neon = 0;
    int frames = 0;
    int change_every = 0;  // frames between change ticks
    int scale = 1;         // above 1: each frame also shown at this display scale, both ways
};

class TwinEngines {
public:
    TwinEngines(const Run& run, const std::vector<std::unique_ptr<plat::Bitmap>>& backgrounds,
                std::unique_ptr<plat::Bitmap> sprites = engine::BuildSpriteSheet())
        : sprites_(std::move(sprites)), restoring_random_(7), full_random_(7) {
        engine::EnginePictures pictures;
        pictures.Sprites = sprites_.get();
        for (std::size_t i = 0; i < 10; ++i) pictures.Backgrounds[i] = backgrounds[i].get();
        engine::EngineSettings settings;
        settings.NeonEffect = run.neon;
        settings.Interval = 1;
        settings.XAxis = 7;
        settings.YAxis = 3;
        settings.ZAxis = 11;
        restoring_ = std::make_unique<engine::Engine>(engine_test::InFolder(run.folder), settings, pictures,
                                                      restoring_random_, engine::EngineHooks{});
        full_ = std::make_unique<engine::Engine>(engine_test::InFolder(run.folder), settings, pictures, full_random_,
                                                 engine::EngineHooks{});
        full_->ComposeWithFullCopies(true);
        for (engine::Engine* e : {restoring_.get(), full_.get()}) {
            std::string error;
            e->ShuffleAtLoad();
            started_ = e->Start(run.width, run.height, error) && started_;
            EXPECT_TRUE(started_) << error;
        }
    }
    bool started() const { return started_; }
    engine::Engine& restoring() { return *restoring_; }
    engine::Engine& full() { return *full_; }
    template <class Step>
    void Both(Step step) {
        step(*restoring_);
        step(*full_);
    }

private:
    std::unique_ptr<plat::Bitmap> sprites_;
    engine::SeededRandom restoring_random_, full_random_;
    std::unique_ptr<engine::Engine> restoring_, full_;
    bool started_ = true;
};

// Pixels outside the reported rectangles that differ from the frame before; -1 when none.
long FirstChangeOutside(const plat::Bitmap& frame, const std::vector<std::uint32_t>& before,
                        const std::vector<plat::Rect>& changes, std::vector<std::uint8_t>& inside) {
    const plat::Surface s = frame.surface();
    inside.assign(static_cast<std::size_t>(s.width) * static_cast<std::size_t>(s.height), 0);
    for (const plat::Rect& r : changes)
        for (int y = std::max(r.top, 0); y < std::min(r.bottom, s.height); ++y)
            for (int x = std::max(r.left, 0); x < std::min(r.right, s.width); ++x)
                inside[static_cast<std::size_t>(y) * static_cast<std::size_t>(s.width) + static_cast<std::size_t>(x)] = 1;
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x) {
            const std::size_t k = static_cast<std::size_t>(y) * static_cast<std::size_t>(s.width) + static_cast<std::size_t>(x);
            if (!inside[k] && s.row(y)[x] != before[k]) return static_cast<long>(k);
        }
    return -1;
}

void CopyFrame(const plat::Bitmap& frame, std::vector<std::uint32_t>& out) {
    const plat::Surface s = frame.surface();
    out.resize(static_cast<std::size_t>(s.width) * static_cast<std::size_t>(s.height));
    for (int y = 0; y < s.height; ++y)
        std::copy(s.row(y), s.row(y) + s.width, out.begin() + static_cast<std::ptrdiff_t>(y) * s.width);
}

// Runs both engines frame by frame: change ticks, now and then a new background out of turn,
// and stretches in which the cloud is pushed over each edge of the screen and beyond it.
void RunTwins(const Run& run, unsigned seed, std::unique_ptr<plat::Bitmap> sprites = engine::BuildSpriteSheet()) {
    SCOPED_TRACE("size " + std::to_string(run.width) + "x" + std::to_string(run.height) + " neon " +
                 std::to_string(run.neon));
    const auto backgrounds = NoisePictures(seed);
    TwinEngines twins(run, backgrounds, std::move(sprites));
    ASSERT_TRUE(twins.started());
    std::mt19937 gen(seed);
    const int w = run.width, h = run.height;
    const std::vector<plat::Point> edges{{-60, h / 2}, {-4, h / 2},    {w + 4, h / 2},  {w + 60, h / 2},
                                         {w / 2, -60}, {w / 2, -4},    {w / 2, h + 4},  {w / 2, h + 60},
                                         {-8, -8},     {w + 3, h + 3}, {w * 3, h * 3},  {-w, h / 3}};
    std::vector<std::uint32_t> before, shown_before;
    std::vector<std::uint8_t> inside;
    CopyFrame(*twins.restoring().work(), before);
    // Shown at a display scale: the restoring engine's frames shown by restoring too, the
    // whole-copy engine's shown whole every time; a screen one pixel wider and taller than the
    // scale divides.
    const std::unique_ptr<plat::Bitmap> scaled_sheet = engine::BuildScaledSpriteSheet(run.scale);
    engine::ScaledFrame shown_restoring, shown_full;
    const int sw = w * run.scale + 1, sh = h * run.scale + 1;
    if (run.scale > 1) {
        ASSERT_TRUE(shown_restoring.Reset(run.scale, sw, sh, *scaled_sheet));
        ASSERT_TRUE(shown_full.Reset(run.scale, sw, sh, *scaled_sheet));
        CopyFrame(*shown_restoring.frame(), shown_before);
    }
    int backgrounds_changed = 0, frames_at_edges = 0;
    for (int f = 0; f < run.frames; ++f) {
        if (run.change_every > 0 && f % run.change_every == run.change_every - 1)
            twins.Both([](engine::Engine& e) { e.ChangeTick(); });
        if (gen() % 97 == 0) {
            twins.Both([](engine::Engine& e) { e.BackgroundChange(); });
            ++backgrounds_changed;
        }
        if ((f / 40) % 3 == 1) {
            const plat::Point c = edges[static_cast<std::size_t>(f / 120) % edges.size()];
            twins.Both([&](engine::Engine& e) {
                e.CentreX = static_cast<std::int16_t>(c.x);
                e.CentreY = static_cast<std::int16_t>(c.y);
            });
            ++frames_at_edges;
        }
        // Shown at a scale, the restoring engine leaves its own picture undrawn in every
        // other stretch, as the saver does; what is shown must not change, and its picture
        // must be right again from the first frame drawn after.
        const bool undrawn = run.scale > 1 && (f / 50) % 2 == 1;
        twins.restoring().DrawPicture(!undrawn);
        const bool done_restoring = twins.restoring().RenderFrame();
        const bool done_full = twins.full().RenderFrame();
        ASSERT_EQ(done_restoring, done_full) << "frame " << f;
        if (!undrawn) {
            ASSERT_EQ(FrameHash(*twins.restoring().work()), FrameHash(*twins.full().work())) << "frame " << f;
            const long outside =
                FirstChangeOutside(*twins.restoring().work(), before, twins.restoring().Changes().Rects(), inside);
            ASSERT_EQ(outside, -1) << "frame " << f << ": pixel (" << outside % w << ", " << outside / w
                                   << ") changed outside the reported rectangles";
        }
        CopyFrame(*twins.restoring().work(), before);
        if (run.scale > 1) {
            shown_restoring.Compose(twins.restoring());
            shown_full.Compose(twins.full());
            ASSERT_EQ(FrameHash(*shown_restoring.frame()), FrameHash(*shown_full.frame())) << "shown frame " << f;
            const long shown_outside = FirstChangeOutside(*shown_restoring.frame(), shown_before,
                                                          shown_restoring.Rects(), inside);
            ASSERT_EQ(shown_outside, -1) << "frame " << f << ": shown pixel (" << shown_outside % sw << ", "
                                         << shown_outside / sw << ") changed outside the reported rectangles";
            CopyFrame(*shown_restoring.frame(), shown_before);
        }
        twins.Both([done_full](engine::Engine& e) {
            e.StepDriftAndCentre();
            if (done_full && e.phase() == engine::Phase::Changing) e.AdoptTarget();
        });
    }
    EXPECT_GT(backgrounds_changed, 0);
    EXPECT_GT(frames_at_edges, 0);
}

TEST(RestoringComposition, EqualsTheWholeCopyThroughLongRunsOfTheShippedShapes) {
    TempFolder folder("compose_shipped");
    // The build places the pack beside the test programs, in their working folder.
    shell::SplitPack("Zephlora.zpk", engine_test::InFolder(folder.path()));
    for (int neon : {0, 1}) {
        // A change every 150 frames runs through all nine shapes, some before they settle.
        RunTwins({folder.path(), 480, 360, neon, 1500, 150}, 11u + static_cast<unsigned>(neon));
    }
}

TEST(RestoringComposition, EqualsTheWholeCopyWithDotsBeyondEveryEdgeAndAtTheFixedPoint) {
    // Coordinates up to 400: many dots reach a depth of 260 or more and are stamped at
    // (320, 200), and the nearest are thrown far beyond the screen. The height leaves a last
    // strip of a few rows; one screen is smaller than the fixed point.
    TempFolder folder("compose_wide");
    for (int n = 1; n <= 9; ++n)
        folder.WriteMember(n, engine_test::RandomShape(20 + 90 * n, 400, static_cast<unsigned>(100 + n)));
    for (int neon : {0, 1}) {
        RunTwins({folder.path(), 333, 201, neon, 2500, 37, 2}, 21u + static_cast<unsigned>(neon));
        RunTwins({folder.path(), 250, 150, neon, 600, 23, 3}, 31u + static_cast<unsigned>(neon));
    }
}

TEST(RestoringComposition, EqualsTheWholeCopyWithASheetWhoseDiscsShowThroughLaterStamps) {
    // With the shipped sheet a stamp hides one drawn just before at the same place, and the
    // first is not drawn. A sheet of noise keeps bits of each disc under the next stamp's
    // mask: then every stamp counts, the many at the fixed point too.
    TempFolder folder("compose_noise_sheet");
    for (int n = 1; n <= 9; ++n)
        folder.WriteMember(n, engine_test::RandomShape(40 + 60 * n, 400, static_cast<unsigned>(200 + n)));
    for (int neon : {0, 1}) {
        auto sheet = plat::create_bitmap(engine::kSheetWidth, engine::kSheetHeight);
        std::mt19937 gen(41u + static_cast<unsigned>(neon));
        const plat::Surface s = sheet->surface();
        for (int y = 0; y < s.height; ++y)
            for (int x = 0; x < s.width; ++x) s.row(y)[x] = gen() & 0x00FFFFFFu;
        RunTwins({folder.path(), 341, 211, neon, 1200, 29}, 51u + static_cast<unsigned>(neon), std::move(sheet));
    }
}

TEST(RestoringComposition, ReportsTheWholePictureAfterAStartAndANewBackground) {
    TempFolder folder("compose_all");
    for (int n = 1; n <= 9; ++n) folder.WriteMember(n, engine_test::RandomShape(30, 50, static_cast<unsigned>(n)));
    const auto backgrounds = NoisePictures(5);
    TwinEngines twins({folder.path(), 320, 200, 0, 0, 0}, backgrounds);
    ASSERT_TRUE(twins.started());
    engine::Engine& e = twins.restoring();
    auto area_of = [](auto rects) {
        long area = 0;
        for (const plat::Rect& r : rects) area += static_cast<long>(r.width()) * r.height();
        return area;
    };
    auto covered = [&] { return area_of(e.Changes().Rects()); };
    auto frame_in_the_middle = [&] {
        e.CentreX = 160;
        e.CentreY = 100;
        e.RenderFrame();
    };
    frame_in_the_middle();
    EXPECT_TRUE(e.Changes().All());
    EXPECT_EQ(covered(), 320L * 200L);
    frame_in_the_middle();
    EXPECT_FALSE(e.Changes().All());
    EXPECT_GT(covered(), 0);
    // At most the tiles of the footprints of two frames of 30 dots, each touching six tiles,
    // plus what lies between them in a band.
    EXPECT_LE(covered(), 320L * 200 / 2);
    e.BackgroundChange();
    frame_in_the_middle();
    EXPECT_TRUE(e.Changes().All());
}

}  // namespace
