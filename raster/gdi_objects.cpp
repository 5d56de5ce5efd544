#include <algorithm>
#include <utility>

#include "raster/gdi.h"
#include "raster/gdi_objects.h"
#include "raster/pixels.h"

namespace raster {
namespace gdi {

// ---- The handle table ------------------------------------------------------------------

Table::Table() {
    auto brush = [&](BrushObj::Kind k, ColorRef c) {
        auto b = std::make_shared<BrushObj>();
        b->kind = k;
        b->color = c;
        return add(b);
    };
    auto pen = [&](PenStyle s, ColorRef c) {
        auto p = std::make_shared<PenObj>();
        p->style = s;
        p->color = c;
        return add(p);
    };
    stock[static_cast<int>(StockObject::WhiteBrush)] = brush(BrushObj::Kind::Solid, 0xFFFFFF);
    stock[static_cast<int>(StockObject::BlackBrush)] = brush(BrushObj::Kind::Solid, 0x000000);
    stock[static_cast<int>(StockObject::NullBrush)] = brush(BrushObj::Kind::Null, 0);
    stock[static_cast<int>(StockObject::WhitePen)] = pen(PenStyle::Solid, 0xFFFFFF);
    stock[static_cast<int>(StockObject::BlackPen)] = pen(PenStyle::Solid, 0x000000);
    stock[static_cast<int>(StockObject::NullPen)] = pen(PenStyle::Null, 0);
    stock[static_cast<int>(StockObject::SystemFont)] = add(std::make_shared<FontObj>());
    auto mono = std::make_shared<BitmapObj>();
    mono->width = mono->height = 1;
    mono->mono = true;
    mono->pixels.assign(1, 0);
    stock_bitmap = add(mono);
}

GdiObject Table::add(Object o) {
    std::size_t i;
    if (!free_slots.empty()) {
        i = free_slots.back();
        free_slots.pop_back();
    } else {
        i = slots.size();
        slots.emplace_back();
    }
    slots[i] = std::move(o);
    return static_cast<GdiObject>(kFirstObject + i);
}

bool Table::erase(GdiObject h) {
    Object* o = find(h);
    if (!o) return false;
    if (auto* pen = std::get_if<std::shared_ptr<PenObj>>(o); pen && pen->use_count() == 1 && spare_pens.size() < 64)
        spare_pens.push_back(std::move(*pen));
    if (auto* b = std::get_if<std::shared_ptr<BrushObj>>(o); b && b->use_count() == 1 && spare_brushes.size() < 64) {
        (*b)->pattern.reset();
        spare_brushes.push_back(std::move(*b));
    }
    *o = std::monostate{};
    free_slots.push_back(static_cast<std::uintptr_t>(h) - kFirstObject);
    return true;
}

std::shared_ptr<PenObj> Table::new_pen() {
    if (spare_pens.empty()) return std::make_shared<PenObj>();
    auto p = std::move(spare_pens.back());
    spare_pens.pop_back();
    *p = PenObj{};
    return p;
}

std::shared_ptr<BrushObj> Table::new_brush() {
    if (spare_brushes.empty()) return std::make_shared<BrushObj>();
    auto b = std::move(spare_brushes.back());
    spare_brushes.pop_back();
    *b = BrushObj{};
    return b;
}

bool Table::is_stock(GdiObject h) const {
    if (h == stock_bitmap) return true;
    return std::find(stock.begin(), stock.end(), h) != stock.end();
}

}  // namespace gdi

using namespace gdi;

// ---- The object calls ------------------------------------------------------------------

Dc create_compatible_dc(Dc dc) {
    Table& t = table();
    if (dc != Dc::None && !t.dc(dc)) return Dc::None;
    auto d = std::make_unique<DcObj>();
    d->bitmap = t.get<BitmapObj>(t.stock_bitmap);
    d->bitmap_h = t.stock_bitmap;
    d->pen_h = t.stock[static_cast<int>(StockObject::BlackPen)];
    d->pen = t.get<PenObj>(d->pen_h);
    d->brush_h = t.stock[static_cast<int>(StockObject::WhiteBrush)];
    d->brush = t.get<BrushObj>(d->brush_h);
    d->font_h = t.stock[static_cast<int>(StockObject::SystemFont)];
    d->font = t.get<FontObj>(d->font_h);
    d->screen = false;
    if (const DcObj* parent = dc != Dc::None ? t.dc(dc) : nullptr) d->scale = parent->scale;
    const std::uintptr_t id = t.next_dc++;
    t.dcs.emplace(id, std::move(d));
    return static_cast<Dc>(id);
}

Dc create_surface_dc(const plat::Surface& surface, int scale) {
    Table& t = table();
    const Dc dc = raster::create_compatible_dc(Dc::None);
    auto bmp = std::make_shared<BitmapObj>();
    scale = std::max(scale, 1);
    bmp->width = surface.width / scale;
    bmp->height = surface.height / scale;
    bmp->scale = scale;
    bmp->external = surface;
    bmp->selected = true;
    DcObj* d = t.dc(dc);
    d->bitmap = bmp;
    d->bitmap_h = t.add(bmp);  // marked selected: no other context can take it
    d->screen = true;
    d->scale = scale;
    return dc;
}

bool delete_dc(Dc dc) {
    Table& t = table();
    DcObj* d = t.dc(dc);
    if (!d) return false;
    if (d->bitmap) d->bitmap->selected = false;
    // Another's pixels go with their context.
    if (d->bitmap && d->bitmap->external.pixels && t.get<BitmapObj>(d->bitmap_h) == d->bitmap) t.erase(d->bitmap_h);
    t.dcs.erase(static_cast<std::uintptr_t>(dc));
    return true;
}

GdiObject create_compatible_bitmap(Dc dc, int width, int height) {
    Table& t = table();
    DcObj* d = dc == Dc::None ? nullptr : t.dc(dc);
    if (dc != Dc::None && !d) return GdiObject::None;
    if (width <= 0 || height <= 0 || static_cast<long long>(width) * height > (1LL << 28)) return GdiObject::None;
    auto bmp = std::make_shared<BitmapObj>();
    bmp->width = width;
    bmp->height = height;
    // A memory context's compatible bitmap has the kind of the bitmap it holds, and every
    // context's the context's scale: drawn into it and copied back, a picture stays as fine
    // as the window it goes to.
    bmp->mono = d && !d->screen && d->bitmap->mono;
    bmp->scale = d ? d->scale : 1;
    bmp->pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
                           static_cast<std::size_t>(bmp->scale) * static_cast<std::size_t>(bmp->scale), 0u);
    return t.add(bmp);
}

