// What a frame changes in the work picture. Outside the 8 x 8 footprints of the dots it
// stamps, a frame is the background; so one frame differs from the one before only inside
// the footprints of the dots of either. The composition restores the background into just
// those (merged into rectangles, strip by strip) before it stamps, and the window shows just
// those anew.
#pragma once

#include <algorithm>
#include <cstddef>
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

// The rectangles in which a frame may differ from the one before, strip by strip: the
// footprints of the last frame's dots and of this frame's, clipped to the picture and to the
// strip, merged where they overlap or touch along the strip. Within a strip the rectangles
// do not overlap and run from left to right. After Reset or MarkAll, and for a frame that is
// not built from footprints at all, the whole picture, one rectangle per strip.
class ChangedArea {
public:
    // For a picture of width x height (allocates); the next frame changes everything.
    void Reset(int width, int height);
    // Room for frames of up to `dots` dots (allocates only when it grows).
    void Reserve(std::size_t dots);
    // The next frame changes everything (a new background, a picture drawn another way).
    void MarkAll() { all_next_ = true; }

    // The area of the frame about to be stamped with dots[0..top]; these dots are the last
    // frame's for the next call.
    void Build(const ShapeDot* dots, int top);

    bool All() const { return all_; }
    const std::vector<plat::Rect>& Rects() const { return rects_; }
    std::span<const plat::Rect> InStrip(int strip) const {
        const auto b = static_cast<std::size_t>(strip);
        return {rects_.data() + strip_first_[b], rects_.data() + strip_first_[b + 1]};
    }

private:
    void BuildAll();
    void MergeStrip(int strip);

    int width_ = 0, height_ = 0;
    bool all_next_ = true, all_ = true;
    // The corners of the last frame's footprints, then (while building) this frame's.
    std::vector<plat::Point> corners_;
    int last_count_ = 0;
    StripFiling filing_;
    std::vector<plat::Rect> pieces_;  // one strip's clipped footprints, sorted for merging
    std::vector<plat::Rect> rects_;
    std::vector<std::size_t> strip_first_;
};

}  // namespace engine
