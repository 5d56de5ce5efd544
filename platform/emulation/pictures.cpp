// The native build carries the picture files as compiled-in bytes (embedded_pictures.cpp,
// written at build time from the picture list) and decodes them like the Win32 build
// (decode_picture_file, platform/shared/pictures.cpp).
#include "platform/pictures.h"

namespace assets {
struct EmbeddedFile {
    const unsigned char* data;
    std::size_t size;
};
// One entry per picture, in the order of plat::Picture.
extern const EmbeddedFile kEmbeddedPictures[];
extern const std::size_t kEmbeddedPictureCount;
}  // namespace assets

namespace plat {

std::unique_ptr<Bitmap> load_picture(Picture picture) {
    const int index = static_cast<int>(picture);
    if (index < 0 || index >= kPictureCount) return nullptr;
    if (static_cast<std::size_t>(index) >= assets::kEmbeddedPictureCount) return nullptr;
    const auto& file = assets::kEmbeddedPictures[index];
    return decode_picture_file(file.data, file.size);
}

}  // namespace plat
