#include <memory>
#include <vector>

#include "raster/blit.h"
#include "raster/gdi.h"
#include "raster/gdi_objects.h"
#include "raster/gdi_paint.h"

namespace raster {
using namespace gdi;

namespace {

// The source pixels of `area` (in the source's design coordinates) in the destination's kind,
// `out_scale` pixels to a design pixel on each axis: colour to monochrome makes the source's
// background colour white and every other colour black; monochrome to colour gives 0 the
// destination's text colour and 1 its background colour. Between scales each output pixel
// takes the source's device pixel at the same place, nearest: a picture at scale 1 copied
// into a scaled context is enlarged without smoothing (each pixel a sharp block), a scaled
// image into a context of its scale is copied pixel for pixel.
std::vector<std::uint32_t> converted_source(const DcObj& src, const DcObj& dst, const Rect& area, int out_scale) {
    const plat::Surface s = src.bitmap->surface();
    const int in_scale = src.bitmap->scale;
    const int w = (area.right - area.left) * out_scale, h = (area.bottom - area.top) * out_scale;
    std::vector<std::uint32_t> out(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    const bool src_mono = src.bitmap->mono, dst_mono = dst.bitmap->mono;
    const std::uint32_t src_bk = pixel_of(src.bk), text = pixel_of(dst.text), bk = pixel_of(dst.bk);
    const bool same = in_scale == out_scale;
    for (int y = 0; y < h; ++y) {
        const std::uint32_t* row = s.row(area.top * in_scale + (same ? y : y * in_scale / out_scale)) + area.left * in_scale;
        std::uint32_t* o = out.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(w);
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = row[same ? x : x * in_scale / out_scale];
            if (src_mono == dst_mono)
                o[x] = p;
            else if (src_mono)
                o[x] = p ? bk : text;
            else
                o[x] = ((p ^ src_bk) & 0xFFFFFF) == 0 ? kMonoWhite : 0u;
        }
    }
    return out;
}

// Pixels of a w x h design area, each made a block of scale x scale.
std::vector<std::uint32_t> enlarged(const std::vector<std::uint32_t>& from, int w, int h, int scale) {
    if (scale == 1) return from;
    const int dw = w * scale;
    std::vector<std::uint32_t> out(static_cast<std::size_t>(dw) * static_cast<std::size_t>(h * scale));
    for (int y = 0; y < h * scale; ++y)
        for (int x = 0; x < dw; ++x)
            out[static_cast<std::size_t>(y) * static_cast<std::size_t>(dw) + static_cast<std::size_t>(x)] =
                from[static_cast<std::size_t>(y / scale) * static_cast<std::size_t>(w) + static_cast<std::size_t>(x / scale)];
    return out;
}

std::uint8_t code_of(Rop rop) { return static_cast<std::uint8_t>((static_cast<std::uint32_t>(rop) >> 16) & 0xFF); }

// Applies `code` over the destination rectangle `dst_area` (design pixels) with the prepared
// source pixels (dst_area's size in the destination's device pixels, row by row) and the
// brush, within the context's clip: clipped in design pixels, drawn on device pixels.
void apply(const DcObj& dc, const Rect& dst_area, const std::vector<std::uint32_t>* source, std::uint8_t code) {
    const BrushPattern bp = brush_pattern(dc);
    const std::uint32_t none = 0;
    const Pattern empty{&none, 1, 1};
    std::vector<std::uint32_t> storage;
    const int scale = dc.bitmap->scale;
    const Pattern pattern = device_pattern(bp.null ? empty : bp.pattern, scale, storage);  // a null brush reads as black
    const plat::Surface d = dc.bitmap->surface();
    plat::Surface s{};
    if (source) {
        s.pixels = const_cast<std::uint32_t*>(source->data());
        s.width = (dst_area.right - dst_area.left) * scale;
        s.height = (dst_area.bottom - dst_area.top) * scale;
        s.stride = s.width;
    }
    each_visible(dc, dst_area, [&](const Rect& r) {
        rop_rect(d, device_rect(*dc.bitmap, r), source ? &s : nullptr, -dst_area.left * scale, -dst_area.top * scale,
                 &pattern, code);
    });
}

// One axis of a stretch: for each destination pixel of [0, dst_len), the source pixels of
// [0, src_len) folded into it, chosen as the pixels of a Bresenham line from (0, 0) to
// (src_len, dst_len) whose first step is weighed from the middle of the next pixel.
std::vector<std::vector<int>> stretch_axis(int dst_len, int src_len) {
    std::vector<std::vector<int>> out(static_cast<std::size_t>(dst_len));
    const long long D = dst_len, S = src_len;
    if (S > D) {
        long long err = 3 * D - 2 * S;
        int d = 0;
        for (int s = 0; s < src_len && d < dst_len; ++s) {
            out[static_cast<std::size_t>(d)].push_back(s);
            if (err > 0) {
                ++d;
                err += 2 * D - 2 * S;
            } else {
                err += 2 * D;
            }
        }
    } else {
        long long err = 3 * S - 2 * D;
        int s = 0;
        for (int d = 0; d < dst_len; ++d) {
            out[static_cast<std::size_t>(d)].push_back(s);
            if (err > 0) {
                ++s;
                err += 2 * S - 2 * D;
            } else {
                err += 2 * S;
            }
        }
    }
    return out;
}

// A copy of a bitmap at another size: CopyImage resamples a colour bitmap as StretchBlt's
// HALFTONE mode does, and stretches monochrome bitmaps and the parts of icons in the
// default mode.
std::shared_ptr<BitmapObj> scaled(const std::shared_ptr<BitmapObj>& from, int width, int height, bool blend) {
    Table& t = table();
    if (width <= 0) width = from->width;
    if (height <= 0) height = from->height;
    auto out = std::make_shared<BitmapObj>();
    out->width = width;
    out->height = height;
    out->mono = from->mono;
    out->pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0u);
    if (blend && !from->mono) {
        halftone(out->surface(), from->surface());
        return out;
    }
    const GdiObject a = t.add(std::make_shared<BitmapObj>(*from)), b = t.add(out);
    t.get<BitmapObj>(a)->selected = false;
    const Dc da = raster::create_compatible_dc(Dc::None), db = raster::create_compatible_dc(Dc::None);
    raster::select_object(da, a);
    raster::select_object(db, b);
    raster::stretch_blt(db, 0, 0, width, height, da, 0, 0, from->width, from->height, Rop::SrcCopy);
    raster::delete_dc(da);
    raster::delete_dc(db);
    raster::delete_object(a);
    t.erase(b);
    out->selected = false;
    return out;
}

}  // namespace

