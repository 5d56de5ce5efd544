// Font resolution and GDI's font metrics over FreeType. The metrics follow GDI's TrueType rules:
// a negative height is the em size in pixels, a positive one the cell height (ascent plus
// descent from the OS/2 table's Windows values), ascent and descent are those values scaled and
// rounded, and an advance is the hinted advance rounded up to a whole pixel.
#include "raster/text/font.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H
#include FT_TRUETYPE_TAGS_H

#include <algorithm>
#include <cstdlib>
#include <map>
#include <tuple>
#include <vector>

#include "common/cp932.h"
#include "raster/text/cp932_decode.h"

namespace raster {

struct Font::Face {
    FT_Face face = nullptr;
    ~Face() {
        if (face) FT_Done_Face(face);
    }
};

namespace {

FT_Library library() {
    static FT_Library lib = [] {
        FT_Library l = nullptr;
        if (FT_Init_FreeType(&l) != 0) return static_cast<FT_Library>(nullptr);
        return l;
    }();
    return lib;
}

bool fontconfig_ready() {
    static const bool ready = FcInit() == FcTrue;
    return ready;
}

struct Alias {
    const char* name;    // as a program names it (UTF-8)
    const char* family;  // the installed family that stands in for it
};

// The usual Japanese spellings of the Windows gothic faces are here too.
constexpr Alias kAliases[] = {
    {"ＭＳ Ｐゴシック", "IPAPGothic"}, {"MS Pゴシック", "IPAPGothic"}, {"MS PGothic", "IPAPGothic"},
    {"ＭＳ ゴシック", "IPAGothic"},    {"MS ゴシック", "IPAGothic"},   {"MS Gothic", "IPAGothic"},
    {"MS UI Gothic", "IPAPGothic"},    {"ＭＳ UI Gothic", "IPAPGothic"},
    {"Times New Roman", "Liberation Serif"}, {"Arial", "Liberation Sans"},
    {"Courier New", "Liberation Mono"},
};

bool same_name(std::string_view a, std::string_view b) {
    return common::LowerAscii(a) == common::LowerAscii(b);
}

std::string family_for(const std::string& name) {
    for (const Alias& alias : kAliases)
        if (same_name(alias.name, name)) return alias.family;
    return name;
}

// Japanese for SHIFTJIS, and for DEFAULT: the system's own character set is Japanese.
const char* language_of(std::uint8_t charset) { return charset == 0 ? "en" : "ja"; }

struct Match {
    FcPattern* pattern = nullptr;
    ~Match() {
        if (pattern) FcPatternDestroy(pattern);
    }
};

// fontconfig's best font for a family (empty: any) in a language, with weight and slant.
bool match(const std::string& family, const char* lang, bool bold, bool italic, FontFile& out) {
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return false;
    if (!family.empty()) FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>(lang));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    Match found{FcFontMatch(nullptr, pattern, &result)};
    FcPatternDestroy(pattern);
    if (!found.pattern || result != FcResultMatch) return false;

    FcChar8* file = nullptr;
    if (FcPatternGetString(found.pattern, FC_FILE, 0, &file) != FcResultMatch) return false;
    int index = 0;
    FcPatternGetInteger(found.pattern, FC_INDEX, 0, &index);
    int weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
    FcPatternGetInteger(found.pattern, FC_WEIGHT, 0, &weight);
    FcPatternGetInteger(found.pattern, FC_SLANT, 0, &slant);

