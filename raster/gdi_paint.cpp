#include <array>

#include "raster/gdi.h"
#include "raster/gdi_paint.h"

namespace raster {

namespace {

// Windows 10's default system colours, COLOR_SCROLLBAR (0) to COLOR_MENUBAR (30).
constexpr std::array<ColorRef, 31> kSysColors = {
    0xC8C8C8, 0x000000, 0xD1B499, 0xDBCDBF, 0xF0F0F0, 0xFFFFFF, 0x646464, 0x000000,
    0x000000, 0x000000, 0xB4B4B4, 0xFCF7F4, 0xABABAB, 0xFF9933, 0xFFFFFF, 0xF0F0F0,
    0xA0A0A0, 0x6D6D6D, 0x000000, 0x000000, 0xFFFFFF, 0x696969, 0xE3E3E3, 0x000000,
    0xE1FFFF, 0x000000, 0xCC6600, 0xEAD1B9, 0xF2E4D7, 0xFF9933, 0xF0F0F0,
};

}  // namespace

ColorRef sys_color(int index) {
    if (index < 0 || index >= static_cast<int>(kSysColors.size())) return 0;
    return kSysColors[static_cast<std::size_t>(index)];
}

ColorRef resolve_color(ColorRef color) {
    return (color & 0x80000000u) ? raster::sys_color(static_cast<int>(color & 0xFF)) : color;
}

namespace gdi {

std::vector<Rect> visible(const DcObj& dc, Rect area) {
    std::vector<Rect> out;
    each_visible(dc, area, [&](const Rect& r) { out.push_back(r); });
    return out;
}

BrushPattern brush_pattern(const DcObj& dc) {
    BrushPattern out;
    const BrushObj& b = *dc.brush;
    if (b.kind == BrushObj::Kind::Null) return out;
    out.null = false;
    if (b.kind == BrushObj::Kind::Solid) {
        out.solid = drawing_pixel(dc, b.color);
        out.pattern = Pattern{&out.solid, 1, 1};
        return out;
    }
    const BitmapObj& pat = *b.pattern;
    out.pixels.resize(pat.pixels.size());
    for (std::size_t i = 0; i < pat.pixels.size(); ++i) {
        const std::uint32_t p = pat.pixels[i];
        if (pat.mono == dc.bitmap->mono)
            out.pixels[i] = p;
        else if (pat.mono)
            out.pixels[i] = p ? pixel_of(dc.bk) : pixel_of(dc.text);
        else
            out.pixels[i] = ((p ^ pixel_of(dc.bk)) & 0xFFFFFF) == 0 ? kMonoWhite : 0u;
    }
    out.pattern = Pattern{out.pixels.data(), pat.width, pat.height};
    return out;
}

std::uint8_t rop3_of_rop2(int rop2) {
    const int r = rop2 - 1;  // bits: P=1,D=1 -> 3, P=1,D=0 -> 2, P=0,D=1 -> 1, P=0,D=0 -> 0
    std::uint8_t code = 0;
    for (int i = 0; i < 8; ++i) {
        const int p = (i >> 2) & 1, d = i & 1;
        if (r & (1 << (p * 2 + d))) code |= static_cast<std::uint8_t>(1u << i);
    }
    return code;
}

Pattern device_pattern(const Pattern& pattern, int scale, std::vector<std::uint32_t>& storage) {
    if (scale == 1 || (pattern.width == 1 && pattern.height == 1)) return pattern;
    const int w = pattern.width * scale, h = pattern.height * scale;
    storage.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) storage[static_cast<std::size_t>(y) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x)] = pattern.at(x / scale, y / scale);
    return Pattern{storage.data(), w, h};
}

// Clipped in design pixels, painted on the device pixels of each visible rectangle.
void fill_with_pattern(const DcObj& dc, const Rect& area, const Pattern& pattern, std::uint8_t code) {
    const plat::Surface s = dc.bitmap->surface();
    std::vector<std::uint32_t> storage;
    const Pattern p = device_pattern(pattern, dc.bitmap->scale, storage);
    each_visible(dc, area, [&](const Rect& r) { rop_rect(s, device_rect(*dc.bitmap, r), nullptr, 0, 0, &p, code); });
}

void brush_rect(const DcObj& dc, const Rect& area) {
    const BrushPattern bp = brush_pattern(dc);
    if (bp.null) return;
    fill_with_pattern(dc, area, bp.pattern, rop3_of_rop2(dc.rop2));
}

void brush_region(const DcObj& dc, const Region& region) {
    const BrushPattern bp = brush_pattern(dc);
    if (bp.null) return;
    for (const Rect& r : region.rects()) fill_with_pattern(dc, r, bp.pattern, rop3_of_rop2(dc.rop2));
}

}  // namespace gdi
}  // namespace raster
