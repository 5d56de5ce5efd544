// The multimedia command interpreter of the Linux and scripted back ends. It reads the
// command strings (open, close, play, stop, pause, resume, status, set), keeps the table of
// open devices, and gives every error code and reply text; a back end only supplies the
// devices below. Both back ends thus answer the same command with the same code and text.
//
// Rules that hold for every command:
// - The second word names the device: "cdaudio", or the alias (or path) of an open file,
//   without regard to the case of ASCII letters.
// - "notify" is accepted and posts nothing: the callback window is not used.
// - "wait" is accepted where the command is done when it returns anyway; on play and resume
//   it would hold the caller until the music ends, which this interpreter never does, so
//   those refuse it (kUnsupportedFunction).
// - The numbers of positions are read here: a position that is no number (milliseconds for
//   files, tmsf for the CD) fails with kBadInteger before the device is asked.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/emulation/mci_words.h"

namespace plat::mci {

enum class Mode { NotReady, Stopped, Playing, Paused };

// A device's answer to a query: a code, and the value when the code is kOk.
template <typename T>
struct Answer {
    unsigned code = kOk;
    T value{};
};

// A music file opened as MPEGVideo (or waveaudio); positions are milliseconds. Playback
// always runs to the end of the file: "to" is read, and then left to the file's end.
class FileDevice {
public:
    virtual ~FileDevice() = default;  // stops playback
    // From `from_ms`, or without it from where the file stands: a paused file goes on, a
    // playing one plays on, one stopped by a command goes on from where it stopped, one
    // that ran to its end has nothing left to play.
    virtual unsigned play(std::optional<long> from_ms) = 0;
    virtual unsigned stop() = 0;
    virtual unsigned pause() = 0;   // only a playing file pauses
    virtual unsigned resume() = 0;  // only a paused file goes on
    virtual Mode mode() = 0;
    virtual long length_ms() = 0;
    virtual long position_ms() = 0;
};

// The audio CD, in the time format tmsf. Without a disc the device is "not ready" and its
// other queries and commands fail with kHardware (pause with kDeviceNotReady).
class CdDevice {
public:
    virtual ~CdDevice() = default;  // stops playback
    virtual Mode mode() = 0;
    virtual Answer<long> current_track() = 0;
    virtual Answer<long> number_of_tracks() = 0;
    virtual Answer<Tmsf> position() = 0;
    virtual Answer<Tmsf> position_of_track(long track) = 0;  // kOutOfRange when not on the disc
    // Without `from` from where the disc stands (from the first track after the end);
    // without `to` to the end of the disc. A position not on the disc is kOutOfRange.
    virtual unsigned play(const std::optional<Tmsf>& from, const std::optional<Tmsf>& to) = 0;
    virtual unsigned stop() = 0;
    virtual unsigned pause() = 0;
};

template <typename T>
struct Opened {
    std::unique_ptr<T> device;
    unsigned code = kOk;  // when there is no device
};

// What a back end supplies: its devices.
class Drivers {
public:
    virtual ~Drivers() = default;
    // kCannotLoadDriver when the machine has no CD drive.
    virtual Opened<CdDevice> open_cd() = 0;
    // `path` is CP932, as the command gives it.
    virtual Opened<FileDevice> open_file(std::string_view path) = 0;
};

// The reply to one command string: the code and, when it is kOk, the reply text.
struct Reply {
    unsigned code = kOk;
    std::string text;
};

class Interpreter {
public:
    explicit Interpreter(Drivers& drivers) : drivers_(drivers) {}

    Reply run(std::string_view command);

    // Closes every device, as at the end of the process.
    void close_all();

    // The open file under `alias` (any case), or null; the CD device when it is open.
    FileDevice* file(std::string_view alias) const;
    CdDevice* cd() const { return cd_.get(); }

private:
    Reply open(const std::vector<std::string>& words);
    Reply cd_command(const std::vector<std::string>& words, bool wait);
    Reply file_command(const std::string& key, FileDevice& file, const std::vector<std::string>& words,
                       bool wait);

    Drivers& drivers_;
    std::unique_ptr<CdDevice> cd_;
    std::map<std::string, std::unique_ptr<FileDevice>> files_;  // by alias, lower case
};

// mciSendStringA's handling of the caller's buffer: on failure its first character is
// cleared; on success the reply is copied, or kParamOverflow returned when it does not fit
// (the buffer then stays as it was). `reply` may be null when `reply_length` is 0.
unsigned deliver(const Reply& answer, char* reply, std::uint32_t reply_length);

// mciGetErrorStringA over describe(): false for a code without a description.
bool error_text(std::uint32_t code, char* text, std::uint32_t text_length);

}  // namespace plat::mci
