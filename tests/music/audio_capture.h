// What the Linux back end plays, captured through SDL's file audio driver: the sound card
// of a test program is a file that SDL writes in real time, which the test reads back.
// Include in one source file per test program (it sets the driver up for the process).
#pragma once

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace capture {


// The test's own output: a file per process (set before the mixer opens).
inline const fs::path kWorkDir = fs::temp_directory_path() / ("zephlora-music-" + std::to_string(::getpid()));
inline const fs::path kAudioFile = kWorkDir / "output.raw";
inline const bool kAudioToFile = [] {
    fs::create_directories(kWorkDir);
    ::setenv("SDL_AUDIODRIVER", "disk", 1);
    ::setenv("SDL_DISKAUDIOFILE", kAudioFile.c_str(), 1);
    return true;
}();
struct RemoveWorkDir {
    ~RemoveWorkDir() {
        std::error_code ec;
        fs::remove_all(kWorkDir, ec);
    }
};
inline RemoveWorkDir remove_work_dir;

constexpr int kRate = 44100;
constexpr int kBytesPerFrame = 4;  // 16-bit stereo, as the mixer is opened
constexpr double kWindowSeconds = 0.05;


// The output from byte `from` on, one value per 50 ms window: silence, the 440 Hz body or the
// 880 Hz opening of the tone (told apart by the rate of zero crossings).
enum class Sound { Silence, Low, High };

inline std::vector<Sound> sound_windows(std::uintmax_t from) {
    std::ifstream in(kAudioFile, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(from));
    const std::size_t window_frames = static_cast<std::size_t>(kRate * kWindowSeconds);
    std::vector<std::int16_t> samples(window_frames * 2);
    std::vector<Sound> out;
    while (in.read(reinterpret_cast<char*>(samples.data()),
                   static_cast<std::streamsize>(samples.size() * sizeof(std::int16_t)))) {
        double sum = 0;
        int crossings = 0;
        for (std::size_t i = 0; i < samples.size(); i += 2) {
            sum += static_cast<double>(samples[i]) * samples[i];
            if (i >= 2 && (samples[i - 2] < 0) != (samples[i] < 0)) ++crossings;
        }
        const double rms = std::sqrt(sum / static_cast<double>(window_frames));
        // 440 Hz crosses zero 44 times in 50 ms, 880 Hz 88 times.
        out.push_back(rms < 1000.0 ? Sound::Silence : crossings > 66 ? Sound::High : Sound::Low);
    }
    return out;
}

inline std::vector<bool> loud_windows(std::uintmax_t from) {
    std::vector<bool> loud;
    for (Sound s : sound_windows(from)) loud.push_back(s != Sound::Silence);
    return loud;
}

struct Stretch {
    bool loud;
    double seconds;
};

inline std::vector<Stretch> runs_of(const std::vector<bool>& windows) {
    std::vector<Stretch> runs;
    for (bool w : windows) {
        if (runs.empty() || runs.back().loud != w) runs.push_back({w, 0});
        runs.back().seconds += kWindowSeconds;
    }
    return runs;
}

inline void wait_seconds(double s) { std::this_thread::sleep_for(std::chrono::duration<double>(s)); }

inline std::uintmax_t audio_bytes() {
    std::error_code ec;
    const auto size = fs::file_size(kAudioFile, ec);
    return ec ? 0 : size;
}

}  // namespace capture
