// Placeholder until the pictures are compiled in.
#include "platform/pictures.h"

namespace plat {
std::unique_ptr<Bitmap> load_picture(Picture) { return nullptr; }
}  // namespace plat
