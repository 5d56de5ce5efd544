// The pictures that ship inside the executable (Windows resources in Zephlora.scr,
// compiled-in data in the Linux build), decoded to the same pixels everywhere.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "platform/draw.h"
// plat::Picture, kPictureCount and picture_file_name, written at build time from the picture
// list assets/pictures.txt.
#include "platform/picture_list.h"

namespace plat {

// Null when the picture cannot be decoded.
std::unique_ptr<Bitmap> load_picture(Picture picture);

// The bytes of a picture file (PNG, JPEG or BMP) decoded the way load_picture decodes the
// shipped ones; null when they are no picture this program can read.
std::unique_ptr<Bitmap> decode_picture_file(const unsigned char* data, std::size_t size);

// A bitmap holding the given pixels (row by row, 0x00RRGGBB); null when none can be made.
inline std::unique_ptr<Bitmap> bitmap_of_pixels(int width, int height, const std::uint32_t* pixels) {
    auto bitmap = create_bitmap(width, height);
    if (!bitmap) return nullptr;
    const Surface s = bitmap->surface();
    if (s.width != width || s.height != height) return nullptr;
    for (int y = 0; y < height; ++y) {
        std::memcpy(s.row(y), pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(width),
                    static_cast<std::size_t>(width) * sizeof(std::uint32_t));
    }
    return bitmap;
}

}  // namespace plat
