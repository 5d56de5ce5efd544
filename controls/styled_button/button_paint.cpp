// The paint pipeline of the styled button: layout, face fill, picture and caption, drawn onto
// the button's off-screen surface (the borders are button_borders.cpp).
#include <algorithm>
#include <cmath>

#include "controls/styled_button/button_look.h"
#include "controls/styled_button/button_tools.h"

namespace controls::styled_button {

using plat::Dc;
using plat::GdiObject;
using plat::Rect;

std::string caption_for_drawing(const std::string& caption) {
    std::string out;
    out.reserve(caption.size());
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '|' && i + 1 < caption.size() && caption[i + 1] == '|') {
            out += "\r\n";
            ++i;
        } else {
            out += caption[i];
        }
    }
    return out;
}

plat::FontDesc caption_font(const std::string& face_cp932, double points, bool bold, bool italic, bool underline,
                            bool strikeout, int twips_per_pixel_y) {
    plat::FontDesc f;
    f.face = face_cp932.substr(0, 31);
    f.height = -round_even(points * 20.0 / std::max(1, twips_per_pixel_y));
    f.weight = bold ? 700 : 400;
    f.italic = italic;
    f.underline = underline;
    f.strike_out = strikeout;
    f.charset = 1;
    return f;
}

void PaintCache::drop() {
    if (elliptic_clip != GdiObject::None) plat::delete_object(elliptic_clip);
    elliptic_clip = GdiObject::None;
}

ButtonLayout lay_out(const ButtonLook& look, Dc dc) {
    ButtonLayout out;
    const int w = look.width, h = look.height, xl = look.xl, xr = look.right_extent();
    int xo = 0, uw = xr, fw = w;
    switch (look.shape) {
    case 1:
        xo = xl - xl / 3;
        uw = w - xo;
        break;
    case 2:
        uw = (w - xr) / 3 + xr;
        fw = xr + (w - xr) / 3;
        break;
    case 3:
        xo = xl - xl / 3;
        uw = xr + (w - xr) / 3 - xo;
        fw = xr + (w - xr) / 3;
        break;
    default:
        break;
    }
    out.usable_left = xo;
    out.usable_width = uw;
    out.full_width = fw;

    const bool picture = look.picture.has_value();
    const int s = look.picture_px;
    const bool slot = picture && s <= 32;
    const int pa = look.picture_align;
    const int sl = slot && (pa == 0 || pa == 1) ? s : 0;
    const int sr = slot && (pa == 2 || pa == 3) ? s : 0;
    const int st = slot && pa == 4 ? s : 0;
    const int sb = slot && pa == 5 ? s : 0;

    const std::string text = caption_for_drawing(look.caption);
    out.has_caption = !text.empty();
    int tw = 0, th = -3;
    if (out.has_caption) {
        Rect box{0, 0, uw - sl - sr - 12, h - 12 - st - sb};
        plat::draw_text(dc, text, box, plat::kDtCalcRect | plat::kDtWordBreak);
        tw = box.width();
        th = box.height();
        if (look.caption_style != 0) {
            tw += 2;
            th += 2;
        }
    }

    int x;
    switch (look.caption_align) {
    case 0:
        x = xo + sl + 6 + (sl > 0 ? 6 : 0);
        break;
    case 1:
        x = fw - sr - tw - 6 - (sr > 0 ? 6 : 0);
        break;
    default:
        if (sl > 0 && pa == 1)
            x = xo + (uw - (tw + sl + 6)) / 2 + sl + 6;
        else if (sr > 0 && pa == 3)
            x = xo + (uw - (tw + sr + 6)) / 2;
        else
            x = xo + (uw - sl - sr - tw) / 2 + sl;
        break;
    }
    int y = (h - th) / 2;
    int px = 0, py = 0;
    if (slot) {
        switch (pa) {
        case 0: px = xo + 6; break;
        case 1: px = out.has_caption ? x - s - 6 : xo + 6; break;
        case 2: px = fw - s - 6; break;
        case 3: px = out.has_caption ? x + tw + 6 : fw - s - 6; break;
        case 4:
            py = (h - (th + s)) / 2;
            y = py + s + 2;
            break;
        default: {
            const int d = (h - (th + s)) / 2;
            y = d + 1;
            py = th + d + 3;
            break;
        }
        }
        if (pa <= 3)
            py = (h - s) / 2;
        else
            px = xo + (uw - s) / 2;
    }
    auto clip = [&](Rect r) {
        r.left = std::max(r.left, 6);
        r.top = std::max(r.top, 6);
        r.right = std::min(r.right, fw);
        r.bottom = std::min(r.bottom, h - 6);
        return r;
    };
    out.caption = clip({x, y, x + tw, y + th});
    out.picture = slot ? clip({px, py, px + s, py + s}) : Rect{};
    return out;
}

