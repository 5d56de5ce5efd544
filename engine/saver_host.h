// The engine as the saver window hosts it: the pictures the program ships (the sprite sheet
// drawn from its table if the packaged one cannot be had), the clock-seeded random source,
// the platform's pause and event pump, and the fatal report. The window calls the four entry
// points from its handlers and owns everything else (timers, input, the visible picture).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/random.h"

namespace engine {

class SaverHost {
public:
    // `present` shows a finished frame (the window copies it to Display and to the screen).
    SaverHost(std::string program_folder, EngineSettings settings,
              std::function<void(const plat::Bitmap& frame)> present);
    ~SaverHost();

    // Load, step 4: a new shape order, the order position back to 0.
    void Shuffle();

    // The first Timer4 tick (the window stops Timer4 first): starts the engine on a
    // width x height picture and runs the frame loop until Stop. False, after the report
    // (ReportFatal), when the engine could not start; the window then ends the program.
    bool RunEngine(int width, int height);

    // Every Timer3 tick.
    ChangeReport ChangeTick();

    // Unload: the frame loop ends after the frame in progress.
    void Stop();

    Engine& engine() { return *engine_; }

private:
    std::unique_ptr<plat::Bitmap> sprites_;
    std::vector<std::unique_ptr<plat::Bitmap>> backgrounds_;
    ClockRandom random_;
    std::unique_ptr<Engine> engine_;
};

}  // namespace engine
