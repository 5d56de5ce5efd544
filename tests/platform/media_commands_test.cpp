// The multimedia command interpreter over devices that only record what they are asked:
// which words reach a device, which codes come from the interpreter itself, and how the
// caller's reply buffer is filled.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/emulation/media_commands.h"

namespace {

using namespace plat::mci;
using Calls = std::vector<std::string>;

std::string text_of(const std::optional<Tmsf>& p) { return p ? format_tmsf(*p) : "-"; }

class RecordingFile final : public FileDevice {
public:
    explicit RecordingFile(Calls& calls) : calls_(calls) {}
    ~RecordingFile() override { calls_.push_back("file closed"); }
    unsigned play(std::optional<long> from_ms) override {
        calls_.push_back("file play " + (from_ms ? std::to_string(*from_ms) : "-"));
        return kOk;
    }
    unsigned stop() override { return record("file stop"); }
    unsigned pause() override { return record("file pause"); }
    unsigned resume() override { return record("file resume"); }
    Mode mode() override { return Mode::Paused; }
    long length_ms() override { return 3000; }
    long position_ms() override { return 1250; }

private:
    unsigned record(const char* call) {
        calls_.push_back(call);
        return kOk;
    }
    Calls& calls_;
};

// A drive with a disc whose answers the test sets; `disc` false: no disc.
class RecordingCd final : public CdDevice {
public:
    RecordingCd(Calls& calls, bool disc) : calls_(calls), disc_(disc) {}
    ~RecordingCd() override { calls_.push_back("cd closed"); }
    Mode mode() override { return disc_ ? Mode::Playing : Mode::NotReady; }
    Answer<long> current_track() override { return answer(4L); }
    Answer<long> number_of_tracks() override { return answer(12L); }
    Answer<Tmsf> position() override { return answer(Tmsf{2, 1, 2, 3}); }
    Answer<Tmsf> position_of_track(long track) override {
        calls_.push_back("cd track " + std::to_string(track));
        return answer(Tmsf{static_cast<int>(track), 0, 0, 0});
    }
    unsigned play(const std::optional<Tmsf>& from, const std::optional<Tmsf>& to) override {
        calls_.push_back("cd play " + text_of(from) + " " + text_of(to));
        return disc_ ? kOk : kHardware;
    }
    unsigned stop() override { return disc_ ? kOk : kHardware; }
    unsigned pause() override { return disc_ ? kOk : kDeviceNotReady; }

private:
    template <typename T>
    Answer<T> answer(T value) {
        if (!disc_) return {kHardware, {}};
        return {kOk, value};
    }
    Calls& calls_;
    bool disc_;
};

class RecordingDrivers final : public Drivers {
public:
    Opened<CdDevice> open_cd() override {
        if (!drive) return {nullptr, kCannotLoadDriver};
        return {std::make_unique<RecordingCd>(calls, disc), kOk};
    }
    Opened<FileDevice> open_file(std::string_view path) override {
        calls.push_back("open file " + std::string(path));
        if (path == "missing.mp3") return {nullptr, kFileNotFound};
        return {std::make_unique<RecordingFile>(calls), kOk};
    }
    bool drive = true;
    bool disc = true;
    Calls calls;
};

class MediaCommands : public ::testing::Test {
protected:
    unsigned code(std::string_view command) { return interpreter.run(command).code; }
    std::string reply(std::string_view command) {
        const Reply r = interpreter.run(command);
        return r.code == kOk ? r.text : "Error:" + std::to_string(r.code);
    }
    RecordingDrivers drivers;
    Interpreter interpreter{drivers};
};

TEST_F(MediaCommands, WaitAndNotifyAreFlagsAndOnlyPlaybackRefusesToWait) {
    EXPECT_EQ(code("open \"a b.mp3\" type MPEGVideo alias Music wait notify"), kOk);
    EXPECT_EQ(code("OPEN cdaudio wait"), kOk);
    drivers.calls.clear();
    EXPECT_EQ(code("play music wait"), kUnsupportedFunction);
    EXPECT_EQ(code("play music from 0 notify wait"), kUnsupportedFunction);
    EXPECT_EQ(code("resume music wait"), kUnsupportedFunction);
    EXPECT_EQ(code("play cdaudio wait"), kUnsupportedFunction);
    EXPECT_EQ(code("resume cdaudio wait"), kUnsupportedFunction);
    EXPECT_TRUE(drivers.calls.empty()) << "a refused command reached a device";

    EXPECT_EQ(code("play music notify from 20"), kOk);
    EXPECT_EQ(reply("status music mode wait"), "paused");
    EXPECT_EQ(code("stop music wait"), kOk);
    EXPECT_EQ(code("set cdaudio time format tmsf notify"), kOk);
    EXPECT_EQ(drivers.calls, (Calls{"file play 20", "file stop"}));
    // In the place of a value the words are values: a file may be called "wait".
    EXPECT_EQ(code("open wait alias notify"), kOk);
    EXPECT_EQ(drivers.calls.back(), "open file wait");
    EXPECT_EQ(reply("status NOTIFY length"), "3000");
}

TEST_F(MediaCommands, PositionsAreReadBeforeTheDeviceIsAsked) {
    drivers.disc = false;
    ASSERT_EQ(code("open cdaudio"), kOk);
    ASSERT_EQ(code("open x.mp3 alias f"), kOk);
    drivers.calls.clear();
    // The error text of a failed query, sent back as a position, is no number.
    EXPECT_EQ(code("play cdaudio from Error:282"), kBadInteger);
    EXPECT_EQ(code("play cdaudio to 1:0:60"), kBadInteger);
    EXPECT_EQ(code("play f from -5"), kBadInteger);
    EXPECT_EQ(code("play f from 1 to x"), kBadInteger);
    EXPECT_EQ(code("play f from"), kUnrecognizedKeyword);
    EXPECT_EQ(code("play f at 5"), kUnrecognizedKeyword);
    EXPECT_EQ(code("status cdaudio position track three"), kBadInteger);
    EXPECT_TRUE(drivers.calls.empty());

    // Then the device answers: here a drive without a disc.
    EXPECT_EQ(code("play cdaudio from 2 to 03:00:01:02"), kHardware);
    EXPECT_EQ(code("resume cdaudio"), kHardware);
    EXPECT_EQ(code("pause cdaudio"), kDeviceNotReady);
    EXPECT_EQ(reply("status cdaudio mode"), "not ready");
    EXPECT_EQ(reply("status cdaudio current track"), "Error:262");
    EXPECT_EQ(code("play f to 900 from 1500"), kOk);
    EXPECT_EQ(code("resume f"), kOk);
    EXPECT_EQ(drivers.calls,
              (Calls{"cd play 02:00:00:00 03:00:01:02", "cd play - -", "file play 1500", "file resume"}));
}

TEST_F(MediaCommands, StatusRepliesAreWrittenByTheInterpreter) {
    ASSERT_EQ(code("open cdaudio"), kOk);
    ASSERT_EQ(code("open C:\\Song.MP3"), kOk);
    EXPECT_EQ(reply("status cdaudio mode"), "playing");
    EXPECT_EQ(reply("status cdaudio current track"), "4");
    EXPECT_EQ(reply("status cdaudio number of tracks"), "12");
    EXPECT_EQ(reply("status cdaudio position"), "02:01:02:03");
    EXPECT_EQ(reply("status cdaudio position track 7"), "07:00:00:00");
    EXPECT_EQ(reply("status cdaudio length"), "Error:259");
    EXPECT_EQ(reply("set cdaudio time format ms"), "Error:293");
    // A file without an alias goes by its path, in any case.
    EXPECT_EQ(reply("status c:\\song.mp3 position"), "1250");
    EXPECT_EQ(reply("status C:\\SONG.mp3 mode"), "paused");
    EXPECT_EQ(reply("set C:\\Song.MP3 time format milliseconds"), "");
    EXPECT_EQ(reply("set C:\\Song.MP3 time format tmsf"), "Error:293");
    EXPECT_EQ(reply("seek cdaudio to start"), "Error:261");
}

TEST_F(MediaCommands, TheTableOfOpenDevices) {
    EXPECT_EQ(code("open cdaudio alias disc"), kUnsupportedFunction);
    EXPECT_EQ(code("open cdaudio"), kOk);
    EXPECT_EQ(code("open cdaudio"), kDeviceOpen);
    EXPECT_EQ(code("open a.mp3 alias CDAUDIO"), kDuplicateAlias);
    EXPECT_EQ(code("open a.mp3 type sequencer alias m"), kCannotLoadDriver);
    EXPECT_EQ(code("open a.mp3 type waveaudio alias M shareable"), kOk);
    EXPECT_EQ(code("open b.mp3 alias m"), kDuplicateAlias);
    EXPECT_EQ(code("open missing.mp3 alias n"), kFileNotFound);
    EXPECT_EQ(code("close n"), kInvalidDeviceName);
    EXPECT_EQ(code("open a.mp3 alias"), kUnrecognizedKeyword);
    EXPECT_NE(interpreter.file("m"), nullptr);

    drivers.calls.clear();
    EXPECT_EQ(code("close M"), kOk);
    EXPECT_EQ(code("close cdaudio"), kOk);
    EXPECT_EQ(drivers.calls, (Calls{"file closed", "cd closed"}));
    EXPECT_EQ(code("status m mode"), kInvalidDeviceName);
    EXPECT_EQ(code("stop cdaudio"), kInvalidDeviceName);
    EXPECT_EQ(interpreter.cd(), nullptr);

    drivers.drive = false;
    EXPECT_EQ(code("open cdaudio"), kCannotLoadDriver);
    EXPECT_EQ(code("open"), kMissingParameter);
    EXPECT_EQ(code("stop"), kMissingParameter);
    EXPECT_EQ(code("  "), kMissingCommandString);
    EXPECT_EQ(code("open \"a.mp3 alias m"), kNoClosingQuote);
}

TEST(MediaReplies, TheCallersBufferIsFilledAsByTheWindowsCall) {
    char buffer[8] = "old";
    EXPECT_EQ(deliver({kOk, "playing"}, buffer, sizeof buffer), kOk);
    EXPECT_STREQ(buffer, "playing");
    // A failure clears the text; a reply that does not fit leaves the buffer as it was.
    EXPECT_EQ(deliver({kInvalidDeviceName, "ignored"}, buffer, sizeof buffer), kInvalidDeviceName);
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(buffer[1], 'l');
    EXPECT_EQ(deliver({kOk, "not ready"}, buffer, sizeof buffer), kParamOverflow);
    EXPECT_EQ(buffer[1], 'l');
    EXPECT_EQ(deliver({kOk, "stopped"}, nullptr, 0), kOk);
    EXPECT_EQ(deliver({kHardware, {}}, nullptr, 0), kHardware);

    char text[64] = "old";
    EXPECT_TRUE(error_text(kInvalidDeviceName, text, sizeof text));
    EXPECT_STREQ(text, describe(kInvalidDeviceName));
    EXPECT_FALSE(error_text(12345, text, sizeof text));
    EXPECT_EQ(text[0], 0);
    EXPECT_FALSE(error_text(kInvalidDeviceName, text, 4));
}

}  // namespace
