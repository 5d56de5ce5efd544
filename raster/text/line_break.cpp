// A small part of the Unicode line-breaking algorithm: the classes of the characters that CP932
// can hold, and the pair rules between them that decide a break.
#include "raster/text/line_break.h"

namespace raster::text {
namespace {

// Line-breaking classes (the names are Unicode's).
enum class Cls {
    AL,  // letters, most symbols
    NU,  // digits
    SP,  // blank
    BA,  // break after (tab, ideographic space, hyphens of Japanese text)
    ID,  // ideographs, kana, full-width letters: a break is allowed on both sides
    OP,  // opening brackets: no break after
    CL,  // closing punctuation, including 、 and 。: no break before
    CP,  // closing parentheses: no break before, nor between them and a following word
    EX,  // ! ?: no break before
    IS,  // , . : ;: no break before
    SY,  // /: no break before
    NS,  // small kana, ー, 々, ・: no break before
    QU,  // quotation marks: no break on either side
    HY,  // hyphen-minus: no break before
    PR,  // currency signs before numbers
    PO,  // % and the like after numbers
    IN,  // … ‥: no break before
};

bool in(char32_t c, char32_t lo, char32_t hi) { return c >= lo && c <= hi; }

Cls classify(char32_t c) {
    switch (c) {
    case U' ': return Cls::SP;
    case U'\t': return Cls::BA;
    case U'(': case U'[': case U'{': return Cls::OP;
    case U')': case U']': return Cls::CP;
    case U'}': return Cls::CL;
    case U'!': case U'?': return Cls::EX;
    case U',': case U'.': case U':': case U';': return Cls::IS;
    case U'/': return Cls::SY;
    case U'"': case U'\'': return Cls::QU;
    case U'-': return Cls::HY;
    case U'$': case U'+': case U'\\': case 0xA5: case 0xFF04: case 0xFFE5: case 0xFFE1: return Cls::PR;
    case U'%': case 0xFF05: case 0xA2: case 0xFFE0: return Cls::PO;
    case 0x3000: return Cls::BA;
    case 0x2010: case 0x2013: return Cls::BA;
    case 0x2025: case 0x2026: return Cls::IN;
    case 0x3001: case 0x3002: case 0xFF0C: case 0xFF0E: case 0x3009: case 0x300B: case 0x300D:
    case 0x300F: case 0x3011: case 0x3015: case 0x3017: case 0x3019: case 0xFF5D: case 0xFF61:
    case 0xFF63: case 0xFF64:
        return Cls::CL;
    case 0xFF09: case 0xFF3D: return Cls::CP;
    case 0x3008: case 0x300A: case 0x300C: case 0x300E: case 0x3010: case 0x3014: case 0x3016:
    case 0x3018: case 0xFF08: case 0xFF3B: case 0xFF5B: case 0xFF62: case 0x2018: case 0x201C:
        return Cls::OP;
    case 0x2019: case 0x201D: return Cls::CL;
    case 0xFF01: case 0xFF1F: return Cls::EX;
    case 0xFF1A: case 0xFF1B: case 0x30FB: case 0x30FC: case 0x3005: case 0x309D: case 0x309E:
    case 0x30FD: case 0x30FE: case 0x301C: case 0x309B: case 0x309C: case 0xFF65:
        return Cls::NS;
    default: break;
    }
    if (in(c, U'0', U'9')) return Cls::NU;
    if (c < 0x80) return Cls::AL;
    // Small kana (hiragana and katakana, full and half width) are not broken before.
    switch (c) {
    case 0x3041: case 0x3043: case 0x3045: case 0x3047: case 0x3049: case 0x3063: case 0x3083:
    case 0x3085: case 0x3087: case 0x308E: case 0x3095: case 0x3096: case 0x30A1: case 0x30A3:
    case 0x30A5: case 0x30A7: case 0x30A9: case 0x30C3: case 0x30E3: case 0x30E5: case 0x30E7:
    case 0x30EE: case 0x30F5: case 0x30F6:
        return Cls::NS;
    default: break;
    }
    if (in(c, 0xFF67, 0xFF70) || in(c, 0xFF9E, 0xFF9F)) return Cls::NS;
    if (in(c, 0x3040, 0x30FF) || in(c, 0x3400, 0x4DBF) || in(c, 0x4E00, 0x9FFF) ||
        in(c, 0xF900, 0xFAFF) || in(c, 0x2E80, 0x2FFF) || in(c, 0x3003, 0x303F) ||
        in(c, 0x3200, 0x33FF) || in(c, 0xFF01, 0xFF60) || in(c, 0xFF66, 0xFF9D))
        return Cls::ID;
    return Cls::AL;
}

bool alnum(Cls c) { return c == Cls::AL || c == Cls::NU; }

// May a line end between a character of class `before` and one of class `after`? `before` is
// the class of the last non-blank character when blanks come between (`spaces` tells).
bool may_break(Cls before, bool spaces, Cls after) {
    if (after == Cls::SP) return false;  // blanks stay with what comes before them
    if (after == Cls::CL || after == Cls::CP || after == Cls::EX || after == Cls::IS || after == Cls::SY)
        return false;
    if (before == Cls::OP) return false;  // an opening bracket keeps what follows, blanks too
    if (spaces) return true;              // a break after blanks
    if (after == Cls::BA || after == Cls::HY || after == Cls::NS || after == Cls::IN) return false;
    if (before == Cls::QU || after == Cls::QU) return false;
    if (alnum(before) && alnum(after)) return false;
    if (before == Cls::PR && (alnum(after) || after == Cls::ID || after == Cls::OP)) return false;
    if ((alnum(before) || before == Cls::ID || before == Cls::CL || before == Cls::CP) && after == Cls::PO)
        return false;
    if (alnum(before) && after == Cls::OP) return false;
    if (before == Cls::CP && alnum(after)) return false;
    if ((before == Cls::IS || before == Cls::HY) && after == Cls::NU) return false;
    if (before == Cls::IS && after == Cls::AL) return false;
    if (before == Cls::SY && after == Cls::NU) return false;
    return true;
}

}  // namespace

std::vector<bool> break_opportunities(std::u32string_view text) {
    std::vector<bool> result(text.size() + 1, false);
    Cls last = Cls::AL;  // the last non-blank class so far
    bool spaces = false;
    for (std::size_t k = 0; k < text.size(); ++k) {
        const Cls c = classify(text[k]);
        if (k > 0) result[k] = may_break(last, spaces, c);
        if (c == Cls::SP) {
            spaces = true;
        } else {
            last = c;
            spaces = false;
        }
    }
    // A break is always possible at the very end.
    result[text.size()] = true;
    return result;
}

}  // namespace raster::text
