// The audio CD of the Linux back end, played from a disc image (a CUE sheet and its BIN file
// with three one-second tracks: 440 Hz, 880 Hz, 440 Hz) and heard through SDL's file audio
// driver. A program of its own: the CD opens an audio device of its own, and the file driver
// gives each process one output file.
#include <gtest/gtest.h>

#include "tests/music/fake_timers.h"
#include "audio_capture.h"
#include "music/bgm.h"
#include "music/run.h"
#include "platform/linux/cd_drive.h"
#include "platform/emulation/mci_words.h"

namespace {

using namespace capture;

using music_test::FakeTimers;

class LinuxCd : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::system("command -v sox >/dev/null") != 0) GTEST_SKIP() << "sox is needed to make the disc";
        const fs::path bin = kWorkDir / "disc.bin";
        const char* tones[] = {"440", "880", "440"};
        std::string parts;
        for (int i = 0; i < 3; ++i) {
            const fs::path part = kWorkDir / ("track" + std::to_string(i + 1) + ".raw");
            const std::string make = "sox -n -r 44100 -c 2 -b 16 -e signed -L -t raw '" + part.string() +
                                     "' synth 1 sine " + tones[i] + " vol 0.5";
            ASSERT_EQ(std::system(make.c_str()), 0);
            parts += " '" + part.string() + "'";
        }
        ASSERT_EQ(std::system(("cat" + parts + " > '" + bin.string() + "'").c_str()), 0);
        std::ofstream(kWorkDir / "disc.cue") << "FILE \"disc.bin\" BINARY\n"
                                                "  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n"
                                                "  TRACK 02 AUDIO\n    INDEX 01 00:01:00\n"
                                                "  TRACK 03 AUDIO\n    INDEX 01 00:02:00\n";
        plat::linux_media::use_disc_image((kWorkDir / "disc.cue").string());
        music::ResetModuleState();
    }
    void TearDown() override {
        music::StopRunMusic(timers);
        plat::linux_media::use_disc_image({});
    }

    // Runs Timer2 (every 200 ms) for `seconds`, as the saver window does.
    void supervise(double seconds) {
        for (double t = 0; t < seconds; t += 0.2) {
            wait_seconds(0.2);
            if (timers.t2) music::OnTimer2(timers);
        }
    }

    // Lengths of the stretches of one kind of sound, from byte `from` on.
    std::vector<std::pair<Sound, double>> stretches(std::uintmax_t from) {
        std::vector<std::pair<Sound, double>> out;
        for (Sound s : sound_windows(from)) {
            if (out.empty() || out.back().first != s) out.emplace_back(s, 0.0);
            out.back().second += kWindowSeconds;
        }
        while (!out.empty() && out.front().first == Sound::Silence) out.erase(out.begin());
        return out;
    }

    FakeTimers timers;
};

TEST_F(LinuxCd, TheDiscPlaysThroughAndStartsAgainAfterItsEnd) {
    music::StartRunMusic({music::kBgmCd, 0, {}}, timers);
    const std::uintmax_t start = audio_bytes();
    supervise(4.6);
    EXPECT_EQ(music::MciQuery("status cdaudio number of tracks"), "3");
    EXPECT_TRUE(timers.t2);
    const auto s = stretches(start);
    std::string timeline;
    for (const auto& [sound, seconds] : s) {
        timeline += std::string(sound == Sound::Silence ? " silence " : sound == Sound::Low ? " 440Hz " : " 880Hz ") +
                    std::to_string(seconds);
    }
    SCOPED_TRACE("output:" + timeline);
    ASSERT_GE(s.size(), 4u);
    EXPECT_EQ(s[0].first, Sound::Low);
    EXPECT_NEAR(s[0].second, 1.0, 0.15);
    EXPECT_EQ(s[1].first, Sound::High);
    EXPECT_NEAR(s[1].second, 1.0, 0.15);
    EXPECT_EQ(s[2].first, Sound::Low);
    // Track 3 ends the disc; within a step or two it starts again from track 1.
    std::size_t next = 3;
    if (s[next].first == Sound::Silence) {
        EXPECT_LE(s[next].second, 0.5);
        ++next;
    } else {
        EXPECT_GE(s[2].second, 1.9);  // track 3 and track 1 again without a pause
    }
    ASSERT_LT(next, s.size());
}

TEST_F(LinuxCd, HoldTrackPlaysOverAndOverAndComesBackAfterTheRightArrow) {
    music::StartRunMusic({music::kBgmCd, 2, {}}, timers);
    const std::uintmax_t start = audio_bytes();
    supervise(3.0);
    EXPECT_EQ(music::MciQuery("status cdaudio current track"), "2");
    EXPECT_TRUE(music::HandleKey(39));
    EXPECT_EQ(music::MciQuery("status cdaudio current track"), "3");
    supervise(1.0);
    EXPECT_EQ(music::MciQuery("status cdaudio current track"), "2");
    EXPECT_TRUE(timers.t2);

    double high = 0, low = 0;
    for (const auto& [sound, seconds] : stretches(start)) {
        if (sound == Sound::High) high += seconds;
        if (sound == Sound::Low) {
            low += seconds;
            EXPECT_LE(seconds, 0.45) << "another track was heard for longer than a step";
        }
    }
    EXPECT_GT(high, 3.0);
    EXPECT_LT(low, 1.0);
}

TEST_F(LinuxCd, ArrowKeysWithoutHoldTrackStopAtTheEndsOfTheDisc) {
    music::StartRunMusic({music::kBgmCd, 0, {}}, timers);
    supervise(0.4);
    EXPECT_EQ(music::MciQuery("status cdaudio current track"), "1");
    EXPECT_TRUE(music::HandleKey(37));  // no track 0: nothing changes
    EXPECT_EQ(music::LastReply(), plat::mci::describe(plat::mci::kBadInteger));
    EXPECT_EQ(music::MciQuery("status cdaudio mode"), "playing");
    EXPECT_EQ(music::MciQuery("status cdaudio current track"), "1");
    EXPECT_TRUE(music::HandleKey(39));
    EXPECT_TRUE(music::HandleKey(39));
    EXPECT_EQ(music::MciQuery("status cdaudio current track"), "3");
    EXPECT_TRUE(music::HandleKey(39));  // no track 4
    EXPECT_EQ(music::MciQuery("status cdaudio current track"), "3");
    EXPECT_TRUE(music::HandleKey(37));
    EXPECT_EQ(music::MciQuery("status cdaudio current track"), "2");
    // The position text of the device goes back into its play command.
    const std::string position = music::MciQuery("status cdaudio position");
    EXPECT_EQ(position.substr(0, 3), "02:");
    EXPECT_EQ(music::CdPlay("cdaudio", position, ""), 0);
    EXPECT_EQ(music::CdPlay("cdaudio", "09:00:00:00", ""), static_cast<std::int32_t>(plat::mci::kOutOfRange));
}

TEST_F(LinuxCd, ExitStopsAndClosesTheDevice) {
    music::StartRunMusic({music::kBgmCd, 0, {}}, timers);
    supervise(0.6);
    music::StopRunMusic(timers);
    EXPECT_FALSE(timers.t2);
    EXPECT_EQ(music::MciQuery("status cdaudio mode"), "Error:263");
    const std::uintmax_t after = audio_bytes();
    wait_seconds(0.5);
    for (Sound s : sound_windows(after)) EXPECT_EQ(s, Sound::Silence);
}

}  // namespace
