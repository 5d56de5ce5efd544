// Multimedia services of the Linux back end: the devices under the command interpreter
// (media_commands.h) - the audio CD as "cdaudio", music files opened as type MPEGVideo
// under an alias - the looping wave player and the output count.
//
// Music files and wave files play through SDL2_mixer; the CD through libcdio (cd_drive.h).
// Nothing here waits for playback: a command changes the state and returns, and the audio
// runs on SDL's thread (and, for the CD and for loading a wave file, on a thread of ours).
#include <SDL.h>
#include <SDL_mixer.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "common/wave_file.h"
#include "platform/linux/cd_drive.h"
#include "platform/media.h"
#include "platform/posix/media_commands.h"
#include "platform/files.h"
#include "platform/posix/native_path.h"

namespace plat {
namespace {

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

std::string utf8_path(std::string_view cp932) { return native_path(cp932); }

// --- Music files (MPEGVideo) ---
// The mixer has one music stream: the file that played last owns it; the others stand still.

class MixerFile;
MixerFile* music_owner = nullptr;

class MixerFile final : public mci::FileDevice {
public:
    explicit MixerFile(Mix_Music* music) : music_(music) {}
    ~MixerFile() override {
        stop();
        if (owns_stream()) music_owner = nullptr;
        Mix_FreeMusic(music_);
    }

    unsigned play(std::optional<long> from_ms) override {
        if (!from_ms && paused_ && owns_stream()) {
            Mix_ResumeMusic();
            paused_ = false;
            return mci::kOk;
        }
        const double start = from_ms ? *from_ms / 1000.0 : stop_seconds_;
        // Without a position a playing file plays on, and one that ran to its end has
        // nothing left to play.
        if (!from_ms && !stopped_by_command_) return mci::kOk;
        const double length = Mix_MusicDuration(music_);
        if (length > 0 && start >= length) return mci::kOutOfRange;
        if (Mix_PlayMusic(music_, 0) != 0) return mci::kHardware;
        if (start > 0) Mix_SetMusicPosition(start);
        music_owner = this;
        paused_ = false;
        stopped_by_command_ = false;
        return mci::kOk;
    }

    unsigned stop() override {
        if (owns_stream()) {
            if (Mix_PlayingMusic()) {
                const double at = Mix_GetMusicPosition(music_);
                stop_seconds_ = at > 0 ? at : 0;
                stopped_by_command_ = true;
            }
            Mix_HaltMusic();
        }
        paused_ = false;
        return mci::kOk;
    }

    unsigned pause() override {
        if (is_playing()) {
            Mix_PauseMusic();
            paused_ = true;
        }
        return mci::kOk;
    }

    unsigned resume() override {
        if (owns_stream() && paused_) {
            Mix_ResumeMusic();
            paused_ = false;
        }
        return mci::kOk;
    }

    mci::Mode mode() override {
        if (owns_stream() && paused_) return mci::Mode::Paused;
        return is_playing() ? mci::Mode::Playing : mci::Mode::Stopped;
    }

    long length_ms() override { return milliseconds(Mix_MusicDuration(music_)); }

    long position_ms() override {
        double at = stop_seconds_;
        if (owns_stream() && Mix_PlayingMusic()) at = Mix_GetMusicPosition(music_);
        else if (!stopped_by_command_) at = Mix_MusicDuration(music_);
        return milliseconds(at);
    }

private:
    static long milliseconds(double seconds) { return seconds > 0 ? static_cast<long>(seconds * 1000) : 0; }
    bool owns_stream() const { return music_owner == this; }
    bool is_playing() const { return owns_stream() && Mix_PlayingMusic() && !paused_; }

    Mix_Music* music_;
    bool paused_ = false;
    bool stopped_by_command_ = true;  // false while it plays or after it ran to its end
    double stop_seconds_ = 0;         // where "play" without a position goes on from
};

class LinuxDrivers final : public mci::Drivers {
public:
    mci::Opened<mci::CdDevice> open_cd() override { return linux_media::CdPlayer::open(); }

