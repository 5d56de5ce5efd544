// The music of one full-screen run, as the saver window drives it. This is the whole
// contract between the saver window and the music module:
//
//   window load, after the window is laid out and before it is shown:
//       music::StartRunMusic(choice, timers);
//   tick of Timer1:                      music::OnTimer1();
//   tick of Timer2:                      music::OnTimer2(timers);
//   key down (any key, shift ignored):   if (!music::HandleKey(vk)) EndSaver();
//   EndSaver, after the password test let the run end, before the cursor is shown again:
//       music::StopRunMusic(timers);
//
// The window owns Timer1 and Timer2 (both created stopped; their periods are the window's)
// and lends them to the module through RunTimers; the module only switches them on and off and asks whether Timer2 runs.
#pragma once

#include <cstdint>
#include <string>

namespace music {

// The music sources that BgmKind of the settings record chooses.
inline constexpr std::int16_t kBgmNone = 0;
inline constexpr std::int16_t kBgmCd = 1;    // the audio CD
inline constexpr std::int16_t kBgmFile = 2;  // a music file: MP3 or WAV by its ending

// The music settings of the run (BgmKind, BgmRepeat, BgmFile of the settings record).
struct MusicChoice {
    std::int16_t BgmKind = kBgmNone;
    std::int16_t BgmRepeat = 0;  // CD track to hold, 0 for none; files always repeat
    std::string BgmFile;         // full path, CP932
};

enum class MusicTimer { Timer1, Timer2 };

// Implemented by the saver window over its two music timers.
class RunTimers {
public:
    virtual ~RunTimers() = default;
    virtual void set_enabled(MusicTimer timer, bool enabled) = 0;
    virtual bool is_enabled(MusicTimer timer) const = 0;
};

// Start of the run. kBgmCd: CdOpen, then Timer2 on (its first tick starts the disc).
// kBgmFile: a name ending in WAV starts the looping wave; one ending in MP3 starts the file
// and then switches Timer1 on; any other ending plays nothing. The choice is kept for the
// rest of the run (key routing, the supervision and the stop).
void StartRunMusic(const MusicChoice& choice, RunTimers& timers);

// End of the run. If Timer2 is on: Timer2 off, then CdClose (when the supervision switched
// itself off after a failure, the CD device is left alone). kBgmFile: WavStop, or Mp3Stop
// and then Timer1 off.
void StopRunMusic(RunTimers& timers);

// Timer1: restart the MP3 file when it has ended.
void OnTimer1();

// Timer2: one CD supervision step, then Timer2's enabled state becomes the step's result
// (false after a failed step, for the rest of the run). Returns that state.
bool OnTimer2(RunTimers& timers);

// Key routing. With kBgmCd the left arrow (37) plays the previous track and the right
// arrow (39) the next one, and the key is handled (the saver keeps running, even after the
// supervision has switched itself off). Every other key, and every key with another BgmKind,
// is not handled: the window then ends the saver.
bool HandleKey(int virtual_key);

}  // namespace music
