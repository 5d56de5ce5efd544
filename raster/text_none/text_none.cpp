// A stand-in for the software text of raster/text.h where no font engine is linked
// (the MinGW tree, whose own text goes through GDI): fonts exist, text measures and draws
// nothing.
#include "raster/text.h"

namespace raster {

class Font {};

std::shared_ptr<const Font> load_font(const plat::FontDesc&) { return std::make_shared<const Font>(); }

int draw_text(const plat::Surface&, std::span<const plat::Rect>, const Font*, std::string_view,
              plat::Rect&, std::uint32_t, std::uint32_t, bool, std::uint32_t, int) {
    return 0;
}

}  // namespace raster