// ---- Block copies ----------------------------------------------------------------------

bool pat_blt(Dc dc, int x, int y, int width, int height, Rop rop) {
    DcObj* d = table().dc(dc);
    if (!d) return false;
    // PatBlt has no source: an operation that reads one draws nothing.
    const std::uint8_t code = code_of(rop);
    if (rop_uses_source(code)) return false;
    // The rectangle as a copy's (from its far corner when the size is negative), cut at the
    // bitmap's edges.
    CopyRect c{x, y, width, height, x, y};
    if (!clip_copy(c, d->bitmap->width, d->bitmap->height, d->bitmap->width, d->bitmap->height)) return true;
    apply(*d, Rect{c.x, c.y, c.x + c.width, c.y + c.height}, nullptr, code);
    return true;
}

bool bit_blt(Dc dst, int x, int y, int width, int height, Dc src, int src_x, int src_y, Rop rop) {
    Table& t = table();
    DcObj* d = t.dc(dst);
    if (!d) return false;
    const std::uint8_t code = code_of(rop);
    if (!rop_uses_source(code)) return raster::pat_blt(dst, x, y, width, height, rop);
    DcObj* s = t.dc(src);
    if (!s) return false;
    CopyRect c{x, y, width, height, src_x, src_y};
    if (!clip_copy(c, s->bitmap->width, s->bitmap->height, d->bitmap->width, d->bitmap->height)) return true;
    // The source is read whole before anything is written, so overlapping copies work.
    const auto source =
        converted_source(*s, *d, Rect{c.src_x, c.src_y, c.src_x + c.width, c.src_y + c.height}, d->bitmap->scale);
    apply(*d, Rect{c.x, c.y, c.x + c.width, c.y + c.height}, &source, code);
    return true;
}

