// The process's peak resident memory, for the benchmarks' memory figures: the peak is set back
// to the memory in use now, then read after the work.
#pragma once

#include <fstream>
#include <string>

namespace testing_support {

// Bytes of VmHWM (or of VmRSS), 0 when the system does not say.
inline double resident_bytes(const char* field = "VmHWM:") {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0) return std::stod(line.substr(std::string(field).size())) * 1024.0;
    return 0;
}

inline void reset_peak_memory() { std::ofstream("/proc/self/clear_refs") << "5"; }

}  // namespace testing_support
