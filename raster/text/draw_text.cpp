// raster::draw_text: the layout of layout.h painted with the font's grey glyphs, as
// ExtTextOut draws each run: glyphs on the baseline at the line's top plus the ascent, the
// background cell filled first in OPAQUE mode, underline and strike-out bars across the run,
// and the access-key underline one pixel below the baseline.
#include <algorithm>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "raster/text.h"
#include "raster/text/cp932_decode.h"
#include "raster/text/font.h"
#include "raster/text/layout.h"

namespace raster {
namespace {

plat::Rect intersect(const plat::Rect& a, const plat::Rect& b) {
    return plat::Rect{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                      std::min(a.bottom, b.bottom)};
}

bool empty(const plat::Rect& r) { return r.left >= r.right || r.top >= r.bottom; }

// 0x00BBGGRR to the surface's 0x00RRGGBB.
std::uint32_t to_pixel(std::uint32_t colorref) {
    return ((colorref & 0xFF) << 16) | (colorref & 0xFF00) | ((colorref >> 16) & 0xFF);
}

// Where painting may go: the clip rectangles (or the surface), each cut to the surface and,
// unless DT_NOCLIP, to the text's rectangle.
class Painter {
public:
    Painter(const plat::Surface& dst, std::span<const plat::Rect> clip, const plat::Rect* bound)
        : dst_(dst) {
        const plat::Rect whole{0, 0, dst.width, dst.height};
        if (clip.empty()) {
            add(whole, bound);
        } else {
            for (const plat::Rect& r : clip) add(intersect(r, whole), bound);
        }
    }

    void fill(const plat::Rect& r, std::uint32_t pixel) const {
        for (const plat::Rect& c : clips_) {
            const plat::Rect a = intersect(r, c);
            if (empty(a)) continue;
            for (int y = a.top; y < a.bottom; ++y) std::fill(dst_.row(y) + a.left, dst_.row(y) + a.right, pixel);
        }
    }

    // Blends a glyph's coverage (0..16) in `pixel` with its top-left corner at (x, y).
    void blend(const Glyph& g, int x, int y, std::uint32_t pixel) const {
        const plat::Rect box{x, y, x + g.width, y + g.height};
        for (const plat::Rect& c : clips_) {
            const plat::Rect a = intersect(box, c);
            if (empty(a)) continue;
            for (int py = a.top; py < a.bottom; ++py) {
                std::uint32_t* row = dst_.row(py);
                const std::uint8_t* cov = g.coverage.data() + static_cast<std::size_t>(py - y) * g.width;
                for (int px = a.left; px < a.right; ++px) {
                    const unsigned level = cov[px - x];
                    if (level == 0) continue;
                    row[px] = level >= 16 ? pixel : mix(row[px], pixel, level);
                }
            }
        }
    }

private:
    void add(const plat::Rect& r, const plat::Rect* bound) {
        const plat::Rect a = bound ? intersect(r, *bound) : r;
        if (!empty(a)) clips_.push_back(a);
    }

    static std::uint32_t mix(std::uint32_t back, std::uint32_t fore, unsigned level) {
        std::uint32_t out = 0;
        for (int shift = 0; shift <= 16; shift += 8) {
            const int b = static_cast<int>((back >> shift) & 0xFF);
            const int f = static_cast<int>((fore >> shift) & 0xFF);
            out |= static_cast<std::uint32_t>(b + ((f - b) * static_cast<int>(level) + 8) / 16) << shift;
        }
        return out;
    }

