// The picture decoder on any bytes: a picture within the accepted size with one pixel per
// place, or nothing.
#include <cstdint>

#include "assets/picture_decode.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto picture = assets::decode_picture(data, size);
    if (!picture) return 0;
    FUZZ_CHECK(picture->width > 0 && picture->width <= 4096);
    FUZZ_CHECK(picture->height > 0 && picture->height <= 4096);
    FUZZ_CHECK(picture->pixels.size() == static_cast<std::size_t>(picture->width) * picture->height);
    for (std::uint32_t pixel : picture->pixels) FUZZ_CHECK(pixel <= 0xFFFFFF);
    return 0;
}
