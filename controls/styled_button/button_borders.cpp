// Step 4 of the paint: the border rings that give each style its look, the corner pixels that
// round some of them, the outlines of the elliptic shapes and the focus marks.
#include <array>

#include "controls/styled_button/button_look.h"
#include "controls/styled_button/button_tools.h"

namespace controls::styled_button {

using plat::Dc;
using plat::Point;

namespace {

constexpr ColorRef kWhite = 0xFFFFFF, kBlack = 0, kGrey = Rgb(128, 128, 128);

// A ring as five points P0..P4: P0-P1-P2 is its light half (left and top), P2-P3-P4 its dark
// half (right and bottom). The outer ring has a sixth point that closes the bottom edge of
// shapes whose top edge ends before the width.
struct Ring {
    std::array<Point, 6> p;
    bool closes_bottom = false;
};

// inset 2, 1 or 0. a and b say which sides slant (left: shapes 1 and 3; right: 2 and 3); a
// slanted side keeps 45 degrees, so its x moves with the inset.
Ring ring(const ButtonLook& look, int inset) {
    const int w = look.width, h = look.height, xl = look.xl, xr = look.right_extent();
    const int a = look.shape == 1 || look.shape == 3 ? 1 : 0;
    const int b = look.shape == 2 || look.shape == 3 ? 1 : 0;
    Ring r;
    switch (inset) {
    case 2:
        r.p = {{{xl + 2 - 4 * a, h - 3}, {2 + 2 * a, 2}, {xr - 3 + 3 * b, 2}, {w - 3 - 3 * b, h - 3}, {xl + 1 - 4 * a, h - 3}, {}}};
        break;
    case 1:
        r.p = {{{xl + 1 - 3 * a, h - 2}, {1 + a, 1}, {xr - 2 + 2 * b, 1}, {w - 2 - 2 * b, h - 2}, {xl - 3 * a, h - 2}, {}}};
        break;
    default:
        r.p = {{{xl - a, h - 1 + a}, {0, 0}, {xr - 1 + b, 0}, {w - 1, h - 1 + b}, {xl - 2 * a - 1, h - 1}, {w - 1, h - 1}}};
        r.closes_bottom = xr != w;
        break;
    }
    return r;
}

void poly(Dc dc, ColorRef colour, std::span<const Point> points, plat::PenStyle style = plat::PenStyle::Solid) {
    Tool pen(dc, plat::create_pen(style, 1, colour));
    plat::polyline(dc, points);
}

void light(Dc dc, const Ring& r, ColorRef colour) { poly(dc, colour, std::span(r.p).subspan(0, 3)); }

void dark(Dc dc, const Ring& r, ColorRef colour) {
    poly(dc, colour, std::span(r.p).subspan(2, 3));
    if (r.closes_bottom) poly(dc, colour, std::span(r.p).subspan(4, 2));
}

void halves(Dc dc, const Ring& r, ColorRef light_colour, ColorRef dark_colour) {
    light(dc, r, light_colour);
    dark(dc, r, dark_colour);
}

void outline(Dc dc, const Ring& r, ColorRef colour, plat::PenStyle style = plat::PenStyle::Solid) {
    poly(dc, colour, std::span(r.p).subspan(0, 5), style);
    if (r.closes_bottom) poly(dc, colour, std::span(r.p).subspan(4, 2), style);
}

// Style 2 draws the four edges of a ring each in its own colour: left, top, right, bottom.
void edges(Dc dc, const Ring& r, const std::array<ColorRef, 4>& colours) {
    for (int i = 0; i < 4; ++i) poly(dc, colours[static_cast<std::size_t>(i)], std::span(r.p).subspan(static_cast<std::size_t>(i), 2));
}

void ellipse_outline(Dc dc, int left, int top, int right, int bottom, ColorRef colour) {
    Tool pen(dc, plat::create_pen(plat::PenStyle::Solid, 1, colour));
    plat::draw_arc(dc, left, top, right, bottom, right, (top + bottom) / 2, right, (top + bottom) / 2);
}

void rect_outline(Dc dc, const plat::Rect& r, ColorRef colour) {
    Tool pen(dc, plat::create_pen(plat::PenStyle::Solid, 1, colour));
    Tool brush(dc, plat::stock_object(plat::StockObject::NullBrush), false);
    plat::draw_rectangle(dc, r.left, r.top, r.right, r.bottom);
}

struct State {
    bool pressed, focused, over, hovered, focus_shown;
};

void style2_rings(const ButtonLook& look, Dc dc, ColorRef f, const State& s) {
    const Ring inner = ring(look, 2), middle = ring(look, 1), outer = ring(look, 0);
    const ColorRef outer_colour = look.enabled ? Rgb(0, 60, 115) : shade(f, -84, kBlueMode);
    if (look.enabled) {
        if (s.pressed) {
            const ColorRef p = shade(f, -32, kBlueMode);
            edges(dc, inner, {shade(p, -22, kBlueMode), shade(p, -24, kBlueMode), f, shade(p, 10, kBlueMode)});
            edges(dc, middle, {shade(p, -32, kBlueMode), shade(p, -32, kBlueMode), shade(p, 5, kBlueMode), shade(p, 16, kBlueMode)});
        } else if (s.hovered) {
            edges(dc, inner, {Rgb(255, 203, 107), Rgb(255, 219, 140), Rgb(255, 203, 107), Rgb(255, 178, 49)});
            edges(dc, middle, {Rgb(255, 178, 49), Rgb(255, 233, 166), Rgb(255, 178, 49), Rgb(231, 150, 0)});
        } else if (s.focused && s.focus_shown) {
            edges(dc, inner, {Rgb(181, 209, 240), Rgb(189, 215, 247), Rgb(181, 209, 240), Rgb(140, 174, 231)});
            edges(dc, middle, {Rgb(140, 174, 231), Rgb(191, 223, 255), Rgb(140, 174, 231), Rgb(107, 130, 239)});
        } else {
            edges(dc, inner, {shade(f, -10, kBlueMode), shade(f, 10, kBlueMode), shade(f, -24, kBlueMode), shade(f, -32, kBlueMode)});
            edges(dc, middle, {shade(f, -5, kBlueMode), shade(f, 16, kBlueMode), shade(f, -36, kBlueMode), shade(f, -48, kBlueMode)});
        }
    }
    outline(dc, outer, outer_colour);
    const int w = look.width, h = look.height;
    if (look.xl == 0) {
        plat::set_pixel(dc, 1, h - 2, outer_colour);
        plat::set_pixel(dc, 1, 1, outer_colour);
    }
    if (look.right_extent() == w) {
        plat::set_pixel(dc, w - 2, h - 2, outer_colour);
        plat::set_pixel(dc, w - 2, 1, outer_colour);
    }
}

// The rings of shapes 0 to 3. `slanted_mark` is the focus mark of shapes 1-3 (some styles
// draw it in place of a ring).
void rings(const ButtonLook& look, Dc dc, ColorRef f, const State& s, bool slanted_mark) {
    const Ring inner = ring(look, 2), middle = ring(look, 1), outer = ring(look, 0);
    const int w = look.width, h = look.height;
    switch (look.style) {
    case 0: {
        const int i = s.pressed ? 2 : s.focused ? 1 : 0;
        const bool pressed_and_over = (look.flags & (kPressed | kPointerOver)) == (kPressed | kPointerOver);
        const ColorRef l = pressed_and_over ? f : Rgb(233, 233, 233);
        const ColorRef inner_light[] = {f, l, f}, inner_dark[] = {f, kGrey, f};
        const ColorRef middle_light[] = {l, kWhite, kGrey}, middle_dark[] = {kGrey, kBlack, kGrey};
        halves(dc, inner, inner_light[i], inner_dark[i]);
        halves(dc, middle, middle_light[i], middle_dark[i]);
        outline(dc, outer, s.focused ? kBlack : kWhite);
        break;
    }
    case 1:
        if (!s.pressed && !slanted_mark) halves(dc, inner, kWhite, kGrey);
        if (s.pressed)
            halves(dc, middle, kGrey, kWhite);
        else
            halves(dc, middle, kWhite, kGrey);
        outline(dc, outer, kBlack);
        break;
    case 2:
        style2_rings(look, dc, f, s);
        break;
    case 3: {
        const ColorRef d3 = shade(kGrey, -26);
        if (look.enabled) halves(dc, middle, s.pressed ? shade(kGrey, 12) : kWhite, d3);
        halves(dc, outer, d3, look.enabled ? kWhite : d3);
        break;
    }
    case 4:
        if (s.pressed)
            halves(dc, outer, kGrey, kWhite);
        else
            halves(dc, outer, kWhite, kGrey);
        break;
    case 5:
        if (s.over) {
            if (s.pressed)
                halves(dc, outer, kGrey, kWhite);
            else
                halves(dc, outer, kWhite, kGrey);
        } else if (look.design_mode) {
            outline(dc, outer, shade(look.container, 172), plat::PenStyle::Dot);
        }
        break;
    case 6: {
        const ColorRef h6 = shade(Rgb(223, 223, 223), 8);
        const ColorRef lc = s.pressed ? kGrey : h6, dc_ = s.pressed ? h6 : kGrey;
        halves(dc, middle, lc, dc_);
        halves(dc, outer, lc, dc_);
        break;
    }
    default: {  // 7
        ColorRef face = f, hw = kWhite, l7 = shade(f, 31, kBlueMode), d7 = shade(f, -64, kBlueMode);
        if (s.pressed) {
            face = d7;
            hw = shade(d7, -32);
            l7 = shade(d7, -64);
            d7 = shade(d7, -16);
        }
        if (slanted_mark)
            halves(dc, inner, d7, d7);
        else
            halves(dc, inner, hw, face);
        halves(dc, middle, l7, d7);
        outline(dc, outer, kBlack);
        if (look.xl == 0) {
            plat::set_pixel(dc, 3, 3, hw);
            plat::set_pixel(dc, 1, h - 3, face);
            plat::set_pixel(dc, 2, 2, l7);
            plat::set_pixel(dc, 1, h - 2, kBlack);
            plat::set_pixel(dc, 1, 1, kBlack);
        }
        if (look.right_extent() == w) {
            plat::set_pixel(dc, w - 4, h - 4, face);
            plat::set_pixel(dc, w - 3, 1, face);
            plat::set_pixel(dc, w - 3, h - 3, d7);
            plat::set_pixel(dc, w - 2, h - 2, kBlack);
            plat::set_pixel(dc, w - 2, 1, kBlack);
        }
        break;
    }
    }
}

}  // namespace

void paint_borders(const ButtonLook& look, Dc dc, const ButtonLayout& layout) {
    const FaceColours faces = derive_faces(look.style, plat::resolve_color(look.back), plat::resolve_color(look.hover_back));
    const ColorRef f = faces.face;
    State s{};
    s.pressed = look.shows_pressed();
    s.focused = (look.flags & kFocused) != 0;
    s.over = (look.flags & kPointerOver) != 0;
    s.hovered = s.over && !s.pressed;
    s.focus_shown = look.show_focus_rect || look.design_mode;
    const bool mark = s.focused && s.focus_shown;  // the focus mark of any shape may show
    const bool slanted_mark = mark && !s.pressed;  // shapes 1-3 (and the elliptic outline)
    const int w = look.width, h = look.height;

    if (look.elliptic()) {
        bool draw = slanted_mark || (look.style == 2 && s.over && look.show_focus_rect);
        if (s.pressed && look.style != 3 && look.style != 5) draw = false;
        if (draw) {
            ColorRef x;
            switch (look.style) {
            case 2: x = s.hovered ? Rgb(231, 150, 0) : Rgb(107, 130, 239); break;
            case 3: x = Rgb(153, 153, 204); break;
            case 5: x = shade(look.container, -32, kRetry); break;
            default: x = plat::resolve_color(look.fore); break;
            }
            const int k = look.shape == 6 ? 1 : 0;
            ellipse_outline(dc, 3 - k, 3 - k, w - 3 + k, h - 3 + k, shade(x, 0, kRetry));
        }
        if (look.design_mode && look.style == 5) ellipse_outline(dc, 0, 0, w, h, kWhite);
        return;
    }

    const bool shape_slanted = look.shape >= 1 && look.shape <= 3;
    rings(look, dc, f, s, shape_slanted && slanted_mark && (look.style == 1 || look.style == 7));

    if (shape_slanted) {
        if (!slanted_mark) return;
        const ColorRef x = look.style == 5 ? look.container : look.style == 3 ? Rgb(153, 153, 204) : f;
        const ColorRef colour = shade(x, -32, kRetry);
        switch (look.style) {
        case 1: case 3: case 5: case 6: {
            const Ring r = ring(look, 2);
            poly(dc, colour, std::span(r.p).subspan(0, 5));
            break;
        }
        case 4: {
            const Ring r = ring(look, 1);
            poly(dc, colour, std::span(r.p).subspan(0, 5));
            break;
        }
        default:  // 0 and 2 draw none; 7 drew its inner ring in its dark colour
            break;
        }
        return;
    }

    if (!mark) return;
    const plat::Rect around = layout.has_caption || !look.picture ? layout.caption : layout.picture;
    const plat::Rect outside{around.left - 3, around.top - 3, around.right + 3, around.bottom + 3};
    switch (look.style) {
    case 2:
        break;
    case 3:
        rect_outline(dc, outside, Rgb(153, 153, 204));
        break;
    case 7:
        plat::draw_focus_rect(dc, outside);
        break;
    default:
        plat::draw_focus_rect(dc, {look.xl + 4, 4, look.right_extent() - 4, h - 4});
        break;
    }
}

}  // namespace controls::styled_button
