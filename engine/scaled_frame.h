// The frame shown on a screen of display scale s > 1. The engine composes in design pixels on
// a logical screen of the physical size / s; this picture shows each of its frames s times as
// large: black, the background picture enlarged smoothly (once per background), and every dot
// of the engine's frame, in its drawing order, stamped from the sheet drawn for scale s (sharp
// discs of 8s pixels, not enlarged ones). Like the engine it restores only where the last
// frame stamped, from the enlarged picture and black, and reports the engine's changed
// rectangles scaled by s. At scale 1 nothing of this is made: the engine's own picture is
// shown.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/engine.h"
#include "engine/footprint_order.h"
#include "platform/draw.h"

namespace engine {

class ScaledFrame {
public:
    // A frame of width x height screen pixels for `scale` (2 and more) and the sheet drawn for
    // it (40 scale x 16 scale), drawn into `picture` when the caller made one of that size for
    // where it is shown (plat::create_window_bitmap), else into a bitmap of its own. False
    // when the picture cannot be made or the sheet is too small.
    bool Reset(int scale, int width, int height, const plat::Bitmap& sheet,
               std::unique_ptr<plat::Bitmap> picture = nullptr);

    // Shows the frame the engine composed last (call it right after RenderFrame).
    void Compose(const Engine& engine);

    const plat::Bitmap* frame() const { return frame_.get(); }
    int scale() const { return scale_; }
    // The frame composed last differs from the one before everywhere, or only in Rects().
    bool All() const { return all_; }
    const std::vector<plat::Rect>& Rects() const { return rects_; }

    // Picture `picture` enlarged `scale` times: each pixel takes the picture interpolated
    // bilinearly at its centre (edges held), in integer arithmetic so that every build agrees.
    static std::unique_ptr<plat::Bitmap> Enlarge(const plat::Bitmap& picture, int scale);

private:
    void TakeBackground(const Engine& engine);
    void Restore(int x, int y, int width, int height);
    void Stamp(int x, int y, int band);

    int scale_ = 1, side_ = 8, width_ = 0, height_ = 0, shown_width_ = 0, shown_height_ = 0;
    std::unique_ptr<plat::Bitmap> frame_, enlarged_;
    plat::Point picture_at_{};  // where the enlarged picture lies on the frame
    int shown_index_ = -1;
    std::vector<std::uint32_t> mask_, discs_;  // side x side; five of them
    std::vector<plat::Point> stamped_;         // footprints of the last frame, screen pixels
    FootprintOrder restoring_;
    std::vector<plat::Rect> rects_;
    bool all_ = true;
};

}  // namespace engine
