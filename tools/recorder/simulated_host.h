// The host the recorder gives the engine in place of the saver window: simulated time (each
// frame lasts the given seconds; the pause after a frame waits for nothing), the one-second
// change timer ticked from the event pump, and each presented frame written to the trace and,
// when it is one to keep, to a PNG file and the animated PNG.
#pragma once

#include <memory>

#include "engine/engine.h"
#include "tools/recorder/image_files.h"
#include "tools/recorder/options.h"
#include "tools/recorder/trace_writer.h"

namespace recorder {

class SimulatedHost {
public:
    SimulatedHost(const Options& options, TraceWriter& trace);

    // The hooks to build the engine with; the engine is then handed to Attach.
    engine::EngineHooks Hooks();
    void Attach(engine::Engine& eng) { eng_ = &eng; }

    // Runs the frames; 0 when every frame to keep was written, 1 otherwise.
    int Run();

private:
    void Present(const plat::Bitmap& picture);
    void Pump();

    const Options& o_;
    TraceWriter& trace_;
    engine::Engine* eng_ = nullptr;
    std::unique_ptr<ApngWriter> apng_;
    double clock_ = 0.0;       // simulated seconds since the window was made
    long long next_tick_ = 1;  // the one-second change timer's next tick
    int frame_number_ = 0;
    int status_ = 0;
    bool pumping_ = false;     // the change tick pumps too; a nested pump has nothing new
};

}  // namespace recorder
