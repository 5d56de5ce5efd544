// Win32 side of plat::Bitmap, for the window code that copies bitmaps to the screen.
#pragma once

#include "platform/draw.h"
#include "platform/win32/prelude.h"

namespace plat::win32 {

class DibBitmap final : public Bitmap {
public:
    DibBitmap(int width, int height);
    ~DibBitmap() override;
    DibBitmap(const DibBitmap&) = delete;
    DibBitmap& operator=(const DibBitmap&) = delete;

    Surface surface() const override;
    bool valid() const { return bits_ != nullptr; }
    HDC dc() const { return dc_; }

private:
    int width_, height_;
    HDC dc_ = nullptr;
    HBITMAP dib_ = nullptr;
    HGDIOBJ old_ = nullptr;
    std::uint32_t* bits_ = nullptr;
};

}  // namespace plat::win32
