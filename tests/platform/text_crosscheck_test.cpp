// raster::draw_text against Wine's DrawTextA on the same font files: for each labelled case the
// rectangle that DT_CALCRECT gives, the return values and where every line lands must agree.
// Wine's side is text_probe.exe of the MinGW build (tests/platform/text_probe.cpp); the glyphs'
// own pixels are not compared, only the cells that OPAQUE mode paints for each line.
#include <gtest/gtest.h>
#include <iconv.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "raster/text.h"
#include "raster/text/font.h"
#include "tests/platform/text_spans.h"
#include "tests/support/temp_folder.h"

namespace {

const std::string kSourceDir = ZEPHLORA_SOURCE_DIR;
const std::string kWin32Dir = ZEPHLORA_WIN32_DIR_PATH;

std::string cp932(const std::string& utf8) {
    iconv_t cd = iconv_open("CP932", "UTF-8");
    std::string out(utf8.size() * 2 + 4, '\0');
    char* src = const_cast<char*>(utf8.data());
    std::size_t src_left = utf8.size();
    char* dst = out.data();
    std::size_t dst_left = out.size();
    iconv(cd, &src, &src_left, &dst, &dst_left);
    iconv_close(cd);
    out.resize(out.size() - dst_left);
    return out;
}

std::string hex(std::string_view bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out = "h";
    for (unsigned char c : bytes) {
        out.push_back(digits[c >> 4]);
        out.push_back(digits[c & 15]);
    }
    return out;
}

std::string wine_path(const std::string& unix_path) {
    std::string p = "Z:" + unix_path;
    for (char& c : p)
        if (c == '/') c = '\\';
    return p;
}

// A font as the program names it, and the family of the file it resolves to, as Wine is asked
// for it once that file is loaded.
// The character set is the program's: SHIFTJIS for the labels' gothic faces, DEFAULT for the
// buttons' serif.
struct FontCase {
    const char* program_name;
    const char* wine_family;
    int charset;
};
const FontCase kPGothic{"ＭＳ Ｐゴシック", "IPAPGothic", 128};
const FontCase kGothic{"ＭＳ ゴシック", "IPAGothic", 128};
const FontCase kSerif{"Times New Roman", "Liberation Serif", 1};

struct Case {
    std::string label;
    FontCase font;
    int height;
    int weight;
    bool italic;
    int box_width, box_height;
    std::uint32_t format;
    std::string text;  // UTF-8 here, CP932 for both sides
};

constexpr std::uint32_t L = raster::dt::Left, C = raster::dt::Center, R = raster::dt::Right, WB = raster::dt::WordBreak,
                        SL = raster::dt::SingleLine, VC = raster::dt::VCenter, BT = raster::dt::Bottom,
                        NP = raster::dt::NoPrefix, TABS = raster::dt::ExpandTabs;

std::vector<Case> cases() {
    std::vector<Case> c;
    // The settings dialog's labels and buttons (9.75 points: 13 pixels; 9 points: 12).
    const char* labels[] = {"ﾓｰﾌｨﾝｸﾞまでのｲﾝﾀｰﾊﾞﾙ", "処理ｽﾋﾟｰﾄﾞ", "速い", "遅い", "回転のｽﾋﾟｰﾄﾞ", "X軸",
                            "ﾈｵﾝｴﾌｪｸﾄ", "off", "on", "BGM", "音楽CD", "曲目をﾘﾋﾟｰﾄ", "ＢＧＭ無し",
                            "MP3、WAV", "12秒", "100"};
    int n = 0;
    for (const char* t : labels) c.push_back({"label" + std::to_string(n++), kPGothic, -13, 400, false, 131, 13, WB, t});
    c.push_back({"cancel", kPGothic, -13, 400, false, 61, 13, C | WB, "Cancel"});
    c.push_back({"save", kPGothic, -13, 400, false, 61, 13, C | WB, "Save"});
    c.push_back({"dots", kSerif, -12, 400, false, 17, 13, C | WB, "..."});
    c.push_back({"centred-value", kPGothic, -13, 400, false, 50, 13, C, "90"});
    c.push_back({"right-label", kPGothic, -13, 400, false, 25, 13, R, "遅い"});
    c.push_back({"music-path", kPGothic, -13, 400, false, 329, 33, WB,
                 "C:\\Documents and Settings\\ユーザー\\My Documents\\音楽\\お気に入りの曲を集めたフォルダ\\サンプル.mp3"});
    // Access keys.
    c.push_back({"prefix", kPGothic, -13, 400, false, 61, 13, C | WB, "&Cancel"});
    c.push_back({"prefix-literal", kPGothic, -13, 400, false, 80, 13, L, "A&&B &x"});
    c.push_back({"prefix-off", kPGothic, -13, 400, false, 80, 13, L | NP, "A&&B &x"});
    c.push_back({"prefix-last", kPGothic, -13, 400, false, 80, 13, L, "end&"});
    // Word breaking of Latin text, each alignment, and words longer than the box.
    const std::string fox = "The quick brown fox jumps over the lazy dog";
    for (std::uint32_t align : {L, C, R}) {
        const std::string a = align == L ? "left" : align == C ? "centre" : "right";
        c.push_back({"fox-" + a, kSerif, -12, 400, false, 60, 40, align | WB, fox});
        c.push_back({"fox-p-" + a, kPGothic, -13, 400, false, 75, 40, align | WB, fox});
    }
    c.push_back({"long-word", kSerif, -12, 400, false, 30, 40, WB, "Supercalifragilistic expialidocious"});
    c.push_back({"blanks", kPGothic, -13, 400, false, 40, 40, WB, "ab    cd   ef"});
    c.push_back({"blanks-centre", kPGothic, -13, 400, false, 40, 40, C | WB, "ab    cd   ef"});
    c.push_back({"leading-blank", kPGothic, -13, 400, false, 30, 40, WB, "  abcd efgh"});
    // Japanese text: breaks between ideographs, never before 、 。 or small kana.
    c.push_back({"japanese", kPGothic, -13, 400, false, 80, 60, WB, "これは日本語の文章です。改行の位置を確かめます。"});
    c.push_back({"japanese-gothic", kGothic, -13, 400, false, 80, 60, WB, "これは日本語の文章です。改行の位置を確かめます。"});
    c.push_back({"japanese-centre", kPGothic, -13, 400, false, 70, 60, C | WB, "ﾓｰﾌｨﾝｸﾞまでのｲﾝﾀｰﾊﾞﾙを設定します"});
    c.push_back({"mixed", kPGothic, -13, 400, false, 60, 60, WB, "ABC 日本語テキスト DEF ghi"});
    c.push_back({"kana-small", kPGothic, -13, 400, false, 40, 60, WB, "ショッピングリュック"});
    c.push_back({"brackets", kPGothic, -13, 400, false, 50, 60, WB, "「設定」を保存（Ｓ）します"});
    // Break rules, in boxes so narrow that every opportunity is taken.
    const char* breaks[] = {"「あ」（い）、う。え！お？",     "ｱｲｳｴｵｶﾞｷﾞｸﾞ｡ｹｺ",          "ＡＢＣ１２３全角",
                            "100%の確率で$100ドル",          "a-b-c-d e/f/g",            "http://example.com/path",
                            "\"引用\" 'quote' (paren) [x]", "ー長音、々ゝ・中黒ぁぃぅ", "words, and. more; text: ok!",
                            "〈山〉《川》【海】『空』",       "x…y‥z——w",                "C:\\Program Files\\ﾃｽﾄ\\a.txt"};
    n = 0;
    for (const char* t : breaks) {
        c.push_back({"breaks" + std::to_string(n) + "-narrow", kPGothic, -13, 400, false, 14, 200, WB, t});
        c.push_back({"breaks" + std::to_string(n) + "-wider", kPGothic, -13, 400, false, 40, 200, WB, t});
        ++n;
    }
    // Line ends.
    c.push_back({"lines", kPGothic, -13, 400, false, 100, 60, L, "line1\r\nline2\nline3\rline4"});
    c.push_back({"empty-line", kPGothic, -13, 400, false, 100, 60, L, "a\n\nb"});
    c.push_back({"caption-break", kPGothic, -13, 400, false, 61, 30, C | WB, "Save\r\nAs"});
    c.push_back({"break-before-newline", kPGothic, -13, 400, false, 30, 60, WB, "abcdefgh\nij"});
    // Single lines placed vertically.
    c.push_back({"single-vcentre", kPGothic, -13, 400, false, 80, 25, SL | VC | C, "Centre"});
    c.push_back({"single-bottom", kPGothic, -13, 400, false, 80, 25, SL | BT | R, "Bottom"});
    c.push_back({"single-newline", kPGothic, -13, 400, false, 80, 25, SL, "one\ntwo"});
    // Clipped to the box: only the line that crosses the bottom is drawn last.
    c.push_back({"clipped-lines", kPGothic, -13, 400, false, 40, 20, WB, "one two three four five"});
    // Tabs.
    c.push_back({"tabs", kPGothic, -13, 400, false, 200, 20, TABS, "a\tbb\t\tccc"});
    // Heights and styles.
    c.push_back({"cell-height", kPGothic, 16, 400, false, 100, 40, WB, "Cell 16 日本"});
    c.push_back({"serif-cell", kSerif, 20, 400, false, 100, 40, WB, "Cell twenty"});
    c.push_back({"bold-synthetic", kPGothic, -13, 700, false, 100, 40, WB, "Bold 太字の文字"});
    c.push_back({"bold-face", kSerif, -12, 700, false, 60, 40, WB, "Bold serif face text"});
    c.push_back({"italic", kSerif, -12, 400, true, 60, 40, WB, "Italic serif text"});
    c.push_back({"italic-synthetic", kPGothic, -13, 400, true, 80, 40, WB, "斜体 italic"});
    c.push_back({"large", kPGothic, -24, 400, false, 120, 80, C | WB, "大きな文字 Large"});
    c.push_back({"empty", kPGothic, -13, 400, false, 50, 20, L, ""});
    c.push_back({"empty-single", kPGothic, -13, 400, false, 50, 20, SL, ""});
    return c;
}

struct Answer {
    std::string label;
    int calc_result = 0;
    plat::Rect calc;
    int draw_result = 0;
    int tm_height = 0;
    std::string face, spans;
    std::string summary() const {
        std::ostringstream s;
        s << "calc " << calc_result << " (" << calc.left << "," << calc.top << ")-(" << calc.right << "," << calc.bottom
          << ") draw " << draw_result << " height " << tm_height << " lines " << spans;
        return s.str();
    }
};

Answer ours(const Case& k) {
    plat::FontDesc desc;
    desc.height = k.height;
    desc.weight = k.weight;
    desc.italic = k.italic;
    desc.charset = static_cast<std::uint8_t>(k.font.charset);
    desc.face = cp932(k.font.program_name);
    const auto font = raster::load_font(desc);
    Answer a;
    a.label = k.label;
    if (!font) return a;
    const std::string text = cp932(k.text);
    const plat::Rect box{text_check::kBoxLeft, text_check::kBoxTop, text_check::kBoxLeft + k.box_width,
                         text_check::kBoxTop + k.box_height};
    std::vector<std::uint32_t> pixels(text_check::kPictureWidth * text_check::kPictureHeight, 0xFFFFFF);
    const plat::Surface s{pixels.data(), text_check::kPictureWidth, text_check::kPictureHeight, text_check::kPictureWidth};
    a.calc = box;
    a.calc_result = raster::draw_text(s, {}, font.get(), text, a.calc, k.format | raster::dt::CalcRect, 0, false, 0);
    plat::Rect draw = box;
    a.draw_result = raster::draw_text(s, {}, font.get(), text, draw, k.format | raster::dt::NoClip, 0xFFFFFF, true, 0);
    a.tm_height = font->metrics().height;
    a.spans = text_check::line_cells(pixels.data(), text_check::kPictureWidth, text_check::kPictureHeight, a.tm_height);
    return a;
}

std::vector<Answer> wine(const std::vector<Case>& all, const testing_support::TempFolder& folder,
                         const std::vector<std::string>& font_files) {
    const std::string case_file = folder.path() + "/cases.txt";
    {
        std::ofstream out(case_file);
        for (const Case& k : all)
            out << k.label << ' ' << hex(k.font.wine_family) << ' ' << k.font.charset << ' ' << k.height << ' ' << k.weight << ' '
                << (k.italic ? 1 : 0) << ' ' << k.box_width << ' ' << k.box_height << ' ' << k.format << ' '
                << hex(cp932(k.text)) << '\n';
    }
    std::string command = "'" + kSourceDir + "/scripts/wine-run.sh' '" + kWin32Dir + "/text_probe.exe' '" +
                          wine_path(case_file) + "'";
    for (const std::string& f : font_files) command += " '" + wine_path(f) + "'";
    command += " 2>/dev/null";
    std::vector<Answer> answers;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return answers;
    std::string output;
    char buffer[4096];
    while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
    pclose(pipe);
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream in(line);
        Answer a;
        if (in >> a.label >> a.calc_result >> a.calc.left >> a.calc.top >> a.calc.right >> a.calc.bottom >>
            a.draw_result >> a.tm_height >> a.face >> a.spans)
            answers.push_back(a);
    }
    return answers;
}

