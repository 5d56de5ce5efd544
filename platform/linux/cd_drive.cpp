#include "platform/linux/cd_drive.h"

#include <SDL.h>
#include <cdio/cdio.h>
#include <cdio/logging.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>


namespace plat::linux_media {

namespace {
constexpr long kSectorBytes = CDIO_CD_FRAMESIZE_RAW;  // 2352: 588 stereo 16-bit samples
constexpr long kFramesPerSecond = 75;
constexpr long kReadSectors = 25;                     // one third of a second per read
constexpr long kQueueAheadSectors = 2 * kFramesPerSecond;

struct Track {
    int number = 0;
    long start = 0;  // first sector
    long end = 0;    // one past the last sector
    bool audio = false;
};

enum class Phase { Reading, NoDisc, Ready };
}  // namespace

struct CdShared {
    std::mutex mutex;
    std::condition_variable wake;
    Phase phase = Phase::Reading;
    bool quit = false;
    std::vector<Track> tracks;
    // Playback: sectors [cursor, end) are still to be read; `generation` changes whenever a
    // command moves the cursor, so that a read that was under way is thrown away.
    bool playing = false;
    bool paused = false;
    bool at_end = false;
    long cursor = 0;
    long end = 0;
    unsigned generation = 0;
    // A play command that arrived while the table of contents was being read.
    std::optional<std::pair<std::optional<mci::Tmsf>, std::optional<mci::Tmsf>>> pending_play;
    SDL_AudioDeviceID device = 0;
};

namespace {

const Track* track_by_number(const CdShared& s, long number) {
    for (const Track& t : s.tracks) {
        if (t.number == number) return &t;
    }
    return nullptr;
}

const Track* track_at(const CdShared& s, long sector) {
    for (const Track& t : s.tracks) {
        if (sector >= t.start && sector < t.end) return &t;
    }
    return s.tracks.empty() ? nullptr : &s.tracks.back();
}

long disc_end(const CdShared& s) { return s.tracks.empty() ? 0 : s.tracks.back().end; }

// The sector being heard: the read cursor less what is still queued for the loudspeaker.
long heard_sector(const CdShared& s) {
    if (!s.playing && !s.paused) return s.cursor;
    const long queued = s.device ? static_cast<long>(SDL_GetQueuedAudioSize(s.device)) / kSectorBytes : 0;
    return std::max(0L, s.cursor - queued);
}

mci::Tmsf tmsf_of(const CdShared& s, long sector) {
    const Track* t = track_at(s, sector);
    if (!t) return {};
    const long offset = std::max(0L, sector - t->start);
    const long seconds = offset / kFramesPerSecond;
    return {t->number, static_cast<int>(std::min(255L, seconds / 60)), static_cast<int>(seconds % 60),
            static_cast<int>(offset % kFramesPerSecond)};
}

// The sector of a position; none when the position is not on the disc.
std::optional<long> sector_of(const CdShared& s, const mci::Tmsf& p) {
    const Track* t = track_by_number(s, p.track);
    const long sector = t ? t->start + (p.minutes * 60L + p.seconds) * kFramesPerSecond + p.frames : 0;
    if (!t || sector >= t->end) return std::nullopt;
    return sector;
}

// Starts playback under the lock; the disc must be ready.
unsigned start_play(CdShared& s, const std::optional<mci::Tmsf>& from, const std::optional<mci::Tmsf>& to) {
    long start = s.cursor;
    long end = disc_end(s);
    if (from) {
        const auto sector = sector_of(s, *from);
        if (!sector) return mci::kOutOfRange;
        start = *sector;
    } else if (s.paused) {
        start = heard_sector(s);
    } else if (s.at_end || start >= end) {
        start = s.tracks.front().start;
    }
    if (to) {
        const auto sector = sector_of(s, *to);
        if (!sector) return mci::kOutOfRange;
        end = *sector;
    }
    if (s.device) SDL_ClearQueuedAudio(s.device);
    ++s.generation;
    s.cursor = start;
    s.end = end;
    s.playing = true;
    s.paused = false;
    s.at_end = false;
    if (s.device) SDL_PauseAudioDevice(s.device, 0);
    s.wake.notify_all();
    return mci::kOk;
}

bool read_table_of_contents(CdIo_t* cd, std::vector<Track>& tracks) {
    const track_t first = cdio_get_first_track_num(cd);
    const track_t count = cdio_get_num_tracks(cd);
    if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK || count == 0) return false;
    bool any_audio = false;
    for (int i = 0; i < count; ++i) {
        const track_t number = static_cast<track_t>(first + i);
        const lsn_t start = cdio_get_track_lsn(cd, number);
        const lsn_t next = cdio_get_track_lsn(cd, i + 1 == count ? CDIO_CDROM_LEADOUT_TRACK : number + 1);
        if (start == CDIO_INVALID_LSN || next == CDIO_INVALID_LSN || next <= start) return false;
        const bool audio = cdio_get_track_format(cd, number) == TRACK_FORMAT_AUDIO;
        any_audio = any_audio || audio;
        tracks.push_back({number, start, next, audio});
    }
    return any_audio;
}

std::string& disc_image() {
    static std::string path;
    return path;
}

void reader(std::shared_ptr<CdShared> s, std::string device, driver_id_t driver) {
    CdIo_t* cd = cdio_open(device.c_str(), driver);
    std::vector<Track> tracks;
    const bool ok = cd && read_table_of_contents(cd, tracks);
    std::unique_lock lock(s->mutex);
    if (!ok) {
        s->phase = Phase::NoDisc;
        lock.unlock();
        if (cd) cdio_destroy(cd);
        return;
    }
    s->tracks = std::move(tracks);
    s->cursor = s->tracks.front().start;
    s->end = disc_end(*s);
    s->phase = Phase::Ready;
    if (s->pending_play) {
        const auto [from, to] = *s->pending_play;
        s->pending_play.reset();
        start_play(*s, from, to);
    }
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(kReadSectors * kSectorBytes));
    while (!s->quit) {
        const bool want = s->playing && !s->paused && s->cursor < s->end &&
                          (!s->device || SDL_GetQueuedAudioSize(s->device) < kQueueAheadSectors * kSectorBytes);
        if (s->playing && !s->paused && s->cursor >= s->end &&
            (!s->device || SDL_GetQueuedAudioSize(s->device) == 0)) {
            s->playing = false;
            s->at_end = true;
        }
        if (!want) {
            s->wake.wait_for(lock, std::chrono::milliseconds(20));
            continue;
        }
        // Data tracks are skipped; only audio sectors reach the loudspeaker.
        const Track* t = track_at(*s, s->cursor);
        if (t && !t->audio) {
            s->cursor = t->end;
            continue;
        }
        const long count = std::min({kReadSectors, s->end - s->cursor, t ? t->end - s->cursor : kReadSectors});
        const long from = s->cursor;
        const unsigned generation = s->generation;
        lock.unlock();
        const bool read = cdio_read_audio_sectors(cd, buffer.data(), from, static_cast<uint32_t>(count)) ==
                          DRIVER_OP_SUCCESS;
        lock.lock();
        if (generation != s->generation) continue;
        if (read && s->device) {
            SDL_QueueAudio(s->device, buffer.data(), static_cast<Uint32>(count * kSectorBytes));
        }
        s->cursor = from + count;  // an unreadable stretch is skipped
    }
    lock.unlock();
    cdio_destroy(cd);
}

}  // namespace

