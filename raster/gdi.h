// The device-context layer of the software raster: GDI's objects (bitmaps, pens, brushes,
// fonts, regions, icons) in a handle table, device contexts with their selections, colours
// and clip region, and GDI's rules for each drawing call, over the pixel layer of
// raster/pixels.h. Its calls are those of platform/draw.h, from the same list
// (platform/draw_calls.h): the non-Win32 back ends forward to them, and the conformance
// programs compare them with GDI.
//
// The layer's files: gdi_objects (the handle table; making, selecting and deleting objects,
// icons among them), gdi_paint (colours, clipping, brushes), gdi_lines (pens, lines and the
// ellipse's outline), gdi_draw (the pixel, line, shape and text calls), gdi_copies (block
// copies, stretches, drawing and scaling icons) and gdi_regions.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "platform/draw.h"
#include "platform/types.h"

namespace raster {

using plat::BitmapInfo;
using plat::BkMode;
using plat::ColorRef;
using plat::Dc;
using plat::FillMode;
using plat::FontDesc;
using plat::GdiObject;
using plat::Icon;
using plat::Palette;
using plat::PenStyle;
using plat::Point;
using plat::Rect;
using plat::RegionKind;
using plat::RegionOp;
using plat::Rop;
using plat::StockObject;

#define ZEPHLORA_DRAW_CALL(result, name, parameters, arguments) result name parameters;
#include "platform/draw_calls.h"
#undef ZEPHLORA_DRAW_CALL

// A device context that draws into pixels owned by someone else (a platform bitmap); the
// surface must outlive it. Deleted with delete_dc. With a scale s > 1 the context draws in
// design pixels, s times fewer than the surface's on each axis, each on a block of s x s
// (a window's image at the display's scale); bitmaps made compatible with it have its scale.
Dc create_surface_dc(const plat::Surface& surface, int scale = 1);
// The device pixels of a bitmap object (a monochrome one holds 0 or all ones per pixel; see
// raster/pixels.h; a bitmap made compatible with a scaled context holds its scale's finer
// pixels), for tests and for the back ends' hand-over to windows.
plat::Surface bitmap_surface(GdiObject bitmap);

}  // namespace raster
