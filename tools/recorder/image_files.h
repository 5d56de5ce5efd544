// Picture files: reading the pictures given with --pictures, writing frames as single PNG
// files and as an animated PNG of many frames.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/draw.h"

namespace recorder {

// A picture file (PNG, JPEG, BMP) as a bitmap, decoded as the shipped pictures are; null when
// it cannot be read.
std::unique_ptr<plat::Bitmap> ReadPicture(const std::string& path);

// The surface's pixels (0x00RRGGBB) as an RGB PNG file.
bool WritePng(const std::string& path, const plat::Surface& surface);

// An animated PNG built frame by frame; every frame is shown for `delay_ms`.
class ApngWriter {
public:
    ApngWriter(std::string path, int width, int height, int delay_ms);
    void AddFrame(const plat::Surface& surface);
    bool Finish();  // writes the file

private:
    std::string path_;
    int width_, height_, delay_ms_;
    std::vector<std::vector<std::uint8_t>> frames_;  // compressed image data of each frame
};

}  // namespace recorder
