// Footprints in the order their rows lie in memory, for restoring: a counting sort by top row.
// Restored from the top row down rather than in drawing order, the copies walk through the
// frame and the background in address order, which the caches and the address translation
// follow far better. Within a row the drawing order stays.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/types.h"

namespace engine {

class FootprintOrder {
public:
    // Room for `count` footprints of `side` rows whose top rows lie in -side + 1 .. rows - 1,
    // so that sorting them allocates nothing.
    void Reserve(std::size_t count, int side, int rows) {
        if (sorted_.size() < count) sorted_.resize(count);
        counts_.assign(static_cast<std::size_t>(rows) + static_cast<std::size_t>(side) + 1, 0);
        side_ = side;
    }

    // The first `count` of `places` ordered by top row (the same row in their order there).
    const plat::Point* Sort(const plat::Point* places, std::size_t count) {
        if (sorted_.size() < count) sorted_.resize(count);
        std::fill(counts_.begin(), counts_.end(), 0u);
        for (std::size_t k = 0; k < count; ++k) ++counts_[Row(places[k])];
        std::uint32_t at = 0;
        for (std::uint32_t& c : counts_) {
            const std::uint32_t n = c;
            c = at;
            at += n;
        }
        for (std::size_t k = 0; k < count; ++k) sorted_[counts_[Row(places[k])]++] = places[k];
        return sorted_.data();
    }

private:
    std::size_t Row(plat::Point p) const { return static_cast<std::size_t>(p.y + side_); }

    int side_ = 0;
    std::vector<std::uint32_t> counts_;
    std::vector<plat::Point> sorted_;
};

}  // namespace engine
