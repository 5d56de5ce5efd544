// Labels and image controls, the same on every back end: child windows whose paint handler
// copies the container's image under them and draws the text or the picture over that copy.
// Only the platform's own window and drawing calls are used, so the Win32 back end draws them
// with real GDI into real child windows and the others with the software raster.
#include <algorithm>
#include <map>
#include <memory>

#include "platform/controls.h"

namespace plat {
namespace {

// DrawTextA's format bits used here.
constexpr std::uint32_t kDtCenter = 0x0001, kDtRight = 0x0002, kDtWordBreak = 0x0010, kDtCalcRect = 0x0400,
                        kDtNoPrefix = 0x0800;

struct StaticControl {
    WindowHandle handle{};
    bool is_label = true;
    std::string text;
    FontDesc font_desc;
    GdiObject font{};
    ColorRef color = kWindowTextColor;
    TextAlign align = TextAlign::Left;
    bool word_wrap = true;
    Rect design;  // labels: the box as designed, the room it may grow into, the box it has
    Rect room;
    Rect placed;
    GdiObject picture{};  // image controls: the copy shown
    ~StaticControl() {
        if (font != GdiObject::None) delete_object(font);
        if (picture != GdiObject::None) delete_object(picture);
    }
};

std::map<WindowHandle, std::shared_ptr<StaticControl>>& controls() {
    static std::map<WindowHandle, std::shared_ptr<StaticControl>> all;
    return all;
}

StaticControl* find(WindowHandle h) {
    auto it = controls().find(h);
    return it == controls().end() ? nullptr : it->second.get();
}

// The container's pixels under the control, as the background of the control's image.
void copy_background(Dc image, WindowHandle h, const Rect& own) {
    const WindowHandle parent = get_parent(h);
    Point at{0, 0};
    if (parent != WindowHandle::None) {
        client_to_screen(h, at);
        screen_to_client(parent, at);
    }
    const Dc under = parent != WindowHandle::None ? window_dc(parent) : Dc::None;
    if (under == Dc::None || !bit_blt(image, 0, 0, own.width(), own.height(), under, at.x, at.y, Rop::SrcCopy))
        pat_blt(image, 0, 0, own.width(), own.height(), Rop::Whiteness);
}

Rect client_rect(WindowHandle h) {
    Rect r;
    get_window_rect(h, r);
    return {0, 0, r.width(), r.height()};
}

// The label's text in its font: DrawTextA's extent without drawing.
int text_width(StaticControl& c) {
    const Dc image = window_dc(c.handle);
    if (image == Dc::None) return 0;
    if (c.font == GdiObject::None) c.font = create_font(c.font_desc);
    const GdiObject old_font = c.font != GdiObject::None ? select_object(image, c.font) : GdiObject::None;
    Rect r{0, 0, 0, 0};
    draw_text(image, c.text, r, kDtNoPrefix | kDtCalcRect);
    if (old_font != GdiObject::None) select_object(image, old_font);
    return r.width();
}

// The box of a label whose text is `need` pixels wide: the box as designed, widened in the
// direction of its alignment as far as the room allows, so that a font wider than the
// designed one shows the whole caption without covering anything beside it. A centred label
// that meets the room's edge on one side takes the rest on the other.
Rect fitted_box(const Rect& design, const Rect& room, int need, TextAlign align) {
    const int extra = need - design.width();
    if (extra <= 0 || room.width() <= 0) return design;
    const int left_room = std::max(0, design.left - room.left), right_room = std::max(0, room.right - design.right);
    int grow_left = 0, grow_right = 0;
    switch (align) {
    case TextAlign::Left: grow_right = std::min(extra, right_room); break;
    case TextAlign::Right: grow_left = std::min(extra, left_room); break;
    case TextAlign::Center:
        grow_left = std::min(extra / 2, left_room);
        grow_right = std::min(extra - grow_left, right_room);
        grow_left = std::min(extra - grow_right, left_room);
        break;
    }
    return {design.left - grow_left, design.top, design.right + grow_right, design.bottom};
}

// A label that does not wrap takes the box its text needs (word-wrapping labels keep theirs).
void fit(StaticControl& c) {
    if (!c.is_label || c.word_wrap || c.room.width() <= 0) return;
    const Rect box = fitted_box(c.design, c.room, text_width(c), c.align);
    if (box == c.placed) return;
    c.placed = box;
    move_window(c.handle, box.left, box.top, box.width(), box.height());
}

void draw(StaticControl& c) {
    const Dc image = window_dc(c.handle);
    if (image == Dc::None) return;
    const Rect own = client_rect(c.handle);
    copy_background(image, c.handle, own);
    if (c.is_label) {
        if (c.font == GdiObject::None) c.font = create_font(c.font_desc);
        const GdiObject old_font = c.font != GdiObject::None ? select_object(image, c.font) : GdiObject::None;
        const ColorRef old_color = set_text_color(image, resolve_color(c.color));
        const BkMode old_mode = set_bk_mode(image, BkMode::Transparent);
        std::uint32_t format = kDtNoPrefix | (c.word_wrap ? kDtWordBreak : 0);
        if (c.align == TextAlign::Center) format |= kDtCenter;
        if (c.align == TextAlign::Right) format |= kDtRight;
        Rect r = own;
        draw_text(image, c.text, r, format);
        set_bk_mode(image, old_mode);
        set_text_color(image, old_color);
        if (old_font != GdiObject::None) select_object(image, old_font);
    } else if (c.picture != GdiObject::None) {
        BitmapInfo info;
        const Dc from = create_compatible_dc(image);
        if (get_bitmap_info(c.picture, info) && from != Dc::None) {
            const GdiObject old = select_object(from, c.picture);
            bit_blt(image, 0, 0, info.width, info.height, from, 0, 0, Rop::SrcCopy);
            select_object(from, old);
        }
        if (from != Dc::None) delete_dc(from);
    }
}

WindowHandle make(WindowHandle parent, const Rect& rect, bool visible, WindowHandlers handlers,
                  std::shared_ptr<StaticControl> state) {
    ChildDesc desc;
    desc.rect = rect;
    desc.visible = visible;
    desc.tab_stop = false;
    std::weak_ptr<StaticControl> weak = state;
    handlers.paint = [weak] {
        if (auto c = weak.lock()) draw(*c);
    };
    auto unload = std::move(handlers.unload);
    handlers.unload = [weak, unload] {
        if (unload) unload();
        if (auto c = weak.lock()) controls().erase(c->handle);
    };
    const WindowHandle h = create_child(parent, desc, std::move(handlers));
    if (h == WindowHandle::None) return h;
    state->handle = h;
    fit(*state);
    controls()[h] = std::move(state);
    invalidate_window(h);
    return h;
}

void redraw(StaticControl& c) {
    draw(c);
    update_window(c.handle);
}

}  // namespace

WindowHandle create_label(WindowHandle parent, const LabelDesc& desc, WindowHandlers handlers) {
    auto state = std::make_shared<StaticControl>();
    state->text = desc.text;
    state->font_desc = desc.font;
    state->color = desc.color;
    state->align = desc.align;
    state->word_wrap = desc.word_wrap;
    state->design = state->placed = desc.rect;
    state->room = desc.room;
    return make(parent, desc.rect, desc.visible, std::move(handlers), std::move(state));
}

bool set_label_text(WindowHandle label, std::string_view text) {
    StaticControl* c = find(label);
    if (!c || !c->is_label) return false;
    c->text = std::string(text);
    fit(*c);
    redraw(*c);
    return true;
}

std::string label_text(WindowHandle label) {
    const StaticControl* c = find(label);
    return c ? c->text : std::string();
}

int label_text_width(WindowHandle label) {
    StaticControl* c = find(label);
    return c && c->is_label ? text_width(*c) : 0;
}

bool set_label_color(WindowHandle label, ColorRef color) {
    StaticControl* c = find(label);
    if (!c || !c->is_label) return false;
    c->color = color;
    redraw(*c);
    return true;
}

bool set_label_font(WindowHandle label, const FontDesc& font) {
    StaticControl* c = find(label);
    if (!c || !c->is_label) return false;
    if (c->font != GdiObject::None) delete_object(c->font);
    c->font = GdiObject::None;
    c->font_desc = font;
    fit(*c);
    redraw(*c);
    return true;
}

WindowHandle create_image_control(WindowHandle parent, const Rect& rect, WindowHandlers handlers, bool visible) {
    auto state = std::make_shared<StaticControl>();
    state->is_label = false;
    return make(parent, rect, visible, std::move(handlers), std::move(state));
}

bool set_image_picture(WindowHandle image, GdiObject bitmap) {
    StaticControl* c = find(image);
    if (!c || c->is_label) return false;
    GdiObject copy{};
    if (bitmap != GdiObject::None) {
        copy = copy_bitmap_scaled(bitmap, 0, 0);
        if (copy == GdiObject::None) return false;
    }
    if (c->picture != GdiObject::None) delete_object(c->picture);
    c->picture = copy;
    redraw(*c);
    return true;
}

bool set_image_picture(WindowHandle image, const Bitmap& bitmap) {
    return set_image_picture(image, current_bitmap(bitmap_dc(bitmap)));
}

void refresh_control(WindowHandle control) {
    if (StaticControl* c = find(control)) redraw(*c);
}

}  // namespace plat
