#include "engine/tables.h"

#include <cmath>

namespace engine {

void BuildTables(Tables& tables) {
    const float step = static_cast<float>(6.283185308 / 1024.0);
    float theta = step;
    for (int i = 0; i <= kFullTurn; ++i) {
        tables.Sin[i] = static_cast<std::int32_t>(std::nearbyint(255.0 * std::sin(static_cast<double>(theta))));
        tables.Cos[i] = static_cast<std::int32_t>(std::nearbyint(255.0 * std::cos(static_cast<double>(theta))));
        theta = theta + step;  // rounded to single precision at every step
    }
    tables.Sin[kTableSize - 1] = 0;
    tables.Cos[kTableSize - 1] = 0;
}

}  // namespace engine
