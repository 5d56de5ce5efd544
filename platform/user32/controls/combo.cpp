// The editable drop-down combo box of the back ends that have no system one (Linux, scripted),
// in the classic Windows look and with its behaviour: a sunken edit field with a caret and a
// selection, a drop button at its right, and a list that drops down over the dialog in a
// window of its own (a child of the dialog above every other), scrolls when it holds more
// items than it shows, and holds the mouse while it is down.
//
// Text is CP932 throughout: the caret and the selection never split a double-byte character.
#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>

#include "common/cp932.h"
#include "platform/controls.h"
#include "platform/user32/device.h"

namespace plat {
namespace {

constexpr int kButtonWidth = 17;  // SM_CXVSCROLL
constexpr int kScrollWidth = 17;
constexpr int kVkF4 = kVkF1 + 3;

// The character boundaries of a CP932 text, from 0 to its size.
std::vector<std::size_t> boundaries(const std::string& text) {
    std::vector<std::size_t> out{0};
    for (std::size_t i = 0; i < text.size();) {
        i += common::IsCp932LeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
        out.push_back(i);
    }
    return out;
}

std::size_t step(const std::string& text, std::size_t at, bool forward) {
    const auto b = boundaries(text);
    auto it = std::lower_bound(b.begin(), b.end(), at);
    if (forward) return it == b.end() || it + 1 == b.end() ? text.size() : *(it + 1);
    return it == b.begin() ? 0 : *(it - 1);
}

void fill(Dc dc, const Rect& r, ColorRef color) {
    if (r.width() <= 0 || r.height() <= 0) return;
    const GdiObject brush = create_solid_brush(resolve_color(color));
    const GdiObject old = select_object(dc, brush);
    pat_blt(dc, r.left, r.top, r.width(), r.height(), Rop::PatCopy);
    select_object(dc, old);
    delete_object(brush);
}

// A system colour by its index, as a colour value (short for sys_color_ref).
ColorRef sys(int index) { return sys_color_ref(index); }

// DrawEdge's two-pixel edges: top and left in the first colours, bottom and right in the others.
void edge(Dc dc, Rect r, ColorRef outer_tl, ColorRef outer_br, ColorRef inner_tl, ColorRef inner_br) {
    for (int ring = 0; ring < 2; ++ring) {
        const ColorRef tl = ring == 0 ? outer_tl : inner_tl, br = ring == 0 ? outer_br : inner_br;
        fill(dc, {r.left, r.top, r.right - 1, r.top + 1}, tl);
        fill(dc, {r.left, r.top, r.left + 1, r.bottom - 1}, tl);
        fill(dc, {r.left, r.bottom - 1, r.right, r.bottom}, br);
        fill(dc, {r.right - 1, r.top, r.right, r.bottom}, br);
        r = {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    }
}

void raised(Dc dc, const Rect& r) {
    fill(dc, r, sys(kColorBtnFace));
    edge(dc, r, sys(kColorLight), sys(kColorDkShadow), sys(kColorBtnHighlight), sys(kColorBtnShadow));
}

// A solid triangle seven pixels wide, pointing down or up, centred in r.
void arrow(Dc dc, const Rect& r, bool down, ColorRef color) {
    const int cx = r.left + r.width() / 2, top = r.top + (r.height() - 4) / 2;
    for (int row = 0; row < 4; ++row) {
        const int half = down ? 3 - row : row;
        fill(dc, {cx - half, top + row, cx + half + 1, top + row + 1}, color);
    }
}

struct Combo {
    WindowHandle handle{}, list{}, root{};
    ComboHandlers handlers;
    FontDesc font_desc;
    GdiObject font{};
    int rows = 8;
    std::string text;
    std::size_t caret = 0, anchor = 0;
    int scroll_x = 0;
    int lead = -1;  // the first byte of a double-byte character still to come
    std::vector<std::string> items;
    int selection = -1;
    bool focused = false, selecting = false, button_down = false;
    // The dropped list.
    bool dropped = false;
    int hot = -1, top = 0, item_height = 16;
    std::string text_at_drop;
    int selection_at_drop = -1;
    bool thumb_drag = false;
    int thumb_grab = 0;
    bool pressed_in_list = false;

    Rect client() const {
        Rect r;
        get_window_rect(handle, r);
        return {0, 0, r.width(), r.height()};
    }
    Rect button() const {
        const Rect c = client();
        return {c.right - 2 - kButtonWidth, 2, c.right - 2, c.bottom - 2};
    }
    Rect field() const {
        const Rect c = client();
        return {3, 2, c.right - 2 - kButtonWidth, c.bottom - 2};
    }
    std::size_t sel_begin() const { return std::min(caret, anchor); }
    std::size_t sel_end() const { return std::max(caret, anchor); }
};

std::map<WindowHandle, std::shared_ptr<Combo>>& combos() {
    static std::map<WindowHandle, std::shared_ptr<Combo>> all;
    return all;
}

Combo* find(WindowHandle h) {
    auto it = combos().find(h);
    return it == combos().end() ? nullptr : it->second.get();
}

// The width of a text in the combo's font.
int text_width(Combo&, Dc dc, std::string_view text) {
    if (text.empty()) return 0;
    Rect r{0, 0, 0, 0};
    draw_text(dc, text, r, kDtSingleLine | kDtCalcRect | kDtNoPrefix);
    return r.width();
}

struct FontIn {
    Dc dc;
    GdiObject old;
    FontIn(Combo& c, Dc d) : dc(d) {
        if (c.font == GdiObject::None) c.font = create_font(c.font_desc);
        old = c.font != GdiObject::None ? select_object(dc, c.font) : GdiObject::None;
    }
    ~FontIn() {
        if (old != GdiObject::None) select_object(dc, old);
    }
};

// The caret's place in pixels from the start of the text.
int caret_x(Combo& c, Dc dc, std::size_t at) { return text_width(c, dc, std::string_view(c.text).substr(0, at)); }

// Keeps the caret inside the field.
void scroll_to_caret(Combo& c, Dc dc) {
    const int x = caret_x(c, dc, c.caret), width = std::max(1, c.field().width() - 2);
    if (x - c.scroll_x > width) c.scroll_x = x - width;
    if (x < c.scroll_x) c.scroll_x = x;
    c.scroll_x = std::max(0, c.scroll_x);
}

void paint_combo(Combo& c) {
    const Dc dc = window_dc(c.handle);
    if (dc == Dc::None) return;
    FontIn f(c, dc);
    const bool enabled = is_window_enabled(c.handle);
    const Rect all = c.client(), field = c.field(), btn = c.button();
    fill(dc, all, sys(enabled ? kColorWindow : kColorBtnFace));
    edge(dc, all, sys(kColorBtnShadow), sys(kColorBtnHighlight), sys(kColorDkShadow), sys(kColorLight));
    scroll_to_caret(c, dc);

    // The text, then the selection over it in the highlight colours, clipped to the field.
    const GdiObject clip = create_rect_rgn(field.left, field.top, field.right, field.bottom);
    select_clip_rgn(dc, clip);
    delete_object(clip);
    const BkMode old_mode = set_bk_mode(dc, BkMode::Transparent);
    const int x0 = field.left - c.scroll_x;
    set_text_color(dc, resolve_color(sys(enabled ? kColorWindowText : kColorGrayText)));
    Rect r{x0, field.top, field.right + 4096, field.bottom};
    draw_text(dc, c.text, r, kDtSingleLine | kDtVCenter | kDtNoPrefix);
    if (c.focused && c.sel_begin() != c.sel_end()) {
        const int a = caret_x(c, dc, c.sel_begin()), b = caret_x(c, dc, c.sel_end());
        fill(dc, {x0 + a, field.top + 1, x0 + b, field.bottom - 1}, sys(kColorHighlight));
        set_text_color(dc, resolve_color(sys(kColorHighlightText)));
        Rect s{x0 + a, field.top, field.right + 4096, field.bottom};
        draw_text(dc, std::string_view(c.text).substr(c.sel_begin(), c.sel_end() - c.sel_begin()), s,
                  kDtSingleLine | kDtVCenter | kDtNoPrefix);
    }
    if (c.focused && enabled) {
        const int x = x0 + caret_x(c, dc, c.caret);
        fill(dc, {x, field.top + 1, x + 1, field.bottom - 1}, sys(kColorWindowText));
    }
    set_bk_mode(dc, old_mode);
    select_clip_rgn(dc, GdiObject::None);

    // The drop button: raised, flat and pushed in while held.
    if (c.button_down) {
        fill(dc, btn, sys(kColorBtnFace));
        fill(dc, {btn.left, btn.top, btn.right, btn.top + 1}, sys(kColorBtnShadow));
        fill(dc, {btn.left, btn.top, btn.left + 1, btn.bottom}, sys(kColorBtnShadow));
        fill(dc, {btn.left, btn.bottom - 1, btn.right, btn.bottom}, sys(kColorBtnShadow));
        fill(dc, {btn.right - 1, btn.top, btn.right, btn.bottom}, sys(kColorBtnShadow));
        arrow(dc, {btn.left + 1, btn.top + 1, btn.right + 1, btn.bottom + 1}, true, sys(kColorWindowText));
    } else {
        raised(dc, btn);
        arrow(dc, btn, true, sys(enabled ? kColorWindowText : kColorGrayText));
    }
}

void show(Combo& c) {
    paint_combo(c);
    update_window(c.handle);
}

// ---- The list ---------------------------------------------------------------------------

int visible_rows(const Combo& c) { return std::max(1, std::min<int>(c.rows, static_cast<int>(c.items.size()))); }
bool scrolls(const Combo& c) { return static_cast<int>(c.items.size()) > visible_rows(c); }

Rect list_client(const Combo& c) {
    Rect r;
    get_window_rect(c.list, r);
    return {0, 0, r.width(), r.height()};
}

Rect items_area(const Combo& c) {
    const Rect l = list_client(c);
    return {1, 1, l.right - 1 - (scrolls(c) ? kScrollWidth : 0), l.bottom - 1};
}

Rect scroll_area(const Combo& c) {
    const Rect l = list_client(c);
    return {l.right - 1 - kScrollWidth, 1, l.right - 1, l.bottom - 1};
}

int max_top(const Combo& c) { return std::max(0, static_cast<int>(c.items.size()) - visible_rows(c)); }

Rect thumb(const Combo& c) {
    const Rect s = scroll_area(c);
    const int track = std::max(0, s.height() - 2 * kScrollWidth);
    const int count = static_cast<int>(c.items.size()), rows = visible_rows(c);
    const int length = std::max(8, count ? track * rows / count : track);
    const int span = std::max(1, max_top(c));
    const int at = s.top + kScrollWidth + (track - length) * c.top / span;
    return {s.left, at, s.right, at + length};
}

void paint_list(Combo& c) {
    const Dc dc = window_dc(c.list);
    if (dc == Dc::None) return;
    FontIn f(c, dc);
    const Rect l = list_client(c), area = items_area(c);
    fill(dc, l, sys(kColorWindowFrame));
    fill(dc, area, sys(kColorWindow));
    const BkMode old_mode = set_bk_mode(dc, BkMode::Transparent);
    for (int row = 0; row < visible_rows(c); ++row) {
        const int i = c.top + row;
        if (i >= static_cast<int>(c.items.size())) break;
        const Rect line{area.left, area.top + row * c.item_height, area.right, area.top + (row + 1) * c.item_height};
        const bool hot = i == c.hot;
        if (hot) fill(dc, line, sys(kColorHighlight));
        set_text_color(dc, resolve_color(sys(hot ? kColorHighlightText : kColorWindowText)));
        Rect t{line.left + 2, line.top, line.right, line.bottom};
        draw_text(dc, c.items[static_cast<std::size_t>(i)], t, kDtSingleLine | kDtVCenter | kDtNoPrefix);
    }
    set_bk_mode(dc, old_mode);
    if (scrolls(c)) {
        const Rect s = scroll_area(c);
        fill(dc, s, sys(kColorLight));
        const Rect up{s.left, s.top, s.right, s.top + kScrollWidth}, down{s.left, s.bottom - kScrollWidth, s.right, s.bottom};
        raised(dc, up);
        arrow(dc, up, false, sys(kColorWindowText));
        raised(dc, down);
        arrow(dc, down, true, sys(kColorWindowText));
        raised(dc, thumb(c));
    }
}

void show_list(Combo& c) {
    paint_list(c);
    update_window(c.list);
}

void keep_visible(Combo& c, int i) {
    if (i < 0) return;
    if (i < c.top) c.top = i;
    if (i >= c.top + visible_rows(c)) c.top = i - visible_rows(c) + 1;
    c.top = std::clamp(c.top, 0, max_top(c));
}

void set_text(Combo& c, std::string text) {
    c.text = std::move(text);
    c.caret = c.text.size();
    c.anchor = 0;  // the whole text selected, as after a choice from the list
    c.lead = -1;
}

void fire(const std::function<void()>& handler) {
    if (!handler) return;
    auto copy = handler;
    copy();
}

// The item that the field's text names: the one equal to it, else the first that begins
// with it (as LB_FINDSTRING finds it); -1 when none does.
int item_matching(const Combo& c) {
    for (std::size_t i = 0; i < c.items.size(); ++i)
        if (c.items[i] == c.text) return static_cast<int>(i);
    if (c.text.empty()) return -1;
    for (std::size_t i = 0; i < c.items.size(); ++i)
        if (c.items[i].rfind(c.text, 0) == 0) return static_cast<int>(i);
    return -1;
}

// How a dropped list closes: taking the highlighted item, going back to what the field held
// when it dropped (Esc, the button), or leaving the field as it stands (the focus moved on:
// the item that the arrow keys chose stays chosen, as with Windows' own combo box).
enum class Close { Accept, Revert, Keep };

void close_up(Combo& c, Close how) {
    const bool accept = how == Close::Accept;
    if (!c.dropped) return;
    c.dropped = false;
    c.thumb_drag = false;
    if (get_capture() == c.list) release_capture();
    show_window(c.list, false);
    const std::shared_ptr<Combo> keep = combos()[c.handle];
    if (accept && c.hot >= 0) {
        const std::string& item = c.items[static_cast<std::size_t>(c.hot)];
        const bool changed = c.hot != c.selection || item != c.text;
        c.selection = c.hot;
        set_text(c, item);
        show(c);
        if (changed) {
            fire(keep->handlers.change);
            fire(keep->handlers.select);
        }
        return;
    }
    const bool reverted = how == Close::Revert && c.text != c.text_at_drop;
    if (how == Close::Revert) {
        c.text = c.text_at_drop;
        c.selection = c.selection_at_drop;
        c.caret = c.text.size();
        c.anchor = 0;
    }
    show(c);
    if (reverted) fire(keep->handlers.change);
}

void make_list(Combo& c);

void drop(Combo& c) {
    if (c.dropped || c.items.empty()) return;
    if (get_focus() != c.handle) set_focus(c.handle);
    make_list(c);
    if (c.list == WindowHandle::None) return;
    // Below the combo box, or above it where the dialog has no room below.
    Point at{0, 0};
    client_to_screen(c.handle, at);
    screen_to_client(c.root, at);
    Rect root_rect;
    get_window_rect(c.root, root_rect);
    // The root's far corner in its client pixels (the system's window may be a display
    // scale times larger on the screen).
    Point root_size{root_rect.right, root_rect.bottom};
    screen_to_client(c.root, root_size);
    const Rect own = c.client();
    const int height = visible_rows(c) * c.item_height + 2;
    int y = at.y + own.height();
    if (y + height > root_size.y && at.y - height >= 0) y = at.y - height;
    set_window_pos(c.list, kHwndTop, at.x, y, own.width(), height, kSwpNoActivate);
    c.dropped = true;
    c.text_at_drop = c.text;
    c.selection_at_drop = c.selection;
    c.hot = c.selection >= 0 ? c.selection : item_matching(c);
    // The chosen item opens at the top of the list (LB_SETTOPINDEX), as far as the list goes.
    c.top = std::clamp(c.hot, 0, max_top(c));
    show_window(c.list, true);
    show_list(c);
    set_capture(c.list);
    show(c);
}

int item_at(const Combo& c, Point p) {
    const Rect a = items_area(c);
    if (p.x < a.left || p.x >= a.right || p.y < a.top || p.y >= a.bottom) return -1;
    const int i = c.top + (p.y - a.top) / std::max(1, c.item_height);
    return i < static_cast<int>(c.items.size()) ? i : -1;
}

bool inside(const Rect& r, Point p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

void scroll_by(Combo& c, int rows) {
    c.top = std::clamp(c.top + rows, 0, max_top(c));
    show_list(c);
}

void list_down(const std::shared_ptr<Combo>& c, Point p) {
    if (!c->dropped) return;
    const Rect l = list_client(*c);
    if (!inside(l, p)) {
        // A press anywhere else closes the list without a choice (one on the drop button
        // too: it must not open the list again).
        Point on_combo = p;
        client_to_screen(c->list, on_combo);
        screen_to_client(c->handle, on_combo);
        if (inside(c->client(), on_combo)) c->button_down = false;
        close_up(*c, Close::Revert);
        return;
    }
    c->pressed_in_list = true;
    if (scrolls(*c) && inside(scroll_area(*c), p)) {
        const Rect s = scroll_area(*c), t = thumb(*c);
        if (p.y < s.top + kScrollWidth) scroll_by(*c, -1);
        else if (p.y >= s.bottom - kScrollWidth) scroll_by(*c, 1);
        else if (p.y < t.top) scroll_by(*c, -visible_rows(*c));
        else if (p.y >= t.bottom) scroll_by(*c, visible_rows(*c));
        else {
            c->thumb_drag = true;
            c->thumb_grab = p.y - t.top;
        }
        c->pressed_in_list = false;
        return;
    }
    const int i = item_at(*c, p);
    if (i >= 0 && i != c->hot) {
        c->hot = i;
        show_list(*c);
    }
}

void list_move(const std::shared_ptr<Combo>& c, Point p) {
    if (!c->dropped) return;
    if (c->thumb_drag) {
        const Rect s = scroll_area(*c), t = thumb(*c);
        const int track = std::max(1, s.height() - 2 * kScrollWidth - t.height());
        const int y = p.y - c->thumb_grab - (s.top + kScrollWidth);
        const int top = std::clamp((y * max_top(*c) + track / 2) / track, 0, max_top(*c));
        if (top != c->top) {
            c->top = top;
            show_list(*c);
        }
        return;
    }
    const int i = item_at(*c, p);
    if (i >= 0 && i != c->hot) {
        c->hot = i;
        show_list(*c);
    }
}

void list_up(const std::shared_ptr<Combo>& c, Point p) {
    if (!c->dropped) return;
    c->button_down = false;
    if (c->thumb_drag) {
        c->thumb_drag = false;
        return;
    }
    // A release over an item chooses it (after a press in the list, or a drag from the
    // drop button into the list).
    const int i = item_at(*c, p);
    c->pressed_in_list = false;
    if (i >= 0) {
        c->hot = i;
        close_up(*c, Close::Accept);
    } else {
        show(*c);
    }
}

void make_list(Combo& c) {
    if (c.list != WindowHandle::None) return;
    for (WindowHandle p = get_parent(c.handle); p != WindowHandle::None; p = get_parent(p)) c.root = p;
    ChildDesc desc;
    desc.rect = {0, 0, 1, 1};
    desc.visible = false;
    desc.tab_stop = false;
    const std::weak_ptr<Combo> weak = combos()[c.handle];
    WindowHandlers h;
    h.mouse_down = [weak](int button, Point p) {
        if (auto c = weak.lock(); c && button == 1) list_down(c, p);
        else if (c) close_up(*c, Close::Revert);
    };
    // A quick second press (on a scroll arrow, say) is a press like the first.
    h.double_click = h.mouse_down;
    h.mouse_move = [weak](int, Point p) {
        if (auto c = weak.lock()) list_move(c, p);
    };
    h.mouse_up = [weak](int button, Point p) {
        if (auto c = weak.lock(); c && button == 1) list_up(c, p);
    };
    h.paint = [weak] {
        if (auto c = weak.lock(); c && c->dropped) paint_list(*c);
    };
    c.list = create_child(c.root, desc, std::move(h));
    // The rows are as high as the font's line and a pixel above and below.
    const Dc dc = window_dc(c.list);
    if (dc != Dc::None) {
        FontIn f(c, dc);
        Rect r{0, 0, 0, 0};
        draw_text(dc, "Ag", r, kDtSingleLine | kDtCalcRect | kDtNoPrefix);
        c.item_height = std::max(8, r.height() + 2);
    }
}

// ---- The edit field -----------------------------------------------------------------------

std::size_t hit_caret(Combo& c, int x) {
    const Dc dc = window_dc(c.handle);
    FontIn f(c, dc);
    const int want = x - c.field().left + c.scroll_x;
    std::size_t best = 0;
    int best_distance = 1 << 30;
    for (std::size_t b : boundaries(c.text)) {
        const int d = std::abs(caret_x(c, dc, b) - want);
        if (d < best_distance) best_distance = d, best = b;
    }
    return best;
}

void replace_selection(Combo& c, std::string_view with) {
    const std::size_t a = c.sel_begin(), b = c.sel_end();
    c.text.replace(a, b - a, with);
    c.caret = c.anchor = a + with.size();
    c.selection = -1;
}

void edited(const std::shared_ptr<Combo>& c) {
    show(*c);
    fire(c->handlers.change);
}

void copy_selection(const Combo& c) {
    if (c.sel_begin() != c.sel_end())
        user32::device().set_clipboard_text(std::string_view(c.text).substr(c.sel_begin(), c.sel_end() - c.sel_begin()));
}

void paste(const std::shared_ptr<Combo>& c) {
    std::string in = user32::device().clipboard_text();
    // One line: the paste ends at the first line break, as in a single-line edit field.
    if (const auto end = in.find_first_of("\r\n"); end != std::string::npos) in.resize(end);
    replace_selection(*c, in);
    edited(c);
}

void key(const std::shared_ptr<Combo>& c, int vk) {
    const int shift = shift_state();
    const bool with_shift = shift & 1, ctrl = shift & 2, alt = shift & 4;
    if (c->dropped) {
        const int last = static_cast<int>(c->items.size()) - 1;
        switch (vk) {
        case kVkUp: case kVkDown: case kVkPrior: case kVkNext: case kVkHome: case kVkEnd: {
            if (alt && (vk == kVkUp || vk == kVkDown)) {
                close_up(*c, Close::Accept);
                return;
            }
            int i = c->hot;
            const int page = visible_rows(*c) - 1;
            if (vk == kVkUp) i = i < 0 ? 0 : i - 1;
            if (vk == kVkDown) i = i < 0 ? 0 : i + 1;
            if (vk == kVkPrior) i = i < 0 ? 0 : i - page;
            if (vk == kVkNext) i = i < 0 ? 0 : i + page;
            if (vk == kVkHome) i = 0;
            if (vk == kVkEnd) i = last;
            c->hot = std::clamp(i, 0, last);
            keep_visible(*c, c->hot);
            show_list(*c);
            // The field follows the item under the highlight, which is chosen at once.
            if (c->hot == c->selection && c->text == c->items[static_cast<std::size_t>(c->hot)]) return;
            c->selection = c->hot;
            set_text(*c, c->items[static_cast<std::size_t>(c->hot)]);
            edited(c);
            fire(c->handlers.select);
            return;
        }
        case kVkReturn: close_up(*c, Close::Accept); return;
        case kVkF4: close_up(*c, Close::Accept); return;
        case kVkEscape: close_up(*c, Close::Revert); return;
        default: break;
        }
    }
    const std::size_t size = c->text.size();
    auto move_caret = [&](std::size_t to) {
        c->caret = to;
        if (!with_shift) c->anchor = to;
        show(*c);
    };
    switch (vk) {
    case kVkF4: drop(*c); return;
    case kVkEscape: fire(c->handlers.cancel); return;
    case kVkDown:
    case kVkUp: {
        if (alt) {
            drop(*c);
            return;
        }
        if (c->items.empty()) return;
        const int last = static_cast<int>(c->items.size()) - 1;
        int i = c->selection >= 0 ? c->selection : item_matching(*c);
        i = i < 0 ? 0 : std::clamp(i + (vk == kVkDown ? 1 : -1), 0, last);
        if (i == c->selection && c->text == c->items[static_cast<std::size_t>(i)]) return;
        c->selection = i;
        set_text(*c, c->items[static_cast<std::size_t>(i)]);
        edited(c);
        fire(c->handlers.select);
        return;
    }
    case kVkLeft:
        if (!with_shift && c->sel_begin() != c->sel_end()) move_caret(c->sel_begin());
        else move_caret(step(c->text, c->caret, false));
        return;
    case kVkRight:
        if (!with_shift && c->sel_begin() != c->sel_end()) move_caret(c->sel_end());
        else move_caret(step(c->text, c->caret, true));
        return;
    case kVkHome: move_caret(0); return;
    case kVkEnd: move_caret(size); return;
    case kVkBack:
        if (c->sel_begin() == c->sel_end()) {
            if (c->caret == 0) return;
            c->anchor = step(c->text, c->caret, false);
        }
        replace_selection(*c, "");
        edited(c);
        return;
    case kVkDelete:
        if (with_shift) copy_selection(*c);  // Shift+Delete cuts
        if (c->sel_begin() == c->sel_end()) {
            if (c->caret >= size || with_shift) return;
            c->anchor = step(c->text, c->caret, true);
        }
        replace_selection(*c, "");
        edited(c);
        return;
    case kVkInsert:
        if (ctrl) copy_selection(*c);
        else if (with_shift) paste(c);
        return;
    default: break;
    }
    if (!ctrl || alt) return;
    switch (vk) {
    case 'A':
        c->anchor = 0;
        c->caret = size;
        show(*c);
        return;
    case 'C': copy_selection(*c); return;
    case 'X':
        if (c->sel_begin() == c->sel_end()) return;
        copy_selection(*c);
        replace_selection(*c, "");
        edited(c);
        return;
    case 'V': paste(c); return;
    default: return;
    }
}

void character(const std::shared_ptr<Combo>& c, int ch) {
    if (shift_state() & 6) return;  // Ctrl and Alt combinations are commands, not text
    const unsigned char b = static_cast<unsigned char>(ch);
    if (c->lead >= 0) {
        const char pair[2] = {static_cast<char>(c->lead), static_cast<char>(b)};
        c->lead = -1;
        replace_selection(*c, std::string_view(pair, 2));
        edited(c);
        return;
    }
    if (b < 0x20 || b == 0x7F) return;
    if (common::IsCp932LeadByte(b)) {
        c->lead = b;
        return;
    }
    const char one = static_cast<char>(b);
    replace_selection(*c, std::string_view(&one, 1));
    edited(c);
}

void combo_down(const std::shared_ptr<Combo>& c, int button, Point p) {
    if (button != 1) return;
    if (get_focus() != c->handle) set_focus(c->handle);
    if (inside(c->button(), p)) {
        c->button_down = true;
        if (c->dropped) close_up(*c, Close::Revert);
        else drop(*c);
        show(*c);
        return;
    }
    const std::size_t at = hit_caret(*c, p.x);
    c->caret = at;
    if (!(shift_state() & 1)) c->anchor = at;
    c->selecting = true;
    set_capture(c->handle);
    show(*c);
}

}  // namespace

WindowHandle create_combo_box(WindowHandle parent, const ComboDesc& desc, ComboHandlers handlers) {
    auto c = std::make_shared<Combo>();
    c->handlers = std::move(handlers);
    c->font_desc = desc.font;
    c->rows = std::max(1, desc.list_rows);
    c->items = desc.items;
    ChildDesc child;
    child.rect = desc.rect;
    child.visible = desc.visible;
    child.tab_stop = desc.tab_stop;
    child.wants_chars = true;
    const std::weak_ptr<Combo> weak = c;
    WindowHandlers h;
    h.paint = [weak] {
        if (auto c = weak.lock()) paint_combo(*c);
    };
    h.mouse_down = [weak](int button, Point p) {
        if (auto c = weak.lock()) combo_down(c, button, p);
    };
    h.double_click = [weak](int button, Point p) {
        auto c = weak.lock();
        if (!c || button != 1) return;
        if (inside(c->button(), p)) {
            combo_down(c, button, p);
            return;
        }
        c->anchor = 0;
        c->caret = c->text.size();
        show(*c);
    };
    h.mouse_move = [weak](int, Point p) {
        auto c = weak.lock();
        if (!c || !c->selecting) return;
        c->caret = hit_caret(*c, p.x);
        show(*c);
    };
    h.mouse_up = [weak](int button, Point) {
        auto c = weak.lock();
        if (!c || button != 1) return;
        if (c->selecting) {
            c->selecting = false;
            if (get_capture() == c->handle) release_capture();
        }
        if (c->button_down) {
            c->button_down = false;
            show(*c);
        }
    };
    h.key_down = [weak](int vk) {
        if (auto c = weak.lock()) key(c, vk);
    };
    h.character = [weak](int ch) {
        if (auto c = weak.lock()) character(c, ch);
    };
    h.focus_gained = [weak] {
        auto c = weak.lock();
        if (!c) return;
        c->focused = true;
        c->anchor = 0;  // the whole text selected, as when a dialog gives a field the focus
        c->caret = c->text.size();
        show(*c);
    };
    h.focus_lost = [weak] {
        auto c = weak.lock();
        if (!c) return;
        c->focused = false;
        c->selecting = false;
        close_up(*c, Close::Keep);
        show(*c);
    };
    h.unload = [weak] {
        auto c = weak.lock();
        if (!c) return;
        if (c->list != WindowHandle::None) destroy_window(c->list);
        if (c->font != GdiObject::None) delete_object(c->font);
        combos().erase(c->handle);
    };
    const WindowHandle handle = create_child(parent, child, std::move(h));
    if (handle == WindowHandle::None) return handle;
    c->handle = handle;
    combos()[handle] = c;
    return handle;
}

std::string combo_text(WindowHandle combo) {
    const Combo* c = find(combo);
    return c ? c->text : std::string();
}

bool set_combo_text(WindowHandle combo, std::string_view text) {
    Combo* c = find(combo);
    if (!c) return false;
    c->text = std::string(text);
    c->caret = c->anchor = c->focused ? 0 : c->text.size();
    if (c->focused) c->caret = c->text.size();
    c->selection = item_matching(*c);
    c->lead = -1;
    show(*c);
    return true;
}

bool add_combo_item(WindowHandle combo, std::string_view item) {
    Combo* c = find(combo);
    if (!c) return false;
    c->items.emplace_back(item);
    if (c->dropped) show_list(*c);
    return true;
}

std::vector<std::string> combo_items(WindowHandle combo) {
    const Combo* c = find(combo);
    return c ? c->items : std::vector<std::string>{};
}

int combo_selection(WindowHandle combo) {
    const Combo* c = find(combo);
    return c ? c->selection : -1;
}

bool is_combo_dropped(WindowHandle combo) {
    const Combo* c = find(combo);
    return c && c->dropped;
}

}  // namespace plat
