#include "engine/scaled_frame.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "raster/blit.h"

namespace engine {
namespace {

// A whole footprint of S x S pixels inside the frame, at sizes the compiler knows, so that
// it unrolls and vectorises them: stamped through the mask, copied back from the enlarged
// picture, or made black.
template <int S>
void StampWhole(std::uint32_t* __restrict d, std::ptrdiff_t stride, const std::uint32_t* __restrict m,
                const std::uint32_t* __restrict s) {
    for (int row = 0; row < S; ++row, d += stride, m += S, s += S)
        for (int i = 0; i < S; ++i) d[i] = (d[i] & m[i]) | s[i];
}
template <int S>
void CopyWhole(std::uint32_t* __restrict d, const std::uint32_t* __restrict s, std::ptrdiff_t d_stride,
               std::ptrdiff_t s_stride) {
    for (int row = 0; row < S; ++row, d += d_stride, s += s_stride) std::memcpy(d, s, S * sizeof(std::uint32_t));
}
template <int S>
void BlackWhole(std::uint32_t* __restrict d, std::ptrdiff_t stride) {
    for (int row = 0; row < S; ++row, d += stride) std::memset(d, 0, S * sizeof(std::uint32_t));
}

}  // namespace

bool ScaledFrame::Reset(int scale, int width, int height, const plat::Bitmap& sheet,
                        std::unique_ptr<plat::Bitmap> picture) {
    scale_ = scale;
    side_ = kSpriteSize * scale;
    width_ = width;
    height_ = height;
    frame_.reset();
    enlarged_.reset();
    shown_index_ = -1;
    stamped_.clear();
    all_ = true;
    const plat::Surface s = sheet.surface();
    if (scale < 2 || s.width < kBandCount * side_ || s.height < 2 * side_) return false;
    mask_.resize(static_cast<std::size_t>(side_) * side_);
    discs_.resize(static_cast<std::size_t>(kBandCount) * side_ * side_);
    for (int y = 0; y < side_; ++y)
        for (int x = 0; x < side_; ++x) {
            mask_[static_cast<std::size_t>(y) * side_ + x] = s.row(side_ + y)[x];
            for (int band = 0; band < kBandCount; ++band)
                discs_[(static_cast<std::size_t>(band) * side_ + y) * side_ + x] = s.row(y)[band * side_ + x];
        }
    if (picture && picture->width() == width && picture->height() == height)
        frame_ = std::move(picture);
    else
        frame_ = plat::create_bitmap(width, height);
    if (!frame_) return false;
    restoring_.Reserve(0, side_, height);
    plat::fill_rect(*frame_, 0, 0, width, height, 0x000000);
    return true;
}

std::unique_ptr<plat::Bitmap> ScaledFrame::Enlarge(const plat::Bitmap& picture, int scale) {
    const plat::Surface src = picture.surface();
    if (src.width <= 0 || src.height <= 0 || scale < 1) return nullptr;
    auto out = plat::create_bitmap(src.width * scale, src.height * scale);
    if (!out) return nullptr;
    const plat::Surface dst = out->surface();
    // Centres in units of 1 / (2 scale) of a picture pixel: screen pixel p at 2p + 1, picture
    // pixel i at (2i + 1) scale. Past the first and last centres the edge pixel holds.
    const int span = 2 * scale;
    struct Tap {
        int i0, i1, f;
    };
    auto taps = [&](int count, int size) {
        std::vector<Tap> t(static_cast<std::size_t>(count));
        for (int p = 0; p < count; ++p) {
            const int c = 2 * p + 1 - scale;
            int i0 = c < 0 ? -1 : c / span, f = c - i0 * span;
            if (i0 < 0) i0 = 0, f = 0;
            if (i0 >= size - 1) i0 = size - 1, f = 0;
            t[static_cast<std::size_t>(p)] = {i0, f ? i0 + 1 : i0, f};
        }
        return t;
    };
    const std::vector<Tap> tx = taps(dst.width, src.width), ty = taps(dst.height, src.height);
    const std::uint32_t whole = static_cast<std::uint32_t>(span * span), half = whole / 2;
    for (int y = 0; y < dst.height; ++y) {
        const Tap& v = ty[static_cast<std::size_t>(y)];
        const std::uint32_t* r0 = src.row(v.i0);
        const std::uint32_t* r1 = src.row(v.i1);
        const std::uint32_t wy1 = static_cast<std::uint32_t>(v.f), wy0 = static_cast<std::uint32_t>(span) - wy1;
        std::uint32_t* d = dst.row(y);
        for (int x = 0; x < dst.width; ++x) {
            const Tap& h = tx[static_cast<std::size_t>(x)];
            const std::uint32_t wx1 = static_cast<std::uint32_t>(h.f), wx0 = static_cast<std::uint32_t>(span) - wx1;
            const std::uint32_t a = r0[h.i0], b = r0[h.i1], c = r1[h.i0], e = r1[h.i1];
            std::uint32_t pixel = 0;
            for (int shift = 0; shift < 24; shift += 8) {
                const std::uint32_t sum = ((a >> shift) & 0xFF) * wx0 * wy0 + ((b >> shift) & 0xFF) * wx1 * wy0 +
                                          ((c >> shift) & 0xFF) * wx0 * wy1 + ((e >> shift) & 0xFF) * wx1 * wy1;
                pixel |= ((sum + half) / whole) << shift;
            }
            d[x] = pixel;
        }
    }
    return out;
}

void ScaledFrame::TakeBackground(const Engine& engine) {
    if (engine.BackIndex == shown_index_) return;
    shown_index_ = engine.BackIndex;
    enlarged_.reset();
    if (const plat::Bitmap* picture = engine.BackgroundPicture(engine.BackIndex)) {
        const plat::Point at = engine.BackgroundPlace(*picture);
        picture_at_ = {at.x * scale_, at.y * scale_};
        enlarged_ = Enlarge(*picture, scale_);
    }
}

void ScaledFrame::Restore(int x, int y, int width, int height) {
    // Row by row: black left of the picture, the picture, black right of it; each pixel
    // written once.
    const plat::Surface dst = frame_->surface();
    const int x0 = std::max(x, 0), x1 = std::min(x + width, shown_width_);
    const int y0 = std::max(y, 0), y1 = std::min(y + height, shown_height_);
    if (x0 >= x1 || y0 >= y1) return;
    const plat::Surface pic = enlarged_ ? enlarged_->surface() : plat::Surface{};
    if (x0 == x && y0 == y && x1 - x0 == side_ && y1 - y0 == side_) {
        // The usual case: the whole footprint on the frame, and on the picture or off it.
        const int px = x - picture_at_.x, py = y - picture_at_.y;
        const bool on = pic.pixels && px >= 0 && py >= 0 && px + side_ <= pic.width && py + side_ <= pic.height;
        const bool off = !pic.pixels || px + side_ <= 0 || py + side_ <= 0 || px >= pic.width || py >= pic.height;
        std::uint32_t* d = dst.row(y) + x;
        const std::uint32_t* from = on ? pic.row(py) + px : nullptr;
        switch (on ? side_ : off ? -side_ : 0) {
        case 16: return CopyWhole<16>(d, from, dst.stride, pic.stride);
        case 24: return CopyWhole<24>(d, from, dst.stride, pic.stride);
        case 32: return CopyWhole<32>(d, from, dst.stride, pic.stride);
        case -16: return BlackWhole<16>(d, dst.stride);
        case -24: return BlackWhole<24>(d, dst.stride);
        case -32: return BlackWhole<32>(d, dst.stride);
        default: break;
        }
    }
    const int pl = std::clamp(picture_at_.x, x0, x1), pr = std::clamp(picture_at_.x + pic.width, pl, x1);
    for (int row = y0; row < y1; ++row) {
        std::uint32_t* d = dst.row(row);
        const int py = row - picture_at_.y;
        if (!pic.pixels || py < 0 || py >= pic.height || pl == pr) {
            std::fill(d + x0, d + x1, 0u);
            continue;
        }
        std::fill(d + x0, d + pl, 0u);
        std::copy(pic.row(py) + (pl - picture_at_.x), pic.row(py) + (pr - picture_at_.x), d + pl);
        std::fill(d + pr, d + x1, 0u);
    }
}

void ScaledFrame::Stamp(int x, int y, int band) {
    const plat::Surface dst = frame_->surface();
    // Clipped where the engine clips, at the edges of its screen.
    const int x0 = std::max(x, 0), x1 = std::min(x + side_, shown_width_);
    const int y0 = std::max(y, 0), y1 = std::min(y + side_, shown_height_);
    if (x0 >= x1 || y0 >= y1) return;
    const std::uint32_t* disc = discs_.data() + static_cast<std::size_t>(band) * side_ * side_;
    stamped_.push_back({x, y});
    if (x0 == x && y0 == y && x1 - x0 == side_ && y1 - y0 == side_) {
        std::uint32_t* d = dst.row(y) + x;
        switch (side_) {
        case 16: return StampWhole<16>(d, dst.stride, mask_.data(), disc);
        case 24: return StampWhole<24>(d, dst.stride, mask_.data(), disc);
        case 32: return StampWhole<32>(d, dst.stride, mask_.data(), disc);
        default: break;
        }
    }
    for (int row = y0; row < y1; ++row) {
        const std::size_t at = static_cast<std::size_t>(row - y) * side_ + static_cast<std::size_t>(x0 - x);
        const std::uint32_t* m = mask_.data() + at;
        const std::uint32_t* s = disc + at;
        std::uint32_t* d = dst.row(row) + x0;
        for (int i = 0; i < x1 - x0; ++i) d[i] = (d[i] & m[i]) | s[i];
    }
}

void ScaledFrame::Compose(const Engine& engine) {
    if (!frame_) return;
    // The engine's screen at scale; a physical size that s does not divide leaves a strip of
    // fewer than s pixels on the right and at the bottom black.
    shown_width_ = std::min(engine.Width * scale_, width_);
    shown_height_ = std::min(engine.Height * scale_, height_);
    const ChangedArea& changes = engine.Changes();
    all_ = changes.All() || engine.BackIndex != shown_index_;
    if (all_) {
        TakeBackground(engine);
        plat::fill_rect(*frame_, 0, 0, width_, height_, 0x000000);
        plat::Surface dst = frame_->surface();
        dst.width = shown_width_;
        dst.height = shown_height_;
        if (enlarged_)
            raster::bit_blt(dst, picture_at_.x, picture_at_.y, enlarged_->width(), enlarged_->height(),
                            enlarged_->surface(), 0, 0, plat::Rop::SrcCopy);
    } else {
        // From the top row down (engine/footprint_order.h).
        const plat::Point* restoring = restoring_.Sort(stamped_.data(), stamped_.size());
        for (std::size_t k = 0; k < stamped_.size(); ++k) Restore(restoring[k].x, restoring[k].y, side_, side_);
    }
    stamped_.clear();
    const int top = engine.LastDrawnTop();
    const std::vector<std::uint8_t>& bands = engine.Bands();
    for (int i = 0; i <= top; ++i) {
        const ShapeDot& d = engine.ScreenDots[static_cast<std::size_t>(i)];
        Stamp(d.X * scale_, d.Y * scale_, bands[static_cast<std::size_t>(i)]);
    }
    rects_.clear();
    if (all_) {
        rects_.push_back({0, 0, width_, height_});
    } else {
        for (const plat::Rect& r : changes.Rects()) {
            const plat::Rect s{r.left * scale_, r.top * scale_, std::min(r.right * scale_, shown_width_),
                               std::min(r.bottom * scale_, shown_height_)};
            if (s.left < s.right && s.top < s.bottom) rects_.push_back(s);
        }
    }
}

}  // namespace engine
