// The far-to-near order of the dots: the quicksort of the drawing rules as a plain reference,
// and the fast sort on small keys that gives exactly its order.
#pragma once

#include <cstdint>

#include "engine/shape_file.h"

namespace engine {

struct DepthKey {
    std::int32_t z;
    std::int32_t index;
};

// The depth sort exactly as the recursive quicksort of the drawing rules: whole records,
// middle pivot, ranges sorted in the stated order. Kept as the reference for the fast sort.
void SortDotsByDepthReference(ShapeDot* dots, int lo, int hi);

// The same sort run on (depth, index) pairs; gives exactly the order of the reference (equal
// depths included). `keys` must hold at least hi + 1 entries.
void SortDepthKeys(DepthKey* keys, int lo, int hi);

// Writes dots[0..top] into out in the order of the reference sort. `keys` is working room of
// at least top + 1 entries; `dots` and `out` must not overlap.
void SortDotsByDepth(const ShapeDot* __restrict dots, int top, DepthKey* __restrict keys,
                     ShapeDot* __restrict out);

// out[i] = dots[keys[i].index]: the records in the order of sorted keys.
void GatherDots(const ShapeDot* __restrict dots, const DepthKey* __restrict keys, int top,
                ShapeDot* __restrict out);

}  // namespace engine
