#include "engine/random.h"

#include "platform/system.h"

namespace engine {

void ClockRandom::Reseed() {
    const std::uint64_t now = plat::time_of_day_us();
    if (seeded_ && now == last_time_) return;
    seeded_ = true;
    last_time_ = now;
    gen_.seed(now);
}

void SeededRandom::Reseed() {
    SplitMix mix;
    mix.seed(seed_ ^ (++reseeds_ * 0xD1B54A32D192ED03ull));
    gen_.seed(mix.next64());
}

}  // namespace engine
