// The Windows side of the slider's cross-check: draws every scene of slider_scenes.h with real
// GDI, driven by SendInput, and writes each picture into the folder given as
// <index>.pixels (width and height as 32-bit little-endian numbers, then the rows, top down,
// 0x00RRGGBB words). Prints one line per scene: its index and label.
#include <cstdio>
#include <cstdint>
#include <string>

#include "tests/controls/slider_scenes.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: slider_probe FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    const auto scenes = control_test::slider_scenes();
    for (std::size_t i = 0; i < scenes.size(); ++i) {
        const auto picture = control_test::draw_scene(scenes[i]);
        if (!picture) return 1;
        const plat::Surface s = picture->surface();
        const std::string path = folder + "\\" + std::to_string(i) + ".pixels";
        std::FILE* f = std::fopen(path.c_str(), "wb");
        if (!f) return 1;
        const std::int32_t size[2] = {s.width, s.height};
        std::fwrite(size, sizeof size, 1, f);
        for (int y = 0; y < s.height; ++y) std::fwrite(s.row(y), sizeof(std::uint32_t), static_cast<std::size_t>(s.width), f);
        std::fclose(f);
        std::printf("%zu %s\n", i, scenes[i].label.c_str());
    }
    return 0;
}
