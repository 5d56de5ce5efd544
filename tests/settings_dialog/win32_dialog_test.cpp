// The settings dialog's window on real Win32: the outer size comes from the system's frame
// metrics, so the client area is exactly the backdrop's; the labels in the fonts the system
// finds; Escape in the system's combo box; the closing zoom.
#include <gtest/gtest.h>

#include "common/texts.h"
#include "platform/controls.h"
#include "platform/win32/prelude.h"
#include "platform/window.h"
#include "settings_dialog/backdrop.h"
#include "settings_dialog/settings_dialog.h"
#include "tests/settings_dialog/dialog_fixture.h"

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

// Wine's stand-in for MS P Gothic is wider than the design for most captions: every label
// shows its text whole, or else it has grown up to another control (a label never covers one).
// Escape in the repeat box's field is Cancel, and the closing zoom runs while the window is
// still on the screen (the system hides a window before WM_DESTROY).
TEST(Win32Dialog, LabelsWholeEscapeInTheRepeatBoxAndTheClosingZoomWhileShown) {
    DialogWorld world;
    world.settings.BgmKind = 1;  // the repeat box takes input
    std::vector<std::string> cut;
    int labels = 0;
    bool shown_at_close = false;
    world.host.zoom_open = [&](plat::WindowHandle w) {
        const HWND dialog = plat::win32::to_hwnd(w);
        std::vector<HWND> all;
        EnumChildWindows(
            dialog,
            [](HWND child, LPARAM list) -> BOOL {
                reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&all));
        for (HWND label : all) {
            const plat::WindowHandle h = plat::win32::from_hwnd(label);
            const std::string text = plat::label_text(h);
            RECT r, container;
            if (text.empty() || !GetWindowRect(label, &r) || !GetWindowRect(GetParent(label), &container)) continue;
            ++labels;
            const int need = plat::label_text_width(h);
            if (r.right - r.left >= need) continue;
            // Cut: only where a control (or the container's edge) stops it, on its own row.
            bool stopped = r.left <= container.left || r.right >= container.right;
            for (HWND other : all) {
                RECT o;
                if (other == label || other == GetParent(label) || !(GetWindowLongA(other, GWL_STYLE) & WS_VISIBLE) ||
                    !GetWindowRect(other, &o))
                    continue;
                stopped |= o.left <= r.right && r.left - 1 < o.right && o.top < r.bottom && r.top < o.bottom;
            }
            if (!stopped) cut.push_back(text + " " + std::to_string(r.right - r.left) + " < " + std::to_string(need));
        }
        const HWND combo = FindWindowExA(dialog, nullptr, "COMBOBOX", nullptr);
        PostMessageA(FindWindowExA(combo, nullptr, "EDIT", nullptr), WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageA(dialog, WM_CLOSE, 0, 0);  // ends the dialog should Escape not
    };
    world.host.zoom_close = [&](plat::WindowHandle w) { shown_at_close = IsWindowVisible(plat::win32::to_hwnd(w)); };
    MSG quit;
    while (PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }  // left by a window of an earlier test
    settings_dialog::ShowSettingsDialog(world.host);
    EXPECT_EQ(labels, 23);
    EXPECT_TRUE(cut.empty()) << cut.size() << " cut with room to grow, the first: " << (cut.empty() ? "" : cut[0]);
    EXPECT_TRUE(shown_at_close) << "the closing zoom ran after the window had gone";
    EXPECT_TRUE(world.writes.empty());
}

}  // namespace
