// zephlora_gallery as its user runs it: the picture it writes for a slider after input steps is
// the control's own image (as the tests draw it), enlarged by --zoom; bad requests end with 2.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/pictures.h"
#include "tests/controls/slider_scenes.h"
#include "tests/support/temp_folder.h"

namespace {

const std::string kGallery = ZEPHLORA_GALLERY_PATH;

int run(const std::string& args) {
    const int status = std::system(("'" + kGallery + "' " + args + " 2>/dev/null").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::unique_ptr<plat::Bitmap> read_png(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return plat::decode_picture_file(bytes.data(), bytes.size());
}

TEST(Gallery, DrawsTheSliderAfterItsStepsAsTheControlShowsIt) {
    testing_support::TempFolder folder;
    const std::string out = folder.file("drag.png");
    ASSERT_EQ(run("--control slider --rect 10,10,97,20 --set Max=3 --set Min=0 --set Value=0 --press 19 --move 40 "
                  "--zoom 2 --out '" + out + "'"),
              0);
    const auto picture = read_png(out);
    ASSERT_TRUE(picture);
    control_test::SliderScene scene;
    for (const auto& s : control_test::slider_scenes())
        if (s.label == "drag snap off") scene = s;
    const auto expected = control_test::draw_scene(scene);
    const plat::Surface p = picture->surface(), e = expected->surface();
    ASSERT_EQ(p.width, 2 * e.width);
    ASSERT_EQ(p.height, 2 * e.height);
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            ASSERT_EQ(p.row(y)[x] & 0xFFFFFF, e.row(y / 2)[x / 2] & 0xFFFFFF) << "at (" << x << ", " << y << ")";
}

TEST(Gallery, RefusesWhatItCannotDraw) {
    testing_support::TempFolder folder;
    const std::string out = " --out '" + folder.file("x.png") + "'";
    EXPECT_EQ(run("--control dial" + out), 2) << "no such control";
    EXPECT_EQ(run("--control slider --state hovered" + out), 2) << "a state the slider has not";
    EXPECT_EQ(run("--control slider --drag forty" + out), 2);
    EXPECT_EQ(run("--control slider --set NoEquals" + out), 2);
    EXPECT_EQ(run("--control slider --out /nonexistent/folder/x.png"), 1);
    EXPECT_EQ(run("--control slider --key 39" + out), 0);
}

}  // namespace
