#include "tools/recorder/image_files.h"

#include <array>
#include <cstring>

#include "platform/files.h"
#include "platform/pictures.h"

// The PNG writer is compiled in here with internal linkage, so that it cannot clash with
// another copy elsewhere in the program. Pictures are read by the program's own decoder.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb/stb_image_write.h>

namespace recorder {
namespace {

std::vector<std::uint8_t> rgb_rows(const plat::Surface& s) {
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(s.width) * static_cast<std::size_t>(s.height) * 3);
    std::size_t o = 0;
    for (int y = 0; y < s.height; ++y) {
        const std::uint32_t* row = s.row(y);
        for (int x = 0; x < s.width; ++x) {
            rgb[o++] = static_cast<std::uint8_t>(row[x] >> 16);
            rgb[o++] = static_cast<std::uint8_t>(row[x] >> 8);
            rgb[o++] = static_cast<std::uint8_t>(row[x]);
        }
    }
    return rgb;
}

// PNG's scanline form: each row led by filter type 0, then deflated.
std::vector<std::uint8_t> compressed_image(const plat::Surface& s) {
    const std::vector<std::uint8_t> rgb = rgb_rows(s);
    const std::size_t stride = static_cast<std::size_t>(s.width) * 3;
    std::vector<std::uint8_t> raw;
    raw.reserve((stride + 1) * static_cast<std::size_t>(s.height));
    for (int y = 0; y < s.height; ++y) {
        raw.push_back(0);
        raw.insert(raw.end(), rgb.begin() + static_cast<std::ptrdiff_t>(stride * static_cast<std::size_t>(y)),
                   rgb.begin() + static_cast<std::ptrdiff_t>(stride * static_cast<std::size_t>(y + 1)));
    }
    int length = 0;
    unsigned char* z = stbi_zlib_compress(raw.data(), static_cast<int>(raw.size()), &length, 8);
    std::vector<std::uint8_t> out(z, z + length);
    STBIW_FREE(z);
    return out;
}

std::uint32_t crc32(const std::uint8_t* data, std::size_t n, std::uint32_t crc = 0) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (std::size_t i = 0; i < n; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void put32(std::vector<std::uint8_t>& v, std::uint32_t x) {
    v.push_back(static_cast<std::uint8_t>(x >> 24));
    v.push_back(static_cast<std::uint8_t>(x >> 16));
    v.push_back(static_cast<std::uint8_t>(x >> 8));
    v.push_back(static_cast<std::uint8_t>(x));
}

void chunk(std::vector<std::uint8_t>& file, const char type[4], const std::vector<std::uint8_t>& data) {
    put32(file, static_cast<std::uint32_t>(data.size()));
    std::vector<std::uint8_t> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    file.insert(file.end(), body.begin(), body.end());
    put32(file, crc32(body.data(), body.size()));
}

}  // namespace

std::unique_ptr<plat::Bitmap> ReadPicture(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    if (!plat::read_whole_file(path, bytes)) return nullptr;
    return plat::decode_picture_file(bytes.data(), bytes.size());
}

bool WritePng(const std::string& path, const plat::Surface& surface) {
    const std::vector<std::uint8_t> rgb = rgb_rows(surface);
    return stbi_write_png(path.c_str(), surface.width, surface.height, 3, rgb.data(), surface.width * 3) != 0;
}

ApngWriter::ApngWriter(std::string path, int width, int height, int delay_ms)
    : path_(std::move(path)), width_(width), height_(height), delay_ms_(delay_ms) {}

void ApngWriter::AddFrame(const plat::Surface& surface) { frames_.push_back(compressed_image(surface)); }

bool ApngWriter::Finish() {
    if (frames_.empty()) return false;
    std::vector<std::uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> ihdr;
    put32(ihdr, static_cast<std::uint32_t>(width_));
    put32(ihdr, static_cast<std::uint32_t>(height_));
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});  // 8-bit RGB
    chunk(file, "IHDR", ihdr);
    std::vector<std::uint8_t> actl;
    put32(actl, static_cast<std::uint32_t>(frames_.size()));
    put32(actl, 0);  // loop for ever
    chunk(file, "acTL", actl);
    std::uint32_t sequence = 0;
    for (std::size_t f = 0; f < frames_.size(); ++f) {
        std::vector<std::uint8_t> fctl;
        put32(fctl, sequence++);
        put32(fctl, static_cast<std::uint32_t>(width_));
        put32(fctl, static_cast<std::uint32_t>(height_));
        put32(fctl, 0);
        put32(fctl, 0);
        fctl.push_back(static_cast<std::uint8_t>(delay_ms_ >> 8));
        fctl.push_back(static_cast<std::uint8_t>(delay_ms_));
        fctl.push_back(0x03);  // delay denominator 1000
        fctl.push_back(0xE8);
        fctl.push_back(0);  // dispose: none
        fctl.push_back(0);  // blend: source
        chunk(file, "fcTL", fctl);
        if (f == 0) {
            chunk(file, "IDAT", frames_[f]);
        } else {
            std::vector<std::uint8_t> fdat;
            put32(fdat, sequence++);
            fdat.insert(fdat.end(), frames_[f].begin(), frames_[f].end());
            chunk(file, "fdAT", fdat);
        }
    }
    chunk(file, "IEND", {});
    std::FILE* out = std::fopen(path_.c_str(), "wb");
    if (!out) return false;
    const bool ok = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    return std::fclose(out) == 0 && ok;
}

}  // namespace recorder
