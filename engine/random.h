// Uniform random numbers in [0, 1) for the shuffle and the morph pairing. The engine re-seeds
// before the draws as its rules say; where the seed comes from is up to the source, so the
// saver seeds from the clock while the recorder and the tests replay a given seed.
#pragma once

#include <cstdint>

namespace engine {

class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual void Reseed() = 0;
    virtual double Next() = 0;  // uniform in [0, 1)
};

// A small, fast generator (splitmix64) with 53-bit results.
class SplitMix {
public:
    void seed(std::uint64_t s) { state_ = s; }
    std::uint64_t next64() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double next_unit() { return static_cast<double>(next64() >> 11) * 0x1.0p-53; }

private:
    std::uint64_t state_ = 0;
};

// Re-seeds from the time of day (plat::time_of_day_us). When the clock has not moved since
// the last re-seed the stream simply goes on, so that draws made within one clock step still
// differ from one another.
class ClockRandom final : public RandomSource {
public:
    void Reseed() override;
    double Next() override { return gen_.next_unit(); }

private:
    SplitMix gen_;
    std::uint64_t last_time_ = 0;
    bool seeded_ = false;
};

// Deterministic: the n-th re-seed starts the n-th stream derived from the given seed.
class SeededRandom final : public RandomSource {
public:
    explicit SeededRandom(std::uint64_t seed) : seed_(seed) { gen_.seed(seed); }
    void Reseed() override;
    double Next() override { return gen_.next_unit(); }

private:
    SplitMix gen_;
    std::uint64_t seed_;
    std::uint64_t reseeds_ = 0;
};

}  // namespace engine
