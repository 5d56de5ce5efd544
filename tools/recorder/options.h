// The recorder's command line.
#pragma once

#include <cstdint>
#include <string>

namespace recorder {

struct Options {
    std::string folder = ".";
    int width = 640, height = 480;
    std::uint64_t seed = 1;
    double seconds_per_frame = 1.0 / 60.0;
    int frames = 60;
    std::string out = ".";
    int every = 1;          // write every n-th frame as PNG; 0: none
    std::string apng;       // animated PNG of the written frames
    int apng_delay_ms = 33;
    std::string trace;      // default: <out>/trace.txt
    std::string pictures;   // folder with sprites.png and background0.png .. background9.png
};

// False when the line holds an unknown option, a missing value or a value out of range.
bool ParseOptions(int argc, char** argv, Options& o);

// The usage text, on stderr.
void PrintUsage();

}  // namespace recorder
