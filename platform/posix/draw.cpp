// Bitmaps in plain memory, drawn with the software raster.
#include <vector>

#include "platform/draw.h"
#include "platform/soft/raster.h"

namespace plat {
namespace {

class MemoryBitmap final : public Bitmap {
public:
    MemoryBitmap(int width, int height)
        : width_(width), height_(height),
          pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0u) {}
    Surface surface() const override {
        return Surface{const_cast<std::uint32_t*>(pixels_.data()), width_, height_, width_};
    }

private:
    int width_, height_;
    std::vector<std::uint32_t> pixels_;
};

}  // namespace

std::unique_ptr<Bitmap> create_bitmap(int width, int height) {
    if (width < 0 || height < 0) return nullptr;
    return std::make_unique<MemoryBitmap>(width, height);
}

void bit_blt(Bitmap& dst, int x, int y, int width, int height, const Bitmap& src, int src_x,
             int src_y, Rop rop) {
    soft::bit_blt(dst.surface(), x, y, width, height, src.surface(), src_x, src_y, rop);
}

void fill_rect(Bitmap& dst, int x, int y, int width, int height, std::uint32_t colorref) {
    soft::fill_rect(dst.surface(), x, y, width, height, colorref);
}

}  // namespace plat
