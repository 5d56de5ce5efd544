// The Linux multimedia back end, heard through SDL's file audio driver: the sound card of
// this test is a file that the mixer writes in real time, and the test reads it back.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include <cstring>
#include <random>

#include "tests/music/fake_timers.h"
#include "audio_capture.h"
#include "music/bgm.h"
#include "music/run.h"
#include "platform/media.h"
#include "platform/posix/mci_words.h"
#include "platform/text.h"


namespace {

using namespace capture;

using music_test::FakeTimers;

bool have_tools() { return std::system("command -v sox >/dev/null && command -v lame >/dev/null") == 0; }

// A sine tone of `seconds` at 440 Hz; an MP3 of it when `mp3` is set. The MP3 opens with
// half a second at 880 Hz, so that each start of the file can be told in the output.
fs::path make_tone(const fs::path& path, double seconds, bool mp3) {
    auto sox = [](const std::string& args) {
        EXPECT_EQ(std::system(("sox -n -r 44100 -c 2 -b 16 " + args + " >/dev/null 2>&1").c_str()), 0) << args;
    };
    if (!mp3) {
        sox("'" + path.string() + "' synth " + std::to_string(seconds) + " sine 440 vol 0.5");
        return path;
    }
    const fs::path head = kWorkDir / "head.wav", body = kWorkDir / "body.wav", whole = kWorkDir / "whole.wav";
    sox("'" + head.string() + "' synth 0.5 sine 880 vol 0.5");
    sox("'" + body.string() + "' synth " + std::to_string(seconds - 0.5) + " sine 440 vol 0.5");
    EXPECT_EQ(std::system(("sox '" + head.string() + "' '" + body.string() + "' '" + whole.string() + "'").c_str()), 0);
    const std::string encode = "lame --quiet -b 128 '" + whole.string() + "' '" + path.string() + "'";
    EXPECT_EQ(std::system(encode.c_str()), 0);
    return path;
}

std::string cp932(const fs::path& path) {
    std::string out;
    EXPECT_TRUE(plat::utf8_to_cp932(path.string(), out));
    return out;
}



class LinuxMedia : public ::testing::Test {
protected:
    void SetUp() override { music::ResetModuleState(); }
};

TEST_F(LinuxMedia, Mp3FileIsHeardEndsAndIsHeardAgainWithinASecond) {
    if (!have_tools()) GTEST_SKIP() << "sox and lame are needed to make the music";
    // A folder and a name with blanks and Japanese characters.
    fs::create_directories(kWorkDir / "音楽 フォルダ");
    const fs::path mp3 = make_tone(kWorkDir / "音楽 フォルダ" / "曲 1.mp3", 3.0, true);
    ASSERT_EQ(plat::wave_out_device_count(), 1);  // opens the output
    wait_seconds(0.3);
    const std::uintmax_t start = audio_bytes();

    FakeTimers timers;
    // BgmRepeat is only the CD's hold track: the file repeats all the same.
    music::StartRunMusic({music::kBgmFile, 5, cp932(mp3)}, timers);
    ASSERT_TRUE(timers.t1);
    EXPECT_TRUE(music::Mp3IsPlaying());
    // Timer1 ticks once a second. Its phase is set half a second away from the file's end,
    // so that the end never falls on a tick and the gap is not lost in the output's latency.
    wait_seconds(0.5);
    for (int tick = 0; tick < 8; ++tick) {
        wait_seconds(1.0);
        music::OnTimer1();
    }
    music::StopRunMusic(timers);
    EXPECT_FALSE(timers.t1);
    wait_seconds(0.5);

    // Each start of the file is the beginning of an 880 Hz stretch; the file ends 3 seconds
    // after its start, and the next start follows within about a second of that end.
    const std::vector<Sound> windows = sound_windows(start);
    std::vector<double> starts;
    std::string timeline;
    for (std::size_t i = 0; i < windows.size(); ++i) {
        if (windows[i] == Sound::High && (i == 0 || windows[i - 1] != Sound::High)) {
            starts.push_back(static_cast<double>(i) * kWindowSeconds);
            timeline += " " + std::to_string(starts.back());
        }
    }
    SCOPED_TRACE("starts at" + timeline);
    ASSERT_GE(starts.size(), 3u) << "the file was not heard again";
    for (std::size_t k = 1; k < starts.size(); ++k) {
        const double interval = starts[k] - starts[k - 1];
        EXPECT_GE(interval, 2.9) << "restarted before its end";
        EXPECT_LE(interval, 3.0 + 1.3) << "more than about a second between the end and the restart";
    }
    // The first play is heard whole: 3 seconds of sound, then the pause (or the next start).
    std::size_t first = static_cast<std::size_t>(starts[0] / kWindowSeconds + 0.5);
    std::size_t sound = 0;
    while (first + sound < windows.size() && windows[first + sound] != Sound::Silence &&
           (sound == 0 || windows[first + sound] != Sound::High || windows[first + sound - 1] == Sound::High)) {
        ++sound;
    }
    EXPECT_NEAR(static_cast<double>(sound) * kWindowSeconds, 3.0, 0.2);
    // After the stop the output is silent.
    EXPECT_EQ(windows.back(), Sound::Silence);
}

TEST_F(LinuxMedia, WaveFileLoopsUntilStopped) {
    if (!have_tools()) GTEST_SKIP() << "sox is needed to make the sound";
    const fs::path wav = make_tone(kWorkDir / "loop 1.WAV", 0.7, false);
    ASSERT_EQ(plat::wave_out_device_count(), 1);
    wait_seconds(0.3);
    const std::uintmax_t start = audio_bytes();

    FakeTimers timers;
    music::StartRunMusic({music::kBgmFile, 0, cp932(wav)}, timers);
    EXPECT_FALSE(timers.t1);  // a wave file needs no supervision
    wait_seconds(3.0);
    music::StopRunMusic(timers);
    wait_seconds(0.5);

    std::vector<Stretch> runs = runs_of(loud_windows(start));
    while (!runs.empty() && !runs.front().loud) runs.erase(runs.begin());
    ASSERT_GE(runs.size(), 1u);
    // Loops of a 0.7-second tone follow each other without a gap for about three seconds.
    EXPECT_GE(runs[0].seconds, 2.4);
    EXPECT_FALSE(runs.back().loud);
}

// The ADPCM kinds, which the mixer's stream cannot read, are decoded whole and loop too (as
// sox writes them: their headers pass the structure check).
TEST_F(LinuxMedia, AdpcmWavesAreDecodedWholeAndLoop) {
    if (!have_tools()) GTEST_SKIP() << "sox is needed to make the sound";
    const fs::path pcm = make_tone(kWorkDir / "pcm.wav", 0.7, false);
    for (const std::string encoding : {"ima-adpcm", "ms-adpcm"}) {
        const fs::path wav = kWorkDir / (encoding + ".wav");
        ASSERT_EQ(std::system(("sox '" + pcm.string() + "' -e " + encoding + " '" + wav.string() + "'").c_str()), 0);
        const std::uintmax_t start = audio_bytes();
        music::WavStart(cp932(wav));
        wait_seconds(2.0);
        music::WavStop();
        std::vector<Stretch> runs = runs_of(loud_windows(start));
        while (!runs.empty() && !runs.front().loud) runs.erase(runs.begin());
        ASSERT_GE(runs.size(), 1u) << encoding;
        EXPECT_GE(runs[0].seconds, 1.0) << encoding;
    }
}

TEST_F(LinuxMedia, UnplayableWaveFileIsSilent) {
    std::ofstream(kWorkDir / "broken.wav") << "not a wave file";
    ASSERT_EQ(plat::wave_out_device_count(), 1);
    wait_seconds(0.2);
    const std::uintmax_t start = audio_bytes();
    music::WavStart(cp932(kWorkDir / "broken.wav"));
    music::WavStart(cp932(kWorkDir / "missing.wav"));
    wait_seconds(0.5);
    music::WavStop();
    for (bool loud : loud_windows(start)) EXPECT_FALSE(loud);
}

TEST_F(LinuxMedia, InterpreterAnswersFileCommands) {
    if (!have_tools()) GTEST_SKIP() << "sox and lame are needed to make the music";
    const fs::path mp3 = make_tone(kWorkDir / "short.mp3", 1.0, true);
    const std::string open = "open \"" + cp932(mp3) + "\" type MPEGVideo Alias MP3Play";
    char reply[64];
    EXPECT_EQ(plat::mci_send_string(open, nullptr, 0, plat::WindowHandle::None), 0u);
    EXPECT_EQ(plat::mci_send_string(open, nullptr, 0, plat::WindowHandle::None), unsigned{plat::mci::kDuplicateAlias});
    EXPECT_EQ(plat::mci_send_string("status mp3play mode", reply, sizeof reply, plat::WindowHandle::None), 0u);
    EXPECT_STREQ(reply, "stopped");
    EXPECT_EQ(plat::mci_send_string("status MP3Play length", reply, sizeof reply, plat::WindowHandle::None), 0u);
    EXPECT_NEAR(std::atoi(reply), 1000, 100);
    EXPECT_EQ(plat::mci_send_string("PLAY MP3Play", nullptr, 0, plat::WindowHandle::None), 0u);
    EXPECT_EQ(plat::mci_send_string("status MP3Play mode", reply, sizeof reply, plat::WindowHandle::None), 0u);
    EXPECT_STREQ(reply, "playing");
    // A reply that does not fit is refused and leaves the buffer alone.
    char tiny[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(plat::mci_send_string("status MP3Play mode", tiny, 4, plat::WindowHandle::None),
              unsigned{plat::mci::kParamOverflow});
    EXPECT_EQ(tiny[0], 'x');

    // The position text that the device gives is taken back by its play command.
    wait_seconds(0.3);
    ASSERT_EQ(plat::mci_send_string("status MP3Play position", reply, sizeof reply, plat::WindowHandle::None), 0u);
    const std::string position = reply;
    EXPECT_GT(std::atoi(reply), 0);
    EXPECT_EQ(plat::mci_send_string("stop MP3Play", nullptr, 0, plat::WindowHandle::None), 0u);
    EXPECT_EQ(plat::mci_send_string("play MP3Play from " + position, nullptr, 0, plat::WindowHandle::None), 0u);
    wait_seconds(1.2);  // runs to its end
    EXPECT_FALSE(music::Mp3IsPlaying());
    EXPECT_EQ(plat::mci_send_string("play MP3Play from 0", nullptr, 0, plat::WindowHandle::None), 0u);
    EXPECT_TRUE(music::Mp3IsPlaying());

    EXPECT_EQ(plat::mci_send_string("play MP3Play wait", nullptr, 0, plat::WindowHandle::None),
              unsigned{plat::mci::kUnsupportedFunction});
    EXPECT_EQ(plat::mci_send_string("close MP3Play", nullptr, 0, plat::WindowHandle::None), 0u);
    EXPECT_EQ(music::MciQuery("status MP3Play mode"), "Error:263");
}

TEST_F(LinuxMedia, InterpreterRefusesWhatItCannotDo) {
    EXPECT_EQ(music::MciQuery("open \"/no/such/file.mp3\" type MPEGVideo Alias MP3Play"), "Error:275");
    EXPECT_EQ(music::MciQuery("open \"/no/such type MPEGVideo"), "Error:294");
    EXPECT_EQ(music::MciQuery("dance cdaudio"), "Error:263");
    EXPECT_EQ(music::MciQuery("stop"), "Error:273");
    std::ofstream(kWorkDir / "noise.mp3") << "this is no music";
    EXPECT_EQ(music::MciQuery("open \"" + cp932(kWorkDir / "noise.mp3") + "\" type MPEGVideo Alias X"),
              "Error:296");
    std::string text;
    EXPECT_NE(music::MciCommand("status nothing mode", text), 0);
    EXPECT_EQ(text, plat::mci::describe(263));
}

TEST_F(LinuxMedia, WithoutDriveTheCdCommandsFail) {
    if (fs::exists("/dev/cdrom") || fs::exists("/dev/sr0")) GTEST_SKIP() << "this machine has a CD drive";
    EXPECT_EQ(music::MciQuery("open cdaudio"), "Error:266");
    FakeTimers timers;
    music::StartRunMusic({music::kBgmCd, 0, {}}, timers);
    EXPECT_FALSE(music::OnTimer2(timers));
    EXPECT_FALSE(timers.t2);
    EXPECT_FALSE(music::HandleKey(13));
    EXPECT_TRUE(music::HandleKey(39));
}

}  // namespace

namespace {

using namespace capture;

// Bounded random command sequences against the real interpreter and mixer: every command
// answers with a code, the reply stays inside its buffer, and nothing crashes or hangs.
TEST(LinuxMediaFuzz, RandomCommandSequences) {
    if (std::system("command -v sox >/dev/null") != 0) GTEST_SKIP() << "sox is needed to make the sound";
    const std::string wav = (kWorkDir / "fuzz.wav").string();
    ASSERT_EQ(std::system(("sox -n -r 44100 -c 2 -b 16 '" + wav + "' synth 0.2 sine 440 >/dev/null 2>&1").c_str()), 0);
    const std::vector<std::string> words = {"open", "close", "play", "stop", "pause", "resume", "status", "set",
                                            "cdaudio", "A", "b", "\"" + wav + "\"", "type", "MPEGVideo",
                                            "waveaudio", "alias", "from", "to", "mode", "position", "length",
                                            "time", "format", "ms", "tmsf", "0", "100", "99999", "01:00:00:00",
                                            "\"", "notify", "wait", "track", "1", "-5", "\x83\x41"};
    std::mt19937 rng(77);
    for (int i = 0; i < 3000; ++i) {
        std::string command;
        const int n = 1 + static_cast<int>(rng() % 6);
        for (int k = 0; k < n; ++k) {
            if (k) command += ' ';
            command += words[rng() % words.size()];
        }
        char reply[24];
        std::memset(reply, 'x', sizeof reply);
        const std::uint32_t length = rng() % 16;
        plat::mci_send_string(command, reply, length, plat::WindowHandle::None);
        for (std::size_t k = length; k < sizeof reply; ++k) ASSERT_EQ(reply[k], 'x') << command;
        if (i % 500 == 0) plat::play_sound(rng() % 2 ? wav.c_str() : nullptr, plat::kSndAsync | plat::kSndLoop);
    }
    plat::play_sound(nullptr, 0);
    plat::mci_send_string("close A", nullptr, 0, plat::WindowHandle::None);
    plat::mci_send_string("close b", nullptr, 0, plat::WindowHandle::None);
}

}  // namespace
