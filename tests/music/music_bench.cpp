// How long the music keeps the user-interface thread: one supervision step and the commands
// of the Linux interpreter while music plays (output through SDL's file audio driver).
#include <benchmark/benchmark.h>

#include <fcntl.h>

#include "audio_capture.h"
#include "tests/support/peak_memory.h"
#include "music/bgm.h"
#include "platform/media.h"

namespace {

using namespace capture;

const std::string& tone_mp3() {
    static const std::string path = [] {
        const std::string wav = (kWorkDir / "bench.wav").string(), mp3 = (kWorkDir / "bench.mp3").string();
        std::system(("sox -n -r 44100 -c 2 -b 16 '" + wav + "' synth 20 sine 440 >/dev/null 2>&1").c_str());
        std::system(("lame --quiet '" + wav + "' '" + mp3 + "'").c_str());
        return mp3;
    }();
    return path;
}

void send(const std::string& command) { plat::mci_send_string(command, nullptr, 0, plat::WindowHandle::None); }

// Timer1's step while the file plays: one status query.
void BM_Mp3SupervisionStep(benchmark::State& state) {
    send("open \"" + tone_mp3() + "\" type MPEGVideo Alias MP3Play");
    send("play MP3Play");
    for (auto _ : state) music::Mp3Replay();
    send("close MP3Play");
}
BENCHMARK(BM_Mp3SupervisionStep);

// The restart after the end: stop and play from 0.
void BM_Mp3Restart(benchmark::State& state) {
    send("open \"" + tone_mp3() + "\" type MPEGVideo Alias MP3Play");
    for (auto _ : state) {
        send("stop MP3Play");
        send("play MP3Play from 0");
    }
    send("close MP3Play");
}
BENCHMARK(BM_Mp3Restart);

// The open of a 20-second file (done once per run, at the start).
void BM_Mp3Open(benchmark::State& state) {
    const std::string open = "open \"" + tone_mp3() + "\" type MPEGVideo Alias MP3Play";
    for (auto _ : state) {
        send(open);
        send("close MP3Play");
    }
}
BENCHMARK(BM_Mp3Open);

// Starting a 20-second wave file returns before it is decoded.
void BM_WavStart(benchmark::State& state) {
    const std::string wav = (kWorkDir / "bench.wav").string();
    tone_mp3();
    for (auto _ : state) plat::play_sound(wav.c_str(), plat::kSndAsync | plat::kSndLoop | plat::kSndNoDefault);
    plat::play_sound(nullptr, 0);
}
BENCHMARK(BM_WavStart)->Iterations(20);

// A wave file of 512 MB (silence, stored sparse) played in a loop: the memory it adds while it
// plays, which must not grow with the file's length.
void BM_LongWaveMemory(benchmark::State& state) {
    const std::string wav = (kWorkDir / "long.wav").string();
    const std::uint32_t data = 512u << 20;
    {
        auto le = [](std::string& out, std::uint32_t v, int bytes) {
            for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(v >> (8 * i)));
        };
        std::string header = "RIFF";
        le(header, 36 + data, 4);
        header += "WAVEfmt ";
        le(header, 16, 4);
        le(header, 1, 2);           // PCM
        le(header, 2, 2);           // stereo
        le(header, 44100, 4);
        le(header, 44100 * 4, 4);
        le(header, 4, 2);
        le(header, 16, 2);
        header += "data";
        le(header, data, 4);
        std::ofstream(wav, std::ios::binary) << header;
        fs::resize_file(wav, header.size() + data);
    }
    plat::wave_out_device_count();  // the output is open before the measure
    double added = 0;
    for (auto _ : state) {
        testing_support::reset_peak_memory();
        const double before = testing_support::resident_bytes("VmRSS:");
        plat::play_sound(wav.c_str(), plat::kSndAsync | plat::kSndLoop | plat::kSndNoDefault);
        std::this_thread::sleep_for(std::chrono::seconds(3));  // time enough to load it whole
        added = std::max(added, testing_support::resident_bytes() - before);
        plat::play_sound(nullptr, 0);
    }
    fs::remove(wav);
    state.counters["file_MB"] = data / double(1 << 20);
    state.counters["peak_added_MB"] = added / (1 << 20);
    if (added > 64.0 * (1 << 20)) state.SkipWithError("the wave's memory grows with its length");
}
BENCHMARK(BM_LongWaveMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

// Timer2's step without a drive (the first and only step of such a run).
void BM_CdSupervisionStepWithoutDrive(benchmark::State& state) {
    for (auto _ : state) music::CdMonitor(0);
}
BENCHMARK(BM_CdSupervisionStepWithoutDrive);

}  // namespace

BENCHMARK_MAIN();
