// Speed of the engine against plain baselines measured in the same run:
// - composing a frame (rotation, depth sort, projection, the background restored where the
//   last frame stamped, the dot stamps) of each shipped shape and of 5,000 dots, against two
//   plain full-frame copies with memcpy, and against composing from a whole background copy;
// - rotating, sorting and projecting 32,768 dots against a plain transcription of the rules
//   (floating-point rounding of every product, a quicksort moving whole records).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <utility>
#include <memory>
#include <vector>

#include "../engine_support.h"
#include "engine/engine.h"
#include "engine/scaled_frame.h"
#include "engine/motion.h"
#include "shell/resource_pack.h"

namespace {

void TwoFrameCopies(benchmark::State& state) {
    const std::size_t n = static_cast<std::size_t>(state.range(0)) * static_cast<std::size_t>(state.range(1));
    std::vector<std::uint32_t> a(n, 1), b(n, 2), c(n, 3);
    for (auto _ : state) {
        std::memcpy(b.data(), a.data(), n * 4);
        std::memcpy(c.data(), b.data(), n * 4);
        benchmark::DoNotOptimize(c.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(TwoFrameCopies)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMicrosecond);

// An engine showing one shape in the middle of the screen: shipped member n (1..9), read
// from the pack in the working folder (the build folder), or for n = 0 a cloud of 5,000
// random dots.
struct FrameFixture {
    FrameFixture(int width, int height, int shape, int neon, bool full_copies)
        : folder("bench"), settings(make_settings(neon)) {
        if (shape == 0) {
            for (int n = 1; n <= 9; ++n) folder.WriteMember(n, engine_test::RandomShape(5000, 400, static_cast<unsigned>(n)));
        } else {
            engine_test::TempFolder pack("bench_pack");
            shell::SplitPack("Zephlora.zpk", engine_test::InFolder(pack.path()));
            // The engine starts with member 2: that place holds the shape measured.
            std::filesystem::copy_file(engine_test::MemberFile(pack.path(), shape), engine_test::MemberFile(folder.path(), 2));
        }
        harness = std::make_unique<engine_test::Harness>(folder.path(), settings);
        harness->engine->ComposeWithFullCopies(full_copies);
        std::string error;
        harness->engine->ShuffleAtLoad();
        ok = harness->engine->Start(width, height, error);
        // Put the cloud in the middle of the screen.
        harness->engine->CentreX = static_cast<std::int16_t>(width / 2);
        harness->engine->CentreY = static_cast<std::int16_t>(height / 2);
    }
    static engine::EngineSettings make_settings(int neon) {
        engine::EngineSettings s;
        s.NeonEffect = neon;
        return s;
    }
    engine_test::TempFolder folder;
    engine::EngineSettings settings;
    std::unique_ptr<engine_test::Harness> harness;
    bool ok = false;
};

// Arguments: width, height, shape (1..9 shipped, 0: 5,000 dots), neon.
void Compose(benchmark::State& state, bool full_copies) {
    FrameFixture f(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)),
                   static_cast<int>(state.range(2)), static_cast<int>(state.range(3)), full_copies);
    if (!f.ok) {
        state.SkipWithError("engine did not start (the pack must be in the working folder)");
        return;
    }
    for (auto _ : state) {
        f.harness->engine->RenderFrame();
        benchmark::ClobberMemory();
    }
}

// Restoring only what the last frame stamped, as the saver does.
void ComposeFrame(benchmark::State& state) { Compose(state, false); }
// The whole background copied first, for comparison.
void ComposeFrameFullCopy(benchmark::State& state) { Compose(state, true); }

void FrameArgs(benchmark::internal::Benchmark* b) {
    for (const auto& [w, h] : {std::pair{1920, 1080}, std::pair{3840, 2160}}) {
        for (int shape = 1; shape <= 9; ++shape) b->Args({w, h, shape, 0});
        b->Args({w, h, 0, 0});
        b->Args({w, h, 0, 1});
    }
}
BENCHMARK(ComposeFrame)->Apply(FrameArgs)->Unit(benchmark::kMicrosecond);
BENCHMARK(ComposeFrameFullCopy)->Args({1920, 1080, 2, 0})->Args({1920, 1080, 0, 0})->Args({3840, 2160, 0, 0})
    ->Unit(benchmark::kMicrosecond);

// A frame at display scale 2 on a 3840 x 2160 screen: the engine's frame at 1920 x 1080 and
// its showing twice as large (shipped shape n, or 5,000 dots for 0).
void ComposeScaledFrame(benchmark::State& state) {
    const int scale = static_cast<int>(state.range(2));
    const int width = static_cast<int>(state.range(0)), height = static_cast<int>(state.range(1));
    FrameFixture f(width / scale, height / scale, static_cast<int>(state.range(3)), 0, false);
    auto sheet = engine::BuildScaledSpriteSheet(scale);
    engine::ScaledFrame shown;
    if (!f.ok || !sheet || !shown.Reset(scale, width, height, *sheet)) {
        state.SkipWithError("engine did not start (the pack must be in the working folder)");
        return;
    }
    f.harness->engine->DrawPicture(false);  // as the saver runs it at a scale
    for (auto _ : state) {
        f.harness->engine->RenderFrame();
        shown.Compose(*f.harness->engine);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(ComposeScaledFrame)->Args({3840, 2160, 2, 2})->Args({3840, 2160, 2, 0})->Unit(benchmark::kMicrosecond);

constexpr int kManyDots = 32768;

std::vector<engine::ShapeDot> many_dots() { return engine_test::RandomShape(kManyDots, 150, 42); }

// The engine's way: exact rounding and projection in vector code, a sort of small keys (depth
// and index), one gather.
void RotateSortProjectFast(benchmark::State& state) {
    engine::Tables t;
    engine::BuildTables(t);
    const auto src = many_dots();
    std::vector<engine::ShapeDot> screen(src.size()), sorted(src.size());
    std::vector<engine::DepthKey> keys(src.size());
    engine::Angles a{100, 200, 300};
    const int top = kManyDots - 1;
    for (auto _ : state) {
        engine::RotateDots(t, a, src.data(), top, screen.data());
        engine::ProjectDots(screen.data(), top, 960, 540);
        engine::SortDotsByDepth(screen.data(), top, keys.data(), sorted.data());
        benchmark::DoNotOptimize(sorted.data());
        a.X = engine::AdvanceAngle(a.X, 5);
    }
}
BENCHMARK(RotateSortProjectFast)->Unit(benchmark::kMicrosecond);

// The depth sort alone on the 5,000-dot cloud of the frame benchmark, turning as there.
void SortFrameCloud(benchmark::State& state) {
    engine::Tables t;
    engine::BuildTables(t);
    const auto src = engine_test::RandomShape(5000, 400, 1);
    const int top = static_cast<int>(src.size()) - 1;
    std::vector<engine::ShapeDot> screen(src.size()), sorted(src.size());
    std::vector<engine::DepthKey> keys(src.size());
    // A turn's worth of frames rotated beforehand, so that only the sort is measured.
    std::vector<std::vector<engine::ShapeDot>> frames;
    engine::Angles a{};
    for (int f = 0; f < 64; ++f) {
        engine::RotateDots(t, a, src.data(), top, screen.data());
        frames.push_back(screen);
        a = {engine::AdvanceAngle(a.X, 5), engine::AdvanceAngle(a.Y, 5), engine::AdvanceAngle(a.Z, 5)};
    }
    std::size_t f = 0;
    for (auto _ : state) {
        engine::SortDotsByDepth(frames[f].data(), top, keys.data(), sorted.data());
        benchmark::DoNotOptimize(sorted.data());
        f = (f + 1) % frames.size();
    }
}
BENCHMARK(SortFrameCloud)->Unit(benchmark::kMicrosecond);

// A plain transcription of the rules, for comparison.
std::int32_t plain_m(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(std::nearbyint(static_cast<double>(static_cast<std::int64_t>(a) * b) / 256.0));
}

void RotateSortProjectPlain(benchmark::State& state) {
    engine::Tables t;
    engine::BuildTables(t);
    const auto src = many_dots();
    std::vector<engine::ShapeDot> screen(src.size());
    engine::Angles a{100, 200, 300};
    const int top = kManyDots - 1;
    for (auto _ : state) {
        const int sY = t.Sin[a.Y], cY = t.Cos[a.Y], sZ = t.Sin[a.Z], cZ = t.Cos[a.Z], sX = t.Sin[a.X], cX = t.Cos[a.X];
        for (int i = 0; i <= top; ++i) {
            const auto d = src[static_cast<std::size_t>(i)];
            const int x1 = plain_m(d.X, cY) - plain_m(d.Z, sY), z1 = plain_m(d.X, sY) + plain_m(d.Z, cY);
            const int x2 = plain_m(x1, cZ) + plain_m(d.Y, sZ), y1 = plain_m(d.Y, cZ) - plain_m(x1, sZ);
            const int z2 = plain_m(z1, cX) - plain_m(y1, sX), y2 = plain_m(z1, sX) + plain_m(y1, cX);
            screen[static_cast<std::size_t>(i)] = {x2, y2, z2, d.W};
        }
        engine::SortDotsByDepthReference(screen.data(), 0, top);
        for (auto& d : screen) {
            if (d.Z >= 260) {
                d.X = 320;
                d.Y = 200;
            } else {
                d.X = static_cast<int>(std::nearbyint(-(static_cast<double>(d.X) * 260) / (d.Z - 260) + 960));
                d.Y = static_cast<int>(std::nearbyint(-(static_cast<double>(d.Y) * 260) / (d.Z - 260) + 540));
            }
        }
        benchmark::DoNotOptimize(screen.data());
        a.X = engine::AdvanceAngle(a.X, 5);
    }
}
BENCHMARK(RotateSortProjectPlain)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
