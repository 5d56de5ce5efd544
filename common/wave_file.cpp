#include "common/wave_file.h"

#include <array>
#include <cstring>

namespace common {
namespace {

// A file of more chunks before its data is taken for no wave rather than walked on.
constexpr int kMaxChunks = 256;
// The largest format chunk read (an MS ADPCM one with 256 coefficient pairs and some spare).
constexpr std::uint32_t kMaxFormatChunk = 2048;

std::uint16_t u16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
std::uint32_t u32(const std::uint8_t* p) { return static_cast<std::uint32_t>(u16(p)) | static_cast<std::uint32_t>(u16(p + 2)) << 16; }
bool is(const std::uint8_t* p, const char (&id)[5]) { return std::memcmp(p, id, 4) == 0; }

// The fields of a format chunk of `size` bytes, or empty when they do not describe a wave
// that can be played.
std::optional<WaveInfo> read_format(const std::uint8_t* f, std::uint32_t size) {
    WaveInfo w;
    w.format = u16(f);
    w.channels = u16(f + 2);
    w.rate = u32(f + 4);
    const std::uint32_t bytes_per_second = u32(f + 8);
    w.block_align = u16(f + 12);
    w.bits = u16(f + 14);
    // The bytes after the common part; a PCM format has none, whatever it says.
    const std::uint32_t extra = size >= 18 && w.format != kWavePcm ? u16(f + 16) : 0;
    if (18 + extra > size && extra > 0) return std::nullopt;
    w.frames_per_block = 1;

    if (w.format == kWaveExtensible) {
        // The sub-format is {0000tttt-0000-0010-8000-00AA00389B71}, tttt a plain format tag.
        static constexpr std::array<std::uint8_t, 14> kGuidTail{0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71};
        if (extra < 22 || std::memcmp(f + 26, kGuidTail.data(), kGuidTail.size()) != 0) return std::nullopt;
        const std::uint16_t valid_bits = u16(f + 18);
        if (valid_bits > w.bits) return std::nullopt;
        w.format = u16(f + 24);
        if (w.format != kWavePcm && w.format != kWaveFloat) return std::nullopt;
    }

    if (w.channels < 1 || w.channels > 8 || w.rate < 1000 || w.rate > 384000 || w.block_align == 0) return std::nullopt;
    const unsigned ch = w.channels;
    switch (w.format) {
    case kWavePcm:
        if (w.bits != 8 && w.bits != 16 && w.bits != 24 && w.bits != 32) return std::nullopt;
        if (w.block_align != ch * w.bits / 8) return std::nullopt;
        break;
    case kWaveFloat:
        if (w.bits != 32 && w.bits != 64) return std::nullopt;
        if (w.block_align != ch * w.bits / 8) return std::nullopt;
        break;
    case kWaveALaw:
    case kWaveMuLaw:
        if (w.bits != 8 || w.block_align != ch) return std::nullopt;
        break;
    case kWaveImaAdpcm:
        // A block: per channel a 4-byte header (one sample), then 4-byte groups per channel of
        // eight 4-bit samples.
        if (ch > 2 || w.bits != 4 || extra < 2 || w.block_align < 8 * ch || w.block_align % (4 * ch) != 0)
            return std::nullopt;
        w.frames_per_block = u16(f + 18);
        if (w.frames_per_block != (w.block_align - 4 * ch) * 2 / ch + 1) return std::nullopt;
        break;
    case kWaveMsAdpcm: {
        // A block: per channel a 7-byte header (two samples), then 4-bit samples; the format
        // carries the predictor coefficient pairs, at least the seven standard ones.
        if (ch > 2 || w.bits != 4 || extra < 4 || w.block_align <= 7 * ch) return std::nullopt;
        w.frames_per_block = u16(f + 18);
        const unsigned coefficients = u16(f + 20);
        if (coefficients < 7 || extra < 4 + 4 * coefficients) return std::nullopt;
        if (w.frames_per_block != (w.block_align - 7 * ch) * 2 / ch + 2) return std::nullopt;
        break;
    }
    default:
        return std::nullopt;
    }
    // The players size their buffers by the byte rate: it must be there and no more than the
    // blocks' own rate.
    if (bytes_per_second == 0 ||
        bytes_per_second > static_cast<std::uint64_t>(w.rate) * w.block_align / w.frames_per_block + w.block_align)
        return std::nullopt;
    return w;
}

}  // namespace

std::uint64_t WaveInfo::frames() const {
    if (block_align == 0) return 0;
    return (data_size + block_align - 1) / block_align * frames_per_block;
}

std::optional<WaveInfo> check_wave(std::uint64_t file_size, const WaveRead& read) {
    std::uint8_t head[12];
    if (file_size < 12 || !read(0, 12, head) || !is(head, "RIFF") || !is(head + 8, "WAVE")) return std::nullopt;
    const std::uint64_t riff_end = 8 + static_cast<std::uint64_t>(u32(head + 4));
    if (riff_end > file_size) return std::nullopt;

    std::optional<WaveInfo> format;
    std::uint64_t at = 12;
    for (int chunk = 0; chunk < kMaxChunks && at + 8 <= riff_end; ++chunk) {
        std::uint8_t header[8];
        if (!read(at, 8, header)) return std::nullopt;
        const std::uint32_t size = u32(header + 4);
        const std::uint64_t body = at + 8, end = body + size;
        if (end > riff_end) return std::nullopt;
        if (is(header, "fmt ") && !format) {
            if (size < 16 || size > kMaxFormatChunk) return std::nullopt;
            std::uint8_t f[kMaxFormatChunk];
            if (!read(body, size, f)) return std::nullopt;
            format = read_format(f, size);
            if (!format) return std::nullopt;
        } else if (is(header, "data")) {
            if (!format || size < format->block_align) return std::nullopt;
            format->data_offset = body;
            format->data_size = size;
            return format;
        }
        at = end + (size & 1);  // chunks start on even offsets
    }
    return std::nullopt;
}

}  // namespace common
