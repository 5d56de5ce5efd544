// CP932 through glibc's iconv, one character at a time, so that every character keeps its
// place even where a pair is undefined.
#include "raster/text/cp932_decode.h"

#include <iconv.h>

#include "common/cp932.h"

namespace raster::text {
namespace {

class Converter {
public:
    explicit Converter(const char* to) : cd_(iconv_open(to, "CP932")) {}
    ~Converter() {
        if (ok()) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts one whole character; false when iconv refuses it.
    bool convert(std::string_view in, char* out, std::size_t out_size, std::size_t& written) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        std::size_t src_left = in.size();
        char* dst = out;
        std::size_t dst_left = out_size;
        if (iconv(cd_, &src, &src_left, &dst, &dst_left) == static_cast<std::size_t>(-1) || src_left != 0)
            return false;
        written = out_size - dst_left;
        return true;
    }

private:
    iconv_t cd_;
};

// Calls `emit(bytes, is_pair)` for each character of `bytes`.
template <typename Emit>
void each_character(std::string_view bytes, Emit emit) {
    for (std::size_t i = 0; i < bytes.size();) {
        const bool lead = common::IsCp932LeadByte(static_cast<unsigned char>(bytes[i]));
        const std::size_t n = lead && i + 1 < bytes.size() ? 2 : 1;
        emit(bytes.substr(i, n), lead);
        i += n;
    }
}

}  // namespace

std::u32string decode_cp932(std::string_view bytes) {
    std::u32string out;
    thread_local Converter to_utf32("UTF-32LE");
    each_character(bytes, [&](std::string_view ch, bool lead) {
        char buffer[8];
        std::size_t written = 0;
        if (to_utf32.ok() && to_utf32.convert(ch, buffer, sizeof buffer, written) && written == 4) {
            const auto b = [&](int k) { return static_cast<char32_t>(static_cast<unsigned char>(buffer[k])); };
            out += b(0) | b(1) << 8 | b(2) << 16 | b(3) << 24;
        } else if (lead && ch.size() == 1) {
            out += U'?';
        } else {
            out += lead ? char32_t{0x30FB} : char32_t{0xFFFD};
        }
    });
    return out;
}

std::string cp932_to_utf8(std::string_view bytes) {
    std::string out;
    thread_local Converter to_utf8("UTF-8");
    each_character(bytes, [&](std::string_view ch, bool) {
        char buffer[8];
        std::size_t written = 0;
        if (to_utf8.ok() && to_utf8.convert(ch, buffer, sizeof buffer, written))
            out.append(buffer, written);
        else
            out += '?';
    });
    return out;
}

}  // namespace raster::text
