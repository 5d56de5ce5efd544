// CP932 conversions through glibc's iconv.
#include "platform/text.h"

#include <iconv.h>

#include "common/cp932.h"
#include "platform/posix/native_path.h"

#include <cerrno>

namespace plat {
namespace {

// Converts with iconv; on an invalid or unconvertible sequence it skips one input byte and
// appends `replacement`. Returns false when anything had to be replaced.
bool convert(const char* to, const char* from, std::string_view in, std::string& out,
             std::string_view replacement) {
    out.clear();
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    bool clean = true;
    char* src = const_cast<char*>(in.data());
    std::size_t src_left = in.size();
    char buffer[1024];
    while (src_left > 0) {
        char* dst = buffer;
        std::size_t dst_left = sizeof buffer;
        const std::size_t r = iconv(cd, &src, &src_left, &dst, &dst_left);
        out.append(buffer, static_cast<std::size_t>(dst - buffer));
        if (r == static_cast<std::size_t>(-1)) {
            if (errno == E2BIG) continue;
            // EILSEQ or EINVAL: skip one byte of input (a whole UTF-8 sequence when converting
            // from UTF-8, so that one character gives one replacement).
            clean = false;
            std::size_t skip = 1;
            if (std::string_view(from) == "UTF-8") {
                while (skip < src_left && (static_cast<unsigned char>(src[skip]) & 0xC0) == 0x80) ++skip;
            }
            src += skip;
            src_left -= skip;
            out.append(replacement);
        }
    }
    iconv_close(cd);
    return clean;
}

}  // namespace

std::string cp932_to_utf8(std::string_view cp932) {
    std::string out;
    convert("UTF-8", "CP932", cp932, out, "\xEF\xBF\xBD");
    return out;
}

bool utf8_to_cp932(std::string_view utf8, std::string& out) {
    return convert("CP932", "UTF-8", utf8, out, "");
}

std::string utf8_to_cp932_in_place(std::string_view utf8) {
    std::string out;
    convert("CP932", "UTF-8", utf8, out, "?");
    return out;
}

namespace {

// Byte b (0x80 to 0xFF) travels as U+E000 + b, a character of the user-defined area, whose
// CP932 form is row F0 or F1 with 188 trail bytes a row (0x40 to 0x7E, 0x80 to 0xFC).
constexpr unsigned kCarriedFirst = 0x80;

void append_carried(std::string& out, unsigned char b) {
    const unsigned index = b;
    const unsigned row = index / 188, column = index % 188;
    out.push_back(static_cast<char>(0xF0 + row));
    out.push_back(static_cast<char>(column < 0x3F ? 0x40 + column : 0x80 + (column - 0x3F)));
}

// The byte that a CP932 double-byte character carries, or -1 when it is an ordinary one.
int carried_byte(unsigned char lead, unsigned char trail) {
    if (lead != 0xF0 && lead != 0xF1) return -1;
    unsigned column;
    if (trail >= 0x40 && trail <= 0x7E) column = trail - 0x40;
    else if (trail >= 0x80 && trail <= 0xFC) column = trail - 0x80 + 0x3F;
    else return -1;
    const unsigned index = (lead - 0xF0) * 188u + column;
    return index >= kCarriedFirst && index <= 0xFF ? static_cast<int>(index) : -1;
}

// Length of the well-formed UTF-8 sequence at the start of `s`, 0 when there is none.
std::size_t utf8_sequence(std::string_view s) {
    const auto c = static_cast<unsigned char>(s[0]);
    std::size_t n;
    unsigned code;
    if (c < 0x80) return 1;
    if (c >= 0xC2 && c <= 0xDF) { n = 2; code = c & 0x1Fu; }
    else if (c >= 0xE0 && c <= 0xEF) { n = 3; code = c & 0x0Fu; }
    else if (c >= 0xF0 && c <= 0xF4) { n = 4; code = c & 0x07u; }
    else return 0;
    if (s.size() < n) return 0;
    for (std::size_t i = 1; i < n; ++i) {
        const auto t = static_cast<unsigned char>(s[i]);
        if ((t & 0xC0) != 0x80) return 0;
        code = (code << 6) | (t & 0x3Fu);
    }
    const bool overlong = (n == 3 && code < 0x800) || (n == 4 && code < 0x10000);
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    if (overlong || surrogate || code > 0x10FFFF) return 0;
    // The carried characters themselves go byte by byte, so that the way back is exact.
    if (code >= 0xE000 + kCarriedFirst && code <= 0xE0FF) return 0;
    return n;
}

}  // namespace

std::string path_from_native(std::string_view bytes) {
    std::string out, one, back;
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t n = utf8_sequence(bytes.substr(at));
        if (n == 1) {
            out.push_back(bytes[at]);
        } else if (n > 1 && convert("CP932", "UTF-8", bytes.substr(at, n), one, "") && !one.empty() &&
                   convert("UTF-8", "CP932", one, back, "") && back == bytes.substr(at, n)) {
            out += one;
        } else {
            // No CP932 form that leads back to the same character (or no UTF-8 at all): every
            // byte is carried as it is.
            for (std::size_t i = 0; i < (n ? n : 1); ++i) append_carried(out, static_cast<unsigned char>(bytes[at + i]));
        }
        at += n ? n : 1;
    }
    return out;
}

std::string native_path(std::string_view cp932) {
    std::string out, run;
    std::size_t at = 0, run_start = 0;
    const auto flush = [&](std::size_t end) {
        if (end > run_start) {
            convert("UTF-8", "CP932", cp932.substr(run_start, end - run_start), run, "\xEF\xBF\xBD");
            out += run;
        }
    };
    while (at < cp932.size()) {
        const auto c = static_cast<unsigned char>(cp932[at]);
        if (common::IsCp932LeadByte(c) && at + 1 < cp932.size()) {
            const int carried = carried_byte(c, static_cast<unsigned char>(cp932[at + 1]));
            if (carried >= 0) {
                flush(at);
                out.push_back(static_cast<char>(carried));
                at += 2;
                run_start = at;
                continue;
            }
            at += 2;
        } else {
            ++at;
        }
    }
    flush(at);
    return out;
}

}  // namespace plat
