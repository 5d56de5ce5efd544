// The structure of a RIFF/WAVE file, checked against the file before a wave player is handed
// it. A system player trusts the header: a data chunk that claims more bytes than the file
// holds, or a format chunk whose fields do not agree (no channels, a block of no bytes), makes
// it read or allocate without bound or divide by zero on its own thread. Both builds play only
// a wave that passes this check; one that fails plays nothing, as a missing file does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

namespace common {

// Format tags of the waves the program plays (the same on both builds): what Windows' wave
// output and its standard codecs take, and what the Linux build's decoder reads.
inline constexpr std::uint16_t kWavePcm = 0x0001;
inline constexpr std::uint16_t kWaveMsAdpcm = 0x0002;
inline constexpr std::uint16_t kWaveFloat = 0x0003;
inline constexpr std::uint16_t kWaveALaw = 0x0006;
inline constexpr std::uint16_t kWaveMuLaw = 0x0007;
inline constexpr std::uint16_t kWaveImaAdpcm = 0x0011;
inline constexpr std::uint16_t kWaveExtensible = 0xFFFE;  // carries one of the above as sub-format

struct WaveInfo {
    std::uint16_t format = 0;  // the format tag (an extensible wave's sub-format)
    std::uint16_t channels = 0;
    std::uint32_t rate = 0;  // frames a second
    std::uint16_t bits = 0;  // per sample
    std::uint16_t block_align = 0;
    std::uint32_t frames_per_block = 0;  // 1 but for the ADPCM kinds
    std::uint64_t data_offset = 0;       // of the data chunk's first byte
    std::uint64_t data_size = 0;
    // Sample frames the data holds (a last, partial block counted whole: at most this many).
    std::uint64_t frames() const;
};

// Reads `length` bytes at `offset` of the file into `out`; false when it cannot.
using WaveRead = std::function<bool(std::uint64_t offset, std::size_t length, std::uint8_t* out)>;

// The wave's format and data when the file of `file_size` bytes is a RIFF/WAVE file whose
// chunks all lie within its RIFF chunk, which lies within the file; whose first format
// chunk describes one of the formats above with fields that agree with each other; and
// whose data chunk follows the format chunk and holds at least one block. Empty otherwise.
// At most a few small reads: the chunks before the data are walked by their headers.
std::optional<WaveInfo> check_wave(std::uint64_t file_size, const WaveRead& read);

}  // namespace common
