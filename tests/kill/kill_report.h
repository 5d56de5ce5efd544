// What the kill tests of the settings save report and require.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "tests/support/kill_rounds.h"

namespace kill_test {

// A thousand, unless ZEPHLORA_KILL_ROUNDS says otherwise (the sanitizer build, slower, runs
// fewer by default).
inline int rounds() {
    const char* text = std::getenv("ZEPHLORA_KILL_ROUNDS");
    return text ? std::atoi(text) : ZEPHLORA_KILL_ROUNDS_DEFAULT;
}

inline void report(const testing_support::KillFigures& f) {
    std::printf("rounds %d (killed while saving %d), old %d, new %d, partly new %d, broken %d; "
                "a temporary left by %d, after the next start %d; a whole save %.3f ms\n",
                f.rounds, f.killed_while_running, f.old_values, f.new_values, f.partial, f.broken,
                f.leftovers, f.stayed, f.save_ms);
}

inline void expect_sound(const testing_support::KillFigures& f) {
    report(f);
    EXPECT_EQ(f.broken, 0) << "first broken file:\n" << ::testing::PrintToString(f.first_broken);
    EXPECT_EQ(f.stayed, 0);
    // The kills must really have fallen inside saves (a loaded machine spreads the saves'
    // times, so not all of them), and on both sides of a finished one.
    EXPECT_GT(f.killed_while_running, f.rounds / 10);
    EXPECT_GT(f.old_values + f.partial, 0);
}

}  // namespace kill_test
