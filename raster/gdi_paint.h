// Colours, clipping and brushes: what the device-context layer's drawing calls share (see
// raster/gdi.h).
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "raster/gdi_objects.h"
#include "raster/pixels.h"

namespace raster::gdi {

// ---- Colours ---------------------------------------------------------------------------

// A colour as a pixel of the bitmap's kind. On a monochrome bitmap the nearer of black and
// white is taken (black on a tie).
inline std::uint32_t nearest_pixel(const BitmapObj& bmp, ColorRef c) {
    if (!bmp.mono) return pixel_of(c);
    const int r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
    const int to_black = r * r + g * g + b * b;
    const int to_white = (255 - r) * (255 - r) + (255 - g) * (255 - g) + (255 - b) * (255 - b);
    return to_white < to_black ? kMonoWhite : 0u;
}

// Pen and brush colours on a monochrome bitmap: black and white are themselves; any other
// colour is white when it is not the background colour and the background colour is black,
// and the other way round (so that a colour drawn on its background stays visible).
inline std::uint32_t drawing_pixel(const DcObj& dc, ColorRef c) {
    const BitmapObj& bmp = *dc.bitmap;
    if (!bmp.mono) return pixel_of(c);
    c &= 0xFFFFFF;
    if (c == 0) return 0u;
    if (c == 0xFFFFFF) return kMonoWhite;
    const std::uint32_t bk = nearest_pixel(bmp, dc.bk);
    return c == (dc.bk & 0xFFFFFF) ? bk : ~bk;
}

// ---- Clipping --------------------------------------------------------------------------

// The rectangles of `area` that a drawing call may touch, handed one by one to `f`: inside the
// bitmap and, when the context has one, inside its clip region. Right and bottom edges are
// exclusive.
template <typename F>
void each_visible(const DcObj& dc, Rect area, F&& f) {
    area.left = std::max(area.left, 0);
    area.top = std::max(area.top, 0);
    area.right = std::min(area.right, dc.bitmap->width);
    area.bottom = std::min(area.bottom, dc.bitmap->height);
    if (area.left >= area.right || area.top >= area.bottom) return;
    if (!dc.clip) {
        f(area);
        return;
    }
    for (const Rect& r : dc.clip->rects()) {
        if (r.top >= area.bottom) break;
        const Rect c{std::max(r.left, area.left), std::max(r.top, area.top), std::min(r.right, area.right),
                     std::min(r.bottom, area.bottom)};
        if (c.left < c.right && c.top < c.bottom) f(c);
    }
}

// The same rectangles as a list.
std::vector<Rect> visible(const DcObj& dc, Rect area);

// A rectangle of design pixels as the device pixels of a bitmap at its scale.
inline Rect device_rect(const BitmapObj& bmp, const Rect& r) {
    const int s = bmp.scale;
    return Rect{r.left * s, r.top * s, r.right * s, r.bottom * s};
}

// A pattern of design pixels as one of device pixels, each pixel a block of s x s: tiled from
// the surface's origin, it lands on the device pixels exactly as the design pattern on the
// design pixels. `storage` holds the enlarged tile; a solid colour needs none.
Pattern device_pattern(const Pattern& pattern, int scale, std::vector<std::uint32_t>& storage);

inline bool point_visible(const DcObj& dc, int x, int y) {
    if (x < 0 || y < 0 || x >= dc.bitmap->width || y >= dc.bitmap->height) return false;
    return !dc.clip || dc.clip->contains(x, y);
}

// ---- Brushes ---------------------------------------------------------------------------

// The brush as a pattern in the destination's pixels: a monochrome pattern takes the text
// colour for 0 and the background colour for 1 on a colour bitmap.
struct BrushPattern {
    std::uint32_t solid = 0;
    std::vector<std::uint32_t> pixels;  // a pattern brush's tile
    Pattern pattern;
    bool null = true;
};

BrushPattern brush_pattern(const DcObj& dc);

// Binary raster operation (SetROP2's R2_*, 1..16) as the ternary code of pattern and
// destination: the pen or brush is the pattern.
std::uint8_t rop3_of_rop2(int rop2);

// Fills the visible part of `area` with a pattern.
void fill_with_pattern(const DcObj& dc, const Rect& area, const Pattern& pattern, std::uint8_t code);

// Fills the visible part of `area`, or of a region, with the brush in the context's binary
// raster operation.
void brush_rect(const DcObj& dc, const Rect& area);
void brush_region(const DcObj& dc, const Region& region);

}  // namespace raster::gdi
