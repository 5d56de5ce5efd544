// raster::Font: a LOGFONT request resolved to a font file through fontconfig, opened with
// FreeType at GDI's pixel size, with GDI's text metrics and glyph advances.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "raster/text.h"
#include "platform/types.h"

namespace raster {

// The file a request resolves to.
struct FontFile {
    std::string path;
    int index = 0;
    std::string family;  // the family name fontconfig gives the file (UTF-8)
    bool bold = false;   // the face itself is bold
    bool italic = false; // the face itself is italic or oblique
};

// Windows font names and the families that stand in for them: "ＭＳ Ｐゴシック" and
// "MS UI Gothic" are IPA P Gothic, "ＭＳ ゴシック" IPA Gothic, "Times New Roman" Liberation
// Serif, "Arial" Liberation Sans, "Courier New" Liberation Mono. Any other name is looked up
// as it is; a name that no installed family carries gives the nearest font of the request's
// character set (a Japanese one for SHIFTJIS and DEFAULT, which is Japanese here).
FontFile resolve_font(const plat::FontDesc& desc);

// GDI's TEXTMETRIC and the line positions of OUTLINETEXTMETRIC, in pixels.
struct FontMetrics {
    int ppem = 0;
    int ascent = 0, descent = 0, height = 0;
    int internal_leading = 0, external_leading = 0;
    int ave_char_width = 0;
    int underline_position = 0, underline_thickness = 0;   // below the baseline
    int strikeout_position = 0, strikeout_thickness = 0;   // above the baseline
};

// One rendered glyph: grey coverage 0..16 (Windows' 17 levels of font smoothing; only 0 and 16
// where the font's 'gasp' table asks for black-and-white glyphs at its size) in a box whose
// top-left corner lies `left` right of the pen and `top` above the baseline.
struct Glyph {
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<std::uint8_t> coverage;
};

class Font {
public:
    // Null when no font file can be opened at all.
    static std::shared_ptr<const Font> open(const plat::FontDesc& desc);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    const plat::FontDesc& desc() const { return desc_; }
    const FontFile& file() const { return file_; }
    const FontMetrics& metrics() const { return metrics_; }
    bool synthetic_bold() const { return synthetic_bold_; }
    bool synthetic_italic() const { return synthetic_italic_; }

    // The advance of one character in whole pixels, as GetTextExtentPoint adds them up.
    int advance(char32_t c) const;
    const Glyph& glyph(char32_t c) const;

    struct Face;  // FreeType's part

private:
    Font(const plat::FontDesc& desc, FontFile file, std::unique_ptr<Face> face);
    unsigned glyph_index(char32_t c) const;

    plat::FontDesc desc_;
    FontFile file_;
    std::unique_ptr<Face> face_;
    FontMetrics metrics_;
    bool synthetic_bold_ = false, synthetic_italic_ = false;
    bool fixed_pitch_ = false;
    bool grey_ = true;  // grey edges; else black and white, as the font asks at this size
    int avg_advance_ = 0, full_width_ = 0;  // fixed-pitch fonts: full-width glyphs are two halves
    mutable std::unordered_map<char32_t, int> advances_;
    mutable std::unordered_map<char32_t, Glyph> glyphs_;
};

// The font of a DC that has none selected: the system font.
const Font* default_font();

}  // namespace raster
