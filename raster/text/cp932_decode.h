// CP932 bytes to code points, one per character: a lead byte and the byte after it make one
// character (common/cp932.h says which bytes lead).
#pragma once

#include <string>
#include <string_view>

namespace raster::text {

// A pair that CP932 does not define decodes to U+30FB, as Windows' table maps it; a lead byte
// with no byte after it decodes to "?".
std::u32string decode_cp932(std::string_view bytes);

// The same text in UTF-8 (for font names, which fontconfig takes in UTF-8).
std::string cp932_to_utf8(std::string_view bytes);

}  // namespace raster::text
