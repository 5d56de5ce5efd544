#include "assets/picture_decode.h"

#include <climits>

// The decoder proper: only the formats the program ships, and no file access of its own.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_BMP
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#endif
#include <stb_image.h>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

namespace assets {

namespace {

// Largest picture accepted; the shipped ones are all far smaller.
constexpr int kMaxSide = 4096;

}  // namespace

std::optional<DecodedPicture> decode_picture(const unsigned char* data, std::size_t size) {
    if (data == nullptr || size == 0 || size > static_cast<std::size_t>(INT_MAX)) return std::nullopt;
    int w = 0, h = 0, channels = 0;
    if (!stbi_info_from_memory(data, static_cast<int>(size), &w, &h, &channels)) return std::nullopt;
    if (w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide) return std::nullopt;
    unsigned char* rgb = stbi_load_from_memory(data, static_cast<int>(size), &w, &h, &channels, 3);
    if (rgb == nullptr) return std::nullopt;
    DecodedPicture out;
    out.width = w;
    out.height = h;
    out.pixels.resize(static_cast<std::size_t>(w) * h);
    for (std::size_t i = 0; i < out.pixels.size(); ++i) {
        const unsigned char* p = rgb + i * 3;
        out.pixels[i] = (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
    }
    stbi_image_free(rgb);
    return out;
}

}  // namespace assets