    plat::Surface dst_;
    std::vector<plat::Rect> clips_;
};

plat::Rect scaled(const plat::Rect& r, int s) { return {r.left * s, r.top * s, r.right * s, r.bottom * s}; }

// The font that draws a scaled context's glyphs: the same face at exactly `scale` times the
// pixel size. Kept for the life of the process, by request (a dialog asks for a handful).
const Font* font_at_scale(const Font& font, int scale) {
    const plat::FontDesc& d = font.desc();
    using Key = std::tuple<std::int32_t, std::int32_t, bool, bool, bool, std::uint8_t, std::string, int>;
    static std::map<Key, std::shared_ptr<const Font>> fonts;
    const Key key{d.height, d.weight, d.italic, d.underline, d.strike_out, d.charset, d.face, scale};
    if (auto it = fonts.find(key); it != fonts.end()) return it->second.get();
    plat::FontDesc desc = d;
    desc.height = -font.metrics().ppem * scale;  // the character height, exactly s times
    auto big = load_font(desc);
    if (!big) return &font;
    fonts.emplace(key, big);
    return big.get();
}

// A run in design pixels; `big` draws the glyphs at `scale` times (big == &font at scale 1).
void paint_run(const Painter& painter, const Font& font, const Font& big, int scale, const text::Run& run,
               std::uint32_t pixel, bool opaque, std::uint32_t bk_pixel) {
    const FontMetrics& m = font.metrics();
    const int baseline = run.y + m.ascent;
    if (opaque && run.width > 0)
        painter.fill(scaled(plat::Rect{run.x, run.y, run.x + run.width, run.y + m.height}, scale), bk_pixel);
    int pen = run.x;  // design pixels, advanced by the 1x font as the layout was
    for (char32_t c : run.text) {
        const Glyph& g = big.glyph(c);
        if (g.width > 0) painter.blend(g, pen * scale + g.left, baseline * scale - g.top, pixel);
        pen += font.advance(c);
    }
    if (run.width > 0 && font.desc().underline) {
        const int top = baseline + m.underline_position - m.underline_thickness / 2;
        painter.fill(scaled(plat::Rect{run.x, top, run.x + run.width, top + m.underline_thickness}, scale), pixel);
    }
    if (run.width > 0 && font.desc().strike_out) {
        const int top = baseline - m.strikeout_position;
        painter.fill(scaled(plat::Rect{run.x, top, run.x + run.width, top + m.strikeout_thickness}, scale), pixel);
    }
    if (run.underline >= 0 && run.underline < static_cast<int>(run.text.size())) {
        // The access key's bar spans the character's advance less its last pixel, the end
        // point of the line that draws it.
        int from = run.x;
        for (int i = 0; i < run.underline; ++i) from += font.advance(run.text[static_cast<std::size_t>(i)]);
        const int to = from + font.advance(run.text[static_cast<std::size_t>(run.underline)]) - 1;
        painter.fill(scaled(plat::Rect{from, baseline + 1, to, baseline + 2}, scale), pixel);
    }
}

}  // namespace

int draw_text(const plat::Surface& dst, std::span<const plat::Rect> clip, const Font* font,
              std::string_view bytes, plat::Rect& rect, std::uint32_t format,
              std::uint32_t text_color, bool opaque, std::uint32_t bk_color, int scale) {
    if (!font) font = default_font();
    if (!font) return 0;
    scale = std::max(scale, 1);
    const std::u32string text = text::decode_cp932(bytes);
    const FontMetrics& m = font->metrics();
    const text::LineMetrics lm{m.height, m.ascent, m.ave_char_width};
    const text::Layout layout =
        text::lay_out(text, rect, format, lm, [font](char32_t c) { return font->advance(c); });
    if (format & dt::CalcRect) {
        rect = layout.rect;
        return layout.result;
    }
    if (dst.pixels && dst.width > 0 && dst.height > 0) {
        // The clip and the text's rectangle in device pixels.
        std::vector<plat::Rect> device_clip;
        for (const plat::Rect& r : clip) device_clip.push_back(scaled(r, scale));
        const plat::Rect bound = scaled(rect, scale);
        const Painter painter(dst, device_clip, (format & dt::NoClip) ? nullptr : &bound);
        const Font& big = scale == 1 ? *font : *font_at_scale(*font, scale);
        for (const text::Run& run : layout.runs)
            paint_run(painter, *font, big, scale, run, to_pixel(text_color), opaque, to_pixel(bk_color));
    }
    return layout.result;
}

}  // namespace raster
