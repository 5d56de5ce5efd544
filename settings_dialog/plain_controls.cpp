#include "settings_dialog/plain_controls.h"

#include <algorithm>
#include <cmath>

#include "common/numeric.h"

namespace settings_dialog {
namespace {

constexpr std::uint32_t kDtCenter = 0x1, kDtSingleLine = 0x20, kDtVCenter = 0x4, kDtNoPrefix = 0x800;
constexpr int kVkLeft = 37, kVkRight = 39;
constexpr plat::ColorRef kGreyText = 0x6D6D6D, kFrame = 0x7A7A7A;

void Fill(plat::Dc dc, plat::Rect r, plat::ColorRef colour) {
    plat::GdiObject brush = plat::create_solid_brush(colour);
    plat::GdiObject region = plat::create_rect_rgn(r.left, r.top, r.right, r.bottom);
    plat::fill_region(dc, region, brush);
    plat::delete_object(region);
    plat::delete_object(brush);
}

void Frame(plat::Dc dc, plat::Rect r, plat::ColorRef colour) {
    plat::GdiObject pen = plat::create_pen(plat::PenStyle::Solid, 1, colour);
    const plat::GdiObject old_pen = plat::select_object(dc, pen);
    const plat::GdiObject old_brush = plat::select_object(dc, plat::stock_object(plat::StockObject::NullBrush));
    plat::draw_rectangle(dc, r.left, r.top, r.right, r.bottom);
    plat::select_object(dc, old_brush);
    plat::select_object(dc, old_pen);
    plat::delete_object(pen);
}


void Text(plat::Dc dc, plat::Rect rect, std::string_view text, const TextStyle& style, std::uint32_t format) {
    plat::GdiObject font = plat::create_font(style.font);
    const plat::GdiObject old = plat::select_object(dc, font);
    plat::set_bk_mode(dc, plat::BkMode::Transparent);
    plat::set_text_color(dc, plat::resolve_color(style.colour));
    const std::string copy(text);
    plat::draw_text(dc, copy, rect, format | kDtNoPrefix);
    plat::select_object(dc, old);
    plat::delete_object(font);
}

}  // namespace

plat::FontDesc FontOf(std::string_view face, double points, int charset, bool bold, bool italic, bool underline) {
    plat::FontDesc font;
    font.height = -static_cast<std::int32_t>(common::round_half_even(points * 96.0 / 72.0));
    font.weight = bold ? 700 : 400;
    font.italic = italic;
    font.underline = underline;
    font.charset = static_cast<std::uint8_t>(charset);
    font.face = std::string(face.substr(0, 31));
    return font;
}

// ---- PlainSlider ----------------------------------------------------------------------

bool PlainSlider::create(plat::WindowHandle parent, plat::Rect rect, std::int32_t min, std::int32_t max,
                         plat::ColorRef fore, plat::ColorRef fore2, std::function<void(int)> other_key) {
    rect_ = rect;
    min_ = min;
    max_ = std::max(max, min + 1);
    value_ = min_;
    fore_ = fore;
    fore2_ = fore2;
    plat::ChildDesc desc;
    desc.rect = rect;
    plat::WindowHandlers handlers;
    handlers.key_down = [this, other_key](int key) {
        std::int64_t v = value_;
        if (key == kVkLeft) --v;
        if (key == kVkRight) ++v;
        value_ = clamp(v);
        draw();
        if (change) change();
        if (scroll) scroll();
        if (key != kVkLeft && key != kVkRight && other_key) other_key(key);
    };
    handlers.mouse_down = [this](int, plat::Point at) {
        plat::set_focus(window_);
        plat::set_capture(window_);
        from_pointer(at.x);
    };
    handlers.mouse_move = [this](int buttons, plat::Point at) {
        if (buttons && plat::get_capture() == window_) from_pointer(at.x);
    };
    handlers.mouse_up = [this](int, plat::Point) {
        if (plat::get_capture() == window_) plat::release_capture();
    };
    window_ = plat::create_child(parent, desc, std::move(handlers));
    if (window_ == plat::WindowHandle::None) return false;
    draw();
    return true;
}

std::int32_t PlainSlider::clamp(std::int64_t v) const {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, min_, max_));
}

void PlainSlider::set_value(std::int32_t value) {
    value_ = clamp(value);
    draw();
    if (change) change();
}

void PlainSlider::from_pointer(int x) {
    const int track = std::max(1, rect_.width() - 9);
    const double at = std::clamp(x - 4, 0, track) / static_cast<double>(track);
    value_ = clamp(min_ + static_cast<std::int64_t>(common::round_half_even(at * (max_ - min_))));
    draw();
    if (scroll) scroll();
    if (change) change();
}

void PlainSlider::draw() {
    const plat::Dc dc = plat::window_dc(window_);
    const int w = rect_.width(), h = rect_.height();
    Fill(dc, {0, 0, w, h}, 0xD8D8D8);
    const int track = std::max(1, w - 9);
    const int handle = 4 + static_cast<int>(static_cast<std::int64_t>(track) * (value_ - min_) / (max_ - min_));
    const int mid = h / 2;
    Fill(dc, {4, mid - 2, w - 4, mid + 2}, 0xFFFFFF);
    Fill(dc, {4, mid - 2, handle, mid + 2}, fore_);
    Frame(dc, {3, mid - 3, w - 3, mid + 3}, kFrame);
    Fill(dc, {handle - 3, 2, handle + 4, h - 2}, fore2_);
    Frame(dc, {handle - 3, 2, handle + 4, h - 2}, 0x404040);
    plat::update_window(window_);
}

// ---- PlainButton ----------------------------------------------------------------------

bool PlainButton::create(plat::WindowHandle parent, plat::Rect rect, std::string caption, const TextStyle& style,
                         plat::ColorRef back, std::function<void()> press, std::function<void(int)> other_key) {
    rect_ = rect;
    caption_ = std::move(caption);
    style_ = style;
    back_ = back;
    plat::ChildDesc desc;
    desc.rect = rect;
    plat::WindowHandlers handlers;
    handlers.mouse_down = [press](int, plat::Point) { if (press) press(); };
    handlers.double_click = [press](int, plat::Point) { if (press) press(); };
    handlers.key_down = [other_key](int key) { if (other_key) other_key(key); };
    handlers.focus_gained = [this] { focused_ = true; draw(); };
    handlers.focus_lost = [this] { focused_ = false; draw(); };
    window_ = plat::create_child(parent, desc, std::move(handlers));
    if (window_ == plat::WindowHandle::None) return false;
    draw();
    return true;
}

void PlainButton::enable(bool enabled) {
    plat::enable_window(window_, enabled);
    draw();
}

void PlainButton::draw() {
    const plat::Dc dc = plat::window_dc(window_);
    const int w = rect_.width(), h = rect_.height();
    Fill(dc, {0, 0, w, h}, plat::resolve_color(back_));
    Frame(dc, {0, 0, w, h}, 0);
    TextStyle style = style_;
    if (!plat::is_window_enabled(window_)) style.colour = kGreyText;
    Text(dc, {0, 0, w, h}, caption_, style, kDtCenter | kDtSingleLine | kDtVCenter);
    if (focused_) plat::draw_focus_rect(dc, {3, 3, w - 3, h - 3});
    plat::update_window(window_);
}

}  // namespace settings_dialog
