#include <gtest/gtest.h>

#include "common/texts.h"
#include "../shell/shell_fixture.h"

using plat::scripted::find_by_title;

class FullScreenWindow : public ShellTest {};

// Every back end makes the window flagged full screen cover the screen (the Linux one also
// holds its frames to the display's rate), so only the saver's own window may carry the flag.
TEST_F(FullScreenWindow, OnlyTheSaverWindowAsksForTheWholeScreen) {
    put_pack();
    ASSERT_FALSE(start("/s"));
    const auto* saver = find_by_title(texts::kTitleSaver);
    ASSERT_NE(saver, nullptr);
    EXPECT_TRUE(saver->full_screen);

    plat::scripted::reset();
    plat::scripted::set_program_folder(folder.path());
    const auto parent = plat::scripted::add_foreign_window("Display Properties", {0, 0, 1024, 768});
    EXPECT_FALSE(start("/p " + std::to_string(static_cast<std::uintptr_t>(parent))));
    const auto* preview = find_by_title(texts::kTitlePreview);
    ASSERT_NE(preview, nullptr);
    EXPECT_FALSE(preview->full_screen);  // even inside a parent as large as the screen
}
