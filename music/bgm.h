// Background music: the multimedia command strings for MP3 files and the audio CD, looped
// wave playback, and the two supervision steps that restart finished music and hold a
// chosen CD track. Every operation runs on the user-interface thread, never waits for
// playback and never shows a message: a failure only means that a step has no effect.
//
// Text is CP932 throughout. The module keeps its state process-wide (reply buffers, the
// persistent mode buffers, CdMonitorOk), as the saver has one run per process.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace music {

// Device names and the alias under which a music file is opened.
inline constexpr std::string_view kCdDevice = "cdaudio";
inline constexpr std::string_view kMp3Alias = "MP3Play";

// Sends one command with a 512-character reply buffer and no callback window. Returns the
// interpreter's code (0 on success) and sets `reply` to the reply, or on failure to the
// platform's description of the code (or a fixed text when none can be had). An empty
// command sends nothing and returns -1.
std::int32_t MciCommand(std::string_view command, std::string& reply);

// The reply of the command, or "Error:" followed by the code in decimal when it fails.
std::string MciQuery(std::string_view command);

// "play " + device, then " from " + from when from is not empty, then " to " + to when to is
// not empty; sent through MciCommand. Returns its code.
std::int32_t CdPlay(std::string_view device, std::string_view from, std::string_view to);

// The reply (or error text) of the latest MciQuery or CdPlay.
const std::string& LastReply();

// Audio CD: open and set the time format to tracks/minutes/seconds/frames; stop and close;
// play from the start of the track before or after the current one.
void CdOpen();
void CdClose();
void CdPreviousTrack();
void CdNextTrack();

// MP3 file: open `bgm_file` under the alias MP3Play and play it once from the start. A path
// that holds a double quote (or a NUL) cannot be quoted in a command and plays nothing.
void Mp3Start(std::string_view bgm_file);
void Mp3Stop();
// True when MP3Play reports the mode "playing". The 30-character reply buffer persists
// between calls and is not cleared before a query.
bool Mp3IsPlaying();

// Wave file: endless asynchronous playback when a wave output device exists; a file that
// cannot be played is silent (the platform's default sound is suppressed).
void WavStart(std::string_view bgm_file);
void WavStop();

// Supervision step of Timer1 (once a second): restart MP3Play from 0 when it is no longer
// playing.
void Mp3Replay();

// Supervision step of Timer2 (five times a second): start the disc when it is stopped and,
// when `bgm_repeat` is not 0, keep it on that track. Sets CdMonitorOk: false when the disc
// cannot be queried (no drive, no disc), after which the caller disables Timer2 for good.
void CdMonitor(std::int16_t bgm_repeat);
bool CdMonitorOk();

// The music player that a file name selects: its last three characters, upper-cased, must be
// "MP3" or "WAV" (there is no test for the dot). CP932 double-byte characters count as one
// character and never match.
enum class FileKind { None, Mp3, Wav };
FileKind KindOfFile(std::string_view bgm_file);

// Back to the state of a new process (for tests).
void ResetModuleState();

}  // namespace music
