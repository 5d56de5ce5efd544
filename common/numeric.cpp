#include "common/numeric.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace common {
namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Length of the longest prefix of `t` that reads as a decimal number, 0 when none.
std::size_t number_prefix(std::string_view t) {
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < t.size() && is_digit(t[i])) ++i, ++digits;
    if (i < t.size() && t[i] == '.') {
        ++i;
        while (i < t.size() && is_digit(t[i])) ++i, ++digits;
    }
    if (digits == 0) return 0;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < t.size() && (t[j] == '+' || t[j] == '-')) ++j;
        std::size_t exp_digits = 0;
        while (j < t.size() && is_digit(t[j])) ++j, ++exp_digits;
        if (exp_digits > 0) i = j;
    }
    return i;
}

double to_double(std::string_view t) {
    std::string s(t);
    return std::strtod(s.c_str(), nullptr);
}

}  // namespace

std::optional<double> parse_number(std::string_view text) {
    while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
    const std::size_t n = number_prefix(text);
    if (n == 0 || n != text.size()) return std::nullopt;
    const double v = to_double(text);
    if (!std::isfinite(v)) return std::nullopt;
    return v;
}

double leading_number(std::string_view text) {
    std::string compact;
    for (char c : text)
        if (!is_blank(c)) compact.push_back(c);
    const std::size_t n = number_prefix(compact);
    if (n == 0) return 0.0;
    const double v = to_double(std::string_view(compact).substr(0, n));
    return std::isfinite(v) ? v : 0.0;
}

double round_half_even(double value) { return std::nearbyint(value); }  // FE_TONEAREST

std::optional<std::int16_t> to_int16_floor(double value) {
    const double f = std::floor(value);
    if (!(f >= -32768.0 && f <= 32767.0)) return std::nullopt;
    return static_cast<std::int16_t>(f);
}

std::optional<std::int16_t> to_int16_rounded(double value) {
    const double r = round_half_even(value);
    if (!(r >= -32768.0 && r <= 32767.0)) return std::nullopt;
    return static_cast<std::int16_t>(r);
}

std::optional<std::int32_t> to_int32_rounded(double value) {
    const double r = round_half_even(value);
    if (!(r >= -2147483648.0 && r <= 2147483647.0)) return std::nullopt;
    return static_cast<std::int32_t>(r);
}

}  // namespace common