GdiObject create_mono_bitmap(int width, int height, const std::uint8_t* bits) {
    if (width <= 0 || height <= 0 || static_cast<long long>(width) * height > (1LL << 28)) return GdiObject::None;
    auto bmp = std::make_shared<BitmapObj>();
    bmp->width = width;
    bmp->height = height;
    bmp->mono = true;
    bmp->pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0u);
    if (bits) {
        const int stride = (width + 15) / 16 * 2;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (bits[y * stride + x / 8] & (0x80 >> (x % 8)))
                    bmp->pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] = kMonoWhite;
    }
    return table().add(bmp);
}

GdiObject create_pen(PenStyle style, int width, ColorRef color) {
    auto p = table().new_pen();
    p->style = style;
    // Only solid pens may be wide; a dotted pen is always one pixel.
    p->width = style == PenStyle::Solid ? std::max(width, 1) : 1;
    p->color = color;
    return table().add(p);
}

GdiObject create_solid_brush(ColorRef color) {
    auto b = table().new_brush();
    b->color = color;
    return table().add(b);
}

GdiObject create_pattern_brush(GdiObject bitmap) {
    Table& t = table();
    auto bmp = t.get<BitmapObj>(bitmap);
    if (!bmp) return GdiObject::None;
    auto b = std::make_shared<BrushObj>();
    b->kind = BrushObj::Kind::Pattern;
    b->pattern = std::make_shared<BitmapObj>();
    b->pattern->width = bmp->width;
    b->pattern->height = bmp->height;
    b->pattern->mono = bmp->mono;
    // A brush's pattern is in design pixels: a scaled bitmap gives one pixel of each block.
    b->pattern->pixels.reserve(static_cast<std::size_t>(bmp->width) * static_cast<std::size_t>(bmp->height));
    for (int y = 0; y < bmp->height; ++y)
        for (int x = 0; x < bmp->width; ++x) b->pattern->pixels.push_back(bmp->at(x, y));
    return t.add(b);
}

GdiObject create_font(const FontDesc& desc) {
    auto f = std::make_shared<FontObj>();
    f->font = raster::load_font(desc);
    if (!f->font) return GdiObject::None;
    return table().add(f);
}

GdiObject stock_object(StockObject which) {
    const int i = static_cast<int>(which);
    if (i < 0 || i >= 16) return GdiObject::None;
    return table().stock[static_cast<std::size_t>(i)];
}