bool stretch_blt(Dc dst, int x, int y, int width, int height, Dc src, int src_x, int src_y, int src_width,
                 int src_height, Rop rop) {
    Table& t = table();
    DcObj* d = t.dc(dst);
    if (!d) return false;
    const std::uint8_t code = code_of(rop);
    if (!rop_uses_source(code)) return raster::pat_blt(dst, x, y, width, height, rop);
    DcObj* s = t.dc(src);
    // Mirrored stretches (a negative size on one side) are not drawn: the program has none.
    if (!s || width <= 0 || height <= 0 || src_width <= 0 || src_height <= 0) return false;
    if (width == src_width && height == src_height) return raster::bit_blt(dst, x, y, width, height, src, src_x, src_y, rop);
    // A one-pixel-wide destination takes one source pixel fewer, as GDI's stretch does.
    if (width == 1 && src_width > 1) --src_width;
    if (height == 1 && src_height > 1) --src_height;
    const auto cols = stretch_axis(width, src_width), rows = stretch_axis(height, src_height);
    // Only the destination pixels whose source lies inside the source bitmap are drawn.
    auto valid = [](const std::vector<int>& from, int origin, int extent) {
        for (int v : from)
            if (origin + v >= 0 && origin + v < extent) return true;
        return false;
    };
    int c0 = 0, c1 = width, r0 = 0, r1 = height;
    while (c0 < c1 && !valid(cols[static_cast<std::size_t>(c0)], src_x, s->bitmap->width)) ++c0;
    while (c1 > c0 && !valid(cols[static_cast<std::size_t>(c1 - 1)], src_x, s->bitmap->width)) --c1;
    while (r0 < r1 && !valid(rows[static_cast<std::size_t>(r0)], src_y, s->bitmap->height)) ++r0;
    while (r1 > r0 && !valid(rows[static_cast<std::size_t>(r1 - 1)], src_y, s->bitmap->height)) --r1;
    if (c0 >= c1 || r0 >= r1) return true;
    const Rect whole{0, 0, s->bitmap->width, s->bitmap->height};
    // A stretch is worked in design pixels, then enlarged to the destination's scale.
    const auto source = converted_source(*s, *d, whole, 1);
    const int sw = s->bitmap->width;
    std::vector<std::uint32_t> stretched(static_cast<std::size_t>(c1 - c0) * static_cast<std::size_t>(r1 - r0));
    // The default stretch mode (BLACKONWHITE) ANDs the pixels that a shrink folds together.
    for (int r = r0; r < r1; ++r)
        for (int c = c0; c < c1; ++c) {
            std::uint32_t v = ~0u;
            for (int sr : rows[static_cast<std::size_t>(r)]) {
                const int yy = src_y + sr;
                if (yy < 0 || yy >= s->bitmap->height) continue;
                for (int sc : cols[static_cast<std::size_t>(c)]) {
                    const int xx = src_x + sc;
                    if (xx < 0 || xx >= sw) continue;
                    v &= source[static_cast<std::size_t>(yy) * static_cast<std::size_t>(sw) + static_cast<std::size_t>(xx)];
                }
            }
            stretched[static_cast<std::size_t>(r - r0) * static_cast<std::size_t>(c1 - c0) + static_cast<std::size_t>(c - c0)] = v;
        }
    const auto device = enlarged(stretched, c1 - c0, r1 - r0, d->bitmap->scale);
    apply(*d, Rect{x + c0, y + r0, x + c1, y + r1}, &device, code);
    return true;
}

// ---- Icons and scaled copies -----------------------------------------------------------

bool draw_icon(Dc dc, int x, int y, Icon icon, int width, int height) {
    Table& t = table();
    DcObj* d = t.dc(dc);
    auto i = t.icon(icon);
    if (!d || !i) return false;
    // DI_NORMAL: the mask ANDed, then the colour image XORed, each stretched to the size.
    const int w = width ? width : i->mask->width;
    const int h = height ? height : (i->color ? i->mask->height : i->mask->height / 2);
    auto part = [&](const std::shared_ptr<BitmapObj>& bmp, int src_y, int src_h, Rop rop) {
        const GdiObject hb = t.add(std::make_shared<BitmapObj>(*bmp));
        const Dc mem = raster::create_compatible_dc(dc);
        raster::select_object(mem, hb);
        raster::stretch_blt(dc, x, y, w, h, mem, 0, src_y, bmp->width, src_h, rop);
        raster::delete_dc(mem);
        raster::delete_object(hb);
    };
    const std::uint32_t saved_text = d->text, saved_bk = d->bk;
    d->text = 0x000000;
    d->bk = 0xFFFFFF;
    if (i->color) {
        part(i->mask, 0, i->mask->height, Rop::SrcAnd);
        part(i->color, 0, i->color->height, Rop::SrcInvert);
    } else {
        part(i->mask, 0, i->mask->height / 2, Rop::SrcAnd);
        part(i->mask, i->mask->height / 2, i->mask->height / 2, Rop::SrcInvert);
    }
    d->text = saved_text;
    d->bk = saved_bk;
    return true;
}

GdiObject copy_bitmap_scaled(GdiObject bitmap, int width, int height) {
    auto bmp = table().get<BitmapObj>(bitmap);
    if (!bmp) return GdiObject::None;
    return table().add(scaled(bmp, width, height, true));
}

Icon copy_icon_scaled(Icon icon, int width, int height) {
    Table& t = table();
    auto i = t.icon(icon);
    if (!i) return Icon::None;
    auto out = std::make_shared<IconObj>();
    out->mask = scaled(i->mask, width, i->color ? height : (height > 0 ? height * 2 : 0), false);
    if (i->color) out->color = scaled(i->color, width, height, false);
    return static_cast<Icon>(static_cast<std::uintptr_t>(t.add(out)));
}

}  // namespace raster
