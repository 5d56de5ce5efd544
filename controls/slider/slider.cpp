#include "controls/slider/slider.h"

#include <algorithm>
#include <cmath>

#include "platform/pictures.h"
#include "platform/window.h"

namespace controls {
namespace {

using namespace slider;

// The images in the order of the picture list (SliderLeft ... SliderEmptyFill2).
enum Image { Left, Right, Handle, FullFill, EmptyFill, Up, Down, Handle2, FullFill2, EmptyFill2, kImageCount };

constexpr std::uint32_t kButtonFace = 0x8000000F;  // what the control is cleared to

constexpr std::int32_t kDefaultValue = 50, kDefaultMax = 100, kDefaultMin = -100;
constexpr std::uint32_t kDefaultBackColor = 0, kDefaultForeColor = 0x0000C8C8, kDefaultForeColor2 = 0x000000C8;

plat::Dc dc_of(const std::unique_ptr<plat::Bitmap>& image) {
    return image ? plat::bitmap_dc(*image) : plat::Dc::None;
}

}  // namespace

Slider::Slider(plat::WindowHandle parent, const plat::Rect& rect, SliderEvents events)
    : rect_(rect), events_(std::move(events)), self_(std::make_shared<Slider*>(this)) {
    for (int i = 0; i < kImageCount; ++i)
        images_[i] = plat::load_picture(static_cast<plat::Picture>(static_cast<int>(plat::Picture::SliderLeft) + i));
    fore_rgb_ = Components(plat::resolve_color(fore_color_));
    fore2_rgb_ = Components(plat::resolve_color(fore_color2_));

    std::weak_ptr<Slider*> self = self_;
    auto with = [self](auto action) {
        return [self, action](auto... args) {
            if (auto s = self.lock(); s && *s) action(**s, args...);
        };
    };
    plat::WindowHandlers h;
    h.mouse_down = with([](Slider& s, int b, plat::Point p) { s.on_mouse_down(b, p); });
    h.mouse_move = with([](Slider& s, int b, plat::Point p) { s.on_mouse_move(b, p); });
    h.mouse_up = with([](Slider& s, int b, plat::Point p) { s.on_mouse_up(b, p); });
    // A quick second press is a press like any other.
    h.double_click = h.mouse_down;
    h.click = with([](Slider& s) {
        if (s.pressed_button_ == 1) s.raise(s.events_.on_click);
    });
    h.key_down = with([](Slider& s, int vk) { s.on_key_down(vk); });
    h.focus_gained = with([](Slider& s) { s.on_focus(true); });
    h.focus_lost = with([](Slider& s) { s.on_focus(false); });
    h.paint = with([](Slider& s) { s.redraw(); });
    plat::ChildDesc desc;
    desc.rect = rect_;
    window_ = plat::create_child(parent, desc, std::move(h));
    // The extent is fitted when the stored form arrives, which knows the orientation.
    redraw();
}

std::unique_ptr<Slider> Slider::FromLayout(plat::WindowHandle parent, const LayoutNode& node, SliderEvents events) {
    const plat::Point twips = plat::twips_per_pixel();
    const PropertyBag& bag = node.properties;
    const int tx = std::max(1, twips.x), ty = std::max(1, twips.y);
    const int left = bag.read_int("Left", 0) / tx, top = bag.read_int("Top", 0) / ty;
    const plat::Rect rect{left, top, left + bag.read_int("Width", 0) / tx, top + bag.read_int("Height", 0) / ty};
    auto slider = std::make_unique<Slider>(parent, rect, std::move(events));
    slider->ReadProperties(bag);
    return slider;
}

Slider::~Slider() {
    *self_ = nullptr;
    if (plat::get_capture() == window_ && window_ != plat::WindowHandle::None) plat::release_capture();
    plat::destroy_window(window_);
}

void Slider::raise(const std::function<void()>& event) const {
    if (event) {
        auto copy = event;  // the owner may replace the callbacks from inside one
        copy();
    }
}

// ---- Stored form ------------------------------------------------------------------------

void Slider::ReadProperties(const PropertyBag& bag) {
    // Each key goes through its write, in this order: a stored Value meets the construction
    // bounds before the stored ones arrive.
    SetValue(bag.read_int("Value", kDefaultValue));
    SetMax(bag.read_int("Max", kDefaultMax));
    SetMin(bag.read_int("Min", kDefaultMin));
    SetBackColor(bag.read_colour("BackColor", kDefaultBackColor));
    SetForeColor(bag.read_colour("ForeColor", kDefaultForeColor));
    SetForeColor2(bag.read_colour("ForeColor2", kDefaultForeColor2));
    SetEnabled(bag.read_bool("Enabled", true));
    SetSnap(bag.read_bool("Snap", false));
    // The stored extent is the stored style's own: loading never turns it over (a change of
    // orientation at run time does), and the resize rule then fits it.
    style_ = bag.read_int("Style", 0);
    apply_resize_rule();
}

PropertyBag Slider::WriteProperties() const {
    PropertyBag bag;
    bag.write_int("Value", bounds_.value, kDefaultValue);
    bag.write_int("Max", bounds_.max, kDefaultMax);
    bag.write_int("Min", bounds_.min, kDefaultMin);
    bag.write_colour("BackColor", back_color_, kDefaultBackColor);
    bag.write_colour("ForeColor", fore_color_, kDefaultForeColor);
    bag.write_colour("ForeColor2", fore_color2_, kDefaultForeColor2);
    bag.write_bool("Enabled", enabled_, true);
    bag.write_bool("Snap", snap_, false);
    bag.write_int("Style", style_, 0);
    return bag;
}

// ---- Properties -------------------------------------------------------------------------

void Slider::apply(const std::optional<Bounds>& bounds) {
    if (!bounds) return;  // refused: what was stored stays
    bounds_ = *bounds;
    dragging_ = false;
    redraw();
    raise(events_.on_change);
}

void Slider::SetValue(std::int32_t value) { apply(WriteValue(bounds_, value)); }
void Slider::SetMax(std::int32_t max) { apply(WriteMax(bounds_, max)); }
void Slider::SetMin(std::int32_t min) { apply(WriteMin(bounds_, min)); }

void Slider::SetForeColor(std::uint32_t colour) {
    fore_color_ = colour;
    fore_rgb_ = Components(plat::resolve_color(colour));
    apply(bounds_);
}

void Slider::SetForeColor2(std::uint32_t colour) {
    fore_color2_ = colour;
    fore2_rgb_ = Components(plat::resolve_color(colour));
    apply(bounds_);
}

void Slider::SetBackColor(std::uint32_t colour) {
    back_color_ = colour;
    recolour(EmptyFill, colour);
    recolour(EmptyFill2, colour);
    apply(bounds_);
}

void Slider::SetStyle(std::int32_t style) {
    const bool was_vertical = vertical();
    style_ = style;
    // Only a change of orientation turns the extent over: writing the style a control
    // already has keeps its size.
    if (vertical() != was_vertical) {
        const Extent e = TurnedExtent({rect_.width(), rect_.height()}, vertical());
        rect_.right = rect_.left + e.width;
        rect_.bottom = rect_.top + e.height;
    }
    apply_resize_rule();
}

void Slider::Resize(const plat::Rect& rect) {
    rect_ = rect;
    apply_resize_rule();
}

void Slider::apply_resize_rule() {
    const Extent e = ResizedExtent({rect_.width(), rect_.height()}, vertical());
    rect_.right = rect_.left + e.width;
    rect_.bottom = rect_.top + e.height;
    plat::move_window(window_, rect_.left, rect_.top, e.width, e.height);
    dragging_ = false;
    redraw();
}

// ---- Drawing ----------------------------------------------------------------------------

PaintState Slider::paint_state() const {
    PaintState s;
    s.bounds = bounds_;
    s.vertical = vertical();
    s.snap = snap_;
    s.dragging = dragging_;
    s.drag_position = drag_position_;
    s.extent = {rect_.width(), rect_.height()};
    return s;
}

// The groove pixels of a fill strip, one at a time: down column 0 of a horizontal strip,
// along row 0 of a vertical one.
void Slider::recolour(int image, std::uint32_t colour) {
    const plat::Dc dc = dc_of(images_[image]);
    const bool row = image == FullFill2 || image == EmptyFill2;
    const plat::ColorRef c = plat::resolve_color(colour);
    for (int i = kGrooveFirst; i <= kGrooveLast; ++i) plat::set_pixel_v(dc, row ? i : 0, row ? 0 : i, c);
}

void Slider::redraw() {
    const plat::Dc dc = plat::window_dc(window_);
    if (dc == plat::Dc::None) return;
    const PaintState state = paint_state();
    const int w = state.extent.width, h = state.extent.height;
    // Clear.
    const plat::GdiObject brush = plat::create_solid_brush(plat::resolve_color(kButtonFace));
    const plat::GdiObject old_brush = plat::select_object(dc, brush);
    plat::pat_blt(dc, 0, 0, w, h, plat::Rop::PatCopy);
    plat::select_object(dc, old_brush);
    plat::delete_object(brush);

    const std::optional<int> offset = HandleOffset(state);
    if (offset) {
        const int p = *offset;
        const std::uint32_t fill = FillColour(state, fore_rgb_, fore2_rgb_);
        const auto copy = [dc](int x, int y, int width, int height, const std::unique_ptr<plat::Bitmap>& image) {
            plat::bit_blt(dc, x, y, width, height, dc_of(image), 0, 0, plat::Rop::SrcCopy);
        };
        const auto stretch = [dc](int x, int y, int width, int height, const std::unique_ptr<plat::Bitmap>& image,
                                  int src_width, int src_height) {
            plat::stretch_blt(dc, x, y, width, height, dc_of(image), 0, 0, src_width, src_height, plat::Rop::SrcCopy);
        };
        if (state.vertical) {
            recolour(FullFill2, fill);
            stretch(0, 0, kThickness, h - p, images_[EmptyFill2], kThickness, 1);
            stretch(0, h - p, kThickness, p, images_[FullFill2], kThickness, 1);
            copy(0, 0, kThickness, kUpHeight, images_[Up]);
            copy(0, h - kDownHeight, kThickness, kDownHeight, images_[Down]);
            copy(kHandleInset, h - p, kHandle2Width, kHandle2Height, images_[Handle2]);
        } else {
            recolour(FullFill, fill);
            stretch(0, 0, p, kThickness, images_[FullFill], 1, kThickness);
            stretch(p, 0, w - p, kThickness, images_[EmptyFill], 1, kThickness);
            copy(0, 0, kLeftWidth, kThickness, images_[Left]);
            copy(w - kRightWidth, 0, kRightWidth, kThickness, images_[Right]);
            copy(p, kHandleInset, kHandleWidth, kHandleHeight, images_[Handle]);
        }
    }
    if (focused_) plat::draw_focus_rect(dc, {0, 0, w, h});
    plat::update_window(window_);
}

// ---- Input ------------------------------------------------------------------------------

void Slider::on_mouse_down(int button, plat::Point) {
    pressed_button_ = button;
    // While a button is held the control keeps the pointer, wherever it goes, and it takes the
    // keyboard focus as any control that a click reaches.
    plat::set_capture(window_);
    if (button == 1) plat::set_focus(window_);
}

void Slider::on_mouse_move(int buttons, plat::Point client) {
    if (buttons != 1 || !enabled_) return;
    const PaintState state = paint_state();
    const std::optional<DragStep> step = Drag(state, vertical() ? client.y : client.x);
    if (!step) return;  // refused
    bounds_.value = step->value;
    drag_position_ = step->position;
    dragging_ = true;
    bounds_.value = Clamped(bounds_);
    redraw();
    raise(events_.on_scroll);
    raise(events_.on_change);
}

void Slider::on_mouse_up(int button, plat::Point client) {
    if (plat::get_capture() == window_) plat::release_capture();
    if (!events_.on_mouse_up) return;
    const plat::Point twips = plat::twips_per_pixel();
    auto handler = events_.on_mouse_up;
    handler(static_cast<std::int16_t>(button), static_cast<std::int16_t>(plat::shift_state()),
            static_cast<float>(client.x * twips.x), static_cast<float>(client.y * twips.y));
}

void Slider::on_key_down(int virtual_key) {
    if (const std::optional<std::int32_t> next = KeyStep(bounds_.value, virtual_key)) {
        bounds_.value = *next;
        bounds_.value = Clamped(bounds_);
        dragging_ = false;
        redraw();
        raise(events_.on_change);
        raise(events_.on_scroll);
    }  // else refused: no change, no event of its own
    if (events_.on_key_down) {
        auto handler = events_.on_key_down;
        handler(virtual_key);
    }
}

void Slider::on_focus(bool gained) {
    focused_ = gained;
    redraw();
}

}  // namespace controls
