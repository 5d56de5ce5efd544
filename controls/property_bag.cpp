#include "controls/property_bag.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace controls {
namespace {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
               return lower(x) == lower(y);
           });
}

// Hexadecimal digits as a 32-bit pattern: "&HFFFFFFFF&" is -1, as the host reads a colour.
std::optional<std::int32_t> ParseHex(std::string_view digits) {
    if (digits.empty() || digits.size() > 8) return std::nullopt;
    std::uint32_t value = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, 16);
    if (error != std::errc{} || end != digits.data() + digits.size()) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

}  // namespace

std::optional<std::int32_t> ParseStoredInt(std::string_view text) {
    text = Trim(text);
    if (text.size() > 2 && (text[0] == '&') && (text[1] == 'H' || text[1] == 'h')) {
        std::string_view digits = text.substr(2);
        if (!digits.empty() && digits.back() == '&') digits.remove_suffix(1);
        return ParseHex(digits);
    }
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) return ParseHex(text.substr(2));
    std::int32_t value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 10);
    if (error != std::errc{} || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

std::optional<bool> ParseStoredBool(std::string_view text) {
    text = Trim(text);
    if (EqualsNoCase(text, "true")) return true;
    if (EqualsNoCase(text, "false")) return false;
    if (auto number = ParseStoredInt(text)) return *number != 0;
    return std::nullopt;
}

std::optional<StoredFont> ParseStoredFont(std::string_view text) {
    StoredFont font;
    std::size_t field = 0;
    while (true) {
        const std::size_t comma = text.find(',');
        const std::string_view part = Trim(text.substr(0, comma));
        if (field == 0) {
            if (part.empty()) return std::nullopt;
            font.face_cp932 = std::string(part);
        } else if (field == 1) {
            // Points may carry a fraction ("9.75"); from_chars for double is not in every
            // library this builds with, so the fraction is read by hand.
            const std::size_t dot = part.find('.');
            const auto whole = ParseStoredInt(part.substr(0, dot));
            if (!whole || *whole <= 0 || *whole > 1000) return std::nullopt;
            double points = *whole;
            if (dot != std::string_view::npos) {
                double scale = 0.1;
                for (char c : part.substr(dot + 1)) {
                    if (c < '0' || c > '9') return std::nullopt;
                    points += (c - '0') * scale;
                    scale /= 10;
                }
            }
            font.points = points;
        } else if (auto charset = ParseStoredInt(part)) {
            if (*charset < 0 || *charset > 255) return std::nullopt;
            font.charset = *charset;
        } else if (EqualsNoCase(part, "bold")) {
            font.bold = true;
        } else if (EqualsNoCase(part, "italic")) {
            font.italic = true;
        } else if (EqualsNoCase(part, "underline")) {
            font.underline = true;
        } else if (EqualsNoCase(part, "strikeout")) {
            font.strikeout = true;
        } else {
            return std::nullopt;
        }
        ++field;
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    if (field < 2) return std::nullopt;
    return font;
}

std::string FormatStoredColour(std::uint32_t colour) {
    char text[16];
    std::snprintf(text, sizeof text, "&H%08X&", static_cast<unsigned>(colour));
    return text;
}

std::string FormatStoredFont(const StoredFont& font) {
    char points[32];
    std::snprintf(points, sizeof points, "%g", font.points);
    std::string text = font.face_cp932 + "," + points + "," + std::to_string(font.charset);
    if (font.bold) text += ",bold";
    if (font.italic) text += ",italic";
    if (font.underline) text += ",underline";
    if (font.strikeout) text += ",strikeout";
    return text;
}

const std::string* PropertyBag::find(std::string_view key) const {
    for (const Entry& entry : entries_)
        if (EqualsNoCase(entry.key, key)) return &entry.value;
    return nullptr;
}

std::int32_t PropertyBag::read_int(std::string_view key, std::int32_t fallback) const {
    const std::string* text = find(key);
    if (!text) return fallback;
    return ParseStoredInt(*text).value_or(fallback);
}

std::uint32_t PropertyBag::read_colour(std::string_view key, std::uint32_t fallback) const {
    return static_cast<std::uint32_t>(read_int(key, static_cast<std::int32_t>(fallback)));
}

bool PropertyBag::read_bool(std::string_view key, bool fallback) const {
    const std::string* text = find(key);
    if (!text) return fallback;
    return ParseStoredBool(*text).value_or(fallback);
}

std::string PropertyBag::read_text(std::string_view key, std::string_view fallback) const {
    const std::string* text = find(key);
    return text ? *text : std::string(fallback);
}

std::optional<StoredFont> PropertyBag::read_font(std::string_view key) const {
    const std::string* text = find(key);
    if (!text) return std::nullopt;
    return ParseStoredFont(*text);
}

void PropertyBag::set(std::string_view key, std::string_view value) {
    for (Entry& entry : entries_)
        if (EqualsNoCase(entry.key, key)) {
            entry.value = std::string(value);
            return;
        }
    entries_.push_back({std::string(key), std::string(value)});
}

void PropertyBag::erase(std::string_view key) {
    std::erase_if(entries_, [&](const Entry& entry) { return EqualsNoCase(entry.key, key); });
}

void PropertyBag::write_int(std::string_view key, std::int32_t value, std::optional<std::int32_t> fallback) {
    if (fallback && value == *fallback) return erase(key);
    set(key, std::to_string(value));
}

void PropertyBag::write_colour(std::string_view key, std::uint32_t value, std::optional<std::uint32_t> fallback) {
    if (fallback && value == *fallback) return erase(key);
    set(key, FormatStoredColour(value));
}

void PropertyBag::write_bool(std::string_view key, bool value, std::optional<bool> fallback) {
    if (fallback && value == *fallback) return erase(key);
    set(key, value ? "True" : "False");
}

void PropertyBag::write_text(std::string_view key, std::string_view value, std::optional<std::string_view> fallback) {
    if (fallback && value == *fallback) return erase(key);
    set(key, value);
}

void PropertyBag::write_font(std::string_view key, const StoredFont& font) { set(key, FormatStoredFont(font)); }

}  // namespace controls
