// The order in which the nine shapes are shown, drawn anew after every round.
#pragma once

#include <array>
#include <cstdint>

#include "engine/random.h"

namespace engine {

// Entries 1..9 of the order get the member numbers 1..9 in a new random order; entry 0 is
// left alone. The source is re-seeded before every draw.
using ShapeOrderList = std::array<std::int16_t, 10>;
void ShuffleShapes(ShapeOrderList& order, RandomSource& random);

}  // namespace engine
