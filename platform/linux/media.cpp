// Multimedia services of the Linux back end: a command-string interpreter of our own that
// understands the commands the program sends (the audio CD as "cdaudio", music files opened
// as type MPEGVideo under an alias), the looping wave player and the output count.
//
// Music files and wave files play through SDL2_mixer; the CD through libcdio (cd_drive.h).
// Nothing here waits for playback: a command changes the state and returns, and the audio
// runs on SDL's thread (and, for the CD and for loading a wave file, on a thread of ours).
#include <SDL.h>
#include <SDL_mixer.h>
#include <unistd.h>

#include <map>
#include <optional>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/linux/cd_drive.h"
#include "platform/media.h"
#include "platform/posix/mci_words.h"
#include "platform/text.h"

namespace plat {
namespace {

using mci::same_word;
using Words = std::vector<std::string>;

struct Answer {
    unsigned code = mci::kOk;
    std::string reply;
};
Answer fail(unsigned code) { return {code, {}}; }

// The mixer's output, opened at first use and kept for the process.
bool audio_ready() {
    static const bool ready = [] {
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
        Mix_Init(MIX_INIT_MP3);
        if (Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 2048) != 0) return false;
        Mix_ReserveChannels(1);  // channel 0: the looping wave
        return true;
    }();
    return ready;
}

std::string utf8_path(std::string_view cp932) { return cp932_to_utf8(cp932); }

// --- Music files (MPEGVideo) ---
// The mixer has one music stream: the file that played last owns it; the others stand still.

struct FileDevice {
    Mix_Music* music = nullptr;
    bool paused = false;
    bool stopped_by_command = true;  // false while it plays or after it ran to its end
    double stop_seconds = 0;         // where "play" without a position goes on from
};

FileDevice* music_owner = nullptr;

bool owns_stream(const FileDevice& f) { return music_owner == &f; }
bool is_playing(const FileDevice& f) { return owns_stream(f) && Mix_PlayingMusic() && !f.paused; }

Answer file_play(FileDevice& f, const Words& w) {
    std::optional<long> from;
    for (std::size_t i = 2; i < w.size(); ++i) {
        if ((same_word(w[i], "from") || same_word(w[i], "to")) && i + 1 < w.size()) {
            const auto ms = mci::whole_number(w[i + 1]);
            if (!ms) return fail(mci::kBadInteger);
            if (same_word(w[i], "from")) from = *ms;
            ++i;
        } else if (!same_word(w[i], "notify")) {
            return fail(mci::kUnrecognizedKeyword);
        }
    }
    if (!from && f.paused && owns_stream(f)) {
        Mix_ResumeMusic();
        f.paused = false;
        return {};
    }
    double start = from ? *from / 1000.0 : f.stop_seconds;
    // Without a position a playing file plays on, and one that ran to its end has nothing
    // left to play.
    if (!from && !f.stopped_by_command) return {};
    const double length = Mix_MusicDuration(f.music);
    if (length > 0 && start >= length) return fail(mci::kOutOfRange);
    if (Mix_PlayMusic(f.music, 0) != 0) return fail(mci::kHardware);
    if (start > 0) Mix_SetMusicPosition(start);
    music_owner = &f;
    f.paused = false;
    f.stopped_by_command = false;
    return {};
}

Answer file_stop(FileDevice& f) {
    if (owns_stream(f)) {
        if (Mix_PlayingMusic()) {
            const double at = Mix_GetMusicPosition(f.music);
            f.stop_seconds = at > 0 ? at : 0;
            f.stopped_by_command = true;
        }
        Mix_HaltMusic();
    }
    f.paused = false;
    return {};
}

Answer file_status(FileDevice& f, const Words& w) {
    if (w.size() == 3 && same_word(w[2], "mode")) {
        if (owns_stream(f) && f.paused) return {mci::kOk, "paused"};
        return {mci::kOk, is_playing(f) ? "playing" : "stopped"};
    }
    if (w.size() == 3 && same_word(w[2], "length")) {
        const double length = Mix_MusicDuration(f.music);
        return {mci::kOk, std::to_string(length > 0 ? static_cast<long>(length * 1000) : 0)};
    }
    if (w.size() == 3 && same_word(w[2], "position")) {
        double at = f.stop_seconds;
        if (owns_stream(f) && Mix_PlayingMusic()) at = Mix_GetMusicPosition(f.music);
        else if (!f.stopped_by_command) at = Mix_MusicDuration(f.music);
        return {mci::kOk, std::to_string(at > 0 ? static_cast<long>(at * 1000) : 0)};
    }
    return fail(mci::kUnrecognizedKeyword);
}

// --- The interpreter ---

struct Devices {
    std::unique_ptr<linux_media::CdPlayer> cd;
    std::map<std::string, std::unique_ptr<FileDevice>> files;  // by alias, lower case
};

Devices& devices() {
    static Devices d;
    return d;
}

std::string lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

Answer open_device(const Words& w) {
    Devices& d = devices();
    if (w.size() < 2) return fail(mci::kMissingParameter);
    std::string type, alias;
    for (std::size_t i = 2; i < w.size(); ++i) {
        if ((same_word(w[i], "type") || same_word(w[i], "alias")) && i + 1 < w.size()) {
            (same_word(w[i], "type") ? type : alias) = w[i + 1];
            ++i;
        } else if (!same_word(w[i], "shareable")) {
            return fail(mci::kUnrecognizedKeyword);
        }
    }
    if (same_word(w[1], "cdaudio")) {
        if (!alias.empty() || !type.empty()) return fail(mci::kUnsupportedFunction);
        if (d.cd) return fail(mci::kDeviceOpen);
        unsigned code = mci::kOk;
        d.cd = linux_media::CdPlayer::open(code);
        return fail(code);
    }
    if (!type.empty() && !same_word(type, "mpegvideo") && !same_word(type, "waveaudio")) {
        return fail(mci::kCannotLoadDriver);
    }
    const std::string key = lower(alias.empty() ? w[1] : alias);
    if (key == "cdaudio" || d.files.contains(key)) return fail(mci::kDuplicateAlias);
    const std::string path = utf8_path(w[1]);
    if (::access(path.c_str(), R_OK) != 0) return fail(mci::kFileNotFound);
    if (!audio_ready()) return fail(mci::kHardware);
    Mix_Music* music = Mix_LoadMUS(path.c_str());
    if (!music) return fail(mci::kInvalidFile);
    auto device = std::make_unique<FileDevice>();
    device->music = music;
    d.files.emplace(key, std::move(device));
    return {};
}

Answer cd_command(linux_media::CdPlayer& cd, const Words& w) {
    const std::string& verb = w[0];
    if (same_word(verb, "close")) {
        devices().cd.reset();
        return {};
    }
    if (same_word(verb, "set")) {
        if (w.size() == 5 && same_word(w[2], "time") && same_word(w[3], "format")) {
            return same_word(w[4], "tmsf") ? Answer{} : fail(mci::kBadTimeFormat);
        }
        return fail(mci::kUnrecognizedKeyword);
    }
    if (same_word(verb, "status")) {
        linux_media::CdAnswer a{mci::kUnrecognizedKeyword, {}};
        if (w.size() == 3 && same_word(w[2], "mode")) {
            a = cd.mode();
        } else if (w.size() == 3 && same_word(w[2], "position")) {
            a = cd.position();
        } else if (w.size() == 4 && same_word(w[2], "current") && same_word(w[3], "track")) {
            a = cd.current_track();
        } else if (w.size() == 5 && same_word(w[2], "number") && same_word(w[3], "of") &&
                   same_word(w[4], "tracks")) {
            a = cd.number_of_tracks();
        } else if (w.size() == 5 && same_word(w[2], "position") && same_word(w[3], "track")) {
            const auto n = mci::whole_number(w[4]);
            a = n ? cd.position_of_track(*n) : linux_media::CdAnswer{mci::kBadInteger, {}};
        }
        return {a.code, a.reply};
    }
    if (same_word(verb, "play")) {
        std::string from, to;
        for (std::size_t i = 2; i < w.size(); ++i) {
            if ((same_word(w[i], "from") || same_word(w[i], "to")) && i + 1 < w.size()) {
                (same_word(w[i], "from") ? from : to) = w[i + 1];
                ++i;
            } else if (!same_word(w[i], "notify")) {
                return fail(mci::kUnrecognizedKeyword);
            }
        }
        const auto a = cd.play(from, to);
        return fail(a.code);
    }
    if (same_word(verb, "stop")) return fail(cd.stop().code);
    if (same_word(verb, "pause")) return fail(cd.pause().code);
    if (same_word(verb, "resume")) return fail(cd.play("", "").code);
    return fail(mci::kUnrecognizedCommand);
}

Answer file_command(const std::string& key, FileDevice& f, const Words& w) {
    const std::string& verb = w[0];
    if (same_word(verb, "close")) {
        file_stop(f);
        if (owns_stream(f)) music_owner = nullptr;
        Mix_FreeMusic(f.music);
        devices().files.erase(key);
        return {};
    }
    if (same_word(verb, "play")) return file_play(f, w);
    if (same_word(verb, "stop")) return file_stop(f);
    if (same_word(verb, "pause")) {
        if (is_playing(f)) {
            Mix_PauseMusic();
            f.paused = true;
        }
        return {};
    }
    if (same_word(verb, "resume")) {
        if (owns_stream(f) && f.paused) {
            Mix_ResumeMusic();
            f.paused = false;
        }
        return {};
    }
    if (same_word(verb, "status")) return file_status(f, w);
    if (same_word(verb, "set")) {
        if (w.size() == 5 && same_word(w[2], "time") && same_word(w[3], "format") &&
            (same_word(w[4], "milliseconds") || same_word(w[4], "ms"))) {
            return {};
        }
        return fail(mci::kBadTimeFormat);
    }
    return fail(mci::kUnrecognizedCommand);
}

Answer interpret(std::string_view command) {
    const auto words = mci::split_words(command);
    if (!words) return fail(mci::kNoClosingQuote);
    const Words& w = *words;
    if (w.empty()) return fail(mci::kMissingCommandString);
    // Waiting for the end of a command is the one thing this interpreter never does.
    for (const std::string& word : w) {
        if (same_word(word, "wait")) return fail(mci::kUnsupportedFunction);
    }
    if (same_word(w[0], "open")) return open_device(w);
    if (w.size() < 2) return fail(mci::kMissingParameter);
    Devices& d = devices();
    if (same_word(w[1], "cdaudio")) {
        if (!d.cd) return fail(mci::kInvalidDeviceName);
        return cd_command(*d.cd, w);
    }
    const std::string key = lower(w[1]);
    const auto found = d.files.find(key);
    if (found == d.files.end()) return fail(mci::kInvalidDeviceName);
    return file_command(key, *found->second, w);
}

// --- The looping wave player ---
// The file is decoded on a thread of its own (a long wave file takes a while), then played
// on the reserved channel. A newer call, or the stop call, makes an older load void.

struct WavePlayer {
    std::mutex mutex;
    unsigned generation = 0;
    Mix_Chunk* chunk = nullptr;
};

WavePlayer& wave() {
    static WavePlayer* w = new WavePlayer;  // never destroyed: load threads may outlive main
    return *w;
}

void stop_wave_locked(WavePlayer& w) {
    ++w.generation;
    Mix_HaltChannel(0);
    if (w.chunk) Mix_FreeChunk(w.chunk);
    w.chunk = nullptr;
}

}  // namespace

