#include "button_corpus.h"

#include <cstdio>
#include <fstream>

#include "controls/styled_button/button_colours.h"

namespace button_corpus {

using namespace controls::styled_button;

namespace {

plat::GdiObject filled_bitmap(int w, int h, ColorRef outside, ColorRef inside) {
    const plat::Dc dc = plat::create_compatible_dc(plat::Dc::None);
    // A colour bitmap, compatible with the screen.
    const plat::GdiObject seed = plat::create_compatible_bitmap(plat::Dc::None, w, h);
    const plat::GdiObject old = plat::select_object(dc, seed);
    const plat::GdiObject out_brush = plat::create_solid_brush(outside), in_brush = plat::create_solid_brush(inside);
    const plat::GdiObject all = plat::create_rect_rgn(0, 0, w, h), middle = plat::create_rect_rgn(w / 4, h / 4, w - w / 4, h - h / 4);
    plat::fill_region(dc, all, out_brush);
    plat::fill_region(dc, middle, in_brush);
    for (plat::GdiObject o : {out_brush, in_brush, all, middle}) plat::delete_object(o);
    plat::set_pixel(dc, w / 2, 1, Rgb(0, 0, 255));
    plat::select_object(dc, old);
    plat::delete_dc(dc);
    return seed;
}

}  // namespace

Pictures::Pictures() {
    bitmap = filled_bitmap(32, 32, Rgb(255, 255, 255), Rgb(200, 30, 40));
    const plat::GdiObject colour = filled_bitmap(16, 16, 0, Rgb(20, 160, 60));
    // Mask: black (opaque) inside, white (transparent) in the frame.
    std::vector<std::uint8_t> bits(2 * 16, 0);
    for (int y = 0; y < 16; ++y) {
        std::uint16_t row = 0;
        for (int x = 0; x < 16; ++x)
            if (x < 4 || x >= 12 || y < 4 || y >= 12) row |= static_cast<std::uint16_t>(0x8000 >> x);
        bits[static_cast<std::size_t>(y) * 2] = static_cast<std::uint8_t>(row >> 8);
        bits[static_cast<std::size_t>(y) * 2 + 1] = static_cast<std::uint8_t>(row & 0xFF);
    }
    const plat::GdiObject mask = plat::create_mono_bitmap(16, 16, bits.data());
    icon = plat::create_icon(colour, mask);
    plat::delete_object(colour);
    plat::delete_object(mask);
}

Pictures::~Pictures() {
    plat::delete_object(bitmap);
    plat::destroy_icon(icon);
}

std::vector<Case> corpus(const Pictures& pictures) {
    struct State {
        const char* name;
        int flags;
        bool tracking, enabled, design;
    };
    static constexpr State kStates[] = {
        {"normal", 0, false, true, false},     {"hovered", kPointerOver, true, true, false},
        {"pressed", 7, true, true, false},     {"focused", kFocused, false, true, false},
        {"disabled", 0, false, false, false},  {"design", kFocused, false, true, true},
    };
    std::vector<Case> out;
    for (int style = 0; style < 8; ++style)
        for (int shape = 0; shape < 7; ++shape)
            for (const State& s : kStates)
                for (int extra = 0; extra < 4; ++extra) {
                    Case c;
                    ButtonLook& l = c.look;
                    l.width = 73;
                    l.height = 25;
                    l.style = style;
                    l.shape = shape;
                    l.flags = s.flags;
                    l.hover_tracking = s.tracking;
                    l.enabled = s.enabled;
                    l.design_mode = s.design;
                    // Plain colours: system colours are the platform's (Wine's differ from
                    // Windows' own).
                    l.back = extra == 3 ? Rgb(255, 255, 255) : Rgb(236, 233, 216);
                    l.hover_back = extra == 3 ? Rgb(255, 255, 255) : Rgb(230, 240, 200);
                    l.fore = extra == 3 ? 0 : Rgb(20, 20, 20);
                    l.hover_fore = Rgb(0, 0, 160);
                    l.container = Rgb(212, 208, 200);
                    l.gradient = extra == 3 ? 0 : Rgb(40, 80, 160);
                    l.gradient_mode = extra == 1 ? 1 + (style + shape) % 4 : extra == 3 ? 3 : 0;
                    if (extra == 2) {
                        const bool icon = (style + shape) % 2 == 1;
                        l.picture = ButtonPicture{icon ? ButtonPicture::Kind::Icon : ButtonPicture::Kind::Bitmap,
                                                  icon ? plat::GdiObject::None : pictures.bitmap,
                                                  icon ? pictures.icon : plat::Icon::None, icon ? "icon" : "bitmap"};
                        l.picture_width = l.picture_height = icon ? 16 : 32;
                        l.picture_px = (style % 3 == 0) ? 48 : 16;
                    }
                    if (extra == 3) {
                        // The settings dialog's own look, with its caption.
                        l.caption = "&OK";
                    }
                    const Insets insets = outline_insets(shape, l.width, l.height);
                    l.xl = insets.left;
                    l.xr = insets.right;
                    static constexpr const char* kExtras[] = {"plain", "gradient", "picture", "caption"};
                    c.label = "style" + std::to_string(style) + "_shape" + std::to_string(shape) + "_" + s.name + "_" +
                              kExtras[extra];
                    out.push_back(std::move(c));
                }
    return out;
}

Painted paint(const Case& c, const std::string& face) {
    const int w = c.look.width, h = c.look.height;
    const plat::Dc dc = plat::create_compatible_dc(plat::Dc::None);
    const plat::GdiObject screen_like = plat::create_compatible_bitmap(plat::Dc::None, w, h);
    const plat::GdiObject old = plat::select_object(dc, screen_like);
    plat::set_bk_mode(dc, plat::BkMode::Transparent);
    const plat::GdiObject font = plat::create_font(caption_font(face, 9, false, false, false, false, 15));
    const plat::GdiObject old_font = plat::select_object(dc, font);
    // The surface starts black, as a fresh bitmap does on both sides.
    plat::pat_blt(dc, 0, 0, w, h, plat::Rop::Blackness);
    Painted p;
    {
        PaintCache cache;
        p.caption = paint_button(c.look, dc, cache).caption;
        plat::select_clip_rgn(dc, plat::GdiObject::None);
    }
    p.pixels.resize(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const ColorRef c0 = plat::get_pixel(dc, x, y);  // 0x00BBGGRR
            p.pixels[static_cast<std::size_t>(y * w + x)] = (c0 & 0xFF) << 16 | (c0 & 0xFF00) | (c0 >> 16 & 0xFF);
        }
    plat::select_object(dc, old_font);
    plat::delete_object(font);
    plat::select_object(dc, old);
    plat::delete_object(screen_like);
    plat::delete_dc(dc);
    return p;
}

bool write_all(const std::string& path, const std::vector<Case>& cases, const std::string& face) {
    std::ofstream out(path, std::ios::binary);
    for (const Case& c : cases) {
        const Painted p = paint(c, face);
        out << c.label << ' ' << c.look.width << ' ' << c.look.height << ' ' << p.caption.left << ' ' << p.caption.top << ' '
            << p.caption.right << ' ' << p.caption.bottom << '\n';
        out.write(reinterpret_cast<const char*>(p.pixels.data()), static_cast<std::streamsize>(p.pixels.size() * 4));
    }
    return static_cast<bool>(out);
}

std::vector<Stored> read_all(const std::string& path) {
    std::vector<Stored> all;
    std::ifstream in(path, std::ios::binary);
    Stored s;
    while (in >> s.label >> s.width >> s.height >> s.painted.caption.left >> s.painted.caption.top >> s.painted.caption.right >>
           s.painted.caption.bottom) {
        in.get();
        s.painted.pixels.resize(static_cast<std::size_t>(s.width) * static_cast<std::size_t>(s.height));
        in.read(reinterpret_cast<char*>(s.painted.pixels.data()), static_cast<std::streamsize>(s.painted.pixels.size() * 4));
        if (!in) break;
        all.push_back(s);
    }
    return all;
}

}  // namespace button_corpus
