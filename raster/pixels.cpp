#include "raster/pixels.h"

#include <algorithm>
#include <cstring>

namespace raster {
namespace {

template <typename Op>
void each_pixel(const plat::Surface& dst, const plat::Rect& area, const plat::Surface* src, int src_dx,
                int src_dy, const Pattern* pattern, Op op) {
    for (int y = area.top; y < area.bottom; ++y) {
        std::uint32_t* d = dst.row(y);
        const std::uint32_t* s = src ? src->row(y + src_dy) + src_dx : nullptr;
        for (int x = area.left; x < area.right; ++x)
            d[x] = op(pattern ? pattern->at(x, y) : 0u, s ? s[x] : 0u, d[x]);
    }
}

}  // namespace

void rop_rect(const plat::Surface& dst, const plat::Rect& area, const plat::Surface* src, int src_dx,
              int src_dy, const Pattern* pattern, std::uint8_t code) {
    if (area.left >= area.right || area.top >= area.bottom) return;
    const std::size_t width = static_cast<std::size_t>(area.right - area.left);
    switch (code) {
    case 0xCC:  // source copy: whole rows
        for (int y = area.top; y < area.bottom; ++y)
            std::memcpy(dst.row(y) + area.left, src->row(y + src_dy) + area.left + src_dx, width * 4);
        return;
    case 0x00:
    case 0xFF:
        for (int y = area.top; y < area.bottom; ++y)
            std::fill_n(dst.row(y) + area.left, width, code ? kMonoWhite : 0u);
        return;
    case 0xF0:  // pattern copy; a solid pattern fills whole rows
        if (pattern->width == 1 && pattern->height == 1) {
            for (int y = area.top; y < area.bottom; ++y) std::fill_n(dst.row(y) + area.left, width, pattern->pixels[0]);
            return;
        }
        each_pixel(dst, area, src, src_dx, src_dy, pattern, [](std::uint32_t p, std::uint32_t, std::uint32_t) { return p; });
        return;
    case 0x88:
        each_pixel(dst, area, src, src_dx, src_dy, nullptr, [](std::uint32_t, std::uint32_t s, std::uint32_t d) { return s & d; });
        return;
    case 0xEE:
        each_pixel(dst, area, src, src_dx, src_dy, nullptr, [](std::uint32_t, std::uint32_t s, std::uint32_t d) { return s | d; });
        return;
    case 0x66:
        each_pixel(dst, area, src, src_dx, src_dy, nullptr, [](std::uint32_t, std::uint32_t s, std::uint32_t d) { return s ^ d; });
        return;
    case 0x5A:
        each_pixel(dst, area, nullptr, 0, 0, pattern, [](std::uint32_t p, std::uint32_t, std::uint32_t d) { return p ^ d; });
        return;
    case 0x55:
        each_pixel(dst, area, nullptr, 0, 0, nullptr, [](std::uint32_t, std::uint32_t, std::uint32_t d) { return ~d; });
        return;
    default:
        each_pixel(dst, area, rop_uses_source(code) ? src : nullptr, src_dx, src_dy,
                   rop_uses_pattern(code) ? pattern : nullptr,
                   [code](std::uint32_t p, std::uint32_t s, std::uint32_t d) { return rop3(code, p, s, d); });
        return;
    }
}

namespace {

std::uint8_t lerp(std::uint8_t a, std::uint8_t b, float t) {
    return static_cast<std::uint8_t>(static_cast<float>(a) + static_cast<float>(b - a) * t + 0.5f);
}

}  // namespace

void halftone(const plat::Surface& dst, const plat::Surface& src) {
    if (dst.width <= 0 || dst.height <= 0 || src.width <= 0 || src.height <= 0) return;
    const float inc_x = static_cast<float>(src.width) / static_cast<float>(dst.width);
    const float inc_y = static_cast<float>(src.height) / static_cast<float>(dst.height);
    const float max_x = static_cast<float>(src.width - 1), max_y = static_cast<float>(src.height - 1);
    float fy = 0.0f;
    for (int y = 0; y < dst.height; ++y, fy += inc_y) {
        fy = std::clamp(fy, 0.0f, max_y);
        const int y0 = static_cast<int>(fy), y1 = std::min(y0 + 1, src.height - 1);
        const float dy = fy - static_cast<float>(y0);
        const std::uint32_t* r0 = src.row(y0);
        const std::uint32_t* r1 = src.row(y1);
        std::uint32_t* out = dst.row(y);
        float fx = 0.0f;
        for (int x = 0; x < dst.width; ++x, fx += inc_x) {
            fx = std::clamp(fx, 0.0f, max_x);
            const int x0 = static_cast<int>(fx), x1 = std::min(x0 + 1, src.width - 1);
            const float dx = fx - static_cast<float>(x0);
            std::uint32_t p = 0;
            for (int shift = 0; shift <= 16; shift += 8) {
                auto c = [&](const std::uint32_t* row, int xx) { return static_cast<std::uint8_t>((row[xx] >> shift) & 0xFF); };
                const std::uint8_t v = lerp(lerp(c(r0, x0), c(r0, x1), dx), lerp(c(r1, x0), c(r1, x1), dx), dy);
                p |= static_cast<std::uint32_t>(v) << shift;
            }
            out[x] = p;
        }
    }
}

}  // namespace raster
