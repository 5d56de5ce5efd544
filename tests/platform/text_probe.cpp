// Windows side of the text cross-check: DrawTextA with real GDI on the cases that the native
// test hands over in a file, one per line:
//   label face charset height weight italic box_width box_height format text     (face, text: hex)
// after loading the given font files privately. For each case it prints one line:
//   label calc_result left top right bottom draw_result tm_height face spans
// where the rectangle is DT_CALCRECT's and `spans` tells where each line's cell lands: the text
// is drawn with DT_NOCLIP on white in OPAQUE mode, background black and text white
// (tests/platform/text_spans.h).
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/win32/prelude.h"
#include "tests/platform/text_spans.h"

namespace {

using text_check::kBoxLeft;
using text_check::kBoxTop;
constexpr int kWidth = text_check::kPictureWidth, kHeight = text_check::kPictureHeight;

std::string unhex(const std::string& h) {
    std::string out;
    for (std::size_t i = 1; i + 1 < h.size(); i += 2) out.push_back(static_cast<char>(std::stoi(h.substr(i, 2), nullptr, 16)));
    return out;
}

std::string hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out = "h";
    for (unsigned char c : bytes) {
        out.push_back(digits[c >> 4]);
        out.push_back(digits[c & 15]);
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    for (int i = 2; i < argc; ++i)
        if (AddFontResourceExA(argv[i], FR_PRIVATE, nullptr) == 0) std::printf("font-not-added %s\n", argv[i]);

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old_bitmap = SelectObject(dc, bitmap);
    auto* pixels = static_cast<std::uint32_t*>(bits);

    std::ifstream cases(argv[1]);
    std::string line;
    while (std::getline(cases, line)) {
        std::istringstream in(line);
        std::string label, face, text;
        int charset = 0, height = 0, weight = 0, italic = 0, box_width = 0, box_height = 0;
        unsigned format = 0;
        if (!(in >> label >> face >> charset >> height >> weight >> italic >> box_width >> box_height >> format >> text)) continue;
        LOGFONTA lf{};
        lf.lfHeight = height;
        lf.lfWeight = weight;
        lf.lfItalic = static_cast<BYTE>(italic);
        lf.lfCharSet = static_cast<BYTE>(charset);
        const std::string face_bytes = unhex(face);
        lstrcpynA(lf.lfFaceName, face_bytes.c_str(), LF_FACESIZE);
        HFONT font = CreateFontIndirectA(&lf);
        HGDIOBJ old_font = SelectObject(dc, font);
        TEXTMETRICA tm{};
        GetTextMetricsA(dc, &tm);
        char used[LF_FACESIZE] = {};
        GetTextFaceA(dc, LF_FACESIZE, used);
        const std::string bytes = unhex(text);

        RECT calc{kBoxLeft, kBoxTop, kBoxLeft + box_width, kBoxTop + box_height};
        const int calc_result = DrawTextA(dc, bytes.c_str(), -1, &calc, format | DT_CALCRECT);

        GdiFlush();
        for (int i = 0; i < kWidth * kHeight; ++i) pixels[i] = 0xFFFFFF;
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, RGB(0, 0, 0));
        SetTextColor(dc, RGB(255, 255, 255));
        RECT box{kBoxLeft, kBoxTop, kBoxLeft + box_width, kBoxTop + box_height};
        const int draw_result = DrawTextA(dc, bytes.c_str(), -1, &box, format | DT_NOCLIP);
        GdiFlush();

        std::printf("%s %d %ld %ld %ld %ld %d %ld %s %s\n", label.c_str(), calc_result, calc.left, calc.top,
                    calc.right, calc.bottom, draw_result, tm.tmHeight, hex(used).c_str(), text_check::line_cells(pixels, kWidth, kHeight, tm.tmHeight).c_str());
        SelectObject(dc, old_font);
        DeleteObject(font);
    }
    SelectObject(dc, old_bitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return 0;
}