std::uint32_t mci_send_string(std::string_view command, char* reply, std::uint32_t reply_length,
                              WindowHandle) {
    Answer a = interpret(command);
    if (a.code != mci::kOk) {
        if (reply && reply_length) reply[0] = 0;
        return a.code;
    }
    return mci::put_reply(a.reply, reply, reply_length);
}

bool mci_get_error_string(std::uint32_t code, char* text, std::uint32_t text_length) {
    if (!text || text_length == 0) return false;
    text[0] = 0;
    const char* description = mci::describe(code);
    return description && mci::put_reply(description, text, text_length) == mci::kOk;
}

// Names are file paths (there are no system sound aliases here). Every call is asynchronous;
// a file that cannot be played stays silent, as no default sound exists.
bool play_sound(const char* name, std::uint32_t flags) {
    if (!audio_ready()) return false;
    WavePlayer& w = wave();
    std::unique_lock lock(w.mutex);
    stop_wave_locked(w);
    if (!name) return true;
    const std::string path = utf8_path(name);
    if (::access(path.c_str(), R_OK) != 0) return false;
    const unsigned generation = w.generation;
    const int loops = (flags & kSndLoop) ? -1 : 0;
    std::thread([path, generation, loops] {
        Mix_Chunk* chunk = Mix_LoadWAV(path.c_str());
        WavePlayer& player = wave();
        std::lock_guard inner(player.mutex);
        if (!chunk) return;
        if (generation != player.generation) {
            Mix_FreeChunk(chunk);
            return;
        }
        player.chunk = chunk;
        Mix_PlayChannel(0, chunk, loops);
    }).detach();
    return true;
}

int wave_out_device_count() { return audio_ready() ? 1 : 0; }

}  // namespace plat