    // A family that fontconfig only substituted does not count as found.
    bool named = family.empty();
    std::string first_family;
    FcChar8* name = nullptr;
    for (int i = 0; FcPatternGetString(found.pattern, FC_FAMILY, i, &name) == FcResultMatch; ++i) {
        const std::string n = reinterpret_cast<const char*>(name);
        if (i == 0) first_family = n;
        if (!family.empty() && same_name(n, family)) named = true;
    }
    if (!named) return false;
    out.path = reinterpret_cast<const char*>(file);
    out.index = index;
    out.family = family.empty() ? first_family : family;
    out.bold = weight >= FC_WEIGHT_DEMIBOLD;
    out.italic = slant != FC_SLANT_ROMAN;
    return true;
}

// The font's own word on grey smoothing at `ppem` (its 'gasp' table): false where it asks for
// plain black-and-white glyphs, as the small sizes of most Windows-era fonts do.
bool grey_allowed(FT_Face face, int ppem) {
    FT_ULong size = 0;
    if (FT_Load_Sfnt_Table(face, TTAG_gasp, 0, nullptr, &size) != 0 || size < 8) return true;
    std::vector<FT_Byte> table(size);
    if (FT_Load_Sfnt_Table(face, TTAG_gasp, 0, table.data(), &size) != 0) return true;
    const auto word = [&](std::size_t at) { return static_cast<unsigned>(table[at] << 8 | table[at + 1]); };
    const unsigned version = word(0), records = word(2);
    if (version > 1 || size < (records * 2 + 2) * 2) return true;
    constexpr unsigned kDoGray = 0x0002;
    unsigned flags = 0;
    for (unsigned i = 0; i < records; ++i) {
        flags = word(4 + i * 4 + 2);
        if (static_cast<unsigned>(ppem) <= word(4 + i * 4)) break;
    }
    return (flags & kDoGray) != 0;
}

std::uint32_t rounded_up(FT_Pos v) { return static_cast<std::uint32_t>((v + 63) & -64); }

}  // namespace

FontFile resolve_font(const plat::FontDesc& desc) {
    FontFile file;
    if (!fontconfig_ready()) return file;
    // lfFaceName holds 31 bytes and the terminating NUL; GDI reads no more.
    constexpr std::size_t kFaceBytes = 31;
    const std::string face = desc.face.substr(0, std::min(desc.face.find('\0'), kFaceBytes));
    const std::string family = family_for(text::cp932_to_utf8(face));
    const bool bold = desc.weight > 550;
    const char* lang = language_of(desc.charset);
    if (!family.empty() && match(family, lang, bold, desc.italic, file)) return file;
    // The nearest font of the character set: fontconfig's choice of a sans-serif face for it.
    if (match("", lang, bold, desc.italic, file)) return file;
    return file;
}

Font::Font(const plat::FontDesc& desc, FontFile file, std::unique_ptr<Face> face)
    : desc_(desc), file_(std::move(file)), face_(std::move(face)) {
    FT_Face f = face_->face;
    const TT_OS2* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2));
    const TT_HoriHeader* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(f, FT_SFNT_HHEA));
    const TT_Postscript* post = static_cast<TT_Postscript*>(FT_Get_Sfnt_Table(f, FT_SFNT_POST));
    const long upem = f->units_per_EM ? f->units_per_EM : 2048;

    // Some fonts store a negative descent in the unsigned field; its size is meant.
    long win_ascent = os2 ? os2->usWinAscent : 0;
    long win_descent = os2 ? std::labs(static_cast<short>(os2->usWinDescent)) : 0;
    if (win_ascent + win_descent == 0 && hhea) {
        win_ascent = hhea->Ascender;
        win_descent = -hhea->Descender;
    }
    if (win_ascent + win_descent == 0) {
        win_ascent = f->ascender;
        win_descent = -f->descender;
    }
    const long cell = win_ascent + win_descent;

    // The pixel size: height 0 asks for a cell of 16 pixels.
    constexpr long kMaxPpem = 65535;
    long height = desc.height == 0 ? 16 : desc.height;
    long ppem;
    if (height > 0) {
        ppem = FT_MulDiv(upem, height, cell);
        // A rounded-up size whose cell would exceed the request takes the size below.
        if (ppem > 1 && FT_MulDiv(cell, ppem, upem) > height) --ppem;
        if (ppem > kMaxPpem) ppem = 1;
    } else {
        ppem = -height <= kMaxPpem ? -height : 1;
    }
    if (ppem < 1) ppem = 1;
    FT_Set_Pixel_Sizes(f, 0, static_cast<FT_UInt>(ppem));

    const FT_Fixed scale = FT_MulDiv(ppem, 1 << 16, upem);
    const auto scaled = [&](long units) { return static_cast<int>(FT_MulFix(units, scale)); };
    FontMetrics& m = metrics_;
    m.ppem = static_cast<int>(ppem);
    m.ascent = scaled(win_ascent);
    m.descent = scaled(win_descent);
    m.height = m.ascent + m.descent;
    m.internal_leading = scaled(cell - upem);
    const long line_gap = hhea ? hhea->Line_Gap : 0;
    const long hhea_cell = hhea ? hhea->Ascender - hhea->Descender : cell;
    m.external_leading = std::max(0, scaled(line_gap - (cell - hhea_cell)));
    m.ave_char_width = std::max(1, os2 ? scaled(os2->xAvgCharWidth) : m.ppem / 2);
    m.underline_position = post ? -scaled(post->underlinePosition) : m.descent / 2;
    m.underline_thickness = std::max(1, post ? scaled(post->underlineThickness) : 1);
    m.strikeout_position = os2 ? scaled(os2->yStrikeoutPosition) : m.ascent / 3;
    m.strikeout_thickness = std::max(1, os2 ? scaled(os2->yStrikeoutSize) : 1);

    // GDI makes bold and italic itself when the face lacks them.
    synthetic_bold_ = desc.weight > 550 && !file_.bold;
    synthetic_italic_ = desc.italic && !file_.italic;
    grey_ = grey_allowed(f, m.ppem);

    // A fixed-pitch font (by its flags or its PANOSE proportion) gives a full-width glyph
    // exactly two half-width advances.
    constexpr int kPanoseProportion = 3, kMonospaced = 9;
    fixed_pitch_ = FT_IS_FIXED_WIDTH(f) ||
                   (os2 && os2->version != 0xFFFF && os2->panose[kPanoseProportion] == kMonospaced);
    if (fixed_pitch_ && os2) {
        avg_advance_ = static_cast<int>(FT_MulFix(os2->xAvgCharWidth, scale));
        full_width_ = static_cast<int>(FT_MulFix(os2->xAvgCharWidth * 2, scale));
    }
}

