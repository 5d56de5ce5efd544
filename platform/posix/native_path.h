// File names on POSIX systems are bytes, most often UTF-8, and not every name has a CP932
// form (an accented letter, an emoji, a byte that is no UTF-8 at all). The core keeps paths
// as CP932 text, so the back ends carry every such byte through it as a character of the
// CP932 user-defined area (U+E080 to U+E0FF, one for each byte 0x80 to 0xFF): the program's
// folder and the files in it are then reached by exactly the bytes the system gave, and a
// name is never replaced by a look-alike. A name that itself holds one of those 128
// characters is carried byte by byte too, so the way back is always exact.
#pragma once

#include <string>
#include <string_view>

namespace plat {

// A name as the system gave it, as CP932 text that native_path turns back into the same bytes.
std::string path_from_native(std::string_view bytes);

// The bytes to hand to the system for a CP932 path: the carried bytes as they were, the rest
// converted to UTF-8.
std::string native_path(std::string_view cp932);

}  // namespace plat
