// The device-context calls of platform/draw.h, each signature written here once as
//     ZEPHLORA_DRAW_CALL(result, name, (parameters), (arguments))
// The includer defines ZEPHLORA_DRAW_CALL and includes this file inside its namespace:
// platform/draw.h declares the calls in plat, raster/gdi.h the raster's own in raster, the
// POSIX back ends forward plat's to the raster's, and the conformance tests make a table of
// either side. No include guard: the list is read once for each of these uses.

// System colours (GetSysColor): the Windows 10 defaults, one table.
ZEPHLORA_DRAW_CALL(ColorRef, sys_color, (int index), (index))
// A colour with the top bit set, 0x80000000 + n, names system colour n; the program resolves
// it before handing it to GDI (GDI itself would take the low bytes as a plain colour).
ZEPHLORA_DRAW_CALL(ColorRef, resolve_color, (ColorRef color), (color))

// CreateCompatibleDC: a memory device context holding the stock 1 x 1 monochrome bitmap, the
// black pen, the white brush and the system font; None makes it compatible with the screen.
ZEPHLORA_DRAW_CALL(Dc, create_compatible_dc, (Dc dc), (dc))
ZEPHLORA_DRAW_CALL(bool, delete_dc, (Dc dc), (dc))

// CreateCompatibleBitmap: a bitmap of the kind the device context holds (a memory context
// that still holds its stock bitmap gives a monochrome one; the screen a colour one).
ZEPHLORA_DRAW_CALL(GdiObject, create_compatible_bitmap, (Dc dc, int width, int height), (dc, width, height))
// CreateBitmap(width, height, 1, 1, bits): a monochrome bitmap; `bits` (may be null: all
// black) holds rows padded to 16 bits, most significant bit first, 1 for white.
ZEPHLORA_DRAW_CALL(GdiObject, create_mono_bitmap, (int width, int height, const std::uint8_t* bits),
                   (width, height, bits))
ZEPHLORA_DRAW_CALL(GdiObject, create_pen, (PenStyle style, int width, ColorRef color), (style, width, color))
ZEPHLORA_DRAW_CALL(GdiObject, create_solid_brush, (ColorRef color), (color))
ZEPHLORA_DRAW_CALL(GdiObject, create_pattern_brush, (GdiObject bitmap), (bitmap))
ZEPHLORA_DRAW_CALL(GdiObject, create_font, (const FontDesc& desc), (desc))  // CreateFontIndirectA
ZEPHLORA_DRAW_CALL(GdiObject, stock_object, (StockObject which), (which))
// SelectObject for bitmaps, pens, brushes and fonts: returns the object it replaces (None on
// failure, e.g. a bitmap already selected elsewhere or of the wrong kind).
ZEPHLORA_DRAW_CALL(GdiObject, select_object, (Dc dc, GdiObject object), (dc, object))
ZEPHLORA_DRAW_CALL(bool, delete_object, (GdiObject object), (object))
// GetCurrentObject(dc, OBJ_BITMAP): the bitmap a context holds (for a plain bitmap's context,
// the handle by which GetObjectA and CopyImage see it; it lives as long as the bitmap).
ZEPHLORA_DRAW_CALL(GdiObject, current_bitmap, (Dc dc), (dc))
// GetObjectA on a bitmap: its size and bits per pixel (1 or 32).
ZEPHLORA_DRAW_CALL(bool, get_bitmap_info, (GdiObject bitmap, BitmapInfo& info), (bitmap, info))

ZEPHLORA_DRAW_CALL(ColorRef, set_text_color, (Dc dc, ColorRef color), (dc, color))  // returns the previous colour
ZEPHLORA_DRAW_CALL(ColorRef, get_text_color, (Dc dc), (dc))
ZEPHLORA_DRAW_CALL(ColorRef, set_bk_color, (Dc dc, ColorRef color), (dc, color))
ZEPHLORA_DRAW_CALL(ColorRef, get_bk_color, (Dc dc), (dc))
ZEPHLORA_DRAW_CALL(BkMode, set_bk_mode, (Dc dc, BkMode mode), (dc, mode))  // returns the previous mode

// Palettes and the mapping mode (see Palette): SelectPalette returns the previous palette;
// RealizePalette the entries mapped into the system palette, none here; GetMapMode 0 for an
// invalid device context.
ZEPHLORA_DRAW_CALL(Palette, select_palette, (Dc dc, Palette palette, bool force_background),
                   (dc, palette, force_background))
ZEPHLORA_DRAW_CALL(unsigned, realize_palette, (Dc dc), (dc))
ZEPHLORA_DRAW_CALL(int, get_map_mode, (Dc dc), (dc))

// SetPixel returns the colour set, or kInvalidColor.
ZEPHLORA_DRAW_CALL(ColorRef, set_pixel, (Dc dc, int x, int y, ColorRef color), (dc, x, y, color))
ZEPHLORA_DRAW_CALL(bool, set_pixel_v, (Dc dc, int x, int y, ColorRef color), (dc, x, y, color))
ZEPHLORA_DRAW_CALL(ColorRef, get_pixel, (Dc dc, int x, int y), (dc, x, y))

