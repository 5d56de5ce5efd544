// DrawTextA's line layout, apart from fonts and pixels: which characters make each line, where
// each line and each tab-separated piece of it goes, which character is underlined, the
// rectangle that DT_CALCRECT reports and the value that DrawTextA returns. Text here is already
// decoded to code points.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "platform/types.h"

namespace raster::text {

// What the layout needs of a font.
struct LineMetrics {
    int height = 0;          // tmHeight: every line is this tall
    int ascent = 0;          // tmAscent: the baseline lies this far below a line's top
    int ave_char_width = 0;  // tmAveCharWidth: tab stops lie every eight of these
};

// The advance of one character in pixels.
using AdvanceFn = std::function<int(char32_t)>;

// One piece of a line drawn with one call: the text between tabs, prefixes taken out.
struct Run {
    std::u32string text;
    int x = 0, y = 0;      // top-left corner of the run's cell
    int width = 0;         // sum of the advances
    int underline = -1;    // index in `text` of the access-key character, or -1
};

struct Layout {
    std::vector<Run> runs;
    std::vector<plat::Rect> lines;  // each line's box: its left x, its width, its top and height
    plat::Rect rect;                // the rectangle that DT_CALCRECT reports
    int result = 0;                 // DrawTextA's return value
};

// Lays out `text` in `rect` by the DT_* bits of `format`.
Layout lay_out(std::u32string_view text, const plat::Rect& rect, std::uint32_t format,
               const LineMetrics& metrics, const AdvanceFn& advance);

}  // namespace raster::text
