// Where a line of text may break, after the Unicode line-breaking classes that matter for the
// product's text (Latin, digits, punctuation, kana, kanji, full- and half-width forms): after a
// run of blanks, and between two ideographic characters, but never before closing punctuation,
// small kana or the long-vowel mark, and never after an opening bracket.
#pragma once

#include <string_view>
#include <vector>

namespace raster::text {

// result[k] is true when a line may end just before text[k]; result[0] is always false.
std::vector<bool> break_opportunities(std::u32string_view text);

}  // namespace raster::text
