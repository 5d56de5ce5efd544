// DrawTextA's layout and painting over 32-bit surfaces, with fonts found through fontconfig
// and drawn by FreeType.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "platform/draw.h"
#include "platform/types.h"

namespace raster {

// A font request resolved to a face at a pixel size; shared by every device context that
// selects it.
class Font;
std::shared_ptr<const Font> load_font(const plat::FontDesc& desc);

// DrawTextA(dc, text, -1, &rect, format) on `dst`:
// - `text` is CP932; `format` holds Win32's DT_* bits (values as in winuser.h);
// - painting is limited to `clip` (non-overlapping rectangles in surface coordinates; an empty
//   span means the whole surface) and to the surface itself;
// - `text_color` is 0x00BBGGRR (already resolved, never a system colour); when `opaque` is
//   true the background of each line is filled with `bk_color` (OPAQUE mode), otherwise it is
//   left alone (TRANSPARENT mode);
// - returns what DrawTextA returns (the height of the text); with DT_CALCRECT it only sets
//   `rect` to the extent, as DrawTextA does, and draws nothing.
// A null font means the DC's default font (the system font).
int draw_text(const plat::Surface& dst, std::span<const plat::Rect> clip, const Font* font,
              std::string_view text, plat::Rect& rect, std::uint32_t format,
              std::uint32_t text_color, bool opaque, std::uint32_t bk_color);

// load_font gives a font for any name (the nearest one of its character set), null only when
// no font at all is installed.

// The DT_* bits that draw_text understands; the others are ignored.
namespace dt {
inline constexpr std::uint32_t Top = 0x0000, Left = 0x0000, Center = 0x0001, Right = 0x0002,
                               VCenter = 0x0004, Bottom = 0x0008, WordBreak = 0x0010,
                               SingleLine = 0x0020, ExpandTabs = 0x0040, NoClip = 0x0100,
                               CalcRect = 0x0400, NoPrefix = 0x0800;
}  // namespace dt

}  // namespace raster
