#include "member_format.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace member_format {

namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

std::string_view after_equals(std::string_view line) {
    const auto eq = line.find('=');
    return eq == std::string_view::npos ? line : line.substr(eq + 1);
}

bool fail(std::string* why, const std::string& text) {
    if (why) *why = text;
    return false;
}

}  // namespace

std::optional<std::int32_t> parse_field(std::string_view text) {
    text = trim(text);
    if (text.empty()) return std::nullopt;
    std::size_t i = 0;
    if (text[i] == '+' || text[i] == '-') ++i;
    bool digits = false, point = false;
    for (; i < text.size(); ++i) {
        if (text[i] >= '0' && text[i] <= '9') {
            digits = true;
        } else if (text[i] == '.' && !point) {
            point = true;
        } else {
            return std::nullopt;
        }
    }
    if (!digits) return std::nullopt;
    const double value = std::strtod(std::string(text).c_str(), nullptr);
    const double rounded = std::nearbyint(value);  // the default mode rounds halves to even
    if (rounded < std::numeric_limits<std::int32_t>::min() || rounded > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(rounded);
}

std::optional<Member> parse(std::string_view bytes, std::string* why) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const auto end = bytes.find("\r\n", start);
        if (end == std::string_view::npos) {
            fail(why, "the last line has no CR LF");
            return std::nullopt;
        }
        const auto line = bytes.substr(start, end - start);
        if (line.find('\r') != std::string_view::npos || line.find('\n') != std::string_view::npos) {
            fail(why, "a lone CR or LF in line " + std::to_string(lines.size() + 1));
            return std::nullopt;
        }
        lines.push_back(line);
        start = end + 2;
    }
    if (lines.size() < 13) {
        fail(why, "fewer than 13 lines");
        return std::nullopt;
    }
    const auto top = parse_field(after_equals(lines[8]));
    if (!top || *top < 0 || *top > 32767) {
        fail(why, "line 9 holds no dot count");
        return std::nullopt;
    }
    Member member;
    if (lines[9].find("Not Available") == std::string_view::npos) {
        const auto faces = parse_field(after_equals(lines[9]));
        if (!faces) {
            fail(why, "line 10 holds neither \"Not Available\" nor a face count");
            return std::nullopt;
        }
        member.face_count = *faces;
    }
    if (lines.size() < 13 + static_cast<std::size_t>(*top)) {
        fail(why, "fewer dot lines than the count promises");
        return std::nullopt;
    }
    for (int i = 0; i <= *top; ++i) {
        const auto line = lines[12 + i];
        const auto bang = line.find('!');
        const auto at = line.find('@');
        const auto star = line.find('*');
        if (bang == std::string_view::npos || at == std::string_view::npos || at < bang ||
            (star != std::string_view::npos && star < at)) {
            fail(why, "dot " + std::to_string(i) + ": separators missing or out of order");
            return std::nullopt;
        }
        const auto x = parse_field(line.substr(0, bang));
        const auto y = parse_field(line.substr(bang + 1, at - bang - 1));
        const auto z = star == std::string_view::npos ? parse_field(line.substr(at + 1))
                                                       : parse_field(line.substr(at + 1, star - at - 1));
        const auto w = star == std::string_view::npos ? std::optional<std::int32_t>(0)
                                                       : parse_field(line.substr(star + 1));
        if (!x || !y || !z || !w) {
            fail(why, "dot " + std::to_string(i) + ": a field is not a number");
            return std::nullopt;
        }
        member.dots.push_back(Dot{*x, *y, *z, *w});
    }
    for (std::size_t k = 13 + static_cast<std::size_t>(*top); k < lines.size(); ++k)
        member.after.emplace_back(lines[k]);
    return member;
}

}  // namespace member_format
