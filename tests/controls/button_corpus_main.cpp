// Paints the styled-button corpus with this build's drawing layer (real GDI in the MinGW
// build) into the file named on the command line:
//     button_corpus OUTPUT [FACE [FONT-FILE...]]
// FACE names the caption's font; the font files are loaded first (privately).
#include <cstdio>
#include <string>
#ifdef _WIN32
#include <windows.h>
#endif

#include "button_corpus.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: button_corpus OUTPUT\n");
        return 2;
    }
#ifdef _WIN32
    for (int i = 3; i < argc; ++i)
        if (AddFontResourceExA(argv[i], FR_PRIVATE, nullptr) == 0) std::fprintf(stderr, "font not added: %s\n", argv[i]);
#endif
    const std::string face = argc > 2 ? argv[2] : "Times New Roman";
    const button_corpus::Pictures pictures;
    return button_corpus::write_all(argv[1], button_corpus::corpus(pictures), face) ? 0 : 1;
}
