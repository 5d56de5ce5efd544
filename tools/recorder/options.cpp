#include "tools/recorder/options.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace recorder {

void PrintUsage() {
    std::fprintf(stderr,
                 "usage: zephlora_recorder [--folder DIR] [--size WxH] [--seed N] [--spf SECONDS]\n"
                 "                         [--frames N] [--out DIR] [--every N] [--apng FILE]\n"
                 "                         [--apng-delay MS] [--trace FILE] [--pictures DIR]\n"
                 "DIR holds Zephlora.zpk (or its members Zephlora001.zpk..Zephlora009.zpk) and\n"
                 "optionally Zephlora.ini. Frames go to OUT/frame_00000.png and so on. The pictures\n"
                 "are the program's own unless --pictures names a folder with sprites.png and\n"
                 "background0.png .. background9.png.\n");
}

bool ParseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](std::string& v) {
            if (i + 1 >= argc) return false;
            v = argv[++i];
            return true;
        };
        std::string v;
        if (a == "--folder") { if (!value(o.folder)) return false; }
        else if (a == "--out") { if (!value(o.out)) return false; }
        else if (a == "--apng") { if (!value(o.apng)) return false; }
        else if (a == "--trace") { if (!value(o.trace)) return false; }
        else if (a == "--pictures") { if (!value(o.pictures)) return false; }
        else if (a == "--size") {
            if (!value(v) || std::sscanf(v.c_str(), "%dx%d", &o.width, &o.height) != 2) return false;
        } else if (a == "--seed") {
            if (!value(v)) return false;
            o.seed = std::strtoull(v.c_str(), nullptr, 10);
        } else if (a == "--spf") {
            if (!value(v)) return false;
            o.seconds_per_frame = std::strtod(v.c_str(), nullptr);
        } else if (a == "--frames") {
            if (!value(v)) return false;
            o.frames = std::atoi(v.c_str());
        } else if (a == "--every") {
            if (!value(v)) return false;
            o.every = std::atoi(v.c_str());
        } else if (a == "--apng-delay") {
            if (!value(v)) return false;
            o.apng_delay_ms = std::atoi(v.c_str());
        } else {
            return false;
        }
    }
    if (o.trace.empty()) o.trace = o.out + "/trace.txt";
    return o.width > 0 && o.height > 0 && o.frames >= 0 && o.every >= 0 &&
           std::isfinite(o.seconds_per_frame) && o.seconds_per_frame >= 0 && o.apng_delay_ms > 0 &&
           o.apng_delay_ms < 65536;
}

}  // namespace recorder
