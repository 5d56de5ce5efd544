#include "engine/changed_area.h"

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

void ChangedArea::Reset(int width, int height) {
    width_ = width;
    height_ = height;
    filing_.Reset(width, height);
    last_count_ = 0;
    strip_first_.assign(static_cast<std::size_t>(filing_.strips()) + 1, 0);
    rects_.reserve(static_cast<std::size_t>(filing_.strips()));
    all_next_ = true;
}

void ChangedArea::Reserve(std::size_t dots) {
    // The last frame's dots and this frame's; each footprint is one piece in each of its
    // (at most two) strips, and merging only makes fewer.
    if (corners_.size() < 2 * dots) corners_.resize(2 * dots);
    filing_.Reserve(2 * dots);
    pieces_.reserve(4 * dots);
    rects_.reserve(std::max<std::size_t>(4 * dots, static_cast<std::size_t>(filing_.strips())));
}

void ChangedArea::BuildAll() {
    rects_.clear();
    for (int b = 0; b < filing_.strips(); ++b) {
        strip_first_[static_cast<std::size_t>(b)] = rects_.size();
        rects_.push_back({0, filing_.FirstRow(b), width_, filing_.LastRow(b) + 1});
    }
    strip_first_[static_cast<std::size_t>(filing_.strips())] = rects_.size();
}

void ChangedArea::MergeStrip(int strip) {
    const int row0 = filing_.FirstRow(strip), row_end = filing_.LastRow(strip) + 1;
    pieces_.clear();
    for (const int k : filing_.InStrip(strip)) {
        const plat::Point p = corners_[static_cast<std::size_t>(k)];
        pieces_.push_back({std::max(p.x, 0), std::max(p.y, row0), std::min(p.x + kFootprintSize, width_),
                           std::min(p.y + kFootprintSize, row_end)});
    }
    if (pieces_.empty()) return;
    std::sort(pieces_.begin(), pieces_.end(), [](const plat::Rect& a, const plat::Rect& b) { return a.left < b.left; });
    // Pieces that overlap or touch along the strip become their bounding rectangle. What
    // that adds is background in both frames, so restoring or showing it changes nothing.
    plat::Rect run = pieces_.front();
    for (std::size_t i = 1; i < pieces_.size(); ++i) {
        const plat::Rect& r = pieces_[i];
        if (r.left <= run.right) {
            run.right = std::max(run.right, r.right);
            run.top = std::min(run.top, r.top);
            run.bottom = std::max(run.bottom, r.bottom);
        } else {
            rects_.push_back(run);
            run = r;
        }
    }
    rects_.push_back(run);
}

void ChangedArea::Build(const ShapeDot* dots, int top) {
    const int count = top + 1;
    for (int i = 0; i < count; ++i)
        corners_[static_cast<std::size_t>(last_count_ + i)] = {dots[i].X, dots[i].Y};
    all_ = all_next_;
    all_next_ = false;
    if (all_) {
        BuildAll();
    } else {
        filing_.File(last_count_ + count, [this](int i) { return corners_[static_cast<std::size_t>(i)]; });
        rects_.clear();
        for (int b = 0; b < filing_.strips(); ++b) {
            strip_first_[static_cast<std::size_t>(b)] = rects_.size();
            MergeStrip(b);
        }
        strip_first_[static_cast<std::size_t>(filing_.strips())] = rects_.size();
    }
    // This frame's corners become the last frame's.
    std::copy(corners_.begin() + last_count_, corners_.begin() + last_count_ + count, corners_.begin());
    last_count_ = count;
}

}  // namespace engine
