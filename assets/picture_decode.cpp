#include "assets/picture_decode.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

// stb_image's declarations; its code is stb_image.cpp.
#include <stb_image.h>

namespace assets {

namespace {

// Largest picture accepted; the shipped ones are all far smaller.
constexpr int kMaxSide = 4096;

// A scan names for each of its components a DC and an AC Huffman table (0 to 3 each), and
// stb_image 2.27 decodes with whatever the named slot holds, defined or not: a slot that no
// table reached makes it read far outside its tables. The segments are walked in order as the
// decoder reads them (a scan's coded data runs to the next marker that is neither a restart
// nor a stuffed zero), and a scan that names a table not defined before it is refused.
bool scans_use_defined_tables(const unsigned char* data, std::size_t size, std::size_t at) {
    bool defined[2][4] = {};
    while (at + 1 < size) {
        if (data[at] != 0xFF) {  // coded data of a scan, or bytes the decoder skips
            ++at;
            continue;
        }
        const unsigned char marker = data[at + 1];
        if (marker == 0xFF || marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8)) {
            at += marker == 0xFF ? 1 : 2;  // fill byte, stuffed zero, or a marker without length
            continue;
        }
        if (marker == 0xD9) return true;  // end of the picture
        if (at + 3 >= size) return true;
        const std::size_t length = (std::size_t{data[at + 2]} << 8) | data[at + 3];
        const std::size_t begin = at + 4, end = std::min(size, at + 2 + length);
        if (marker == 0xC4) {
            for (std::size_t table = begin; table < end;) {
                const unsigned kind = data[table] >> 4, slot = data[table] & 15;
                if (kind < 2 && slot < 4) defined[kind][slot] = true;
                std::size_t codes = 0;
                for (std::size_t i = 1; i <= 16 && table + i < size; ++i) codes += data[table + i];
                table += 17 + codes;
            }
        } else if (marker == 0xDA && begin < end) {
            const std::size_t components = data[begin];
            for (std::size_t c = 0; c < components && begin + 2 + 2 * c < end; ++c) {
                const unsigned tables = data[begin + 2 + 2 * c];
                if ((tables >> 4) < 4 && !defined[0][tables >> 4]) return false;
                if ((tables & 15) < 4 && !defined[1][tables & 15]) return false;
            }
        }
        at = std::max(at + 2, begin + (length >= 2 ? length - 2 : 0));
    }
    return true;
}

// A JPEG Huffman table names at most 256 codes. stb_image 2.27 takes the sixteen code counts
// of a table as they come and stores one entry per code in arrays of 256, so a table whose
// counts add up to more writes past them; such a picture is refused before it is decoded.
// Every table stb_image reads starts after the bytes FF C4 (a marker), so every place where
// they occur is looked at, the tables' segments read as the decoder reads them.
bool huffman_tables_fit(const unsigned char* data, std::size_t size) {
    // A JPEG begins with its start marker, which the decoder also finds after fill bytes
    // (FF FF ... D8).
    std::size_t start = 1;
    while (start < size && data[start] == 0xFF) ++start;
    if (size < 2 || data[0] != 0xFF || start == size || data[start] != 0xD8) return true;  // not a JPEG
    for (std::size_t at = start + 1; at + 3 < size; ++at) {
        if (data[at] != 0xFF || data[at + 1] != 0xC4) continue;
        const std::size_t length = (std::size_t{data[at + 2]} << 8) | data[at + 3];
        const std::size_t end = std::min(size, at + 2 + length);
        std::size_t table = at + 4;
        while (table < end) {
            std::size_t codes = 0;
            for (std::size_t i = 1; i <= 16 && table + i < size; ++i) codes += data[table + i];
            if (codes > 256) return false;
            table += 17 + codes;
        }
    }
    return scans_use_defined_tables(data, size, start + 1);
}

// stb_image 2.27 makes room for a PNG's image data chunk (IDAT) as long as the chunk says it
// is, doubled up to 2 GB, before it reads the data, and only then finds the bytes missing: a
// few hundred bytes could ask for gigabytes. The chunks (length, type, data, check sum) are
// walked as the decoder reads them up to the end chunk, and a picture whose image data chunk
// claims more bytes than follow it, which the decoder would refuse as cut short, is refused
// before it is decoded.
bool png_chunks_fit(const unsigned char* data, std::size_t size) {
    static constexpr unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (size < 8 || !std::equal(kSignature, kSignature + 8, data)) return true;  // not a PNG
    const auto type_is = [&](std::size_t at, const char* type) { return std::equal(type, type + 4, data + at + 4); };
    for (std::size_t at = 8; at + 8 <= size;) {
        const std::size_t length = (std::size_t{data[at]} << 24) | (std::size_t{data[at + 1]} << 16) |
                                   (std::size_t{data[at + 2]} << 8) | data[at + 3];
        if (type_is(at, "IEND")) return true;
        if (length > size - (at + 8)) return !type_is(at, "IDAT");
        at += 8 + length + 4;
    }
    return true;
}

}  // namespace

std::optional<DecodedPicture> decode_picture(const unsigned char* data, std::size_t size) {
    if (data == nullptr || size == 0 || size > static_cast<std::size_t>(INT_MAX)) return std::nullopt;
    if (!huffman_tables_fit(data, size) || !png_chunks_fit(data, size)) return std::nullopt;
    int w = 0, h = 0, channels = 0;
    if (!stbi_info_from_memory(data, static_cast<int>(size), &w, &h, &channels)) return std::nullopt;
    if (w <= 0 || h <= 0 || w > kMaxSide || h > kMaxSide) return std::nullopt;
    unsigned char* rgb = stbi_load_from_memory(data, static_cast<int>(size), &w, &h, &channels, 3);
    if (rgb == nullptr) return std::nullopt;
    DecodedPicture out;
    out.width = w;
    out.height = h;
    out.pixels.resize(static_cast<std::size_t>(w) * h);
    for (std::size_t i = 0; i < out.pixels.size(); ++i) {
        const unsigned char* p = rgb + i * 3;
        out.pixels[i] = (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
    }
    stbi_image_free(rgb);
    return out;
}

}  // namespace assets
