#include "music/run.h"

#include "music/bgm.h"
#include "platform/win32_values.h"

namespace music {
namespace {

MusicChoice& run_choice() {
    static MusicChoice choice;
    return choice;
}

}  // namespace

void StartRunMusic(const MusicChoice& choice, RunTimers& timers) {
    run_choice() = choice;
    if (choice.BgmKind == kBgmCd) {
        // Nothing plays yet: the first supervision step finds the disc stopped and starts it.
        CdOpen();
        timers.set_enabled(MusicTimer::Timer2, true);
    } else if (choice.BgmKind == kBgmFile) {
        switch (KindOfFile(choice.BgmFile)) {
        case FileKind::Wav:
            WavStart(choice.BgmFile);
            break;
        case FileKind::Mp3:
            Mp3Start(choice.BgmFile);
            timers.set_enabled(MusicTimer::Timer1, true);
            break;
        case FileKind::None:
            break;
        }
    }
}

void StopRunMusic(RunTimers& timers) {
    const MusicChoice& choice = run_choice();
    if (timers.is_enabled(MusicTimer::Timer2)) {
        timers.set_enabled(MusicTimer::Timer2, false);
        CdClose();
    }
    if (choice.BgmKind == kBgmFile) {
        switch (KindOfFile(choice.BgmFile)) {
        case FileKind::Wav:
            WavStop();
            break;
        case FileKind::Mp3:
            Mp3Stop();
            timers.set_enabled(MusicTimer::Timer1, false);
            break;
        case FileKind::None:
            break;
        }
    }
}

void OnTimer1() { Mp3Replay(); }

bool OnTimer2(RunTimers& timers) {
    CdMonitor(run_choice().BgmRepeat);
    const bool ok = CdMonitorOk();
    timers.set_enabled(MusicTimer::Timer2, ok);
    return ok;
}

bool HandleKey(int virtual_key) {
    if (run_choice().BgmKind != kBgmCd) return false;
    if (virtual_key == plat::kVkLeft) {
        CdPreviousTrack();
        return true;
    }
    if (virtual_key == plat::kVkRight) {
        CdNextTrack();
        return true;
    }
    return false;
}

}  // namespace music
