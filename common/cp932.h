#pragma once
// Byte rules of CP932 (Shift-JIS) text, the narrow text of the whole system: what a lead byte
// is, and ASCII case folding that leaves every other byte alone (a trail byte may look like
// a letter, so callers that walk text step over lead/trail pairs before folding).
#include <string>
#include <string_view>

namespace common {

// 0x81-0x9F and 0xE0-0xFC begin a two-byte character.
constexpr bool IsCp932LeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

constexpr char ToLowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
constexpr char ToUpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

inline std::string LowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = ToLowerAscii(c);
    return out;
}

inline std::string UpperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = ToUpperAscii(c);
    return out;
}

}  // namespace common
