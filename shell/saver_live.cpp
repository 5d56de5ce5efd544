#include "shell/saver_live.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "engine/shape_file.h"
#include "music/run.h"
#include "platform/system.h"
#include "platform/window.h"
#include "shell/process_state.h"
#include "shell/resource_pack.h"
#include "shell/routines.h"
#include "shell/saver_host.h"

namespace shell {
namespace {

// Timer1 and Timer2 of the open saver window, lent to the music module.
class WindowMusicTimers final : public music::RunTimers {
public:
    explicit WindowMusicTimers(SaverWindow& window) : window_(window) {}
    void set_enabled(music::MusicTimer timer, bool enabled) override {
        if (enabled) StartTimer(window_, id(timer));
        else StopTimer(window_, id(timer));
    }
    bool is_enabled(music::MusicTimer timer) const override {
        return window_.timer_running[static_cast<std::size_t>(id(timer))];
    }

private:
    static int id(music::MusicTimer timer) { return timer == music::MusicTimer::Timer1 ? kTimer1 : kTimer2; }
    SaverWindow& window_;
};

// The engine of this run. It lives to the end of the process: the window may go while the
// frame loop is still on the stack (the loop then ends after the frame in progress).
std::unique_ptr<SaverHost>& Host() {
    static std::unique_ptr<SaverHost> host;
    return host;
}

#ifdef ZEPHLORA_COUNT_FRAMES
// Measurement builds only (CMake option ZEPHLORA_COUNT_FRAMES): the number of frames shown
// and the time from the first to the last, written to standard error when the window goes.
struct FrameCount {
    long frames = 0;
    std::uint64_t first_ms = 0, last_ms = 0;
};
FrameCount& Frames() {
    static FrameCount count;
    return count;
}
#endif

// Past this many rectangles, or when they fill most of their bounding rectangle, the
// bounding rectangle goes to the screen instead: a copy costs more in calls than in the
// few pixels between the rectangles.
constexpr std::size_t kMostChangedRects = 48;

// Frames go straight from the engine's work picture to the screen, and of a frame only what
// changed since the one before; the window shows the whole picture again when it has to
// repaint.
void PresentFrame(const plat::Bitmap& frame) {
    SaverWindow* window = TheSaverWindow();
    if (!window) return;
    const SaverHost* host = Host().get();
    if (!host || host->ShownAll() || frame.width() != window->ScreenWidthPx ||
        frame.height() != window->ScreenHeightPx) {
        plat::present(window->handle, frame, 0, 0, window->ScreenWidthPx, window->ScreenHeightPx);
    } else {
        const std::vector<plat::Rect>& rects = host->ShownRects();
        plat::Rect bounds{frame.width(), frame.height(), 0, 0};
        long long area = 0;
        for (const plat::Rect& r : rects) {
            bounds = {std::min(bounds.left, r.left), std::min(bounds.top, r.top), std::max(bounds.right, r.right),
                      std::max(bounds.bottom, r.bottom)};
            area += static_cast<long long>(r.width()) * r.height();
        }
        if (rects.empty())
            plat::present_changed(window->handle, frame, 0, 0, nullptr, 0);
        else if (rects.size() > kMostChangedRects ||
                 2 * area > static_cast<long long>(bounds.width()) * bounds.height())
            plat::present_changed(window->handle, frame, 0, 0, &bounds, 1);
        else
            plat::present_changed(window->handle, frame, 0, 0, rects.data(), rects.size());
    }
#ifdef ZEPHLORA_COUNT_FRAMES
    FrameCount& count = Frames();
    count.last_ms = plat::tick_count_ms();
    if (count.frames++ == 0) count.first_ms = count.last_ms;
#endif
}

void StartEngine(SaverWindow& window) {
    StopTimer(window, kTimer4);  // its only tick
    SaverHost* host = Host().get();
    if (!host) return;
    const int width = window.ScreenWidthPx, height = window.ScreenHeightPx;
    // When the first shape cannot be read the engine reports it in a message box; the
    // topmost window that covers the screen steps aside first, or the report would lie
    // hidden behind it with the saver waiting for an answer nobody can give.
    std::vector<engine::ShapeDot> first;
    if (!engine::ReadShapeFile(MemberPath(2), first)) plat::show_window(window.handle, false);
    // The frame loop: returns when the window has gone, or at once when the engine cannot
    // start (after its report); the saver then ends as on a key press.
    if (!host->RunEngine(width, height, window.handle) && TheSaverWindow()) EndSaver();
}

}  // namespace

SaverWindowHooks LiveSaverHooks() {
    SaverWindowHooks hooks;
    hooks.shuffle = [](SaverWindow&) {
        // A new window, a new engine (the settings are those just read).
        Host() = std::make_unique<SaverHost>(MemberFolder(), EngineSettingsOf(SaverSettings), PresentFrame);
        Host()->Shuffle();
    };
    hooks.start_music = [](SaverWindow& window) {
        music::MusicChoice choice;
        choice.BgmKind = SaverSettings.BgmKind;
        choice.BgmRepeat = SaverSettings.BgmRepeat;
        choice.BgmFile = SaverSettings.BgmFile;
        WindowMusicTimers timers(window);
        music::StartRunMusic(choice, timers);
    };
    hooks.timer = [](SaverWindow& window, int timer_id) {
        switch (timer_id) {
        case kTimer1:
            music::OnTimer1();
            break;
        case kTimer2: {
            WindowMusicTimers timers(window);
            music::OnTimer2(timers);
            break;
        }
        case kTimer3:
            if (Host()) Host()->ChangeTick();
            break;
        case kTimer4:
            StartEngine(window);
            break;
        default:
            break;
        }
    };
    hooks.key = [](SaverWindow&, int virtual_key) { return music::HandleKey(virtual_key); };
    hooks.stop_music = [](SaverWindow& window) {
        WindowMusicTimers timers(window);
        music::StopRunMusic(timers);
    };
    hooks.unload = [](SaverWindow&) {
        if (Host()) Host()->Stop();
#ifdef ZEPHLORA_COUNT_FRAMES
        const FrameCount& count = Frames();
        std::fprintf(stderr, "frames %ld in %llu ms\n", count.frames,
                     static_cast<unsigned long long>(count.last_ms - count.first_ms));
        std::fflush(stderr);
#endif
    };
    return hooks;
}

}  // namespace shell
