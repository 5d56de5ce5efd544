// The pixel layer of the software raster: spans and rectangles combined by a ternary raster
// operation from the destination, a source and a tiled pattern. It knows nothing of device
// contexts; the device-context layer (gdi_*.cpp) has already clipped and converted.
//
// Pixels: colour bitmaps hold 0x00RRGGBB as in plat::Surface; monochrome bitmaps hold one
// word per pixel, 0 for bit 0 (black) and all ones for bit 1 (white), so that the raster
// operations work on both kinds alike.
#pragma once

#include <cstdint>

#include "platform/draw.h"
#include "platform/types.h"

namespace raster {

constexpr std::uint32_t kMonoWhite = 0xFFFFFFFFu;

// COLORREF 0x00BBGGRR to a colour pixel 0x00RRGGBB (the top byte, a palette flag, is dropped).
inline std::uint32_t pixel_of(plat::ColorRef c) {
    return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}
inline plat::ColorRef color_of(std::uint32_t p) {
    return ((p & 0xFFu) << 16) | (p & 0xFF00u) | ((p >> 16) & 0xFFu);
}

// A raster operation's truth table: bit (P << 2 | S << 1 | D) of `code` is the result for
// that combination of pattern, source and destination bits; applied to every bit of a word.
inline std::uint32_t rop3(std::uint8_t code, std::uint32_t p, std::uint32_t s, std::uint32_t d) {
    std::uint32_t out = 0;
    for (int i = 0; i < 8; ++i)
        if (code & (1u << i))
            out |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
    return out;
}

// Whether a raster operation reads the source or the pattern at all.
inline bool rop_uses_source(std::uint8_t code) { return ((code >> 2) & 0x33) != (code & 0x33); }
inline bool rop_uses_pattern(std::uint8_t code) { return ((code >> 4) & 0x0F) != (code & 0x0F); }

// A pattern tiled from the surface's origin: pixel (x, y) takes pixels[y mod h][x mod w].
struct Pattern {
    const std::uint32_t* pixels = nullptr;
    int width = 1, height = 1;
    std::uint32_t at(int x, int y) const {
        const int px = ((x % width) + width) % width, py = ((y % height) + height) % height;
        return pixels[py * width + px];
    }
};

// dst(x, y) = rop(pattern(x, y), src(x + src_dx, y + src_dy), dst(x, y)) for every pixel of
// `area`, which lies inside dst (and, moved, inside src). `src` may be null when the
// operation reads no source; `pattern` null when it reads no pattern. Source and destination
// are distinct pixels (the caller copies overlapping sources first).
void rop_rect(const plat::Surface& dst, const plat::Rect& area, const plat::Surface* src, int src_dx,
              int src_dy, const Pattern* pattern, std::uint8_t code);

// StretchBlt's HALFTONE mode between two colour surfaces, whole onto whole: each destination
// pixel samples the source at steps of source size / destination size from the top-left
// pixel (no half-pixel offset), and blends the four neighbours bilinearly in single
// precision, each channel rounded half up.
void halftone(const plat::Surface& dst, const plat::Surface& src);

}  // namespace raster
