// What every back end does alike with a picture file's bytes: the decoder that the shipped
// pictures go through (stb_image, so that both builds show the same pixels), then a bitmap of
// the platform's own holding its pixels.
#include "assets/picture_decode.h"
#include "platform/pictures.h"

namespace plat {

std::unique_ptr<Bitmap> decode_picture_file(const unsigned char* data, std::size_t size) {
    const auto decoded = assets::decode_picture(data, size);
    return decoded ? bitmap_of_pixels(decoded->width, decoded->height, decoded->pixels.data()) : nullptr;
}

}  // namespace plat
