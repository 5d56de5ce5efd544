// Bitmaps are top-down 32-bit DIB sections, each selected into its own memory device
// context, so that the software raster draws into their bits and GDI can copy them to a
// window in one call.
#include "platform/draw.h"
#include "platform/soft/raster.h"
#include "platform/win32/draw_win32.h"

namespace plat {
namespace win32 {

DibBitmap::DibBitmap(int width, int height) : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc_ = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    dib_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<std::uint32_t*>(bits);
    if (dib_) old_ = SelectObject(dc_, dib_);
}

DibBitmap::~DibBitmap() {
    if (dc_) {
        if (old_) SelectObject(dc_, old_);
        DeleteDC(dc_);
    }
    if (dib_) DeleteObject(dib_);
}

Surface DibBitmap::surface() const {
    if (!bits_) return Surface{};
    return Surface{bits_, width_, height_, width_};
}

}  // namespace win32

std::unique_ptr<Bitmap> create_bitmap(int width, int height) {
    if (width <= 0 || height <= 0) return nullptr;
    auto bitmap = std::make_unique<win32::DibBitmap>(width, height);
    if (!bitmap->valid()) return nullptr;
    return bitmap;
}

void bit_blt(Bitmap& dst, int x, int y, int width, int height, const Bitmap& src, int src_x,
             int src_y, Rop rop) {
    GdiFlush();  // the raster writes the bits directly
    soft::bit_blt(dst.surface(), x, y, width, height, src.surface(), src_x, src_y, rop);
}

void fill_rect(Bitmap& dst, int x, int y, int width, int height, std::uint32_t colorref) {
    GdiFlush();
    soft::fill_rect(dst.surface(), x, y, width, height, colorref);
}

}  // namespace plat