GdiObject select_object(Dc dc, GdiObject object) {
    Table& t = table();
    DcObj* d = t.dc(dc);
    if (!d) return GdiObject::None;
    GdiObject old = GdiObject::None;
    if (auto bmp = t.get<BitmapObj>(object)) {
        if (d->screen) return GdiObject::None;
        if (bmp == d->bitmap) return object;
        // A bitmap lives in one memory context at a time (the stock bitmap in any number).
        if (bmp->selected && object != t.stock_bitmap) return GdiObject::None;
        d->bitmap->selected = false;
        old = d->bitmap_h;
        d->bitmap = bmp;
        d->bitmap_h = object;
        if (object != t.stock_bitmap) {
            bmp->selected = true;
            d->scale = bmp->scale;
        }
    } else if (auto pen = t.get<PenObj>(object)) {
        old = d->pen_h;
        d->pen = pen;
        d->pen_h = object;
    } else if (auto brush = t.get<BrushObj>(object)) {
        old = d->brush_h;
        d->brush = brush;
        d->brush_h = object;
    } else if (auto font = t.get<FontObj>(object)) {
        old = d->font_h;
        d->font = font;
        d->font_h = object;
    }
    return old;
}

bool delete_object(GdiObject object) {
    Table& t = table();
    if (t.is_stock(object)) return true;  // stock objects stay
    // A selected object lives on in its context until it is replaced.
    return t.erase(object);
}

GdiObject current_bitmap(Dc dc) {
    DcObj* d = table().dc(dc);
    return d ? d->bitmap_h : GdiObject::None;
}

bool get_bitmap_info(GdiObject bitmap, BitmapInfo& info) {
    auto bmp = table().get<BitmapObj>(bitmap);
    if (!bmp) return false;
    info = BitmapInfo{bmp->width, bmp->height, bmp->mono ? 1 : 32};
    return true;
}

plat::Surface bitmap_surface(GdiObject bitmap) {
    auto bmp = table().get<BitmapObj>(bitmap);
    return bmp ? bmp->surface() : plat::Surface{};
}

namespace {

// One of a context's two colours, the text's or the background's: the previous one when it is
// set, kInvalidColor for an invalid context.
ColorRef context_color(Dc dc, ColorRef DcObj::*which, const ColorRef* set_to) {
    DcObj* d = table().dc(dc);
    if (!d) return plat::kInvalidColor;
    return set_to ? std::exchange(d->*which, *set_to) : d->*which;
}

}  // namespace

ColorRef set_text_color(Dc dc, ColorRef color) { return context_color(dc, &DcObj::text, &color); }
ColorRef get_text_color(Dc dc) { return context_color(dc, &DcObj::text, nullptr); }
ColorRef set_bk_color(Dc dc, ColorRef color) { return context_color(dc, &DcObj::bk, &color); }
ColorRef get_bk_color(Dc dc) { return context_color(dc, &DcObj::bk, nullptr); }

BkMode set_bk_mode(Dc dc, BkMode mode) {
    DcObj* d = table().dc(dc);
    if (!d || (mode != BkMode::Opaque && mode != BkMode::Transparent)) return BkMode::Failed;
    return std::exchange(d->mode, mode);
}

// A palette is only remembered, in the foreground or the background alike: the raster's pixels
// are 32-bit colour, which no palette maps.
Palette select_palette(Dc dc, Palette palette, bool) {
    DcObj* d = table().dc(dc);
    if (!d || palette == Palette::None) return Palette::None;
    return std::exchange(d->palette, palette);
}

unsigned realize_palette(Dc dc) { return table().dc(dc) ? 0u : ~0u; }

int get_map_mode(Dc dc) { return table().dc(dc) ? plat::kMmText : 0; }

Icon create_icon(GdiObject color, GdiObject mask) {
    Table& t = table();
    auto c = t.get<BitmapObj>(color), m = t.get<BitmapObj>(mask);
    if (!m) return Icon::None;
    auto icon = std::make_shared<IconObj>();
    icon->mask = std::make_shared<BitmapObj>(*m);
    icon->mask->selected = false;
    if (c) {
        icon->color = std::make_shared<BitmapObj>(*c);
        icon->color->selected = false;
    }
    const GdiObject h = t.add(icon);
    return static_cast<Icon>(static_cast<std::uintptr_t>(h));
}

bool destroy_icon(Icon icon) {
    if (!table().icon(icon)) return false;
    return raster::delete_object(static_cast<GdiObject>(static_cast<std::uintptr_t>(icon)));
}

bool get_icon_info(Icon icon, GdiObject& color, GdiObject& mask) {
    Table& t = table();
    auto i = t.icon(icon);
    if (!i) return false;
    color = i->color ? t.add(std::make_shared<BitmapObj>(*i->color)) : GdiObject::None;
    mask = t.add(std::make_shared<BitmapObj>(*i->mask));
    return true;
}

}  // namespace raster
