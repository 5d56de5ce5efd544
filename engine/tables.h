// The sine and cosine tables the rotation reads: integers, one entry per step of a turn.
#pragma once

#include <array>
#include <cstdint>

namespace engine {

// One full turn is 1024 index steps; entries 0..1024 are filled, 1025 stays 0.
inline constexpr int kTableSize = 1026;
inline constexpr int kFullTurn = 1024;
struct Tables {
    std::array<std::int32_t, kTableSize> Sin{};
    std::array<std::int32_t, kTableSize> Cos{};
};

// Index i stands for the angle (i + 1) x 2 pi / 1024, the angle summed up step by step in
// single precision; values are 255 x sine and cosine rounded half to even.
void BuildTables(Tables& tables);

}  // namespace engine
