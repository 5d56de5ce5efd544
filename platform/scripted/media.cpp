// Multimedia services of the scripted back end: a command interpreter over a simulated CD
// drive and simulated music files, with a log of every call (see media_control.h).
#include <algorithm>
#include <map>

#include "platform/media.h"
#include "platform/posix/mci_words.h"
#include "platform/scripted/media_control.h"

namespace plat::scripted::media {
namespace {

using mci::same_word;

struct FileDevice {
    std::string path;
    bool playing = false;
    int play_count = 0;
};

struct World {
    bool drive = false;
    int tracks = 0;  // 0: no disc
    bool cd_open = false;
    int current = 1;
    CdMode mode = CdMode::Stopped;
    std::vector<std::string> playable;
    std::map<std::string, FileDevice> files;  // by alias, lower case
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

std::string lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

struct Result {
    unsigned code = mci::kOk;
    std::string reply;
};

Result error(unsigned code) { return {code, {}}; }

Result open_device(const std::vector<std::string>& w) {
    World& s = world();
    if (w.size() < 2) return error(mci::kMissingParameter);
    std::string type, alias;
    for (std::size_t i = 2; i < w.size(); ++i) {
        if ((same_word(w[i], "type") || same_word(w[i], "alias")) && i + 1 < w.size()) {
            (same_word(w[i], "type") ? type : alias) = w[i + 1];
            ++i;
        } else if (!same_word(w[i], "shareable") && !same_word(w[i], "wait") && !same_word(w[i], "notify")) {
            return error(mci::kUnrecognizedKeyword);
        }
    }
    if (same_word(w[1], "cdaudio")) {
        if (!s.drive) return error(mci::kCannotLoadDriver);
        if (s.cd_open) return error(mci::kDeviceOpen);
        s.cd_open = true;
        return {};
    }
    if (!type.empty() && !same_word(type, "mpegvideo") && !same_word(type, "waveaudio")) {
        return error(mci::kCannotLoadDriver);
    }
    const std::string key = lower(alias.empty() ? w[1] : alias);
    if (key == "cdaudio" || s.files.contains(key)) return error(mci::kDuplicateAlias);
    if (std::find(s.playable.begin(), s.playable.end(), w[1]) == s.playable.end()) {
        return error(mci::kFileNotFound);
    }
    s.files[key] = FileDevice{w[1], false, 0};
    return {};
}

Result cd_command(const std::vector<std::string>& w) {
    World& s = world();
    const std::string& verb = w[0];
    if (same_word(verb, "close")) {
        s.cd_open = false;
        s.mode = CdMode::Stopped;
        return {};
    }
    if (same_word(verb, "set")) {
        if (w.size() == 5 && same_word(w[2], "time") && same_word(w[3], "format")) {
            if (same_word(w[4], "tmsf")) return {};
            return error(mci::kBadTimeFormat);
        }
        return error(mci::kUnrecognizedKeyword);
    }
    if (same_word(verb, "status")) {
        if (w.size() == 3 && same_word(w[2], "mode")) {
            if (s.tracks == 0) return {mci::kOk, "not ready"};
            return {mci::kOk, s.mode == CdMode::Playing ? "playing" : s.mode == CdMode::Paused ? "paused" : "stopped"};
        }
        if (s.tracks == 0) return error(mci::kHardware);
        if (w.size() == 4 && same_word(w[2], "current") && same_word(w[3], "track")) {
            return {mci::kOk, std::to_string(s.current)};
        }
        if (w.size() == 5 && same_word(w[2], "number") && same_word(w[3], "of") && same_word(w[4], "tracks")) {
            return {mci::kOk, std::to_string(s.tracks)};
        }
        if (w.size() == 5 && same_word(w[2], "position") && same_word(w[3], "track")) {
            const auto n = mci::whole_number(w[4]);
            if (!n) return error(mci::kBadInteger);
            if (*n < 1 || *n > s.tracks) return error(mci::kOutOfRange);
            return {mci::kOk, mci::format_tmsf({static_cast<int>(*n), 0, 0, 0})};
        }
        if (w.size() == 3 && same_word(w[2], "position")) {
            return {mci::kOk, mci::format_tmsf({s.current, 0, 0, 0})};
        }
        return error(mci::kUnrecognizedKeyword);
    }
    if (same_word(verb, "play")) {
        if (s.tracks == 0) return error(mci::kHardware);
        int from = s.current;
        for (std::size_t i = 2; i < w.size(); ++i) {
            if ((same_word(w[i], "from") || same_word(w[i], "to")) && i + 1 < w.size()) {
                const auto p = mci::parse_tmsf(w[i + 1]);
                if (!p) return error(mci::kBadInteger);
                if (p->track < 1 || p->track > s.tracks) return error(mci::kOutOfRange);
                if (same_word(w[i], "from")) from = p->track;
                ++i;
            } else if (!same_word(w[i], "notify") && !same_word(w[i], "wait")) {
                return error(mci::kUnrecognizedKeyword);
            }
        }
        s.current = from;
        s.mode = CdMode::Playing;
        return {};
    }
    if (same_word(verb, "stop") || same_word(verb, "pause")) {
        if (s.tracks == 0) return error(mci::kHardware);
        s.mode = same_word(verb, "stop") ? CdMode::Stopped : CdMode::Paused;
        return {};
    }
    return error(mci::kUnrecognizedCommand);
}

Result file_command(FileDevice& f, const std::string& key, const std::vector<std::string>& w) {
    const std::string& verb = w[0];
    if (same_word(verb, "close")) {
        world().files.erase(key);
        return {};
    }
    if (same_word(verb, "status")) {
        if (w.size() == 3 && same_word(w[2], "mode")) return {mci::kOk, f.playing ? "playing" : "stopped"};
        return error(mci::kUnrecognizedKeyword);
    }
    if (same_word(verb, "set")) {
        if (w.size() == 5 && same_word(w[2], "time") && same_word(w[3], "format") &&
            (same_word(w[4], "milliseconds") || same_word(w[4], "ms"))) {
            return {};
        }
        return error(mci::kBadTimeFormat);
    }
    if (same_word(verb, "play")) {
        for (std::size_t i = 2; i < w.size(); ++i) {
            if ((same_word(w[i], "from") || same_word(w[i], "to")) && i + 1 < w.size()) {
                if (!mci::whole_number(w[i + 1])) return error(mci::kBadInteger);
                ++i;
            } else if (!same_word(w[i], "notify") && !same_word(w[i], "wait")) {
                return error(mci::kUnrecognizedKeyword);
            }
        }
        f.playing = true;
        ++f.play_count;
        return {};
    }
    if (same_word(verb, "stop") || same_word(verb, "pause")) {
        f.playing = false;
        return {};
    }
    return error(mci::kUnrecognizedCommand);
}

Result interpret(std::string_view command) {
    World& s = world();
    const auto words = mci::split_words(command);
    if (!words) return error(mci::kNoClosingQuote);
    const auto& w = *words;
    if (w.empty()) return error(mci::kMissingCommandString);
    if (same_word(w[0], "open")) return open_device(w);
    if (w.size() < 2) return error(mci::kMissingParameter);
    if (same_word(w[1], "cdaudio")) {
        if (!s.cd_open) return error(mci::kInvalidDeviceName);
        return cd_command(w);
    }
    const std::string key = lower(w[1]);
    const auto found = s.files.find(key);
    if (found == s.files.end()) return error(mci::kInvalidDeviceName);
    return file_command(found->second, key, w);
}

}  // namespace

void reset() { world() = World{}; }
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
bool cd_is_open() { return world().cd_open; }
int cd_current_track() { return world().current; }
CdMode cd_mode() { return world().mode; }

void add_playable_file(std::string path_cp932) { world().playable.push_back(std::move(path_cp932)); }
void file_reaches_end(std::string_view alias) {
    const auto found = world().files.find(lower(alias));
    if (found != world().files.end()) found->second.playing = false;
}
bool alias_is_open(std::string_view alias) { return world().files.contains(lower(alias)); }
std::string alias_path(std::string_view alias) {
    const auto found = world().files.find(lower(alias));
    return found == world().files.end() ? std::string() : found->second.path;
}
bool alias_is_playing(std::string_view alias) {
    const auto found = world().files.find(lower(alias));
    return found != world().files.end() && found->second.playing;
}
int alias_play_count(std::string_view alias) {
    const auto found = world().files.find(lower(alias));
    return found == world().files.end() ? 0 : found->second.play_count;
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
    sm::Result r = sm::interpret(command);
    sm::CommandRecord record{std::string(command), reply_length, reply != nullptr, r.code, {}};
    (void)callback;
    if (r.code == mci::kOk) {
        r.code = mci::put_reply(r.reply, reply, reply_length);
        record.code = r.code;
        if (r.code == mci::kOk && reply && reply_length) record.reply = r.reply;
    }
    sm::world().log.push_back(std::move(record));
    return r.code;
}

bool mci_get_error_string(std::uint32_t code, char* text, std::uint32_t text_length) {
    if (!text || text_length == 0) return false;
    text[0] = 0;
    const char* description = mci::describe(code);
    if (!sm::world().error_texts || !description) return false;
    return mci::put_reply(description, text, text_length) == mci::kOk;
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
