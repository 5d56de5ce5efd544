// Decoding of the pictures that ship inside the executables. Both builds decode the same file
// bytes with the same decoder (stb_image), so they get the same pixels.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "platform/draw.h"
#include "platform/pictures.h"

namespace assets {

struct DecodedPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // row by row, 0x00RRGGBB
};

// PNG, JPEG or BMP bytes to pixels; nothing when the bytes are not a picture it can read.
std::optional<DecodedPicture> decode_picture(const unsigned char* data, std::size_t size);

// The file in assets/pictures/ that holds a picture; empty for a value outside the enum.
const char* picture_file_name(plat::Picture picture);

// Resource id of a picture in Zephlora.scr (RCDATA with the file's bytes).
inline constexpr int kPictureResourceBase = 100;

// Copies decoded pixels into a bitmap of the platform.
inline std::unique_ptr<plat::Bitmap> to_bitmap(const DecodedPicture& picture) {
    auto bitmap = plat::create_bitmap(picture.width, picture.height);
    if (!bitmap) return nullptr;
    const plat::Surface s = bitmap->surface();
    if (s.width != picture.width || s.height != picture.height) return nullptr;
    for (int y = 0; y < picture.height; ++y) {
        std::memcpy(s.row(y), picture.pixels.data() + static_cast<std::size_t>(y) * picture.width,
                    static_cast<std::size_t>(picture.width) * sizeof(std::uint32_t));
    }
    return bitmap;
}

}  // namespace assets
