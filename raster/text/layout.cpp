// DrawTextA's rules, line by line. The quirks kept here are the ones a caller can see: the
// blanks that stay at the end of a left-aligned line and count in its width, a word longer than
// the box that stays whole, "&" handling across tab pieces, and where a line after a break
// begins.
#include "raster/text/layout.h"

#include <algorithm>

#include "raster/text.h"
#include "raster/text/line_break.h"

namespace raster::text {
namespace {

constexpr char32_t kTab = 9, kLf = 10, kCr = 13, kSpace = 32, kPrefix = '&';

bool has(std::uint32_t format, std::uint32_t bit) { return (format & bit) != 0; }

int extent(std::u32string_view s, const AdvanceFn& advance) {
    int width = 0;
    for (char32_t c : s) width += advance(c);
    return width;
}

// How many leading characters of `s` end at or before `max_width`.
std::size_t fitting(std::u32string_view s, int max_width, const AdvanceFn& advance) {
    int width = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        width += advance(s[i]);
        if (width > max_width) return i;
    }
    return s.size();
}

struct Break {
    std::size_t length;  // characters that stay on the line
    std::size_t used;    // characters taken from the text (a blank after the break is dropped)
};

// A piece that does not fit: it ends at the last break opportunity within the characters that
// fit. A right-aligned or centred line drops the one blank before the break; a left-aligned line
// keeps it (and its width). Without an opportunity the whole word stays on the line, overflowing
// the box, and ends at the next blank.
Break word_break(std::u32string_view seg, std::size_t chars_fit, std::uint32_t format) {
    const std::vector<bool> breaks = break_opportunities(seg);
    std::size_t at = 0;
    for (std::size_t k = chars_fit; k >= 1 && chars_fit > 0; --k) {
        if (breaks[k]) {
            at = k;
            break;
        }
    }
    if (at > 0) {
        std::size_t end = at;
        if (has(format, dt::Center | dt::Right) && seg[at - 1] == kSpace) end = at - 1;
        const bool blank_after = end < seg.size() && seg[end] == kSpace;
        return {end, end + (blank_after ? 1 : 0)};
    }
    std::size_t end = chars_fit;
    while (end < seg.size() && seg[end] != kSpace) ++end;
    return {end, end + (end < seg.size() ? 1 : 0)};
}

// How many characters of the source piece `src` the first `n` characters of its
// prefix-free form came from: each "&" before a character is one more. The count of "&" that
// may be stepped over is bounded by the characters left over, as the line reader left them.
std::size_t source_length(std::u32string_view src, std::size_t n, bool prefixes) {
    if (!prefixes) return n;
    int spare = static_cast<int>(src.size()) - static_cast<int>(n);
    std::size_t pos = 0;
    while (n-- > 0) {
        if (pos < src.size() && src[pos] == kPrefix && spare-- != 0) ++pos;
        ++pos;
    }
    return std::min(pos, src.size());
}

// The last access-key character among the first `n` characters of a piece whose underlined
// character was cut off by a break; -1 if there is none.
int find_prefix(std::u32string_view src, std::size_t n) {
    int result = -1;
    std::size_t left = src.size();
    std::size_t pos = 0;
    for (std::size_t i = 0; i < n; ++i, ++pos) {
        if (left == 0) break;
        --left;
        if (src[pos] == kPrefix) {
            ++pos;
            if (left == 0) break;
            if (src[pos] != kPrefix) result = static_cast<int>(i);
            --left;
        }
    }
    return result;
}

struct Line {
    std::size_t consumed = 0;  // characters of the text this line took
    std::u32string text;       // what it shows: prefixes out, tabs kept
    int width = 0;
    int height = 0;            // 0 for a line without characters
    int prefix = -1;           // index in `text` of the underlined character
    bool more = false;         // text remains after it
};

Line next_line(std::u32string_view str, int width, std::uint32_t format, int tab_width,
               const LineMetrics& metrics, const AdvanceFn& advance) {
    const bool tabs = has(format, dt::ExpandTabs);
    const bool prefixes = !has(format, dt::NoPrefix);
    Line line;
    std::u32string& dest = line.text;
    std::size_t i = 0;
    std::size_t count = str.size();
    int pen = 0;
    while (count > 0) {
        if (str[i] == kTab && tabs) {
            pen = (pen / tab_width + 1) * tab_width;
            dest += str[i++];
            --count;
            while (count > 0 && str[i] == kTab) {
                pen += tab_width;
                dest += str[i++];
                --count;
            }
        }
        const std::size_t seg_i = i, seg_count = count, seg_j = dest.size();
        while (count > 0 && !(str[i] == kTab && tabs) &&
               ((str[i] != kCr && str[i] != kLf) || has(format, dt::SingleLine))) {
            // A "&" that is the text's last character is shown as it is.
            if (!prefixes || count <= 1) {
                dest += str[i++];
                --count;
                continue;
            }
            if (str[i] == kPrefix) {
                --count;
                ++i;
                if (str[i] == kPrefix) {  // "&&" shows one "&"
                    dest += str[i++];
                    --count;
                } else if (line.prefix == -1 || line.prefix >= static_cast<int>(seg_j)) {
                    line.prefix = static_cast<int>(dest.size());
                }
            } else {
                dest += str[i++];
                --count;
            }
        }

        std::u32string_view seg = std::u32string_view(dest).substr(seg_j);
        const int max_width = width - pen;
        std::size_t length = seg.size();
        const std::size_t fit = fitting(seg, max_width, advance);
        int seg_width = extent(seg, advance);
        bool broken = false;
        if (fit < seg.size() && has(format, dt::WordBreak)) {
            const Break b = word_break(seg, fit, format);
            length = b.length;
            seg_width = extent(seg.substr(0, length), advance);
            const std::size_t taken = source_length(str.substr(seg_i, i - seg_i), b.used, prefixes);
            count = seg_count - taken;
            i = seg_i + taken;
            broken = true;
        }
        dest.resize(seg_j + length);
        if (line.prefix >= static_cast<int>(seg_j + length)) {
            line.prefix = find_prefix(str.substr(seg_i, i - seg_i), length);
            if (line.prefix != -1) line.prefix += static_cast<int>(seg_j);
        }
        pen += seg_width;
        if (length > 0) line.height = std::max(line.height, metrics.height);

        if (broken || count == 0) break;
        if (str[i] == kCr || str[i] == kLf) {
            // CR, LF, CR LF and LF CR each end one line.
            --count;
            ++i;
            if (count > 0 && (str[i] == kCr || str[i] == kLf) && str[i] != str[i - 1]) {
                --count;
                ++i;
            }
            break;
        }
        // else a tab: the next piece of the same line
    }
    line.width = pen;
    line.consumed = i;
    line.more = count > 0;
    return line;
}

}  // namespace

