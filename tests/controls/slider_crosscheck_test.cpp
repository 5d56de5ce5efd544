// The slider's pictures on the two builds, pixel for pixel: every scene of slider_scenes.h
// drawn here on the software raster through the scripted input, and by the Windows build
// under Wine with real GDI through SendInput (slider_probe.exe). A failure names the scene
// and its first differing pixel.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/controls/slider_scenes.h"
#include "tests/support/temp_folder.h"
#include "tests/support/wine_path.h"

namespace {

const std::string kSourceDir = ZEPHLORA_SOURCE_DIR;
const std::string kWin32Dir = ZEPHLORA_WIN32_DIR_PATH;

struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
};

bool read_picture(const std::string& path, Picture& out) {
    std::ifstream in(path, std::ios::binary);
    std::int32_t size[2];
    if (!in.read(reinterpret_cast<char*>(size), sizeof size) || size[0] <= 0 || size[1] <= 0 || size[0] > 4096 ||
        size[1] > 4096)
        return false;
    out.width = size[0];
    out.height = size[1];
    out.pixels.resize(static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height));
    return static_cast<bool>(
        in.read(reinterpret_cast<char*>(out.pixels.data()), static_cast<std::streamsize>(out.pixels.size() * 4)));
}

TEST(SliderCrossCheck, EveryScenePixelForPixelUnderWineAndNatively) {
    if (kWin32Dir.empty()) GTEST_SKIP() << "no MinGW build (ZEPHLORA_WIN32_DIR is empty)";
    if (!std::filesystem::exists(kWin32Dir + "/slider_probe.exe")) GTEST_SKIP() << "slider_probe.exe is not built";
    testing_support::TempFolder folder;
    const std::string command = "'" + kSourceDir + "/scripts/wine-run.sh' '" + kWin32Dir + "/slider_probe.exe' '" +
                                testing_support::wine_path(folder.path()) + "' 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    char line[256];
    int listed = 0;
    while (std::fgets(line, sizeof line, pipe)) ++listed;
    ASSERT_EQ(pclose(pipe), 0) << "slider_probe.exe failed";

    const auto scenes = control_test::slider_scenes();
    ASSERT_EQ(listed, static_cast<int>(scenes.size()));
    for (std::size_t i = 0; i < scenes.size(); ++i) {
        SCOPED_TRACE("scene \"" + scenes[i].label + "\"");
        Picture wine;
        ASSERT_TRUE(read_picture(folder.path() + "/" + std::to_string(i) + ".pixels", wine));
        const auto ours = control_test::draw_scene(scenes[i]);
        ASSERT_TRUE(ours);
        const plat::Surface s = ours->surface();
        ASSERT_EQ(s.width, wine.width);
        ASSERT_EQ(s.height, wine.height);
        bool same = true;
        for (int y = 0; y < s.height && same; ++y)
            for (int x = 0; x < s.width && same; ++x) {
                const std::uint32_t theirs = wine.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(s.width) + static_cast<std::size_t>(x)];
                if ((s.row(y)[x] & 0xFFFFFF) != (theirs & 0xFFFFFF)) {
                    ADD_FAILURE() << "first difference at (" << x << ", " << y << "): Wine " << std::hex << theirs
                                  << ", native " << s.row(y)[x];
                    same = false;
                }
            }
    }
}

}  // namespace
