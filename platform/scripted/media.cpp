// Multimedia services of the scripted back end: the command interpreter (media_commands.h)
// over a simulated CD drive and simulated music files, with a log of every call (see
// media_control.h).
#include <algorithm>
#include <memory>

#include "platform/media.h"
#include "platform/emulation/media_commands.h"
#include "platform/scripted/media_control.h"

namespace plat::scripted::media {
namespace {

struct World {
    bool drive = false;
    int tracks = 0;  // 0: no disc
    int current = 1;
    CdMode mode = CdMode::Stopped;
    std::vector<std::string> playable;
    int wave_devices = 1;
    int wave_queries = 0;
    bool error_texts = true;
    std::vector<CommandRecord> log;
    std::vector<SoundCall> sounds;
};

World& world() {
    static World w;
    return w;
}

// The simulated drive: it stands on a track, and plays, pauses or stands still there.
class SimulatedCd final : public mci::CdDevice {
public:
    ~SimulatedCd() override { world().mode = CdMode::Stopped; }

    mci::Mode mode() override {
        const World& s = world();
        if (s.tracks == 0) return mci::Mode::NotReady;
        return s.mode == CdMode::Playing ? mci::Mode::Playing
               : s.mode == CdMode::Paused ? mci::Mode::Paused
                                          : mci::Mode::Stopped;
    }
    mci::Answer<long> current_track() override {
        if (world().tracks == 0) return {mci::kHardware, {}};
        return {mci::kOk, world().current};
    }
    mci::Answer<long> number_of_tracks() override {
        if (world().tracks == 0) return {mci::kHardware, {}};
        return {mci::kOk, world().tracks};
    }
    mci::Answer<mci::Tmsf> position() override {
        if (world().tracks == 0) return {mci::kHardware, {}};
        return {mci::kOk, {world().current, 0, 0, 0}};
    }
    mci::Answer<mci::Tmsf> position_of_track(long track) override {
        if (world().tracks == 0) return {mci::kHardware, {}};
        if (!on_disc(track)) return {mci::kOutOfRange, {}};
        return {mci::kOk, {static_cast<int>(track), 0, 0, 0}};
    }
    unsigned play(const std::optional<mci::Tmsf>& from, const std::optional<mci::Tmsf>& to) override {
        World& s = world();
        if (s.tracks == 0) return mci::kHardware;
        if ((from && !on_disc(from->track)) || (to && !on_disc(to->track))) return mci::kOutOfRange;
        if (from) s.current = from->track;
        s.mode = CdMode::Playing;
        return mci::kOk;
    }
    unsigned stop() override {
        if (world().tracks == 0) return mci::kHardware;
        world().mode = CdMode::Stopped;
        return mci::kOk;
    }
    unsigned pause() override {
        if (world().tracks == 0) return mci::kDeviceNotReady;
        if (world().mode == CdMode::Playing) world().mode = CdMode::Paused;
        return mci::kOk;
    }

private:
    static bool on_disc(long track) { return track >= 1 && track <= world().tracks; }
};

// A simulated music file without a length: it plays until the test lets it reach its end.
class SimulatedFile final : public mci::FileDevice {
public:
    explicit SimulatedFile(std::string path) : path_(std::move(path)) {}

    unsigned play(std::optional<long> from_ms) override {
        // As with a real file: without a position a paused file goes on, a playing one plays
        // on and one that ran to its end has nothing left to play.
        if (!from_ms && state_ == State::Ended) return mci::kOk;
        if (!from_ms && state_ == State::Playing) return mci::kOk;
        if (from_ms || state_ != State::Paused) ++play_count_;
        state_ = State::Playing;
        return mci::kOk;
    }
    unsigned stop() override {
        if (state_ != State::Ended) state_ = State::Stopped;
        return mci::kOk;
    }
    unsigned pause() override {
        if (state_ == State::Playing) state_ = State::Paused;
        return mci::kOk;
    }
    unsigned resume() override {
        if (state_ == State::Paused) state_ = State::Playing;
        return mci::kOk;
    }
    mci::Mode mode() override {
        return state_ == State::Playing ? mci::Mode::Playing
               : state_ == State::Paused ? mci::Mode::Paused
                                         : mci::Mode::Stopped;
    }
    long length_ms() override { return 0; }
    long position_ms() override { return 0; }

