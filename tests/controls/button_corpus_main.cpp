// Paints the styled-button corpus with this build's drawing layer (real GDI in the MinGW
// build) into the file named on the command line.
#include <cstdio>

#include "button_corpus.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: button_corpus OUTPUT\n");
        return 2;
    }
    const button_corpus::Pictures pictures;
    return button_corpus::write_all(argv[1], button_corpus::corpus(pictures)) ? 0 : 1;
}
