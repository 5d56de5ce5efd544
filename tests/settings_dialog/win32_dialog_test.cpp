// The settings dialog's window on real Win32: the outer size comes from the system's frame
// metrics, so the client area is exactly the backdrop's.
#include <gtest/gtest.h>

#include "common/texts.h"
#include "platform/window.h"
#include "settings_dialog/backdrop.h"
#include "settings_dialog/settings_dialog.h"

namespace {

TEST(Win32Dialog, ClientAreaIsExactlyTheBackdrop) {
    const plat::Point screen = plat::screen_size_px();
    const plat::Rect rect = settings_dialog::DialogWindowRect(screen, 409, 345);
    EXPECT_GT(rect.width(), 409);  // a frame and a caption bar around the client area
    EXPECT_GT(rect.height(), 345);
    EXPECT_EQ(rect.left, (screen.x - rect.width()) / 2);
    EXPECT_EQ(rect.top, (screen.y - rect.height()) / 3);
    const plat::WindowHandle w =
        plat::create_window({std::string(texts::kTitleDialog), plat::WindowStyle::Dialog, rect}, {});
    ASSERT_NE(w, plat::WindowHandle::None);
    plat::BitmapInfo info;
    ASSERT_TRUE(plat::get_bitmap_info(plat::current_bitmap(plat::window_dc(w)), info));
    EXPECT_EQ(info.width, 409);
    EXPECT_EQ(info.height, 345);
    plat::Rect outer;
    plat::get_window_rect(w, outer);
    EXPECT_EQ(outer, rect);
    plat::destroy_window(w);
}

TEST(Win32Dialog, BackdropOnRealGdiHasItsRows) {
    auto image = plat::create_bitmap(409, 345);
    settings_dialog::PaintBackdrop(plat::bitmap_dc(*image), 409, 345);
    EXPECT_EQ(image->surface().row(0)[5], 0x00001Eu);
    EXPECT_EQ(image->surface().row(172)[408], 0xDCDCFAu);
}

}  // namespace