namespace {

// Gradient fill of the whole surface: bands across the width (modes 1, 2) or down the height
// (3, 4); 2-pixel bands when the button spans more than a quarter of the screen.
void gradient_fill(Dc dc, const ButtonLook& look, ColorRef c1, ColorRef c2, int mode) {
    const bool across = mode == 1 || mode == 2;
    const int extent = across ? look.width : look.height;
    const int screen = across ? look.screen_width : look.screen_height;
    if (extent <= 0) return;
    const int thickness = screen / extent < 4 ? 2 : 1;
    const int count = std::max(1, extent / thickness);
    std::vector<ColorRef> colours = ramp(c1, c2, count);
    if (mode == 2 || mode == 4) std::reverse(colours.begin(), colours.end());
    for (int i = 0; i < count; ++i) {
        const int from = i * thickness;
        // The last band also covers the odd pixel that 2-pixel bands would leave.
        const int to = i == count - 1 ? extent : from + thickness;
        if (across)
            solid_rect(dc, from, 0, to, look.height, colours[static_cast<std::size_t>(i)]);
        else
            solid_rect(dc, 0, from, look.width, to, colours[static_cast<std::size_t>(i)]);
    }
}

// Step 2: the face, and the base colour of the caption's effects.
ColorRef fill_face(const ButtonLook& look, Dc dc, PaintCache& cache) {
    const FaceColours faces = derive_faces(look.style, plat::resolve_color(look.back), plat::resolve_color(look.hover_back));
    const bool pressed = look.shows_pressed();
    const int w = look.width, h = look.height;
    if (look.elliptic()) {
        plat::select_clip_rgn(dc, GdiObject::None);
        const bool at_rest = (look.flags & (kPointerOver | kPressed)) == 0;
        if (!(look.style == 5 && at_rest)) {
            if (look.shape == 6) {
                Tool pen(dc, plat::create_pen(plat::PenStyle::Solid, 2, Rgb(128, 128, 128)));
                Tool brush(dc, plat::stock_object(plat::StockObject::NullBrush), false);
                plat::draw_ellipse(dc, 0, 0, w, h);
            } else if (look.shape == 4 || !pressed) {
                gradient_fill(dc, look, shade(look.container, 172), shade(look.container, -32), pressed ? 4 : 3);
            }
        }
        if (cache.elliptic_clip == GdiObject::None) {
            const int k = look.shape == 6 ? 1 : 0;
            cache.elliptic_clip = plat::create_elliptic_rgn(2 - k, 2 - k, w - 1 + k, h - 1 + k);
        }
        plat::select_clip_rgn(dc, cache.elliptic_clip);
    }
    ColorRef base;
    if (look.gradient_mode == 0) {
        const ColorRef colour = pressed ? faces.face2 : look.hover_tracking ? faces.hover : faces.face;
        base = colour;
        if (look.style == 2) {
            if (look.enabled) {
                for (int i = 2; i <= h - 2; ++i)
                    solid_rect(dc, 2, i, w - 2, i + 1, shade(colour, round_even(-25.0 / h * i), kBlueMode));
            } else {
                solid_rect(dc, 0, 0, w, h, shade(colour, -24, kBlueMode));
            }
        } else {
            solid_rect(dc, 0, 0, w, h, colour);
        }
    } else if (pressed || !look.hover_tracking || look.gradient == look.hover_back) {
        ColorRef g = plat::resolve_color(look.gradient);
        if (look.style == 7) g = shade(g, 31);
        if (look.style == 2) g = shade(g, 48, kBlueMode);
        gradient_fill(dc, look, faces.face, g, look.gradient_mode);
        base = faces.face;
    } else {
        solid_rect(dc, 0, 0, w, h, faces.hover);
        base = faces.hover;
    }
    if (look.elliptic()) plat::select_clip_rgn(dc, cache.elliptic_clip);
    return base;
}

// The picture drawn at (x, y) in w x h onto dc as the enabled button shows it: an icon as it
// is, a bitmap with its top-left pixel's colour left out.
void draw_picture_at(const ButtonPicture& picture, Dc dc, int x, int y, int w, int h) {
    if (picture.kind == ButtonPicture::Kind::Icon) {
        const plat::Icon copy = plat::copy_icon_scaled(picture.icon, w, h);
        if (copy == plat::Icon::None) return;
        plat::draw_icon(dc, x, y, copy, w, h);
        plat::destroy_icon(copy);
        return;
    }
    const GdiObject copy = plat::copy_bitmap_scaled(picture.bitmap, w, h);
    if (copy == GdiObject::None) return;
    MemoryDc image(dc, copy);
    MemoryDc mask(dc, plat::create_mono_bitmap(w, h, nullptr));
    MemoryDc under(dc, plat::create_compatible_bitmap(dc, w, h));
    const ColorRef transparent = plat::get_pixel(image.dc, 0, 0);
    // Mask: white where the picture has the transparent colour.
    plat::set_bk_color(image.dc, transparent);
    plat::bit_blt(mask.dc, 0, 0, w, h, image.dc, 0, 0, plat::Rop::SrcCopy);
    // The colour copy with its transparent parts black.
    plat::set_bk_color(image.dc, 0xFFFFFF);
    plat::set_text_color(image.dc, 0);
    plat::bit_blt(image.dc, 0, 0, w, h, mask.dc, 0, 0, plat::Rop::MaskOutSource);
    // Into a copy of the destination: keep it under the mask, add the picture, copy it back.
    plat::set_bk_color(under.dc, 0xFFFFFF);
    plat::set_text_color(under.dc, 0);
    plat::bit_blt(under.dc, 0, 0, w, h, dc, x, y, plat::Rop::SrcCopy);
    plat::stretch_blt(under.dc, 0, 0, w, h, mask.dc, 0, 0, w, h, plat::Rop::SrcAnd);
    plat::stretch_blt(under.dc, 0, 0, w, h, image.dc, 0, 0, w, h, plat::Rop::SrcPaint);
    plat::bit_blt(dc, x, y, w, h, under.dc, 0, 0, plat::Rop::SrcCopy);
}

void paint_picture(const ButtonLook& look, Dc dc, const ButtonLayout& layout) {
    if (!look.picture) return;
    const ButtonPicture& picture = *look.picture;
    const bool pressed = look.shows_pressed();
    int x = layout.picture.left, y = layout.picture.top, w = look.picture_px, h = look.picture_px;
    if (look.picture_px == 40) {
        x = pressed ? 1 : 0;
        y = x;
        w = look.width;
        h = look.height;
    } else if (look.picture_px == 48) {
        if (look.picture_width <= 0 || look.picture_height <= 0) return;
        const double scale = std::min(static_cast<double>(layout.usable_width - 12) / look.picture_width,
                                      static_cast<double>(look.height - 12) / look.picture_height);
        w = round_even(look.picture_width * scale);
        h = round_even(look.picture_height * scale);
        x = layout.usable_left + (layout.usable_width - w) / 2 + (pressed ? 1 : 0);
        y = (look.height - h) / 2 + (pressed ? 1 : 0);
    }
    if (w <= 0 || h <= 0) return;
    if (look.enabled) {
        draw_picture_at(picture, dc, x, y, w, h);
        return;
    }
    // Disabled: the picture's silhouette on white, made one bit deep, stamped twice in two
    // greys (raster operation 0xB8074A paints the brush where the source is black).
    MemoryDc white(dc, plat::create_compatible_bitmap(dc, w, h));
    plat::pat_blt(white.dc, 0, 0, w, h, plat::Rop::Whiteness);
    draw_picture_at(picture, white.dc, 0, 0, w, h);
    MemoryDc silhouette(dc, plat::create_mono_bitmap(w, h, nullptr));
    plat::set_bk_color(white.dc, 0xFFFFFF);
    plat::bit_blt(silhouette.dc, 0, 0, w, h, white.dc, 0, 0, plat::Rop::SrcCopy);
    const ColorRef old_text = plat::set_text_color(dc, 0);
    const ColorRef old_bk = plat::set_bk_color(dc, 0xFFFFFF);
    {
        Tool brush(dc, plat::create_solid_brush(shade(Rgb(192, 192, 192), 36)));
        plat::bit_blt(dc, x - 1, y - 1, w, h, silhouette.dc, 0, 0, plat::Rop::PaintBrushWhereBlack);
    }
    {
        Tool brush(dc, plat::create_solid_brush(shade(Rgb(192, 192, 192), -36)));
        plat::bit_blt(dc, x, y, w, h, silhouette.dc, 0, 0, plat::Rop::PaintBrushWhereBlack);
    }
    plat::set_text_color(dc, old_text);
    plat::set_bk_color(dc, old_bk);
}

void text_at(Dc dc, const std::string& text, Rect r, int dx, int dy, ColorRef colour, std::uint32_t format) {
    plat::offset_rect(r, dx, dy);
    plat::set_text_color(dc, colour);
    plat::draw_text(dc, text, r, format);
}

}  // namespace

