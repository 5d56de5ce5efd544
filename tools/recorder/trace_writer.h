// The plain-text trace of a run (format in the README): the run's parameters, the shape
// order, every frame with its dots, every change tick that began a change, and a fatal error.
#pragma once

#include <cstdio>
#include <string>

#include "engine/engine.h"
#include "tools/recorder/options.h"

namespace recorder {

class TraceWriter {
public:
    TraceWriter() = default;
    ~TraceWriter() { Close(); }
    TraceWriter(const TraceWriter&) = delete;
    TraceWriter& operator=(const TraceWriter&) = delete;

    // Creates the file and writes the format line and the run line; false when it cannot.
    bool Open(const Options& o, const engine::EngineSettings& settings);
    void Order(const engine::Engine& eng);
    // The frame the engine presents now, as its record and one line per drawn dot.
    void Frame(const engine::Engine& eng, int frame_number, double clock);
    void ChangeTick(long long tick, const engine::ChangeReport& report);
    void Fatal(const std::string& error);
    void Close();

private:
    std::FILE* file_ = nullptr;
};

}  // namespace recorder