void use_disc_image(std::string cue_path) { disc_image() = std::move(cue_path); }

mci::Opened<mci::CdDevice> CdPlayer::open() {
    // The library's warnings about the disc would only clutter the terminal.
    cdio_loglevel_default = CDIO_LOG_ERROR;
    driver_id_t driver = DRIVER_DEVICE;
    std::string device = disc_image();
    if (!device.empty()) {
        driver = DRIVER_BINCUE;
    } else {
        char* default_device = cdio_get_default_device_driver(&driver);
        if (!default_device) return {nullptr, mci::kCannotLoadDriver};
        device = default_device;
        cdio_free(default_device);
    }

    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return {nullptr, mci::kHardware};
    SDL_AudioSpec want{};
    want.freq = 44100;
    want.format = AUDIO_S16LSB;
    want.channels = 2;
    want.samples = 4096;
    const SDL_AudioDeviceID audio = SDL_OpenAudioDevice(nullptr, 0, &want, nullptr, 0);
    if (audio == 0) return {nullptr, mci::kHardware};
    auto shared = std::make_shared<CdShared>();
    shared->device = audio;
    std::thread(reader, shared, std::move(device), driver).detach();
    return {std::unique_ptr<CdPlayer>(new CdPlayer(std::move(shared))), mci::kOk};
}

