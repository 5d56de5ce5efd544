#include "assets/picture_decode.h"

#include <algorithm>
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

// A JPEG Huffman table names at most 256 codes. stb_image 2.27 takes the sixteen code counts
// of a table as they come and stores one entry per code in arrays of 256, so a table whose
// counts add up to more writes past them; such a picture is refused before it is decoded.
// Every table stb_image reads starts after the bytes FF C4 (a marker), so every place where
// they occur is looked at, the tables' segments read as the decoder reads them.
bool huffman_tables_fit(const unsigned char* data, std::size_t size) {
    // A JPEG begins with its start marker, which the decoder also finds after fill bytes
    // (FF FF ... D8).
    std::size_t start = 1;
    while (start < size && data[start] == 0xFF) ++start;
    if (size < 2 || data[0] != 0xFF || start == size || data[start] != 0xD8) return true;  // not a JPEG
    for (std::size_t at = start + 1; at + 3 < size; ++at) {
        if (data[at] != 0xFF || data[at + 1] != 0xC4) continue;
        const std::size_t length = (std::size_t{data[at + 2]} << 8) | data[at + 3];
        const std::size_t end = std::min(size, at + 2 + length);
        std::size_t table = at + 4;
        while (table < end) {
            std::size_t codes = 0;
            for (std::size_t i = 1; i <= 16 && table + i < size; ++i) codes += data[table + i];
            if (codes > 256) return false;
            table += 17 + codes;
        }
    }
    return true;
}

}  // namespace

std::optional<DecodedPicture> decode_picture(const unsigned char* data, std::size_t size) {
    if (data == nullptr || size == 0 || size > static_cast<std::size_t>(INT_MAX)) return std::nullopt;
    if (!huffman_tables_fit(data, size)) return std::nullopt;
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
