// The styled-button corpus painted by the MinGW build under Wine (real GDI) and natively by
// the software raster: identical pixels, except where a caption's text lies (the two sides
// draw text with their own fonts), which is compared by its rectangle.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "button_corpus.h"
#include "raster/text/font.h"

namespace {

const std::string kSourceDir = ZEPHLORA_SOURCE_DIR;
const std::string kWin32Dir = ZEPHLORA_WIN32_DIR_PATH;

std::string wine_path(const std::string& unix_path) {
    std::string p = "Z:" + unix_path;
    for (char& c : p)
        if (c == '/') c = '\\';
    return p;
}

bool inside(const plat::Rect& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

TEST(ButtonConformance, TheCorpusMatchesRealGdi) {
    if (kWin32Dir.empty()) GTEST_SKIP() << "no MinGW build (ZEPHLORA_WIN32_DIR is empty)";
    const std::string exe = kWin32Dir + "/button_corpus.exe";
    if (!std::filesystem::exists(exe)) GTEST_SKIP() << "button_corpus.exe is not built";
    const std::string out = (std::filesystem::temp_directory_path() / ("button_corpus_" + std::to_string(::getpid()) + ".bin")).string();
    // Wine is given the font file that the raster draws "Times New Roman" with, by its family.
    plat::FontDesc serif;
    serif.face = "Times New Roman";
    const raster::FontFile file = raster::resolve_font(serif);
    ASSERT_FALSE(file.path.empty());
    const std::string command = "'" + kSourceDir + "/scripts/wine-run.sh' '" + exe + "' '" + wine_path(out) + "' '" +
                                file.family + "' '" + wine_path(file.path) + "' 2>/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const std::vector<button_corpus::Stored> theirs = button_corpus::read_all(out);
    std::filesystem::remove(out);

    const button_corpus::Pictures pictures;
    const std::vector<button_corpus::Case> ours = button_corpus::corpus(pictures);
    ASSERT_EQ(theirs.size(), ours.size());
    int compared = 0, with_text = 0, text_identical = 0;
    for (std::size_t i = 0; i < ours.size(); ++i) {
        const button_corpus::Case& c = ours[i];
        ASSERT_EQ(theirs[i].label, c.label);
        const button_corpus::Painted mine = button_corpus::paint(c);
        const plat::Rect& a = mine.caption;
        const plat::Rect& b = theirs[i].painted.caption;
        const bool text = !c.look.caption.empty();
        // Text spills a pixel or two beyond its box (the embossed copies, the focus frame of
        // some styles three pixels out): everything within 4 pixels of either box is text's.
        auto near_text = [&](int x, int y) {
            if (!text) return false;
            const plat::Rect ga{a.left - 4, a.top - 4, a.right + 4, a.bottom + 4};
            const plat::Rect gb{b.left - 4, b.top - 4, b.right + 4, b.bottom + 4};
            return inside(ga, x, y) || inside(gb, x, y);
        };
        if (text) {
            ++with_text;
            EXPECT_EQ(a, b) << c.label << ": the caption's rectangle";
        }
        const int w = c.look.width, h = c.look.height;
        bool same = true;
        for (int y = 0; y < h && same; ++y)
            for (int x = 0; x < w; ++x) {
                if (near_text(x, y)) continue;
                const std::uint32_t g = theirs[i].painted.pixels[static_cast<std::size_t>(y * w + x)];
                const std::uint32_t r = mine.pixels[static_cast<std::size_t>(y * w + x)];
                if (g != r) {
                    ADD_FAILURE() << c.label << ": first difference at (" << x << ", " << y << "): GDI " << std::hex << g
                                  << ", raster " << r;
                    same = false;
                    break;
                }
            }
        if (text && mine.pixels == theirs[i].painted.pixels) ++text_identical;
        ++compared;
    }
    std::printf("compared %d buttons; %d with a caption, %d of these identical in their text too\n", compared, with_text,
                text_identical);
}

}  // namespace
