#include "engine/changed_area.h"

#include <utility>

namespace engine {

void StripFiling::Reset(int width, int height) {
    width_ = width;
    height_ = height;
    strips_ = (height + kStripRows - 1) / kStripRows;
    start_.assign(static_cast<std::size_t>(strips_) + 1, 0);
    fill_.assign(start_.size(), 0);
}

void StripFiling::Reserve(std::size_t count) {
    // A footprint reaches into two strips at most.
    if (index_.size() < 2 * count) index_.resize(2 * count);
}

static_assert(kStripRows % kTileHeight == 0, "a strip holds whole rows of tiles");

void ChangedArea::Reset(int width, int height) {
    width_ = width;
    height_ = height;
    strips_ = (height + kStripRows - 1) / kStripRows;
    tiles_x_ = (width + kTileWidth - 1) / kTileWidth;
    tiles_y_ = (height + kTileHeight - 1) / kTileHeight;
    tiles_.assign(static_cast<std::size_t>(tiles_x_) * static_cast<std::size_t>(tiles_y_), 0);
    columns_.assign(static_cast<std::size_t>(tiles_x_), 0);
    for (auto* range : {&last_, &next_}) {
        range->lo.assign(static_cast<std::size_t>(tiles_y_), tiles_x_);
        range->hi.assign(static_cast<std::size_t>(tiles_y_), -1);
    }
    // A row of n tiles holds at most (n + 1) / 2 runs; a strip at least one rectangle.
    const std::size_t per_row = static_cast<std::size_t>(tiles_x_) / 2 + 1;
    runs_.clear();
    runs_.reserve(per_row * static_cast<std::size_t>(tiles_y_) + static_cast<std::size_t>(strips_));
    rects_.clear();
    rects_.reserve(per_row * static_cast<std::size_t>(strips_) + static_cast<std::size_t>(strips_));
    run_first_.assign(static_cast<std::size_t>(strips_) + 1, 0);
    rect_first_.assign(static_cast<std::size_t>(strips_) + 1, 0);
    all_next_ = true;
}

void ChangedArea::Mark(const ShapeDot* dots, int count) {
    for (int i = 0; i < count; ++i) {
        const int x = dots[i].X, y = dots[i].Y;
        if (x <= -kFootprintSize || x >= width_ || y <= -kFootprintSize || y >= height_) continue;
        const int tx0 = std::max(x, 0) / kTileWidth, tx1 = std::min(x + kFootprintSize - 1, width_ - 1) / kTileWidth;
        const int ty0 = std::max(y, 0) / kTileHeight, ty1 = std::min(y + kFootprintSize - 1, height_ - 1) / kTileHeight;
        for (int ty = ty0; ty <= ty1; ++ty) {
            std::uint8_t* row = tiles_.data() + static_cast<std::ptrdiff_t>(ty) * tiles_x_;
            for (int tx = tx0; tx <= tx1; ++tx) row[tx] |= kThisFrame;
            int& lo = next_.lo[static_cast<std::size_t>(ty)];
            int& hi = next_.hi[static_cast<std::size_t>(ty)];
            lo = std::min(lo, tx0);
            hi = std::max(hi, tx1);
        }
    }
}

void ChangedArea::BuildAll() {
    for (int b = 0; b < strips_; ++b) {
        const plat::Rect strip{0, b * kStripRows, width_, std::min((b + 1) * kStripRows, height_)};
        run_first_[static_cast<std::size_t>(b)] = runs_.size();
        rect_first_[static_cast<std::size_t>(b)] = rects_.size();
        runs_.push_back(strip);
        rects_.push_back(strip);
    }
    // This frame's marks become the last frame's.
    for (int ty = 0; ty < tiles_y_; ++ty) {
        std::uint8_t* row = tiles_.data() + static_cast<std::ptrdiff_t>(ty) * tiles_x_;
        const int lo = std::min(last_.lo[static_cast<std::size_t>(ty)], next_.lo[static_cast<std::size_t>(ty)]);
        const int hi = std::max(last_.hi[static_cast<std::size_t>(ty)], next_.hi[static_cast<std::size_t>(ty)]);
        for (int tx = lo; tx <= hi; ++tx) row[tx] = static_cast<std::uint8_t>(row[tx] >> 1);
    }
}

void ChangedArea::BuildStrip(int strip) {
    const int ty0 = strip * (kStripRows / kTileHeight);
    const int ty1 = std::min(ty0 + kStripRows / kTileHeight, tiles_y_) - 1;
    int lo = tiles_x_, hi = -1, first_row = -1, last_row = -1;
    for (int ty = ty0; ty <= ty1; ++ty) {
        const int row_lo = std::min(last_.lo[static_cast<std::size_t>(ty)], next_.lo[static_cast<std::size_t>(ty)]);
        const int row_hi = std::max(last_.hi[static_cast<std::size_t>(ty)], next_.hi[static_cast<std::size_t>(ty)]);
        if (row_hi < row_lo) continue;
        if (first_row < 0) first_row = ty;
        last_row = ty;
        lo = std::min(lo, row_lo);
        hi = std::max(hi, row_hi);
        std::uint8_t* row = tiles_.data() + static_cast<std::ptrdiff_t>(ty) * tiles_x_;
        const int top = ty * kTileHeight, bottom = std::min(top + kTileHeight, height_);
        // Runs of the last frame's tiles are restored; every marked tile is shown; and this
        // frame's marks become the last frame's.
        int run = -1;
        for (int tx = row_lo; tx <= row_hi + 1; ++tx) {
            const std::uint8_t t = tx <= row_hi ? row[tx] : 0;
            if ((t & kLastFrame) && run < 0) run = tx;
            if (!(t & kLastFrame) && run >= 0) {
                runs_.push_back({run * kTileWidth, top, std::min(tx * kTileWidth, width_), bottom});
                run = -1;
            }
            if (tx > row_hi) break;
            columns_[static_cast<std::size_t>(tx)] |= t;
            row[tx] = static_cast<std::uint8_t>(t >> 1);
        }
    }
    if (first_row < 0) return;
    const int top = first_row * kTileHeight, bottom = std::min((last_row + 1) * kTileHeight, height_);
    for (int tx = lo; tx <= hi;) {
        if (!columns_[static_cast<std::size_t>(tx)]) {
            ++tx;
            continue;
        }
        const int start = tx;
        while (tx <= hi && columns_[static_cast<std::size_t>(tx)]) columns_[static_cast<std::size_t>(tx++)] = 0;
        rects_.push_back({start * kTileWidth, top, std::min(tx * kTileWidth, width_), bottom});
    }
}

void ChangedArea::Build(const ShapeDot* dots, int top) {
    all_ = all_next_;
    all_next_ = false;
    runs_.clear();
    rects_.clear();
    // The last frame's tiles are marked already; this frame's join them.
    Mark(dots, top + 1);
    if (all_) {
        BuildAll();
    } else {
        for (int b = 0; b < strips_; ++b) {
            run_first_[static_cast<std::size_t>(b)] = runs_.size();
            rect_first_[static_cast<std::size_t>(b)] = rects_.size();
            BuildStrip(b);
        }
    }
    run_first_[static_cast<std::size_t>(strips_)] = runs_.size();
    rect_first_[static_cast<std::size_t>(strips_)] = rects_.size();
    std::swap(last_, next_);
    std::fill(next_.lo.begin(), next_.lo.end(), tiles_x_);
    std::fill(next_.hi.begin(), next_.hi.end(), -1);
}

}  // namespace engine
