// The engine as the saver window hosts it: the pictures the program ships (the sprite sheet
// drawn from its table if the packaged one cannot be had), the members in the folder it is
// given, the clock-seeded random source, the platform's pause and event pump, and the fatal
// report. The window calls the four entry points from its handlers and owns everything else
// (timers, input, the visible picture).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/random.h"
#include "engine/scaled_frame.h"
#include "shell/process_state.h"

namespace shell {

// The engine's part of the saver's settings.
engine::EngineSettings EngineSettingsOf(const SaverSettingsRecord& settings);

// The report of an engine that cannot start: on standard error and in a message box.
void ReportFatal(const std::string& reason);

// What a host other than the saver window puts in place of the event pump and the report
// (the xscreensaver display mode has neither windows of its own nor a screen to report on).
struct SaverHostDevices {
    std::function<void()> pump;                         // default: plat::pump_events
    std::function<void(const std::string&)> report;     // default: ReportFatal
};

class SaverHost {
public:
    // `present` shows a finished frame (the window copies it to Display and to the screen);
    // ShownAll and ShownRects then say where it differs from the frame before. The members are
    // read from `member_folder`.
    SaverHost(std::string member_folder, engine::EngineSettings settings,
              std::function<void(const plat::Bitmap& frame)> present, SaverHostDevices devices = {});
    ~SaverHost();

    // Load, step 4: a new shape order, the order position back to 0.
    void Shuffle();

    // The first Timer4 tick (the window stops Timer4 first): starts the engine for a screen
    // of width x height pixels and runs the frame loop until Stop. False, after the report
    // (ReportFatal), when the engine could not start; the window then ends the program.
    // At a display scale s above 1 the engine composes on a screen of (width / s) x
    // (height / s) design pixels and the frames shown are width x height, drawn s times as
    // large (engine/scaled_frame.h), in a picture made for presenting in `shown_in` when given.
    // Before a frame is drawn for `shown_in`, plat::await_frame keeps the engine's pause
    // after the frame before, with the window's pace where it has one.
    bool RunEngine(int width, int height, plat::WindowHandle shown_in = plat::WindowHandle::None);

    // The frame shown last differs from the one before everywhere, or only in ShownRects (in
    // the shown frame's pixels).
    bool ShownAll() const;
    const std::vector<plat::Rect>& ShownRects() const;
    // The display scale of the run (1 until RunEngine).
    int scale() const { return scaled_ ? scaled_->scale() : 1; }

    // Every Timer3 tick.
    engine::ChangeReport ChangeTick();

    // Unload: the frame loop ends after the frame in progress.
    void Stop();

    engine::Engine& engine() { return *engine_; }

private:
    // The one background picture decoded: the one shown.
    const plat::Bitmap* Background(int index);

    std::unique_ptr<plat::Bitmap> sprites_, scaled_sprites_;
    std::unique_ptr<plat::Bitmap> background_;
    int background_index_ = -1;
    std::function<void(const plat::Bitmap& frame)> present_;
    std::unique_ptr<engine::ScaledFrame> scaled_;
    plat::WindowHandle shown_in_ = plat::WindowHandle::None;
    std::uint32_t pause_ms_ = 0;  // the engine's pause after the frame shown last, still to keep
    engine::ClockRandom random_;
    std::function<void(const std::string&)> report_;
    std::unique_ptr<engine::Engine> engine_;
};

}  // namespace shell
