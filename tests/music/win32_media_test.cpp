// The music module over the real Windows multimedia services (run under Wine, whose
// MPEGVideo device needs an audio output: the test runs with a null ALSA default device).
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/music/fake_timers.h"
#include "music/bgm.h"
#include "music/run.h"
#include "platform/media.h"
#include "platform/system.h"
#include "platform/text.h"

namespace fs = std::filesystem;

namespace {

using music_test::FakeTimers;

// The three-second tone that the build makes, copied into a folder and under a name with
// blanks and Japanese characters. Returns the CP932 path.
std::string japanese_copy_of_tone() {
    const fs::path data = fs::path(plat::cp932_to_utf8(plat::program_folder())) / "music_test_data";
    const fs::path folder = data / fs::path(u8"音楽 フォルダ");
    fs::create_directories(folder);
    const fs::path target = folder / fs::path(u8"曲 1.mp3");
    std::error_code ec;
    fs::remove(target, ec);
    fs::copy_file(data / "tone.mp3", target);
    std::string cp932;
    EXPECT_TRUE(plat::utf8_to_cp932(reinterpret_cast<const char*>(target.u8string().c_str()), cp932));
    return cp932;
}

// The answer for an alias that is not open: 263 on Windows; Wine takes the unknown name for a
// file and answers 281 (no device for that extension).
bool is_not_open(const std::string& text) { return text == "Error:263" || text == "Error:281"; }

bool wait_for_mode(const char* mode, int max_ms) {
    for (int waited = 0; waited <= max_ms; waited += 100) {
        if (music::MciQuery("status MP3Play mode") == mode) return true;
        plat::sleep_ms(100);
    }
    return false;
}

TEST(WindowsMusic, FailedQueriesGiveErrorAndCode) {
    const std::string answer = music::MciQuery("status NoSuchAlias mode");
    EXPECT_TRUE(is_not_open(answer)) << answer;
    std::string text;
    EXPECT_EQ("Error:" + std::to_string(music::MciCommand("status NoSuchAlias mode", text)), answer);
    EXPECT_FALSE(text.empty());  // the system's own description
    EXPECT_EQ(music::MciCommand("", text), -1);
}

TEST(WindowsMusic, WithoutCdDriveTheSupervisionStopsAtItsFirstStep) {
    EXPECT_EQ(music::MciQuery("open cdaudio"), "Error:266");
    FakeTimers timers;
    music::StartRunMusic({music::kBgmCd, 3, {}}, timers);
    EXPECT_TRUE(timers.t2);
    EXPECT_FALSE(music::OnTimer2(timers));
    EXPECT_FALSE(timers.t2);
    EXPECT_TRUE(music::HandleKey(39));  // skips (and fails) quietly
    music::StopRunMusic(timers);
}

TEST(WindowsMusic, Mp3FilePlaysEndsAndIsRestarted) {
    ASSERT_GE(plat::wave_out_device_count(), 1) << "no audio output (null ALSA device missing?)";
    const std::string path = japanese_copy_of_tone();
    FakeTimers timers;
    music::StartRunMusic({music::kBgmFile, 0, path}, timers);
    EXPECT_TRUE(timers.t1);
    EXPECT_EQ(music::MciQuery("status MP3Play mode"), "playing");
    EXPECT_TRUE(music::Mp3IsPlaying());

    music::OnTimer1();  // still playing: nothing happens
    EXPECT_EQ(music::MciQuery("status MP3Play mode"), "playing");
    ASSERT_TRUE(wait_for_mode("stopped", 8000)) << "the file did not end";
    music::OnTimer1();
    EXPECT_EQ(music::MciQuery("status MP3Play mode"), "playing");

    music::StopRunMusic(timers);
    EXPECT_FALSE(timers.t1);
    EXPECT_TRUE(is_not_open(music::MciQuery("status MP3Play mode")));
}

TEST(WindowsMusic, PathWithQuoteOrOtherEndingPlaysNothing) {
    FakeTimers timers;
    music::StartRunMusic({music::kBgmFile, 0, "C:\\a\" b.mp3"}, timers);
    EXPECT_TRUE(is_not_open(music::MciQuery("status MP3Play mode")));
    music::StopRunMusic(timers);
    music::StartRunMusic({music::kBgmFile, 0, "C:\\clip.mpeg"}, timers);
    EXPECT_FALSE(timers.t1);
    EXPECT_TRUE(is_not_open(music::MciQuery("status MP3Play mode")));
}

TEST(WindowsMusic, UnplayableWaveFileReturnsAtOnce) {
    FakeTimers timers;
    const std::uint64_t before = plat::tick_count_ms();
    music::StartRunMusic({music::kBgmFile, 0, "C:\\no such folder\\missing.wav"}, timers);
    music::StopRunMusic(timers);
    EXPECT_LT(plat::tick_count_ms() - before, 5000u);
}

}  // namespace
