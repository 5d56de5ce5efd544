// Multimedia of the scripted back end: a simulated CD drive, music files that a test
// declares playable, a wave output that records what it is asked to play, and a log of every
// command string that the core sends. The commands are read by the interpreter that the Linux
// back end uses too (platform/emulation/media_commands.h); only the devices are simulated, and
// nothing ever sounds.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plat::scripted::media {

struct CommandRecord {
    std::string command;           // CP932, as sent
    std::uint32_t reply_length = 0;
    bool had_reply_buffer = false;
    std::uint32_t code = 0;
    std::string reply;             // the text written to the reply buffer ("" when none)
};

struct SoundCall {
    std::optional<std::string> name;  // empty for the stop call (null name)
    std::uint32_t flags = 0;
};

enum class CdMode { Stopped, Playing, Paused };

// Back to a machine with no CD drive, one wave output device, no playable file, an empty log.
void reset();

// The CD drive: whether it exists, and the disc in it (0 tracks: no disc).
void set_cd_drive(bool present);
void insert_disc(int track_count);
void eject_disc();
// Playback moves on: the drive is now on `track` (still playing), or has reached the end of
// the disc and stopped.
void cd_moves_to_track(int track);
void cd_reaches_end();
bool cd_is_open();
int cd_current_track();
CdMode cd_mode();

// Files that the MPEGVideo device can open (by path as the core sends it, CP932). Any
// other path fails to open as a missing file.
void add_playable_file(std::string path_cp932);
// The open file under `alias` reaches its end and stops.
void file_reaches_end(std::string_view alias);
// Whether `alias` is open, its path, and whether it is playing.
bool alias_is_open(std::string_view alias);
std::string alias_path(std::string_view alias);
bool alias_is_playing(std::string_view alias);
// How many times a play command started the file under `alias`.
int alias_play_count(std::string_view alias);

// Wave output devices reported by the device count (1 by default).
void set_wave_out_devices(int count);
// The error-description call fails from now on when false.
void set_error_texts_available(bool available);

const std::vector<CommandRecord>& commands();
std::vector<std::string> command_texts();
void clear_log();
const std::vector<SoundCall>& sound_calls();
int wave_device_queries();

}  // namespace plat::scripted::media