TEST(TextCrossCheck, ExtentsAndLinesEqualWinesForTheSameFontFiles) {
    if (kWin32Dir.empty()) GTEST_SKIP() << "no MinGW build (ZEPHLORA_WIN32_DIR is empty)";
    if (!std::filesystem::exists(kWin32Dir + "/text_probe.exe")) GTEST_SKIP() << "text_probe.exe is not built";

    // The files that the program's font names resolve to are the ones Wine loads.
    std::vector<std::string> files;
    for (const FontCase& f : {kPGothic, kGothic, kSerif}) {
        plat::FontDesc desc;
        desc.face = cp932(f.program_name);
        desc.charset = static_cast<std::uint8_t>(f.charset);
        const raster::FontFile file = raster::resolve_font(desc);
        ASSERT_FALSE(file.path.empty()) << f.program_name;
        EXPECT_EQ(file.family, f.wine_family) << f.program_name;
        files.push_back(file.path);
    }
    {
        plat::FontDesc bold;
        bold.face = cp932(kSerif.program_name);
        bold.weight = 700;
        files.push_back(raster::resolve_font(bold).path);
        plat::FontDesc italic;
        italic.face = cp932(kSerif.program_name);
        italic.italic = true;
        files.push_back(raster::resolve_font(italic).path);
    }

    const std::vector<Case> all = cases();
    testing_support::TempFolder folder("text-crosscheck");
    const std::vector<Answer> theirs = wine(all, folder, files);
    ASSERT_EQ(theirs.size(), all.size()) << "the probe did not answer every case";

    int equal = 0;
    for (std::size_t i = 0; i < all.size(); ++i) {
        const Answer mine = ours(all[i]);
        ASSERT_EQ(theirs[i].label, all[i].label);
        EXPECT_EQ(theirs[i].face, hex(all[i].font.wine_family)) << all[i].label << ": Wine drew with another face";
        const bool same = mine.summary() == theirs[i].summary();
        EXPECT_TRUE(same) << all[i].label << "\n  ours: " << mine.summary() << "\n  Wine: " << theirs[i].summary();
        equal += same ? 1 : 0;
    }
    std::printf("text cross-check: %d of %zu cases equal Wine's\n", equal, all.size());
}

}  // namespace
