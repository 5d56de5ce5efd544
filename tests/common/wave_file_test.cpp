#include "common/wave_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string le16(unsigned v) { return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8 & 0xFF)}; }
std::string le32(std::uint32_t v) { return le16(v & 0xFFFF) + le16(v >> 16); }
std::string chunk(const std::string& id, const std::string& body, std::uint32_t size) {
    return id + le32(size) + body + (body.size() % 2 ? std::string(1, '\0') : std::string());
}
std::string chunk(const std::string& id, const std::string& body) {
    return chunk(id, body, static_cast<std::uint32_t>(body.size()));
}
std::string fmt(unsigned tag, unsigned channels, std::uint32_t rate, std::uint32_t per_second, unsigned align,
                unsigned bits, const std::string& extra = {}) {
    std::string f = le16(tag) + le16(channels) + le32(rate) + le32(per_second) + le16(align) + le16(bits);
    if (tag != 1) f += le16(static_cast<unsigned>(extra.size())) + extra;
    return f;
}
// A RIFF file around `chunks`, its size field `riff_size` when given.
std::string riff(const std::string& chunks, std::optional<std::uint32_t> riff_size = {}) {
    return "RIFF" + le32(riff_size.value_or(static_cast<std::uint32_t>(4 + chunks.size()))) + "WAVE" + chunks;
}

std::optional<common::WaveInfo> check(const std::string& file) {
    return common::check_wave(file.size(), [&](std::uint64_t at, std::size_t length, std::uint8_t* out) {
        if (at > file.size() || length > file.size() - at) return false;
        std::memcpy(out, file.data() + at, length);
        return true;
    });
}

const std::string kPcmFormat = fmt(1, 2, 44100, 176400, 4, 16);
// IMA ADPCM, mono, 1024-byte blocks of 2041 samples.
const std::string kImaFormat = fmt(0x11, 1, 22050, 11060, 1024, 4, le16(2041));
// MS ADPCM, mono, 256-byte blocks of 500 samples, the seven standard coefficient pairs.
const std::string kMsFormat = fmt(2, 1, 22050, 11155, 256, 4,
                                  le16(500) + le16(7) + le16(256) + le16(0) + le16(512) + le16(0xFF00) + le16(0) +
                                      le16(0) + le16(192) + le16(64) + le16(240) + le16(0) + le16(460) + le16(0xFF30) +
                                      le16(392) + le16(0xFF18));

}  // namespace

TEST(WaveFile, OnlyAWaveWhoseChunksLieInTheFileAndWhoseFormatHoldsTogetherPasses) {
    // Good PCM, with a list chunk of odd size (and its pad byte) before the format.
    const std::string pcm = riff(chunk("LIST", "INFOabc") + chunk("fmt ", kPcmFormat) + chunk("data", std::string(400, '\1')));
    const auto p = check(pcm);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->format, common::kWavePcm);
    EXPECT_EQ(p->channels, 2);
    EXPECT_EQ(p->rate, 44100u);
    EXPECT_EQ(p->data_offset, pcm.size() - 400);
    EXPECT_EQ(p->data_size, 400u);
    EXPECT_EQ(p->frames(), 100u);
    // Bytes after the RIFF chunk are no concern.
    EXPECT_TRUE(check(pcm + "trailing"));

    // Good IMA ADPCM and MS ADPCM: whole blocks of their samples.
    const auto ima = check(riff(chunk("fmt ", kImaFormat) + chunk("fact", le32(3 * 2041)) + chunk("data", std::string(3 * 1024, '\0'))));
    ASSERT_TRUE(ima);
    EXPECT_EQ(ima->format, common::kWaveImaAdpcm);
    EXPECT_EQ(ima->frames(), 3u * 2041);
    const auto ms = check(riff(chunk("fmt ", kMsFormat) + chunk("data", std::string(2 * 256 + 10, '\0'))));
    ASSERT_TRUE(ms);
    EXPECT_EQ(ms->frames(), 3u * 500);  // a partial last block counts whole

    // A data chunk that claims more than the file holds, the 4 GB one among them (with a RIFF
    // size that fits the file, and with one that claims as much).
    const std::string real(400, '\1');
    EXPECT_FALSE(check(riff(chunk("fmt ", kPcmFormat) + chunk("data", real, 1000))));
    const std::string huge = chunk("fmt ", kPcmFormat) + chunk("data", real, 0xFFFFFFE0u);
    EXPECT_FALSE(check(riff(huge)));
    EXPECT_FALSE(check(riff(huge, 0xFFFFFFFFu)));

    // Corrupt format chunks: no channels, no block size, no byte rate, a block that does not
    // match the samples, an unknown tag, an IMA block count that does not match its block, a
    // format chunk too short.
    for (const std::string& bad : {fmt(1, 0, 44100, 176400, 4, 16), fmt(1, 2, 44100, 176400, 0, 16),
                                   fmt(1, 2, 44100, 0, 4, 16), fmt(1, 2, 44100, 176400, 6, 16),
                                   fmt(1, 2, 0, 176400, 4, 16), fmt(0x55, 2, 44100, 16000, 1, 0),
                                   fmt(0x11, 1, 22050, 11060, 1024, 4, le16(2000)), kPcmFormat.substr(0, 14)})
        EXPECT_FALSE(check(riff(chunk("fmt ", bad) + chunk("data", real)))) << ::testing::PrintToString(bad);

    // Truncated: cut inside the data, inside the format, inside the header; and structures that
    // are no wave: no format before the data, not RIFF at all.
    const std::string whole = riff(chunk("fmt ", kPcmFormat) + chunk("data", real));
    for (std::size_t cut : {whole.size() - 1, std::size_t{30}, std::size_t{20}, std::size_t{10}, std::size_t{0}})
        EXPECT_FALSE(check(whole.substr(0, cut))) << cut;
    EXPECT_FALSE(check(riff(chunk("data", real) + chunk("fmt ", kPcmFormat))));
    EXPECT_FALSE(check(riff(chunk("fmt ", kPcmFormat))));
    std::string rifx = whole;
    rifx[3] = 'X';
    EXPECT_FALSE(check(rifx));
}
