// Frames allocate nothing: every operator new in this program is counted.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "engine/engine.h"
#include "engine_support.h"

namespace {
std::atomic<long> g_allocations{0};
}

void* operator new(std::size_t size) {
    ++g_allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace {

TEST(Allocation, NoFrameAllocatesWhetherHoldingOrChanging) {
    engine_test::TempFolder folder("alloc");
    for (int n = 1; n <= 9; ++n) folder.WriteMember(n, engine_test::RandomShape(200 + 300 * n, 120, static_cast<unsigned>(n)));
    for (int neon : {0, 1}) {
        engine::EngineSettings settings;
        settings.NeonEffect = neon;
        settings.Interval = 1;
        engine_test::Harness h(folder.path(), settings);
        std::string error;
        h.engine->ShuffleAtLoad();
        ASSERT_TRUE(h.engine->Start(640, 480, error)) << error;
        h.sleeps.reserve(100000);
        for (int change = 0; change < 12; ++change) {
            // A change allocates when it reads its member; its frames do not.
            h.engine->ChangeTick();
            ASSERT_EQ(h.engine->phase(), engine::Phase::Changing);
            const long before = g_allocations.load();
            int frames = 0;
            while (h.engine->phase() == engine::Phase::Changing && frames < 5000) {
                ASSERT_TRUE(h.engine->Frame());
                ++frames;
            }
            for (int i = 0; i < 20; ++i) ASSERT_TRUE(h.engine->Frame());  // holding
            EXPECT_EQ(g_allocations.load() - before, 0) << "change " << change << ", neon " << neon;
        }
    }
}

}  // namespace
