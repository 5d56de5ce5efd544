// The multimedia command interpreter on any command strings (one a line), over devices that
// keep a play state of their own: no crash, every reply fits the buffer it is given or is
// refused, and every code has its description.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/emulation/media_commands.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using namespace plat::mci;

class StateFile final : public FileDevice {
public:
    unsigned play(std::optional<long> from_ms) override {
        if (from_ms) position_ = *from_ms > 3000 ? 3000 : *from_ms;
        mode_ = position_ < 3000 ? Mode::Playing : Mode::Stopped;
        return kOk;
    }
    unsigned stop() override { mode_ = Mode::Stopped; return kOk; }
    unsigned pause() override {
        if (mode_ != Mode::Playing) return kUnsupportedFunction;
        mode_ = Mode::Paused;
        return kOk;
    }
    unsigned resume() override {
        if (mode_ != Mode::Paused) return kUnsupportedFunction;
        mode_ = Mode::Playing;
        return kOk;
    }
    Mode mode() override { return mode_; }
    long length_ms() override { return 3000; }
    long position_ms() override { return position_; }

private:
    Mode mode_ = Mode::Stopped;
    long position_ = 0;
};

class StateCd final : public CdDevice {
public:
    explicit StateCd(int tracks) : tracks_(tracks) {}
    Mode mode() override { return tracks_ ? mode_ : Mode::NotReady; }
    Answer<long> current_track() override { return answer(long{track_}); }
    Answer<long> number_of_tracks() override { return answer(long{tracks_}); }
    Answer<Tmsf> position() override { return answer(Tmsf{track_, 0, 1, 2}); }
    Answer<Tmsf> position_of_track(long track) override {
        if (!tracks_) return {kHardware, {}};
        if (track < 1 || track > tracks_) return {kOutOfRange, {}};
        return {kOk, Tmsf{static_cast<int>(track), 0, 0, 0}};
    }
    unsigned play(const std::optional<Tmsf>& from, const std::optional<Tmsf>& to) override {
        if (!tracks_) return kHardware;
        for (const auto* p : {&from, &to})
            if (*p && ((*p)->track < 1 || (*p)->track > tracks_)) return kOutOfRange;
        if (from) track_ = from->track;
        mode_ = Mode::Playing;
        return kOk;
    }
    unsigned stop() override {
        if (!tracks_) return kHardware;
        mode_ = Mode::Stopped;
        return kOk;
    }
    unsigned pause() override {
        if (!tracks_) return kDeviceNotReady;
        mode_ = Mode::Paused;
        return kOk;
    }

private:
    template <typename T>
    Answer<T> answer(T value) {
        if (!tracks_) return {kHardware, {}};
        return {kOk, value};
    }
    int tracks_;
    int track_ = 1;
    Mode mode_ = Mode::Stopped;
};

class StateDrivers final : public Drivers {
public:
    explicit StateDrivers(int tracks) : tracks_(tracks) {}
    Opened<CdDevice> open_cd() override {
        if (tracks_ < 0) return {nullptr, kCannotLoadDriver};
        return {std::make_unique<StateCd>(tracks_), kOk};
    }
    Opened<FileDevice> open_file(std::string_view path) override {
        if (path.find("missing") != std::string_view::npos) return {nullptr, kFileNotFound};
        return {std::make_unique<StateFile>(), kOk};
    }

private:
    int tracks_;  // -1: no drive, 0: no disc
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    StateDrivers drivers(static_cast<int>(data[0] % 34) - 1);
    Interpreter interpreter(drivers);
    std::string_view text = fuzz::as_text(data + 1, size - 1);
    for (int count = 0; count < 64 && !text.empty(); ++count) {
        const std::size_t end = text.find('\n');
        const std::string_view command = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);

        const Reply answer = interpreter.run(command);
        // The caller's buffer, exactly as long as it says, so that writing past it shows.
        const std::uint32_t length = static_cast<std::uint32_t>(command.size() % 24);
        std::vector<char> buffer(length, '\x7f');
        const unsigned code = deliver(answer, length ? buffer.data() : nullptr, length);
        if (answer.code != kOk) {
            FUZZ_CHECK(code == answer.code);
            FUZZ_CHECK(describe(code) != nullptr);
        } else if (code == kOk && length > 0) {
            FUZZ_CHECK(std::strlen(buffer.data()) == answer.text.size());
        } else if (length > 0) {
            FUZZ_CHECK(code == kParamOverflow);
        }
        char message[128];
        FUZZ_CHECK(error_text(code, message, sizeof message) == (describe(code) != nullptr));
    }
    interpreter.close_all();
    return 0;
}