void paint_caption(const ButtonLook& look, Dc dc, const ButtonLayout& layout, ColorRef base) {
    const std::string text = caption_for_drawing(look.caption);
    if (text.empty()) return;
    const std::uint32_t format =
        (look.caption_align == 0 ? 0u : look.caption_align == 1 ? plat::kDtRight : plat::kDtCenter) | plat::kDtWordBreak;
    const FaceColours faces = derive_faces(look.style, plat::resolve_color(look.back), plat::resolve_color(look.hover_back));
    const bool pressed = look.shows_pressed();
    const Rect r = layout.caption;
    if (look.enabled) {
        ColorRef colour;
        if (look.hover_tracking && !pressed)
            colour = plat::resolve_color(look.hover_fore);
        else if (look.gradient_mode != 0)
            colour = plat::resolve_color(look.fore);
        else if (pressed && look.style == 7)
            colour = faces.face;  // on the darker pressed face of style 7, the face colour itself
        else
            colour = plat::resolve_color(look.fore);
        if (look.caption_style == 1 || look.caption_style == 2) {
            const int e = look.caption_style == 2 ? 40 : -40;
            text_at(dc, text, r, -1, 0, shade(base, e), format);
            text_at(dc, text, r, 1, 2, shade(base, -e), format);
            text_at(dc, text, r, 0, 1, colour, format);
        } else {
            text_at(dc, text, r, 0, 0, colour, format);
        }
        return;
    }
    ColorRef colour = look.style == 2 ? shade(faces.face, -104, kBlueMode) : look.style == 3 ? Rgb(128, 128, 128) : 0xFFFFFF;
    const bool moved = look.style != 2 && look.style != 3;
    if (look.gradient_mode != 0) colour = shade(faces.face, 172, kBlueMode);
    text_at(dc, text, r, moved ? 1 : 0, moved ? 1 : 0, colour, format);
    if (moved) text_at(dc, text, r, 0, 0, Rgb(128, 128, 128), format);
}

ButtonLayout paint_button(const ButtonLook& look, Dc dc, PaintCache& cache, ColorRef* base_out) {
    ButtonLayout layout = lay_out(look, dc);
    if (look.shows_pressed() && look.style != 3) {
        const int dx = look.elliptic() ? 0 : 1;
        plat::offset_rect(layout.caption, dx, 1);
        plat::offset_rect(layout.picture, dx, 1);
    }
    const ColorRef base = fill_face(look, dc, cache);
    if (base_out) *base_out = base;
    paint_picture(look, dc, layout);
    paint_borders(look, dc, layout);
    paint_caption(look, dc, layout, base);
    return layout;
}

}  // namespace controls::styled_button
