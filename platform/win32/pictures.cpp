// Placeholder until the pictures are embedded as resources.
#include "platform/pictures.h"

namespace plat {
std::unique_ptr<Bitmap> load_picture(Picture) { return nullptr; }
}  // namespace plat
