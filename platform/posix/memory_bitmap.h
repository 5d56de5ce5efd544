// Bitmaps of the software raster over pixels that the back end allocated itself (memory
// shared with a display server, say), so that they draw and take device contexts like every
// other bitmap of these back ends.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/draw.h"

namespace plat::posix {

// A bitmap over `pixels` (width x height, rows of width pixels, left as they are); `release`
// runs when the bitmap goes. Null for no pixels or a negative size.
std::unique_ptr<Bitmap> wrap_pixels(std::uint32_t* pixels, int width, int height, std::function<void()> release);

}  // namespace plat::posix