CdPlayer::~CdPlayer() {
    SDL_AudioDeviceID audio;
    {
        std::lock_guard lock(shared_->mutex);
        shared_->quit = true;
        shared_->playing = false;
        audio = shared_->device;
        shared_->device = 0;
        shared_->wake.notify_all();
    }
    // The audio subsystem stays up for the process: the file player shares it.
    SDL_CloseAudioDevice(audio);
}

// While the table of contents is being read the drive answers as a disc about to start:
// it stands on track 1, is not ready, and keeps a play command until it can carry it out.
mci::Answer<long> CdPlayer::current_track() {
    std::lock_guard lock(shared_->mutex);
    switch (shared_->phase) {
    case Phase::Reading: return {mci::kOk, 1};
    case Phase::NoDisc: return {mci::kHardware, {}};
    case Phase::Ready: break;
    }
    const Track* t = track_at(*shared_, heard_sector(*shared_));
    return {mci::kOk, t ? t->number : 1};
}

mci::Answer<long> CdPlayer::number_of_tracks() {
    std::lock_guard lock(shared_->mutex);
    switch (shared_->phase) {
    case Phase::Reading: return {mci::kOk, 1};
    case Phase::NoDisc: return {mci::kHardware, {}};
    case Phase::Ready: break;
    }
    return {mci::kOk, static_cast<long>(shared_->tracks.size())};
}

mci::Mode CdPlayer::mode() {
    std::lock_guard lock(shared_->mutex);
    if (shared_->phase != Phase::Ready) return mci::Mode::NotReady;
    if (shared_->paused) return mci::Mode::Paused;
    return shared_->playing ? mci::Mode::Playing : mci::Mode::Stopped;
}

mci::Answer<mci::Tmsf> CdPlayer::position() {
    std::lock_guard lock(shared_->mutex);
    switch (shared_->phase) {
    case Phase::Reading: return {mci::kOk, {1, 0, 0, 0}};
    case Phase::NoDisc: return {mci::kHardware, {}};
    case Phase::Ready: break;
    }
    return {mci::kOk, tmsf_of(*shared_, heard_sector(*shared_))};
}

mci::Answer<mci::Tmsf> CdPlayer::position_of_track(long track) {
    std::lock_guard lock(shared_->mutex);
    switch (shared_->phase) {
    case Phase::Reading:
        if (track < 1 || track > 99) return {mci::kOutOfRange, {}};
        return {mci::kOk, {static_cast<int>(track), 0, 0, 0}};
    case Phase::NoDisc: return {mci::kHardware, {}};
    case Phase::Ready: break;
    }
    if (!track_by_number(*shared_, track)) return {mci::kOutOfRange, {}};
    return {mci::kOk, {static_cast<int>(track), 0, 0, 0}};
}

unsigned CdPlayer::play(const std::optional<mci::Tmsf>& from, const std::optional<mci::Tmsf>& to) {
    std::lock_guard lock(shared_->mutex);
    switch (shared_->phase) {
    case Phase::Reading:
        shared_->pending_play.emplace(from, to);
        return mci::kOk;
    case Phase::NoDisc: return mci::kHardware;
    case Phase::Ready: break;
    }
    return start_play(*shared_, from, to);
}

unsigned CdPlayer::stop() {
    std::lock_guard lock(shared_->mutex);
    if (shared_->phase == Phase::NoDisc) return mci::kHardware;
    shared_->pending_play.reset();
    if (shared_->phase == Phase::Reading) return mci::kOk;
    shared_->cursor = heard_sector(*shared_);
    ++shared_->generation;
    shared_->playing = false;
    shared_->paused = false;
    if (shared_->device) {
        SDL_PauseAudioDevice(shared_->device, 1);
        SDL_ClearQueuedAudio(shared_->device);
    }
    return mci::kOk;
}

unsigned CdPlayer::pause() {
    std::lock_guard lock(shared_->mutex);
    if (shared_->phase != Phase::Ready) return mci::kDeviceNotReady;
    if (shared_->playing) {
        shared_->paused = true;
        if (shared_->device) SDL_PauseAudioDevice(shared_->device, 1);
    }
    return mci::kOk;
}

}  // namespace plat::linux_media
