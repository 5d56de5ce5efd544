#include "tools/recorder/trace_writer.h"

namespace recorder {
namespace {

const char* phase_name(engine::Phase p) {
    switch (p) {
    case engine::Phase::NotStarted: return "stopped";
    case engine::Phase::Holding: return "holding";
    case engine::Phase::Changing: return "changing";
    }
    return "?";
}

}  // namespace

bool TraceWriter::Open(const Options& o, const engine::EngineSettings& settings) {
    file_ = std::fopen(o.trace.c_str(), "w");
    if (!file_) return false;
    std::fprintf(file_, "zephlora-trace 1\n");
    std::fprintf(file_, "run size %d %d seed %llu spf %.6f frames %d interval %d neon %d rates %d %d %d sleep %d\n",
                 o.width, o.height, static_cast<unsigned long long>(o.seed), o.seconds_per_frame, o.frames,
                 settings.Interval, settings.NeonEffect, settings.XAxis, settings.YAxis, settings.ZAxis,
                 settings.Sleep);
    return true;
}

void TraceWriter::Order(const engine::Engine& eng) {
    std::fprintf(file_, "order");
    for (int i = 1; i <= 9; ++i) std::fprintf(file_, " %d", eng.ShapeOrder[static_cast<std::size_t>(i)]);
    std::fprintf(file_, "\n");
}

void TraceWriter::Frame(const engine::Engine& eng, int frame_number, double clock) {
    const int top = eng.DrawnTop();
    const int pos = eng.OrderPos;
    const engine::Angles a = eng.LastFrameAngles();
    std::fprintf(file_,
                 "frame %d time %.6f phase %s centre %d %d angles %d %d %d order %d member %d "
                 "background %d dots %d\n",
                 frame_number, clock, phase_name(eng.phase()), eng.CentreX, eng.CentreY, a.X, a.Y, a.Z, pos,
                 pos > 0 ? eng.ShapeOrder[static_cast<std::size_t>(pos)] : 2, eng.BackIndex, top + 1);
    for (int i = 0; i <= top; ++i) {
        const engine::ShapeDot& d = eng.ScreenDots[static_cast<std::size_t>(i)];
        std::fprintf(file_, "%d %d %d %d\n", d.X, d.Y, d.Z, eng.Bands()[static_cast<std::size_t>(i)]);
    }
}

void TraceWriter::ChangeTick(long long tick, const engine::ChangeReport& r) {
    if (!r.Began) return;
    std::fprintf(file_, "change tick %lld member %d %s%s%s\n", tick, r.Member, r.Failed ? "failed" : "began",
                 r.Failed ? " " : "", r.Failed ? engine::ShapeErrorText(r.Error) : "");
}

void TraceWriter::Fatal(const std::string& error) { std::fprintf(file_, "fatal %s\n", error.c_str()); }

void TraceWriter::Close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

}  // namespace recorder