Layout lay_out(std::u32string_view text, const plat::Rect& rect, std::uint32_t format,
               const LineMetrics& metrics, const AdvanceFn& advance) {
    Layout out;
    out.rect = rect;
    if (has(format, dt::SingleLine)) format &= ~dt::WordBreak;
    const int lh = metrics.height;
    if (text.empty()) {
        if (has(format, dt::CalcRect)) {
            out.rect.right = rect.left;
            out.rect.bottom = rect.top + (has(format, dt::SingleLine) ? lh : 0);
        }
        out.result = lh;
        return out;
    }
    const int tab_width = std::max(1, metrics.ave_char_width * 8);
    if (has(format, dt::CalcRect)) format |= dt::NoClip;

    const int width = rect.right - rect.left;
    int x = rect.left, y = rect.top;
    int max_width = 0;
    std::size_t pos = 0;
    bool more = true;
    bool last_line = false;
    while (more && !last_line) {
        // Without DT_NOCLIP the line that reaches past the bottom is the last one drawn.
        last_line = !has(format, dt::NoClip) && y + lh > rect.bottom;
        const Line line = next_line(text.substr(pos), width, format, tab_width, metrics, advance);
        pos += line.consumed;
        more = line.more;

        // Centring divides with truncation towards zero, as C does.
        if (has(format, dt::Center))
            x = (rect.left + rect.right - line.width) / 2;
        else if (has(format, dt::Right))
            x = rect.right - line.width;
        if (has(format, dt::SingleLine)) {
            if (has(format, dt::VCenter))
                y = rect.top + (rect.bottom - rect.top) / 2 - line.height / 2;
            else if (has(format, dt::Bottom))
                y = rect.bottom - line.height;
        }

        if (!has(format, dt::CalcRect)) {
            std::u32string_view rest = line.text;
            int piece_x = x;
            int prefix = line.prefix;
            while (!rest.empty()) {
                std::size_t len = rest.size();
                if (has(format, dt::ExpandTabs)) len = std::min(rest.find(kTab), rest.size());
                Run run;
                run.text = std::u32string(rest.substr(0, len));
                run.x = piece_x;
                run.y = y;
                run.width = extent(run.text, advance);
                run.underline = prefix != -1 && prefix < static_cast<int>(len) ? prefix : -1;
                out.runs.push_back(std::move(run));
                rest.remove_prefix(len);
                if (!rest.empty()) {
                    // A tab: the next piece starts at the tab stop after this piece's width,
                    // counted from this piece's start. The index of the underlined character
                    // is not corrected for the tab itself.
                    rest.remove_prefix(1);
                    piece_x += (out.runs.back().width / tab_width + 1) * tab_width;
                    if (prefix != -1) prefix = prefix < static_cast<int>(len) ? -1 : prefix - static_cast<int>(len);
                }
            }
        } else {
            max_width = std::max(max_width, line.width);
        }
        out.lines.push_back(plat::Rect{x, y, x + line.width, y + lh});
        y += lh;
    }
    if (has(format, dt::CalcRect)) {
        out.rect.right = rect.left + max_width;
        out.rect.bottom = y;
    }
    out.result = y - rect.top;
    if (out.result == 0) out.result = 1;
    return out;
}

}  // namespace raster::text
