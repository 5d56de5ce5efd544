#include "engine/shape_order.h"

#include <cmath>

namespace engine {

void ShuffleShapes(ShapeOrderList& order, RandomSource& random) {
    std::array<bool, 10> used{};
    int placed = 0;
    for (int remaining = 9; remaining > 0; --remaining) {
        random.Reseed();
        int k = static_cast<int>(std::floor(random.Next() * remaining)) + 1;
        if (k > remaining) k = remaining;  // r is below 1, this only guards a faulty source
        if (k < 1) k = 1;
        for (int j = 1; j <= 9; ++j) {
            if (used[j]) continue;
            if (--k == 0) {
                used[j] = true;
                ++placed;
                order[placed] = static_cast<std::int16_t>(j);
                break;
            }
        }
    }
}

}  // namespace engine
