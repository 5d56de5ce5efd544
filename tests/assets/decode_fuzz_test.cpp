// The picture decoder on damaged input: truncated and randomly altered copies of the shipped
// files either decode to a sane picture or are refused, never crash.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "assets/picture_decode.h"
#include "platform/picture_list.h"

namespace {

std::vector<unsigned char> read(const std::string& name) {
    std::ifstream in(std::string(ZEPHLORA_SOURCE_DIR) + "/assets/pictures/" + name, std::ios::binary);
    return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

TEST(PictureDecoder, ReadsEveryShippedFile) {
    for (int i = 0; i < plat::kPictureCount; ++i) {
        const auto name = plat::picture_file_name(static_cast<plat::Picture>(i));
        const auto bytes = read(name);
        ASSERT_FALSE(bytes.empty()) << name;
        const auto picture = assets::decode_picture(bytes.data(), bytes.size());
        ASSERT_TRUE(picture) << name;
        EXPECT_EQ(picture->pixels.size(), static_cast<std::size_t>(picture->width) * picture->height);
    }
    EXPECT_STREQ(plat::picture_file_name(static_cast<plat::Picture>(plat::kPictureCount)), "");
}

TEST(PictureDecoder, RefusesWhatIsNotAPicture) {
    const unsigned char text[] = "MaxIndex=3\r\n";
    EXPECT_FALSE(assets::decode_picture(text, sizeof text));
    EXPECT_FALSE(assets::decode_picture(nullptr, 10));
    EXPECT_FALSE(assets::decode_picture(text, 0));
}

// The shipped preview with one Huffman table's code counts raised past 256 codes in all.
TEST(PictureDecoder, RefusesAHuffmanTableOfMoreThan256Codes) {
    auto bytes = read("preview.jpg");
    std::size_t at = 2;
    while (at + 1 < bytes.size() && !(bytes[at] == 0xFF && bytes[at + 1] == 0xC4)) ++at;
    ASSERT_LT(at + 20, bytes.size());
    ASSERT_TRUE(assets::decode_picture(bytes.data(), bytes.size()));
    for (std::size_t i = at + 5; i < at + 5 + 16; ++i) bytes[i] = 17;  // 16 x 17 = 272 codes
    EXPECT_FALSE(assets::decode_picture(bytes.data(), bytes.size()));
}

TEST(PictureDecoder, SurvivesDamagedFiles) {
    std::mt19937 rng(20261207);
    for (const char* name : {"sprites.png", "preview.jpg", "option_on.png", "slider_left.png", "icon16.png"}) {
        const auto original = read(name);
        ASSERT_FALSE(original.empty());
        for (int round = 0; round < 150; ++round) {
            auto bytes = original;
            if (round % 3 == 0) bytes.resize(rng() % bytes.size());
            const int flips = 1 + static_cast<int>(rng() % 8);
            for (int k = 0; k < flips && !bytes.empty(); ++k) bytes[rng() % bytes.size()] = static_cast<unsigned char>(rng());
            const auto picture = assets::decode_picture(bytes.data(), bytes.size());
            if (picture) {
                EXPECT_GT(picture->width, 0);
                EXPECT_LE(picture->width, 4096);
                EXPECT_EQ(picture->pixels.size(), static_cast<std::size_t>(picture->width) * picture->height);
            }
        }
    }
}

}  // namespace
