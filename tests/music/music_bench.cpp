// How long the music keeps the user-interface thread: one supervision step and the commands
// of the Linux interpreter while music plays (output through SDL's file audio driver).
#include <benchmark/benchmark.h>

#include "audio_capture.h"
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

// Timer2's step without a drive (the first and only step of such a run).
void BM_CdSupervisionStepWithoutDrive(benchmark::State& state) {
    for (auto _ : state) music::CdMonitor(0);
}
BENCHMARK(BM_CdSupervisionStepWithoutDrive);

}  // namespace

BENCHMARK_MAIN();