Font::~Font() = default;

std::shared_ptr<const Font> Font::open(const plat::FontDesc& desc) {
    FontFile file = resolve_font(desc);
    if (file.path.empty() || !library()) return nullptr;
    auto face = std::make_unique<Face>();
    if (FT_New_Face(library(), file.path.c_str(), file.index, &face->face) != 0) return nullptr;
    FT_Select_Charmap(face->face, FT_ENCODING_UNICODE);
    // Whether the face itself is bold or italic is the file's own word: fontconfig reports a
    // regular face that it would embolden or slant as bold or italic.
    file.bold = (face->face->style_flags & FT_STYLE_FLAG_BOLD) != 0;
    file.italic = (face->face->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
    return std::shared_ptr<const Font>(new Font(desc, std::move(file), std::move(face)));
}

unsigned Font::glyph_index(char32_t c) const { return FT_Get_Char_Index(face_->face, c); }

namespace {
// Glyphs load hinted for grey smoothing, outlines only, as GDI's metrics and grey text do.
constexpr FT_Int32 kLoadFlags = FT_LOAD_IGNORE_GLOBAL_ADVANCE_WIDTH | FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_NORMAL;
}  // namespace

int Font::advance(char32_t c) const {
    if (const auto it = advances_.find(c); it != advances_.end()) return it->second;
    FT_Face f = face_->face;
    FT_Pos base = 0;
    if (FT_Load_Glyph(f, glyph_index(c), kLoadFlags) == 0 ||
        FT_Load_Glyph(f, glyph_index(c), kLoadFlags | FT_LOAD_NO_HINTING) == 0)
        base = f->glyph->metrics.horiAdvance;
    FT_Pos adv = base;
    if (fixed_pitch_ && avg_advance_ > 0 && ((base + 63) >> 6) == full_width_) adv = (avg_advance_ * 2) << 6;
    // A synthetic bold glyph is one pixel wider.
    if (synthetic_bold_) adv += 1 << 6;
    const int result = static_cast<int>(rounded_up(adv) >> 6);
    advances_.emplace(c, result);
    return result;
}

const Glyph& Font::glyph(char32_t c) const {
    if (const auto it = glyphs_.find(c); it != glyphs_.end()) return it->second;
    Glyph g;
    FT_Face f = face_->face;
    // Black-and-white glyphs are hinted for it.
    const FT_Int32 flags = grey_ ? kLoadFlags : (kLoadFlags & ~FT_LOAD_TARGET_NORMAL) | FT_LOAD_TARGET_MONO;
    if (FT_Load_Glyph(f, glyph_index(c), flags) == 0 && f->glyph->format == FT_GLYPH_FORMAT_OUTLINE) {
        FT_Outline* outline = &f->glyph->outline;
        // Synthetic bold thickens the outline by a 24th of the em; synthetic italic slants it
        // by a quarter of its height.
        if (synthetic_bold_) FT_Outline_Embolden(outline, FT_MulDiv(metrics_.ppem, 1 << 6, 24));
        if (synthetic_italic_) {
            FT_Matrix slant{1 << 16, (1 << 16) >> 2, 0, 1 << 16};
            FT_Outline_Transform(outline, &slant);
        }
        FT_BBox box;
        FT_Outline_Get_CBox(outline, &box);
        box.xMin &= -64;
        box.yMin &= -64;
        box.xMax = (box.xMax + 63) & -64;
        box.yMax = (box.yMax + 63) & -64;
        // A glyph is cut to the cell: nothing above the ascent or below the descent.
        box.yMax = std::min<FT_Pos>(box.yMax, static_cast<FT_Pos>(metrics_.ascent) << 6);
        box.yMin = std::max<FT_Pos>(box.yMin, -(static_cast<FT_Pos>(metrics_.descent) << 6));
        g.left = static_cast<int>(box.xMin >> 6);
        g.top = static_cast<int>(box.yMax >> 6);
        g.width = static_cast<int>((box.xMax - box.xMin) >> 6);
        g.height = static_cast<int>((box.yMax - box.yMin) >> 6);
        if (g.width > 0 && g.height > 0) {
            const std::size_t count = static_cast<std::size_t>(g.width) * static_cast<std::size_t>(g.height);
            g.coverage.assign(count, 0);
            FT_Bitmap bitmap{};
            bitmap.rows = static_cast<unsigned>(g.height);
            bitmap.width = static_cast<unsigned>(g.width);
            FT_Outline_Translate(outline, -box.xMin, -box.yMin);
            if (grey_) {
                bitmap.pitch = g.width;
                bitmap.buffer = g.coverage.data();
                bitmap.num_grays = 256;
                bitmap.pixel_mode = FT_PIXEL_MODE_GRAY;
                FT_Outline_Get_Bitmap(library(), outline, &bitmap);
                // Windows' grey smoothing has 17 levels.
                for (std::uint8_t& v : g.coverage) v = static_cast<std::uint8_t>(v * 17 / 256);
            } else {
                const int pitch = (g.width + 7) / 8;
                std::vector<std::uint8_t> bits(static_cast<std::size_t>(pitch) * static_cast<std::size_t>(g.height), 0);
                bitmap.pitch = pitch;
                bitmap.buffer = bits.data();
                bitmap.num_grays = 2;
                bitmap.pixel_mode = FT_PIXEL_MODE_MONO;
                FT_Outline_Get_Bitmap(library(), outline, &bitmap);
                for (int y = 0; y < g.height; ++y)
                    for (int x = 0; x < g.width; ++x)
                        if (bits[static_cast<std::size_t>(y * pitch + x / 8)] & (0x80 >> (x % 8)))
                            g.coverage[static_cast<std::size_t>(y * g.width + x)] = 16;
            }
        } else {
            g.width = g.height = 0;
        }
    }
    return glyphs_.emplace(c, std::move(g)).first->second;
}

const Font* default_font() {
    // The system font of a Japanese Windows is a gothic face with a 16-pixel cell (the DC's
    // default, DEFAULT_CHARSET).
    static const std::shared_ptr<const Font> font = [] {
        plat::FontDesc desc;
        desc.height = 16;
        desc.face = "System";
        return Font::open(desc);
    }();
    return font.get();
}

std::shared_ptr<const Font> load_font(const plat::FontDesc& desc) {
    // Opening a face and asking fontconfig takes milliseconds, and a dialog asks for the same
    // font for every label: equal requests share one font while any holder keeps it.
    using Key = std::tuple<std::int32_t, std::int32_t, bool, bool, bool, std::uint8_t, std::string>;
    static std::map<Key, std::weak_ptr<const Font>> fonts;
    const Key key{desc.height, desc.weight, desc.italic, desc.underline, desc.strike_out, desc.charset, desc.face};
    if (auto it = fonts.find(key); it != fonts.end())
        if (auto shared = it->second.lock()) return shared;
    auto font = Font::open(desc);
    if (font) fonts[key] = font;
    return font;
}

}  // namespace raster
