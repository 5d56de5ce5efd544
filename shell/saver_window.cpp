#include "shell/saver_window.h"

#include <vector>

#include "common/texts.h"
#include "platform/password.h"
#include "platform/timer.h"
#include "platform/window.h"
#include "platform/system.h"
#include "shell/process_state.h"
#include "shell/resource_pack.h"
#include "shell/routines.h"

namespace shell {
namespace {

std::unique_ptr<SaverWindow>& Current() {
    static std::unique_ptr<SaverWindow> window;
    return window;
}

// The black windows over the monitors other than the primary one, and their pictures.
struct Cover {
    plat::WindowHandle handle{};
    std::unique_ptr<plat::Bitmap> black;
};
std::vector<Cover>& Covers() {
    static std::vector<Cover> covers;
    return covers;
}

void RemoveCovers() {
    std::vector<Cover> covers = std::move(Covers());
    Covers().clear();
    for (Cover& c : covers) plat::destroy_window(c.handle);
}

SaverWindowHooks& Hooks() {
    static SaverWindowHooks hooks;
    return hooks;
}

void OnKeyDown(int virtual_key) {
    SaverWindow* window = TheSaverWindow();
    if (!window) return;
    if (Hooks().key && Hooks().key(*window, virtual_key)) return;
    EndSaver();
}

void OnTimer(int timer_id) {
    SaverWindow* window = TheSaverWindow();
    if (!window) return;
    if (Hooks().timer) {
        Hooks().timer(*window, timer_id);
    } else if (timer_id == kTimer4) {
        // Without an engine there is nothing for Timer4 to start.
        StopTimer(*window, kTimer4);
    }
}

// The saver window stays on the primary monitor; every other monitor gets a black topmost
// window that ends the saver on the same input, so that no monitor keeps showing the desktop.
// The covers are made before the saver window is shown and raised, so that they always lie
// beneath it: a monitor that mirrors or overlaps the primary one (a laptop cloned to a
// projector) shows the saver where the two overlap and black elsewhere, never a cover over
// the saver.
void CoverOtherMonitors() {
    for (const plat::Rect& monitor : plat::other_monitors()) {
        plat::WindowHandlers handlers;
        handlers.key_down = OnKeyDown;
        handlers.mouse_down = [](int, plat::Point) { EndSaver(); };
        handlers.click = [] { EndSaver(); };
        Cover cover;
        cover.handle = plat::create_window({.title = "", .style = plat::WindowStyle::Popup, .rect = monitor},
                                           std::move(handlers));
        if (cover.handle == plat::WindowHandle::None) continue;
        cover.black = plat::create_bitmap(monitor.width(), monitor.height());
        if (cover.black) {
            plat::fill_rect(*cover.black, 0, 0, monitor.width(), monitor.height(), 0);
            plat::present(cover.handle, *cover.black, 0, 0, monitor.width(), monitor.height());
        }
        plat::show_window(cover.handle, true);
        plat::set_window_pos(cover.handle, plat::kHwndTopmost, 0, 0, 0, 0,
                             plat::kSwpNoSize | plat::kSwpNoMove | plat::kSwpNoActivate);
        Covers().push_back(std::move(cover));
    }
}

void OnUnload() {
    RemoveCovers();
    if (Current() && Hooks().unload) Hooks().unload(*Current());
    DeletePackMembers();
    Current().reset();
}

}  // namespace

void SetSaverWindowHooks(SaverWindowHooks hooks) { Hooks() = std::move(hooks); }

SaverWindow* TheSaverWindow() { return Current().get(); }

void StartTimer(SaverWindow& window, int timer_id) {
    if (plat::set_timer(window.handle, timer_id, kTimerPeriodMs[static_cast<std::size_t>(timer_id)]))
        window.timer_running[static_cast<std::size_t>(timer_id)] = true;
}

void StopTimer(SaverWindow& window, int timer_id) {
    plat::kill_timer(window.handle, timer_id);
    window.timer_running[static_cast<std::size_t>(timer_id)] = false;
}

void LoadSaverWindow() {
    const plat::Point screen = plat::screen_size_px();
    plat::WindowHandlers handlers;
    handlers.key_down = OnKeyDown;
    handlers.mouse_down = [](int, plat::Point) { EndSaver(); };
    handlers.click = [] { EndSaver(); };
    handlers.timer = OnTimer;
    handlers.unload = OnUnload;

    auto window = std::make_unique<SaverWindow>();
    SaverWindow& w = *window;
    Current() = std::move(window);
    w.handle = plat::create_window({.title = std::string(texts::kTitleSaver),
                                    .style = plat::WindowStyle::Popup,
                                    .rect = {0, 0, screen.x, screen.y},
                                    .full_screen = true},
                                   std::move(handlers));
    if (w.handle == plat::WindowHandle::None) {
        // No window can be made (no display): the saver cannot run, so it takes its members
        // away again as its unload would, and start-up ends with no window open.
        OnUnload();
        return;
    }
    StartTimer(w, kTimer3);  // runs from the window's creation

    // 1-2. The whole screen; its size in pixels from twips, as the engine's W and H.
    plat::move_window(w.handle, 0, 0, screen.x, screen.y);
    const plat::Point twips = plat::twips_per_pixel();
    if (twips.x > 0 && twips.y > 0) {
        w.ScreenWidthPx = (screen.x * twips.x) / twips.x;
        w.ScreenHeightPx = (screen.y * twips.y) / twips.y;
    }
    // 3. Display covers the window; black until the engine draws. One black pixel stretched
    // over the screen shows the same as a black picture of the screen's size, which would
    // otherwise be kept for the whole run beside the engine's own frames (33 MB at 3840 x 2160).
    w.Display = plat::create_bitmap(1, 1);
    if (w.Display) {
        plat::fill_rect(*w.Display, 0, 0, 1, 1, 0);
        plat::present(w.handle, *w.Display, 0, 0, w.ScreenWidthPx, w.ScreenHeightPx);
    }
    // 4-5. Shape order and music.
    if (Hooks().shuffle) Hooks().shuffle(w);
    if (Hooks().start_music) Hooks().start_music(w);
    // The other monitors' covers first, beneath everything that is shown after them.
    CoverOtherMonitors();
    // 6-7. Shown, topmost.
    plat::show_window(w.handle, true);
    plat::set_window_pos(w.handle, plat::kHwndTopmost, 0, 0, 0, 0,
                         plat::kSwpNoSize | plat::kSwpNoMove | plat::kSwpNoActivate);
    // 8.
    StartTimer(w, kTimer4);
}

void EndSaver() {
    // 1. Waiting messages first; one of them may end the process itself.
    plat::pump_events();
    SaverWindow* window = TheSaverWindow();
    if (!window) return;

    // 2. The password test of Windows 95/98/Me; a refusal leaves the saver running.
    if (CurrentMode == SaverMode::Run && !IsWindowsNT()) {
        CursorShowCount = plat::show_cursor(true);
        const std::optional<int> verdict = plat::verify_screen_save_pwd(window->handle);
        if (verdict && *verdict == 0) {
            CursorShowCount = plat::show_cursor(false);
            return;
        }
    }

    // 3. Music.
    if (Hooks().stop_music) Hooks().stop_music(*window);

    // 4. The saver-running flag and the cursor, in Run mode only.
    if (CurrentMode == SaverMode::Run) {
        SetSystemKeysEnabled(true);
        if (CursorShowCount < 0) CursorShowCount = plat::show_cursor(true);
    }

    // 5. Unload (deletes the pack members) and end.
    plat::destroy_window(window->handle);
    plat::end_process(0);
}

}  // namespace shell