ZEPHLORA_DRAW_CALL(bool, pat_blt, (Dc dc, int x, int y, int width, int height, Rop rop), (dc, x, y, width, height, rop))
ZEPHLORA_DRAW_CALL(bool, bit_blt, (Dc dst, int x, int y, int width, int height, Dc src, int src_x, int src_y, Rop rop),
                   (dst, x, y, width, height, src, src_x, src_y, rop))
// StretchBlt in the default stretch mode (BLACKONWHITE: rows and columns that a shrink folds
// together are ANDed).
ZEPHLORA_DRAW_CALL(bool, stretch_blt,
                   (Dc dst, int x, int y, int width, int height, Dc src, int src_x, int src_y, int src_width,
                    int src_height, Rop rop),
                   (dst, x, y, width, height, src, src_x, src_y, src_width, src_height, rop))

ZEPHLORA_DRAW_CALL(bool, move_to, (Dc dc, int x, int y), (dc, x, y))  // MoveToEx without the old position
ZEPHLORA_DRAW_CALL(bool, line_to, (Dc dc, int x, int y), (dc, x, y))
ZEPHLORA_DRAW_CALL(bool, polyline, (Dc dc, std::span<const Point> points), (dc, points))
// Rectangle and Ellipse; Arc, counter-clockwise; DrawFocusRect; FillRgn.
ZEPHLORA_DRAW_CALL(bool, draw_rectangle, (Dc dc, int left, int top, int right, int bottom),
                   (dc, left, top, right, bottom))
ZEPHLORA_DRAW_CALL(bool, draw_ellipse, (Dc dc, int left, int top, int right, int bottom),
                   (dc, left, top, right, bottom))
ZEPHLORA_DRAW_CALL(bool, draw_arc,
                   (Dc dc, int left, int top, int right, int bottom, int start_x, int start_y, int end_x, int end_y),
                   (dc, left, top, right, bottom, start_x, start_y, end_x, end_y))
ZEPHLORA_DRAW_CALL(bool, draw_focus_rect, (Dc dc, const Rect& rect), (dc, rect))
ZEPHLORA_DRAW_CALL(bool, fill_region, (Dc dc, GdiObject region, GdiObject brush), (dc, region, brush))
// DrawTextA(dc, text, -1, &rect, format) with the selected font, text colour and background.
ZEPHLORA_DRAW_CALL(int, draw_text, (Dc dc, std::string_view text, Rect& rect, std::uint32_t format),
                   (dc, text, rect, format))

// ---- Regions ---------------------------------------------------------------------------

ZEPHLORA_DRAW_CALL(GdiObject, create_rect_rgn, (int left, int top, int right, int bottom), (left, top, right, bottom))
ZEPHLORA_DRAW_CALL(GdiObject, create_polygon_rgn, (std::span<const Point> points, FillMode mode), (points, mode))
ZEPHLORA_DRAW_CALL(GdiObject, create_elliptic_rgn, (int left, int top, int right, int bottom),
                   (left, top, right, bottom))
ZEPHLORA_DRAW_CALL(RegionKind, combine_rgn, (GdiObject dst, GdiObject a, GdiObject b, RegionOp op), (dst, a, b, op))
ZEPHLORA_DRAW_CALL(RegionKind, offset_rgn, (GdiObject region, int dx, int dy), (region, dx, dy))
// SelectClipRgn: the device context clips to a copy of the region; None removes the clip.
ZEPHLORA_DRAW_CALL(RegionKind, select_clip_rgn, (Dc dc, GdiObject region), (dc, region))
// The pixels of a region as non-overlapping rectangles, top to bottom and left to right:
// what a window takes when the region is given to it (SetWindowRgn).
ZEPHLORA_DRAW_CALL(std::vector<Rect>, region_rects, (GdiObject region), (region))

// ---- Icons -----------------------------------------------------------------------------

// CreateIconIndirect with an icon's colour bitmap and monochrome mask (both copied).
ZEPHLORA_DRAW_CALL(Icon, create_icon, (GdiObject color, GdiObject mask), (color, mask))
ZEPHLORA_DRAW_CALL(bool, destroy_icon, (Icon icon), (icon))
// GetIconInfo: new copies of the icon's colour bitmap and mask, for the caller to delete.
ZEPHLORA_DRAW_CALL(bool, get_icon_info, (Icon icon, GdiObject& color, GdiObject& mask), (icon, color, mask))
// DrawIconEx(dc, x, y, icon, width, height, 0, null, DI_NORMAL); 0 sizes take the icon's own.
ZEPHLORA_DRAW_CALL(bool, draw_icon, (Dc dc, int x, int y, Icon icon, int width, int height),
                   (dc, x, y, icon, width, height))
// CopyImage(IMAGE_BITMAP / IMAGE_ICON, width, height, 0): a scaled copy (0 keeps the size).
ZEPHLORA_DRAW_CALL(GdiObject, copy_bitmap_scaled, (GdiObject bitmap, int width, int height), (bitmap, width, height))
ZEPHLORA_DRAW_CALL(Icon, copy_icon_scaled, (Icon icon, int width, int height), (icon, width, height))
