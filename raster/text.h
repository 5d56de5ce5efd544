// DrawTextA's layout and painting over 32-bit surfaces, with fonts found through fontconfig
// and drawn by FreeType.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "platform/draw.h"
#include "platform/types.h"
#include "platform/win32_values.h"

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
// With `scale` s > 1, `rect`, `clip` and the layout are in design pixels and `dst` holds s x s
// device pixels for each: the text is laid out as at scale 1 (the same lines, breaks and
// positions) and each glyph is drawn by the font at s times its pixel size at s times its
// design position, so that it is as sharp as at scale 1, not an enlarged picture of it.
int draw_text(const plat::Surface& dst, std::span<const plat::Rect> clip, const Font* font,
              std::string_view text, plat::Rect& rect, std::uint32_t format,
              std::uint32_t text_color, bool opaque, std::uint32_t bk_color, int scale = 1);

// load_font gives a font for any name (the nearest one of its character set), null only when
// no font at all is installed.

// The DT_* bits that draw_text understands (the others are ignored), by the names the raster
// uses; their values are platform/win32_values.h's.
namespace dt {
inline constexpr std::uint32_t Top = plat::kDtTop, Left = plat::kDtLeft, Center = plat::kDtCenter,
                               Right = plat::kDtRight, VCenter = plat::kDtVCenter, Bottom = plat::kDtBottom,
                               WordBreak = plat::kDtWordBreak, SingleLine = plat::kDtSingleLine,
                               ExpandTabs = plat::kDtExpandTabs, NoClip = plat::kDtNoClip,
                               CalcRect = plat::kDtCalcRect, NoPrefix = plat::kDtNoPrefix;
}  // namespace dt

}  // namespace raster
