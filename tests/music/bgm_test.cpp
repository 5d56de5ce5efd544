// The music module against the scripted back end: exact command texts, error texts, the
// players chosen by file endings, and the CD supervision against a simulated disc.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "tests/music/fake_timers.h"
#include "common/texts.h"
#include "music/bgm.h"
#include "music/run.h"
#include "platform/media.h"
#include "platform/window.h"
#include "platform/emulation/mci_words.h"
#include "platform/scripted/media_control.h"

namespace media = plat::scripted::media;
using Texts = std::vector<std::string>;

namespace {

using music_test::FakeTimers;

// "C:\My Music\曲 1.mp3" with the Japanese character in CP932.
const std::string kJapanesePath = "C:\\My Music\\\x8b\xc8 1.mp3";

class Music : public ::testing::Test {
protected:
    void SetUp() override {
        media::reset();
        music::ResetModuleState();
    }
    void start(std::int16_t kind, std::int16_t repeat, std::string file = {}) {
        music::StartRunMusic({kind, repeat, std::move(file)}, timers);
    }
    FakeTimers timers;
};

TEST_F(Music, CdOpenAndCloseSendTheirCommandsWithoutReplyBuffer) {
    media::set_cd_drive(true);
    media::insert_disc(3);
    music::CdOpen();
    music::CdClose();
    EXPECT_EQ(media::command_texts(),
              (Texts{"open cdaudio", "set cdaudio time format tmsf", "stop cdaudio", "close cdaudio"}));
    for (const auto& r : media::commands()) {
        EXPECT_FALSE(r.had_reply_buffer);
        EXPECT_EQ(r.reply_length, 0u);
        EXPECT_EQ(r.code, 0u) << r.command;
    }
}

TEST_F(Music, Mp3CommandsAndReplyLengths) {
    media::add_playable_file("C:\\a.mp3");
    music::Mp3Start("C:\\a.mp3");
    EXPECT_TRUE(music::Mp3IsPlaying());
    music::Mp3Stop();
    EXPECT_EQ(media::command_texts(),
              (Texts{"open \"C:\\a.mp3\" type MPEGVideo Alias MP3Play", "play MP3Play",
                     "status MP3Play mode", "stop MP3Play", "close MP3Play"}));
    EXPECT_EQ(media::commands()[2].reply_length, 30u);
    EXPECT_EQ(media::commands()[2].reply, "playing");
    EXPECT_FALSE(media::alias_is_open("MP3Play"));
}

TEST_F(Music, Mp3StartPlaysOnlyWhenTheOpenSucceeds) {
    music::Mp3Start("C:\\missing.mp3");
    EXPECT_EQ(media::command_texts(), (Texts{"open \"C:\\missing.mp3\" type MPEGVideo Alias MP3Play"}));
    EXPECT_FALSE(music::Mp3IsPlaying());
}

TEST_F(Music, PathsWithSpacesAndJapaneseCharactersOpen) {
    media::add_playable_file(kJapanesePath);
    start(music::kBgmFile, 0, kJapanesePath);
    EXPECT_EQ(media::commands()[0].command, "open \"" + kJapanesePath + "\" type MPEGVideo Alias MP3Play");
    EXPECT_EQ(media::alias_path("MP3Play"), kJapanesePath);
    EXPECT_TRUE(media::alias_is_playing("MP3Play"));
    EXPECT_TRUE(timers.t1);
}

TEST_F(Music, PathWithADoubleQuotePlaysNothing) {
    // Quoted, this would read as the file C:\a followed by the words of the rest.
    const std::string path = "C:\\a\" type waveaudio alias x \"b.mp3";
    media::add_playable_file("C:\\a");
    media::add_playable_file(path);
    music::Mp3Start(path);
    EXPECT_TRUE(media::commands().empty());
    music::Mp3Start(std::string("C:\\a.mp3\0.mp3", 13));
    EXPECT_TRUE(media::commands().empty());
}

TEST_F(Music, MciQueryGivesTheReplyOrErrorAndCode) {
    EXPECT_EQ(music::MciQuery("status Nothing mode"), "Error:263");
    EXPECT_EQ(music::MciQuery("status Nothing mode").size(), 9u);
    EXPECT_EQ(music::LastReply(), plat::mci::describe(263));

    media::add_playable_file("x.mp3");
    music::Mp3Start("x.mp3");
    EXPECT_EQ(music::MciQuery("status MP3Play mode"), "playing");
    EXPECT_EQ(music::LastReply(), "playing");
}

TEST_F(Music, MciCommandTextsForEmptyCommandsAndMissingDescriptions) {
    std::string reply = "old";
    EXPECT_EQ(music::MciCommand("", reply), -1);
    EXPECT_EQ(reply, texts::kMciEmptyCommand);
    EXPECT_TRUE(media::commands().empty());
    EXPECT_EQ(music::MciQuery(""), "Error:-1");

    media::set_error_texts_available(false);
    EXPECT_EQ(music::MciCommand("close cdaudio", reply), 263);
    EXPECT_EQ(reply, texts::kMciNoDescription);
    EXPECT_EQ(media::commands()[0].reply_length, 512u);
}

TEST_F(Music, CdPlayBuildsItsCommandFromThePositions) {
    music::CdPlay("cdaudio", "", "");
    music::CdPlay("cdaudio", "02:00:00:00", "");
    music::CdPlay("cdaudio", "02:00:00:00", "03:00:00:00");
    music::CdPlay("cdaudio", "", "03:00:00:00");
    const Texts texts = media::command_texts();
    EXPECT_EQ(texts[0], "play cdaudio");
    EXPECT_EQ(texts[0].size(), 12u);
    EXPECT_EQ(texts[1], "play cdaudio from 02:00:00:00");
    EXPECT_EQ(texts[2], "play cdaudio from 02:00:00:00 to 03:00:00:00");
    EXPECT_EQ(texts[3], "play cdaudio to 03:00:00:00");
    EXPECT_EQ(media::commands()[0].reply_length, 512u);
}

TEST_F(Music, FileEndingsChooseThePlayerInAnyCase) {
    using music::FileKind;
    EXPECT_EQ(music::KindOfFile("C:\\m\\song.mp3"), FileKind::Mp3);
    EXPECT_EQ(music::KindOfFile("C:\\m\\song.Mp3"), FileKind::Mp3);
    EXPECT_EQ(music::KindOfFile("C:\\m\\loop.Wav"), FileKind::Wav);
    EXPECT_EQ(music::KindOfFile("C:\\m\\loop.WAV"), FileKind::Wav);
    EXPECT_EQ(music::KindOfFile("songmp3"), FileKind::Mp3);  // no test for the dot
    EXPECT_EQ(music::KindOfFile("mp3"), FileKind::Mp3);
    EXPECT_EQ(music::KindOfFile("p3"), FileKind::None);
    EXPECT_EQ(music::KindOfFile("C:\\m\\clip.mpeg"), FileKind::None);
    EXPECT_EQ(music::KindOfFile("C:\\m\\clip.mp4"), FileKind::None);
    EXPECT_EQ(music::KindOfFile(""), FileKind::None);
    // A double-byte character whose second byte is 'M' is one character, not the letter M.
    EXPECT_EQ(music::KindOfFile("\x83MP3"), FileKind::None);
    EXPECT_EQ(music::KindOfFile("\x83M.MP3"), FileKind::Mp3);
}

TEST_F(Music, AnMpegNameWithFourLettersPlaysAndStopsNothing) {
    media::add_playable_file("C:\\clip.mpeg");
    start(music::kBgmFile, 0, "C:\\clip.mpeg");
    music::StopRunMusic(timers);
    EXPECT_TRUE(media::commands().empty());
    EXPECT_TRUE(media::sound_calls().empty());
    EXPECT_FALSE(timers.t1);
    EXPECT_FALSE(timers.t2);
}

TEST_F(Music, WaveFilesLoopWithoutTheDefaultSoundAndStop) {
    start(music::kBgmFile, 0, "C:\\loop.wav");
    music::StopRunMusic(timers);
    ASSERT_EQ(media::sound_calls().size(), 2u);
    EXPECT_EQ(media::sound_calls()[0].name, "C:\\loop.wav");
    EXPECT_EQ(media::sound_calls()[0].flags, plat::kSndAsync | plat::kSndLoop | plat::kSndNoDefault);
    EXPECT_EQ(media::sound_calls()[1].name, std::nullopt);
    EXPECT_EQ(media::sound_calls()[1].flags, 0u);
    EXPECT_TRUE(media::commands().empty());
    EXPECT_FALSE(timers.t1);
}

TEST_F(Music, WaveMusicIsSkippedWithoutOutputDevice) {
    media::set_wave_out_devices(0);
    music::WavStart("C:\\loop.wav");
    EXPECT_EQ(media::wave_device_queries(), 1);
    EXPECT_TRUE(media::sound_calls().empty());
}

TEST_F(Music, Mp3RunRestartsTheFileAfterItsEndAndStopsAtExit) {
    media::add_playable_file("C:\\s.mp3");
    start(music::kBgmFile, 0, "C:\\s.mp3");
    EXPECT_TRUE(timers.t1);
    media::clear_log();

    music::OnTimer1();  // still playing: one query, nothing else
    EXPECT_EQ(media::command_texts(), (Texts{"status MP3Play mode"}));

    media::file_reaches_end("MP3Play");
    media::clear_log();
    music::OnTimer1();
    EXPECT_EQ(media::command_texts(), (Texts{"status MP3Play mode", "stop MP3Play", "play MP3Play from 0"}));
    EXPECT_TRUE(media::alias_is_playing("MP3Play"));
    EXPECT_EQ(media::alias_play_count("MP3Play"), 2);

    media::clear_log();
    music::StopRunMusic(timers);
    EXPECT_EQ(media::command_texts(), (Texts{"stop MP3Play", "close MP3Play"}));
    EXPECT_FALSE(timers.t1);
}

TEST_F(Music, BgmRepeatHasNoEffectOnFiles) {
    media::add_playable_file("C:\\s.mp3");
    Texts logs[2];
    std::vector<media::SoundCall> sounds[2];
    for (int run = 0; run < 2; ++run) {
        SetUp();
        media::add_playable_file("C:\\s.mp3");
        FakeTimers t;
        music::StartRunMusic({music::kBgmFile, static_cast<std::int16_t>(run * 3), "C:\\s.mp3"}, t);
        media::file_reaches_end("MP3Play");
        music::OnTimer1();
        music::StopRunMusic(t);
        music::StartRunMusic({music::kBgmFile, static_cast<std::int16_t>(run * 3), "C:\\s.wav"}, t);
        music::StopRunMusic(t);
        logs[run] = media::command_texts();
        sounds[run] = media::sound_calls();
    }
    EXPECT_EQ(logs[0], logs[1]);
    ASSERT_EQ(sounds[0].size(), sounds[1].size());
    EXPECT_EQ(sounds[0][0].flags, sounds[1][0].flags);
}

TEST_F(Music, Mp3ModeBufferPersistsBetweenQueries) {
    EXPECT_FALSE(music::Mp3IsPlaying());  // nothing open yet
    media::add_playable_file("C:\\s.mp3");
    music::Mp3Start("C:\\s.mp3");
    EXPECT_TRUE(music::Mp3IsPlaying());
    media::file_reaches_end("MP3Play");
    EXPECT_FALSE(music::Mp3IsPlaying());
}

// --- CD supervision ---

TEST_F(Music, NoDiscGivesOneFailedStepAndLeavesTheDeviceAloneAtExit) {
    for (bool drive : {false, true}) {
        SetUp();
        media::set_cd_drive(drive);  // a drive without a disc, or no drive at all
        FakeTimers t;
        music::StartRunMusic({music::kBgmCd, 0, {}}, t);
        EXPECT_TRUE(t.t2);
        EXPECT_EQ(media::command_texts(), (Texts{"open cdaudio", "set cdaudio time format tmsf"}));
        media::clear_log();

        EXPECT_FALSE(music::OnTimer2(t));
        EXPECT_FALSE(t.t2);
        EXPECT_FALSE(music::CdMonitorOk());
        ASSERT_EQ(media::commands().size(), 1u);
        EXPECT_EQ(media::commands()[0].command, "status cdaudio current track");
        EXPECT_NE(media::commands()[0].code, 0u);

        media::clear_log();
        music::StopRunMusic(t);
        EXPECT_TRUE(media::commands().empty()) << "drive " << drive;
    }
}

TEST_F(Music, FirstStepStartsTheWholeDiscAndLaterStepsOnlyWatch) {
    media::set_cd_drive(true);
    media::insert_disc(8);
    start(music::kBgmCd, 0);
    media::clear_log();
    EXPECT_TRUE(music::OnTimer2(timers));
    EXPECT_EQ(media::command_texts(), (Texts{"status cdaudio current track", "status cdaudio number of tracks",
                                             "status cdaudio mode", "play cdaudio"}));
    EXPECT_EQ(media::commands()[2].reply_length, 255u);
    EXPECT_EQ(media::cd_mode(), media::CdMode::Playing);

    media::clear_log();
    EXPECT_TRUE(music::OnTimer2(timers));
    EXPECT_EQ(media::commands().size(), 3u);

    // The disc ends; the next step plays it again.
    media::cd_reaches_end();
    media::clear_log();
    music::OnTimer2(timers);
    EXPECT_EQ(media::command_texts().back(), "play cdaudio");
    EXPECT_EQ(media::cd_mode(), media::CdMode::Playing);

    media::clear_log();
    music::StopRunMusic(timers);
    EXPECT_EQ(media::command_texts(), (Texts{"stop cdaudio", "close cdaudio"}));
    EXPECT_FALSE(timers.t2);
    EXPECT_FALSE(media::cd_is_open());
}

TEST_F(Music, HoldTrackIsBackWithinOneStepAfterTheRightArrow) {
    media::set_cd_drive(true);
    media::insert_disc(10);
    start(music::kBgmCd, 3);
    music::OnTimer2(timers);
    EXPECT_EQ(media::command_texts().back(), "play cdaudio from 03:00:00:00");
    EXPECT_EQ(media::cd_current_track(), 3);

    EXPECT_TRUE(music::HandleKey(plat::kVkRight));
    EXPECT_EQ(media::cd_current_track(), 4);
    media::clear_log();
    music::OnTimer2(timers);
    EXPECT_EQ(media::cd_current_track(), 3);
    EXPECT_EQ(media::command_texts(),
              (Texts{"status cdaudio current track", "status cdaudio number of tracks", "status cdaudio mode",
                     "status cdaudio position track 3", "play cdaudio from 03:00:00:00"}));

    // The drive moves on to track 4 by itself: the same.
    media::cd_moves_to_track(4);
    music::OnTimer2(timers);
    EXPECT_EQ(media::cd_current_track(), 3);
    EXPECT_TRUE(timers.t2);
}

TEST_F(Music, HoldTrackMissingFromTheDiscRetriesAndKeepsSupervising) {
    media::set_cd_drive(true);
    media::insert_disc(2);
    start(music::kBgmCd, 7);
    media::clear_log();
    EXPECT_TRUE(music::OnTimer2(timers));
    EXPECT_EQ(media::command_texts().back(), "play cdaudio from Error:282");
    EXPECT_NE(media::commands().back().code, 0u);
    EXPECT_EQ(media::cd_mode(), media::CdMode::Stopped);
    EXPECT_TRUE(timers.t2);
}

TEST_F(Music, ArrowKeysWithoutHoldTrack) {
    media::set_cd_drive(true);
    media::insert_disc(8);
    start(music::kBgmCd, 0);
    music::OnTimer2(timers);

    // On track 1 the left arrow asks for track 0, fails, and changes nothing.
    media::clear_log();
    EXPECT_TRUE(music::HandleKey(plat::kVkLeft));
    EXPECT_EQ(media::command_texts(),
              (Texts{"status cdaudio current track", "status cdaudio position track 0", "play cdaudio from Error:282"}));
    EXPECT_EQ(media::cd_current_track(), 1);
    EXPECT_EQ(media::cd_mode(), media::CdMode::Playing);

    // On track 5 it starts track 4, and the supervision lets it play on.
    media::cd_moves_to_track(5);
    EXPECT_TRUE(music::HandleKey(plat::kVkLeft));
    EXPECT_EQ(media::cd_current_track(), 4);
    media::clear_log();
    music::OnTimer2(timers);
    EXPECT_EQ(media::commands().size(), 3u);
    EXPECT_EQ(media::cd_current_track(), 4);

    // The last track has no next one.
    media::cd_moves_to_track(8);
    EXPECT_TRUE(music::HandleKey(plat::kVkRight));
    EXPECT_EQ(media::cd_current_track(), 8);
}

TEST_F(Music, KeyRoutingByMusicSource) {
    media::set_cd_drive(true);
    media::insert_disc(4);
    start(music::kBgmCd, 0);
    EXPECT_TRUE(music::HandleKey(plat::kVkLeft));
    EXPECT_TRUE(music::HandleKey(plat::kVkRight));
    EXPECT_FALSE(music::HandleKey(13));
    EXPECT_FALSE(music::HandleKey(38));

    // The arrows skip tracks even after the supervision switched itself off.
    media::eject_disc();
    music::OnTimer2(timers);
    EXPECT_FALSE(timers.t2);
    EXPECT_TRUE(music::HandleKey(plat::kVkRight));

    for (std::int16_t kind : {music::kBgmNone, music::kBgmFile}) {
        start(kind, 0, "C:\\x.mid");
        media::clear_log();
        EXPECT_FALSE(music::HandleKey(plat::kVkLeft));
        EXPECT_FALSE(music::HandleKey(plat::kVkRight));
        EXPECT_TRUE(media::commands().empty());
    }
}

// Bounded random commands: the interpreter answers every one with a code, writes only
// inside the reply buffer, and its replies are always terminated.
TEST_F(Music, RandomCommandsNeverUpsetTheInterpreter) {
    media::set_cd_drive(true);
    media::insert_disc(5);
    media::add_playable_file("a b.mp3");
    const std::vector<std::string> words = {"open", "close", "play", "stop", "status", "set", "cdaudio",
                                            "MP3Play", "\"a b.mp3\"", "type", "MPEGVideo", "alias", "from",
                                            "to", "mode", "current", "track", "number", "of", "tracks",
                                            "position", "time", "format", "tmsf", "3", "0", "02:01:02:03",
                                            "99:99", "\"", "-1", "", "\x83"};
    std::mt19937 rng(1234);
    for (int i = 0; i < 20000; ++i) {
        std::string command;
        const int n = static_cast<int>(rng() % 8);
        for (int k = 0; k < n; ++k) {
            if (k) command += ' ';
            command += words[rng() % words.size()];
        }
        char reply[16];
        std::memset(reply, 'x', sizeof reply);
        const std::uint32_t length = rng() % 12;
        plat::mci_send_string(command, reply, length, plat::WindowHandle::None);
        for (std::size_t k = length; k < sizeof reply; ++k) ASSERT_EQ(reply[k], 'x') << command;
        std::string text;
        music::MciCommand(command, text);
    }
    // And plain random bytes, quotes and all.
    for (int i = 0; i < 20000; ++i) {
        std::string command(rng() % 24, ' ');
        static constexpr char kAlphabet[] = "ab \"\t:0123cdaudioplay\x81\xff";
        for (char& c : command) c = kAlphabet[rng() % (sizeof kAlphabet)];  // the NUL too
        char reply[8];
        const auto code = plat::mci_send_string(command, reply, sizeof reply, plat::WindowHandle::None);
        if (code == 0) {
            ASSERT_NE(std::memchr(reply, 0, sizeof reply), nullptr);
        }
        (void)plat::mci::parse_tmsf(command);
    }
}

}  // namespace
