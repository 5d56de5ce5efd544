// Where the lines of a text landed on a white 32-bit picture on which it was drawn in OPAQUE mode
// with a black background and white text: each line paints its cell black (the glyphs inside
// it white or grey, any glyph ink outside it white on white). Lines are `line_height` rows
// apart from the first non-white row; each band of rows that holds anything gives
// "top:left-right" (right exclusive), joined by commas; "none" for a white picture. Both sides
// of the text cross-check describe their pictures with it.
#pragma once

#include <cstdint>
#include <string>

namespace text_check {

inline std::string line_cells(const std::uint32_t* pixels, int width, int height, int line_height) {
    const auto ink = [&](int x, int y) { return (pixels[y * width + x] & 0xFFFFFF) != 0xFFFFFF; };
    int first = -1;
    for (int y = 0; y < height && first < 0; ++y)
        for (int x = 0; x < width; ++x)
            if (ink(x, y)) {
                first = y;
                break;
            }
    if (first < 0 || line_height <= 0) return "none";
    std::string out;
    for (int top = first; top < height; top += line_height) {
        int left = width, right = -1;
        for (int y = top; y < top + line_height && y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (ink(x, y)) {
                    left = x < left ? x : left;
                    right = x + 1 > right ? x + 1 : right;
                }
        if (right < 0) continue;
        if (!out.empty()) out += ',';
        out += std::to_string(top) + ":" + std::to_string(left) + "-" + std::to_string(right);
    }
    return out;
}

// The picture both sides draw on, and where the text's box starts in it.
constexpr int kPictureWidth = 480, kPictureHeight = 320, kBoxLeft = 20, kBoxTop = 10;

}  // namespace text_check
