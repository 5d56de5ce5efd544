// What a frame changes in the work picture. Outside the 8 x 8 footprints of the dots it
// stamps, a frame is the background; so one frame differs from the one before only inside
// the footprints of the dots of either. The composition restores the background into just
// those (merged into rectangles, strip by strip) before it stamps, and the window shows just
// those anew.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "engine/shape_file.h"
#include "platform/types.h"

namespace engine {

// A frame is composed in strips of this many rows, each finished while it is in the cache.
inline constexpr int kStripRows = 32;
inline constexpr int kFootprintSize = 8;

// Footprints (8 x 8 squares given by their top-left corners) filed by the strips they reach
// into, one or two each; every strip keeps them in the order filed. Footprints wholly
// outside the picture are left out.
class StripFiling {
public:
    // For a picture of width x height (allocates).
    void Reset(int width, int height);
    // Room for `count` footprints (allocates only when it grows).
    void Reserve(std::size_t count);

    int strips() const { return strips_; }
    int FirstRow(int strip) const { return strip * kStripRows; }
    int LastRow(int strip) const { return std::min(FirstRow(strip) + kStripRows, height_) - 1; }

    // Files footprints 0..count-1; corner(i) gives the plat::Point of footprint i.
    template <class Corner>
    void File(int count, Corner corner);

    // The footprints reaching into `strip`, in filing order.
    std::span<const int> InStrip(int strip) const {
        const auto b = static_cast<std::size_t>(strip);
        return {index_.data() + start_[b], index_.data() + start_[b + 1]};
    }

private:
    bool Strips(plat::Point p, int& first, int& last) const {
        if (p.x <= -kFootprintSize || p.x >= width_ || p.y <= -kFootprintSize || p.y >= height_) return false;
        first = std::max(p.y, 0) / kStripRows;
        last = std::min(p.y + kFootprintSize - 1, height_ - 1) / kStripRows;
        return true;
    }

    int width_ = 0, height_ = 0, strips_ = 0;
    std::vector<int> start_, fill_, index_;
};

template <class Corner>
void StripFiling::File(int count, Corner corner) {
    // A counting sort: count per strip, then place each footprint after its strip's start.
    std::fill(start_.begin(), start_.end(), 0);
    int first = 0, last = 0;
    for (int i = 0; i < count; ++i)
        if (Strips(corner(i), first, last))
            for (int b = first; b <= last; ++b) ++start_[static_cast<std::size_t>(b) + 1];
    for (int b = 0; b < strips_; ++b) start_[static_cast<std::size_t>(b) + 1] += start_[static_cast<std::size_t>(b)];
    std::copy(start_.begin(), start_.end(), fill_.begin());
    for (int i = 0; i < count; ++i)
        if (Strips(corner(i), first, last))
            for (int b = first; b <= last; ++b) index_[static_cast<std::size_t>(fill_[static_cast<std::size_t>(b)]++)] = i;
}

// Where a frame may differ from the one before: the footprints of the last frame's dots and
// of this frame's. They are kept as tiles of kTileWidth x kTileHeight pixels on a grid over
// the picture; a footprint marks the two to six tiles it touches. Two lists come out of it,
// strip by strip:
// - restoring runs: on each row of tiles, each run of the last frame's tiles as one
//   rectangle, which the composition copies back from the background (elsewhere the work
//   picture holds the background already, this frame's footprints included);
// - changed rectangles, fewer and larger, for the window: on the strip's tile rows together,
//   each run of columns with a tile of either frame, from the first to the last such row.
// What they add beyond the footprints is background in both frames, so restoring or showing
// it changes nothing. After Reset or MarkAll the whole picture changes: one rectangle per
// strip in both lists.
inline constexpr int kTileWidth = 8, kTileHeight = 4;

class ChangedArea {
public:
    // For a picture of width x height (allocates); the next frame changes everything.
    void Reset(int width, int height);
    // The next frame changes everything (a new background, a picture drawn another way).
    void MarkAll() { all_next_ = true; }

    // The area of the frame about to be stamped with dots[0..top]; these dots are the last
    // frame's for the next call.
    void Build(const ShapeDot* dots, int top);

    bool All() const { return all_; }
    const std::vector<plat::Rect>& Rects() const { return rects_; }
    std::span<const plat::Rect> InStrip(int strip) const { return Slice(rects_, rect_first_, strip); }
    std::span<const plat::Rect> RestoringRuns(int strip) const { return Slice(runs_, run_first_, strip); }

private:
    static std::span<const plat::Rect> Slice(const std::vector<plat::Rect>& list, const std::vector<std::size_t>& first,
                                             int strip) {
        const auto b = static_cast<std::size_t>(strip);
        return {list.data() + first[b], list.data() + first[b + 1]};
    }
    void Mark(const ShapeDot* dots, int count);
    void BuildAll();
    void BuildStrip(int strip);

    int width_ = 0, height_ = 0, strips_ = 0, tiles_x_ = 0, tiles_y_ = 0;
    bool all_next_ = true, all_ = true;
    // One byte a tile, row by row: kLastFrame and kThisFrame; the marks of each frame in
    // each tile row lie in the columns lo..hi of its range.
    static constexpr std::uint8_t kLastFrame = 1, kThisFrame = 2;
    struct Range {
        std::vector<int> lo, hi;
    };
    std::vector<std::uint8_t> tiles_, columns_;
    Range last_, next_;
    std::vector<plat::Rect> runs_, rects_;
    std::vector<std::size_t> run_first_, rect_first_;
};

}  // namespace engine
