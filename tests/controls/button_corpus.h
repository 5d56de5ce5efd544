// A corpus of styled buttons, every style x shape x state with and without a gradient and a
// picture, painted by whichever drawing layer the program is built with: real GDI in the
// MinGW build, the software raster natively. The two sets of pixels must agree.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "controls/styled_button/button_look.h"

namespace button_corpus {

struct Case {
    std::string label;
    controls::styled_button::ButtonLook look;
};

// The pictures the corpus uses, drawn with the drawing calls themselves.
struct Pictures {
    plat::GdiObject bitmap = plat::GdiObject::None;
    plat::Icon icon = plat::Icon::None;
    Pictures();
    ~Pictures();
};

std::vector<Case> corpus(const Pictures& pictures);

struct Painted {
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, row by row
    plat::Rect caption;                 // where the caption's text lies
};

// `face` names the caption's font (the MinGW side names the family of the file the native
// side resolves "Times New Roman" to, so that both draw with the same font).
Painted paint(const Case& c, const std::string& face = "Times New Roman");

// The file the MinGW build writes: per case its label, size, caption rectangle and pixels.
bool write_all(const std::string& path, const std::vector<Case>& cases, const std::string& face);
struct Stored {
    std::string label;
    int width = 0, height = 0;
    Painted painted;
};
std::vector<Stored> read_all(const std::string& path);

}  // namespace button_corpus
