// The device-context layer's objects and its handle table, shared by the layer's files (see
// raster/gdi.h); nothing outside the layer uses them.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_map>
#include <variant>
#include <vector>

#include "raster/gdi.h"
#include "raster/region.h"
#include "raster/text.h"

namespace raster::gdi {

// A bitmap's size is in design pixels; its pixels may be `scale` times finer on each axis
// (a window's image at the display's scale), so that every drawing call works in design
// pixels and lands on a block of scale x scale device pixels. Pictures and every bitmap of a
// context at scale 1 have scale 1, and then the two are the same.
struct BitmapObj {
    int width = 0, height = 0;  // design pixels
    int scale = 1;              // device pixels per design pixel, on each axis
    bool mono = false;
    std::vector<std::uint32_t> pixels;  // (width * scale) x (height * scale)
    plat::Surface external{};  // pixels owned by a platform bitmap
    bool selected = false;     // a bitmap is selected into one device context at a time
    // The device pixels.
    plat::Surface surface() {
        if (external.pixels) return external;
        return plat::Surface{pixels.data(), width * scale, height * scale, width * scale};
    }
    // The device pixel at the top-left of design pixel (x, y).
    std::uint32_t& at(int x, int y) { return surface().row(y * scale)[x * scale]; }
};

struct PenObj {
    PenStyle style = PenStyle::Solid;
    int width = 1;
    ColorRef color = 0;
    bool alternate = false;  // every other pixel (the focus rectangle's pen)
};

struct BrushObj {
    enum class Kind { Solid, Pattern, Null } kind = Kind::Solid;
    ColorRef color = 0;
    std::shared_ptr<BitmapObj> pattern;  // a copy of the bitmap taken at creation
};

struct FontObj {
    std::shared_ptr<const Font> font;
};

struct RegionObj {
    Region region;
};

struct IconObj {
    std::shared_ptr<BitmapObj> color, mask;
};

using Object = std::variant<std::monostate, std::shared_ptr<BitmapObj>, std::shared_ptr<PenObj>, std::shared_ptr<BrushObj>,
                            std::shared_ptr<FontObj>, std::shared_ptr<RegionObj>, std::shared_ptr<IconObj>>;

struct DcObj {
    std::shared_ptr<BitmapObj> bitmap;
    std::shared_ptr<PenObj> pen;
    std::shared_ptr<BrushObj> brush;
    std::shared_ptr<FontObj> font;
    GdiObject bitmap_h{}, pen_h{}, brush_h{}, font_h{};
    ColorRef text = 0x000000, bk = 0xFFFFFF;
    BkMode mode = BkMode::Opaque;
    // The default palette is a value of its own, so that selecting it back works as in GDI.
    plat::Palette palette{1};
    int rop2 = 13;  // R2_COPYPEN
    std::optional<Region> clip;
    Point position{};
    bool screen = false;  // the screen's context: compatible bitmaps are colour ones
    // The scale of the bitmaps this context makes compatible with it: its parent's when it is
    // made, then that of each bitmap selected into it.
    int scale = 1;
};

// The process's handle table: objects in numbered slots (a freed slot is reused, as GDI
// reuses handles), device contexts apart. Stock objects have the first handles and are never
// deleted. Pens and brushes, which the program makes and deletes by the hundred per paint,
// are recycled once nothing holds them any more.
struct Table {
    static constexpr std::uintptr_t kFirstObject = 0x100;
    std::vector<Object> slots;
    std::vector<std::size_t> free_slots;
    std::vector<std::shared_ptr<PenObj>> spare_pens;
    std::vector<std::shared_ptr<BrushObj>> spare_brushes;
    std::unordered_map<std::uintptr_t, std::unique_ptr<DcObj>> dcs;
    std::uintptr_t next_dc = 0x10000000;
    std::array<GdiObject, 16> stock{};
    GdiObject stock_bitmap{};

    Table();
    GdiObject add(Object o);
    bool erase(GdiObject h);
    std::shared_ptr<PenObj> new_pen();
    std::shared_ptr<BrushObj> new_brush();
    bool is_stock(GdiObject h) const;

    Object* find(GdiObject h) {
        const std::uintptr_t v = static_cast<std::uintptr_t>(h);
        if (v < kFirstObject || v - kFirstObject >= slots.size()) return nullptr;
        Object& o = slots[v - kFirstObject];
        return std::holds_alternative<std::monostate>(o) ? nullptr : &o;
    }
    template <typename T>
    std::shared_ptr<T> get(GdiObject h) {
        Object* o = find(h);
        if (!o) return nullptr;
        auto* p = std::get_if<std::shared_ptr<T>>(o);
        return p ? *p : nullptr;
    }
    DcObj* dc(Dc h) {
        auto it = dcs.find(static_cast<std::uintptr_t>(h));
        return it == dcs.end() ? nullptr : it->second.get();
    }
    // An icon's handle is its slot's.
    std::shared_ptr<IconObj> icon(Icon h) {
        return get<IconObj>(static_cast<GdiObject>(static_cast<std::uintptr_t>(h)));
    }
};

inline Table& table() {
    static Table t;
    return t;
}

}  // namespace raster::gdi
