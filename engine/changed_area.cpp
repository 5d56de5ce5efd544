#include "engine/changed_area.h"

#include <utility>

namespace engine {

static_assert(kStripRows % kTileHeight == 0, "a band holds whole rows of tiles");

void ChangedArea::Reset(int width, int height) {
    width_ = width;
    height_ = height;
    tiles_x_ = (width + kTileWidth - 1) / kTileWidth;
    tiles_y_ = (height + kTileHeight - 1) / kTileHeight;
    words_ = (tiles_x_ + 63) / 64;
    const std::size_t map = static_cast<std::size_t>(words_) * static_cast<std::size_t>(tiles_y_);
    last_.assign(map, 0);
    this_.assign(map, 0);
    columns_.assign(static_cast<std::size_t>(words_), 0);
    // A band holds at most (n + 1) / 2 runs of n columns.
    const int bands = (height + kStripRows - 1) / kStripRows;
    rects_.clear();
    rects_.reserve((static_cast<std::size_t>(tiles_x_) / 2 + 1) * static_cast<std::size_t>(bands) + 1);
    all_next_ = true;
    all_ = true;
}

bool ChangedArea::BeginFrame() {
    all_ = all_next_;
    all_next_ = false;
    std::fill(this_.begin(), this_.end(), 0);
    return all_;
}

void ChangedArea::Mark(int x, int y) {
    if (x <= -kFootprintSize || x >= width_ || y <= -kFootprintSize || y >= height_) return;
    const int tx0 = std::max(x, 0) / kTileWidth, tx1 = std::min(x + kFootprintSize - 1, width_ - 1) / kTileWidth;
    const int ty0 = std::max(y, 0) / kTileHeight, ty1 = std::min(y + kFootprintSize - 1, height_ - 1) / kTileHeight;
    for (int ty = ty0; ty <= ty1; ++ty) SetBits(ty, tx0, tx1);
}

void ChangedArea::BuildRects() {
    constexpr int kRowsPerBand = kStripRows / kTileHeight;
    for (int ty0 = 0; ty0 < tiles_y_; ty0 += kRowsPerBand) {
        const int ty1 = std::min(ty0 + kRowsPerBand, tiles_y_);
        int first = -1, last = -1;
        std::fill(columns_.begin(), columns_.end(), 0);
        for (int ty = ty0; ty < ty1; ++ty) {
            const std::uint64_t* a = Row(last_, ty);
            const std::uint64_t* b = Row(this_, ty);
            std::uint64_t any = 0;
            for (int w = 0; w < words_; ++w) {
                const std::uint64_t both = a[w] | b[w];
                columns_[static_cast<std::size_t>(w)] |= both;
                any |= both;
            }
            if (!any) continue;
            if (first < 0) first = ty;
            last = ty;
        }
        if (first < 0) continue;
        const int top = first * kTileHeight, bottom = std::min((last + 1) * kTileHeight, height_);
        for (int tx = NextSet(columns_.data(), 0, tiles_x_); tx < tiles_x_;) {
            const int end = NextClear(columns_.data(), tx, tiles_x_);
            rects_.push_back({tx * kTileWidth, top, std::min(end * kTileWidth, width_), bottom});
            tx = NextSet(columns_.data(), end, tiles_x_);
        }
    }
}

void ChangedArea::EndFrame() {
    rects_.clear();
    if (all_)
        rects_.push_back({0, 0, width_, height_});
    else
        BuildRects();
    std::swap(last_, this_);
}

}  // namespace engine
