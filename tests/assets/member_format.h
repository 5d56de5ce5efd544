// A strict reading of the shape member format, for checking the shipped pack: CR LF lines,
// the dot count on line 9 after "=", line 10 "Not Available" or a face count, dots
// X!Y@Z[*W] from line 13, each field a decimal number rounded half to even.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace member_format {

struct Dot {
    std::int32_t x = 0, y = 0, z = 0, w = 0;
};

struct Member {
    std::vector<Dot> dots;          // dots 0..N
    std::optional<int> face_count;  // nothing when line 10 says "Not Available"
    std::vector<std::string> after; // the lines after the last dot
};

// Nothing when the text breaks a rule; `why` says which.
std::optional<Member> parse(std::string_view bytes, std::string* why = nullptr);

// A number field: blanks around it, decimal, rounded to nearest with halves to even, 32-bit.
std::optional<std::int32_t> parse_field(std::string_view text);

}  // namespace member_format
