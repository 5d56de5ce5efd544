// CP932 conversions through glibc's iconv.
#include "platform/text.h"

#include <iconv.h>

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

}  // namespace plat