    mci::Opened<mci::FileDevice> open_file(std::string_view path_cp932) override {
        // Only a regular file: a FIFO or a device would hold the decoder (and the caller).
        if (!can_open_for_reading(path_cp932)) return {nullptr, mci::kFileNotFound};
        const std::string path = utf8_path(path_cp932);
        if (!audio_ready()) return {nullptr, mci::kHardware};
        Mix_Music* music = Mix_LoadMUS(path.c_str());
        if (!music) return {nullptr, mci::kInvalidFile};
        return {std::make_unique<MixerFile>(music), mci::kOk};
    }
};

mci::Interpreter& interpreter() {
    static LinuxDrivers drivers;
    static mci::Interpreter interpreter(drivers);
    return interpreter;
}

// --- The looping wave player ---
// A wave is played only when its RIFF structure passes common::check_wave (the Windows build
// checks the same before the system's player). It then plays as the mixer's music stream,
// which reads it as it plays: memory does not grow with the file's length. The stream is the
// one that music files use; the program plays one source at a time, and the wave takes the
// stream from a file that played before it. Waves that the stream cannot read (compressed
// kinds such as ADPCM) are decoded whole on a thread of their own, then played on the reserved
// channel, when what they decode to stays within kWholeWaveBytes; a longer one plays nothing.
// A newer call, or the stop call, makes an older load void.

// The most that a wave decoded whole may take, in its own sample format and in the mixer's:
// about six minutes at 44.1 kHz in 16-bit stereo. The decoder holds the file's data, the
// decoded samples and their conversion at once, so its peak is some three times this.
constexpr std::uint64_t kWholeWaveBytes = 64ull << 20;

// The wave's format when `name` is a regular file that passes the structure check.
std::optional<common::WaveInfo> checked_wave(const char* name) {
    const int fd = ::open(native_path(name).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    std::optional<common::WaveInfo> info;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
        info = common::check_wave(static_cast<std::uint64_t>(st.st_size),
                                  [fd](std::uint64_t offset, std::size_t length, std::uint8_t* out) {
                                      while (length > 0) {
                                          const ssize_t got = ::pread(fd, out, length, static_cast<off_t>(offset));
                                          if (got <= 0) return false;
                                          out += got, offset += static_cast<std::uint64_t>(got);
                                          length -= static_cast<std::size_t>(got);
                                      }
                                      return true;
                                  });
    ::close(fd);
    return info;
}

// True when the wave, decoded whole and converted to the mixer's output, stays within
// kWholeWaveBytes.
bool fits_whole(const common::WaveInfo& w) {
    int rate = 0, channels = 0;
    Uint16 format = 0;
    if (!Mix_QuerySpec(&rate, &format, &channels)) return false;
    const std::uint64_t frames = w.frames();
    const std::uint64_t decoded = frames * w.channels * std::max<unsigned>(w.bits, 16) / 8;
    const std::uint64_t converted = (frames * static_cast<std::uint64_t>(rate) / w.rate + 1) *
                                    static_cast<std::uint64_t>(channels) * (SDL_AUDIO_BITSIZE(format) / 8);
    return decoded <= kWholeWaveBytes && converted <= kWholeWaveBytes;
}

struct WavePlayer {
    std::mutex mutex;
    unsigned generation = 0;
    Mix_Chunk* chunk = nullptr;
    Mix_Music* stream = nullptr;
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
    if (w.stream) Mix_FreeMusic(w.stream);  // halts it when it is the one playing
    w.stream = nullptr;
}

}  // namespace

std::uint32_t mci_send_string(std::string_view command, char* reply, std::uint32_t reply_length,
                              WindowHandle) {
    return mci::deliver(interpreter().run(command), reply, reply_length);
}

bool mci_get_error_string(std::uint32_t code, char* text, std::uint32_t text_length) {
    return mci::error_text(code, text, text_length);
}

// Names are file paths (there are no system sound aliases here). Every call is asynchronous;
// a file that cannot be played, or is refused (see the wave player above), stays silent, as
// no default sound exists.
bool play_sound(const char* name, std::uint32_t flags) {
    if (!audio_ready()) return false;
    WavePlayer& w = wave();
    std::unique_lock lock(w.mutex);
    stop_wave_locked(w);
    if (!name) return true;
    const std::optional<common::WaveInfo> info = checked_wave(name);
    if (!info) return false;
    const std::string path = utf8_path(name);
    const int loops = (flags & kSndLoop) ? -1 : 0;
    if (Mix_Music* stream = Mix_LoadMUSType_RW(SDL_RWFromFile(path.c_str(), "rb"), MUS_WAV, 1)) {
        if (Mix_PlayMusic(stream, loops) != 0) {
            Mix_FreeMusic(stream);
            return false;
        }
        music_owner = nullptr;  // a music file that had the stream stands still now
        w.stream = stream;
        return true;
    }
    if (!fits_whole(*info)) return false;
    const unsigned generation = w.generation;
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
