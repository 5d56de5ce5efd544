// The saver window's two music timers, as the tests stand them in: plain enabled flags.
#pragma once

#include "music/run.h"

namespace music_test {

class FakeTimers : public music::RunTimers {
public:
    void set_enabled(music::MusicTimer timer, bool enabled) override {
        (timer == music::MusicTimer::Timer1 ? t1 : t2) = enabled;
    }
    bool is_enabled(music::MusicTimer timer) const override {
        return timer == music::MusicTimer::Timer1 ? t1 : t2;
    }
    bool t1 = false, t2 = false;
};

}  // namespace music_test
