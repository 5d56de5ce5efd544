// Bitmaps in plain memory, drawn with the software raster; the device-context calls are the
// raster's device-context layer.
#include <functional>
#include <utility>
#include <vector>

#include "platform/draw.h"
#include "platform/posix/memory_bitmap.h"
#include "platform/window.h"
#include "raster/blit.h"
#include "raster/gdi.h"

namespace plat {
namespace {

class MemoryBitmap final : public Bitmap {
public:
    // `scale` device pixels to a design pixel on each axis: the surface is scale times the
    // size, and the context draws in design pixels on it (raster/gdi.h).
    MemoryBitmap(int width, int height, int scale = 1)
        : width_(width * scale), height_(height * scale), scale_(scale),
          pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0u), data_(pixels_.data()) {}
    // Pixels that someone else allocated; `release` gives them back with the bitmap.
    MemoryBitmap(std::uint32_t* pixels, int width, int height, std::function<void()> release)
        : width_(width), height_(height), scale_(1), data_(pixels), release_(std::move(release)) {}
    ~MemoryBitmap() override {
        if (dc_ != Dc::None) raster::delete_dc(dc_);
        if (release_) release_();
    }
    MemoryBitmap(const MemoryBitmap&) = delete;
    MemoryBitmap& operator=(const MemoryBitmap&) = delete;
    Surface surface() const override {
        return Surface{data_, width_, height_, width_};
    }
    // Made on first use: most bitmaps (the engine's frames) never need one.
    Dc dc() const {
        if (dc_ == Dc::None) dc_ = raster::create_surface_dc(surface(), scale_);
        return dc_;
    }

private:
    int width_, height_, scale_;
    std::vector<std::uint32_t> pixels_;
    std::uint32_t* data_;
    std::function<void()> release_;
    mutable Dc dc_ = Dc::None;
};

}  // namespace

std::unique_ptr<Bitmap> create_bitmap(int width, int height) {
    if (width < 0 || height < 0) return nullptr;
    return std::make_unique<MemoryBitmap>(width, height);
}

std::unique_ptr<Bitmap> posix::wrap_pixels(std::uint32_t* pixels, int width, int height,
                                           std::function<void()> release) {
    if (!pixels || width < 0 || height < 0) return nullptr;
    return std::make_unique<MemoryBitmap>(pixels, width, height, std::move(release));
}

std::unique_ptr<Bitmap> create_scaled_bitmap(int width, int height, int scale) {
    if (width < 0 || height < 0 || scale < 1 || scale > kMaxDisplayScale) return nullptr;
    return std::make_unique<MemoryBitmap>(width, height, scale);
}

void bit_blt(Bitmap& dst, int x, int y, int width, int height, const Bitmap& src, int src_x,
             int src_y, Rop rop) {
    raster::bit_blt(dst.surface(), x, y, width, height, src.surface(), src_x, src_y, rop);
}

void fill_rect(Bitmap& dst, int x, int y, int width, int height, std::uint32_t colorref) {
    raster::fill_rect(dst.surface(), x, y, width, height, colorref);
}

// Every bitmap of this back end is a MemoryBitmap.
Dc bitmap_dc(const Bitmap& bitmap) { return static_cast<const MemoryBitmap&>(bitmap).dc(); }

// Every device-context call is the raster's own.
#define ZEPHLORA_DRAW_CALL(result, name, parameters, arguments) \
    result name parameters { return raster::name arguments; }
#include "platform/draw_calls.h"
#undef ZEPHLORA_DRAW_CALL

}  // namespace plat
