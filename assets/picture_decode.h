// Decoding of the pictures that ship inside the executables. Both builds decode the same file
// bytes with the same decoder (stb_image), so they get the same pixels. The decoder knows
// nothing of the platform: each back end turns the pixels into its own bitmaps.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace assets {

struct DecodedPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // row by row, 0x00RRGGBB
};

// PNG, JPEG or BMP bytes to pixels; nothing when the bytes are not a picture it can read.
std::optional<DecodedPicture> decode_picture(const unsigned char* data, std::size_t size);

}  // namespace assets
