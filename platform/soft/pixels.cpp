#include "platform/soft/pixels.h"

#include <algorithm>
#include <cstring>

namespace soft {
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

}  // namespace soft