    void reach_end() {
        if (state_ == State::Playing) state_ = State::Ended;
    }
    const std::string& path() const { return path_; }
    bool playing() const { return state_ == State::Playing; }
    int play_count() const { return play_count_; }

private:
    enum class State { Stopped, Playing, Paused, Ended };
    std::string path_;
    State state_ = State::Stopped;
    int play_count_ = 0;
};

class SimulatedDrivers final : public mci::Drivers {
public:
    mci::Opened<mci::CdDevice> open_cd() override {
        if (!world().drive) return {nullptr, mci::kCannotLoadDriver};
        return {std::make_unique<SimulatedCd>(), mci::kOk};
    }
    mci::Opened<mci::FileDevice> open_file(std::string_view path) override {
        const auto& playable = world().playable;
        if (std::find(playable.begin(), playable.end(), path) == playable.end()) {
            return {nullptr, mci::kFileNotFound};
        }
        return {std::make_unique<SimulatedFile>(std::string(path)), mci::kOk};
    }
};

mci::Interpreter& interpreter() {
    world();  // made first, so that it outlives the devices that the interpreter holds
    static SimulatedDrivers drivers;
    static mci::Interpreter interpreter(drivers);
    return interpreter;
}

SimulatedFile* file(std::string_view alias) { return static_cast<SimulatedFile*>(interpreter().file(alias)); }

}  // namespace

void reset() {
    interpreter().close_all();
    world() = World{};
}
void set_cd_drive(bool present) { world().drive = present; }
void insert_disc(int track_count) {
    world().tracks = std::max(0, track_count);
    world().current = 1;
    world().mode = CdMode::Stopped;
}
void eject_disc() { insert_disc(0); }
void cd_moves_to_track(int track) {
    world().current = track;
    world().mode = CdMode::Playing;
}
void cd_reaches_end() {
    // After the last track the drive stands at the start of the disc again.
    world().current = 1;
    world().mode = CdMode::Stopped;
}
bool cd_is_open() { return interpreter().cd() != nullptr; }
int cd_current_track() { return world().current; }
CdMode cd_mode() { return world().mode; }

void add_playable_file(std::string path_cp932) { world().playable.push_back(std::move(path_cp932)); }
void file_reaches_end(std::string_view alias) {
    if (SimulatedFile* f = file(alias)) f->reach_end();
}
bool alias_is_open(std::string_view alias) { return file(alias) != nullptr; }
std::string alias_path(std::string_view alias) {
    const SimulatedFile* f = file(alias);
    return f ? f->path() : std::string();
}
bool alias_is_playing(std::string_view alias) {
    const SimulatedFile* f = file(alias);
    return f && f->playing();
}
int alias_play_count(std::string_view alias) {
    const SimulatedFile* f = file(alias);
    return f ? f->play_count() : 0;
}

void set_wave_out_devices(int count) { world().wave_devices = count; }
void set_error_texts_available(bool available) { world().error_texts = available; }

const std::vector<CommandRecord>& commands() { return world().log; }
std::vector<std::string> command_texts() {
    std::vector<std::string> out;
    for (const auto& r : world().log) out.push_back(r.command);
    return out;
}
void clear_log() {
    world().log.clear();
    world().sounds.clear();
    world().wave_queries = 0;
}
const std::vector<SoundCall>& sound_calls() { return world().sounds; }
int wave_device_queries() { return world().wave_queries; }

}  // namespace plat::scripted::media

namespace plat {

namespace sm = scripted::media;

std::uint32_t mci_send_string(std::string_view command, char* reply, std::uint32_t reply_length,
                              WindowHandle callback) {
    (void)callback;
    const mci::Reply answer = sm::interpreter().run(command);
    const unsigned code = mci::deliver(answer, reply, reply_length);
    sm::CommandRecord record{std::string(command), reply_length, reply != nullptr, code, {}};
    if (code == mci::kOk && reply && reply_length) record.reply = answer.text;
    sm::world().log.push_back(std::move(record));
    return code;
}

bool mci_get_error_string(std::uint32_t code, char* text, std::uint32_t text_length) {
    if (!sm::world().error_texts) {
        if (text && text_length) text[0] = 0;
        return false;
    }
    return mci::error_text(code, text, text_length);
}

bool play_sound(const char* name, std::uint32_t flags) {
    sm::world().sounds.push_back({name ? std::optional<std::string>(name) : std::nullopt, flags});
    return name == nullptr || std::find(sm::world().playable.begin(), sm::world().playable.end(),
                                        std::string(name)) != sm::world().playable.end();
}

int wave_out_device_count() {
    ++sm::world().wave_queries;
    return sm::world().wave_devices;
}

}  // namespace plat
