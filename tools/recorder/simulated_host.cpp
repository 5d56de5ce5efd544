#include "tools/recorder/simulated_host.h"

#include <cstdio>

namespace recorder {

SimulatedHost::SimulatedHost(const Options& options, TraceWriter& trace) : o_(options), trace_(trace) {
    if (!o_.apng.empty()) apng_ = std::make_unique<ApngWriter>(o_.apng, o_.width, o_.height, o_.apng_delay_ms);
}

engine::EngineHooks SimulatedHost::Hooks() {
    engine::EngineHooks hooks;
    hooks.Present = [this](const plat::Bitmap& picture) { Present(picture); };
    // The pause is part of the simulated frame time; nothing waits.
    hooks.Sleep = [](std::uint32_t) {};
    hooks.Pump = [this] { Pump(); };
    return hooks;
}

// Presenting a frame: its trace record, and the picture when it is one to keep.
void SimulatedHost::Present(const plat::Bitmap& picture) {
    const int f = frame_number_;
    trace_.Frame(*eng_, f, clock_);
    if (o_.every > 0 && f % o_.every == 0 && status_ == 0) {
        char name[64];
        std::snprintf(name, sizeof name, "/frame_%05d.png", f);
        if (!WritePng(o_.out + name, picture.surface())) {
            std::fprintf(stderr, "zephlora_recorder: cannot write the frames to %s\n", o_.out.c_str());
            status_ = 1;
        }
        if (apng_) apng_->AddFrame(picture.surface());
    }
}

// The event pump: the frame's time passes, and the change timer ticks once a second.
void SimulatedHost::Pump() {
    if (pumping_) return;
    pumping_ = true;
    clock_ = static_cast<double>(frame_number_ + 1) * o_.seconds_per_frame;
    while (clock_ >= static_cast<double>(next_tick_)) {
        trace_.ChangeTick(next_tick_, eng_->ChangeTick());
        ++next_tick_;
    }
    pumping_ = false;
}

int SimulatedHost::Run() {
    for (; frame_number_ < o_.frames && status_ == 0; ++frame_number_) {
        clock_ = static_cast<double>(frame_number_) * o_.seconds_per_frame;
        eng_->Frame();
    }
    trace_.Close();
    if (apng_ && !apng_->Finish()) {
        std::fprintf(stderr, "zephlora_recorder: cannot write %s\n", o_.apng.c_str());
        status_ = 1;
    }
    return status_;
}

}  // namespace recorder
