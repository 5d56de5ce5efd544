// Where a frame differs from the one before, for the window. Outside the 8 x 8 footprints of
// the dots it stamps, a frame is the background; so one frame differs from the one before only
// inside the footprints of the dots of either, and the window shows just those anew.
//
// The footprints are kept coarsely, as tiles of kTileWidth x kTileHeight pixels on a grid over
// the picture, one bit a tile, one row of 64-bit words per row of tiles, one map for the last
// frame and one for this frame. Marking a footprint sets the two to six bits of the tiles it
// touches, without a branch; the rectangles are read off the words a run of set bits at a
// time. What the tiles add beyond the footprints is background in both frames, so showing it
// anew changes nothing.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/types.h"

namespace engine {

inline constexpr int kFootprintSize = 8;
inline constexpr int kTileWidth = 8, kTileHeight = 4;
// The window's rectangles are gathered over bands of this many rows.
inline constexpr int kStripRows = 32;

class ChangedArea {
public:
    // For a picture of width x height (allocates); the next frame changes everything.
    void Reset(int width, int height);
    // The next frame changes everything (a new background, a picture drawn another way).
    void MarkAll() { all_next_ = true; }

    // The start of a frame: true when it changes everything. This frame's map starts empty.
    bool BeginFrame();

    // Marks the footprint at (x, y) in this frame's map. MarkInside needs the footprint wholly
    // inside the picture; Mark takes any position (off-picture parts are left out).
    void MarkInside(int x, int y) {
        const int tx0 = x / kTileWidth, tx1 = (x + kFootprintSize - 1) / kTileWidth;
        const int ty0 = y / kTileHeight, ty1 = (y + kFootprintSize - 1) / kTileHeight;
        // Eight rows reach into two or three rows of tiles, eight columns into one or two
        // columns; setting a bit twice does no harm, so the same three rows and two columns
        // are set every time.
        SetBits(ty0, tx0, tx1);
        SetBits(ty0 + 1, tx0, tx1);
        SetBits(ty1, tx0, tx1);
    }
    void Mark(int x, int y);

    // The end of a frame: the window's rectangles from both maps; this frame's map becomes
    // the last frame's.
    void EndFrame();

    // The frame composed last changed everything (a start, a new background).
    bool All() const { return all_; }
    // Where it differs from the one before; one rectangle over the picture after All. On
    // each band of kStripRows rows, each run of columns with a tile of either frame, from its
    // first to its last row of such tiles.
    const std::vector<plat::Rect>& Rects() const { return rects_; }

private:
    std::uint64_t* Row(std::vector<std::uint64_t>& map, int ty) {
        return map.data() + static_cast<std::ptrdiff_t>(ty) * words_;
    }
    const std::uint64_t* Row(const std::vector<std::uint64_t>& map, int ty) const {
        return map.data() + static_cast<std::ptrdiff_t>(ty) * words_;
    }
    void SetBits(int ty, int tx0, int tx1) {
        std::uint64_t* row = Row(this_, ty);
        row[tx0 / 64] |= std::uint64_t{1} << (tx0 % 64);
        row[tx1 / 64] |= std::uint64_t{1} << (tx1 % 64);
    }
    // The first set bit at or after `from` in a row of `bits` bits, or `bits` when there is
    // none; the same for the first clear bit.
    static int NextSet(const std::uint64_t* row, int from, int bits) {
        for (int w = from / 64; w * 64 < bits; ++w) {
            const std::uint64_t word = w == from / 64 ? row[w] & (~std::uint64_t{0} << (from % 64)) : row[w];
            if (word) return std::min(w * 64 + std::countr_zero(word), bits);
        }
        return bits;
    }
    static int NextClear(const std::uint64_t* row, int from, int bits) {
        for (int w = from / 64; w * 64 < bits; ++w) {
            const std::uint64_t word = w == from / 64 ? ~row[w] & (~std::uint64_t{0} << (from % 64)) : ~row[w];
            if (word) return std::min(w * 64 + std::countr_zero(word), bits);
        }
        return bits;
    }
    void BuildRects();

    int width_ = 0, height_ = 0, tiles_x_ = 0, tiles_y_ = 0, words_ = 0;
    bool all_next_ = true, all_ = true;
    std::vector<std::uint64_t> last_, this_, columns_;
    std::vector<plat::Rect> rects_;
};

}  // namespace engine
