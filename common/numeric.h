// Number reading and rounding rules shared by the settings, the shape reader, the command
// line and the music module.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace common {

// Strict reading: the whole text must be one decimal number (sign, digits, fraction,
// exponent), blanks around it allowed. Empty when it is not.
std::optional<double> parse_number(std::string_view text);

// Loose reading from the start of the text: blanks are skipped, reading stops at the first
// character that cannot continue a number; no digits gives 0.
double leading_number(std::string_view text);

// Nearest integer, halves to the even neighbour.
double round_half_even(double value);

// Conversions that fail (empty result) when the value does not fit the target type.
std::optional<std::int16_t> to_int16_floor(double value);
std::optional<std::int16_t> to_int16_rounded(double value);
std::optional<std::int32_t> to_int32_rounded(double value);

}  // namespace common
