// The full-screen saver window: title "Zephlora_Main", no border, covers the screen, ends
// the program on the first key press or mouse press through EndSaver. The picture, the
// engine and the music plug in through SaverWindowHooks; without them the window is black.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/draw.h"
#include "platform/types.h"

namespace shell {

// Window timers of the saver window, and their periods in milliseconds by timer id (the
// xscreensaver display mode keeps the same periods by its own clock).
inline constexpr int kTimer1 = 1;  // MP3 replay supervision, stopped at creation
inline constexpr int kTimer2 = 2;  // CD supervision, stopped at creation
inline constexpr int kTimer3 = 3;  // shape-change tick, running from creation
inline constexpr int kTimer4 = 4;  // starts the engine, started at the end of the load
inline constexpr std::array<std::uint32_t, 5> kTimerPeriodMs{0, 1000, 200, 1000, 1};

struct SaverWindow {
    plat::WindowHandle handle{};
    std::int32_t ScreenWidthPx = 0;
    std::int32_t ScreenHeightPx = 0;
    std::unique_ptr<plat::Bitmap> Display;  // black until the first frame: one pixel, shown W x H
    std::array<bool, 5> timer_running{};     // index = timer id
};

// What the engine and the music add to the window. Every hook is optional.
struct SaverWindowHooks {
    std::function<void(SaverWindow&)> shuffle;              // load step 4 (shape order)
    std::function<void(SaverWindow&)> start_music;          // load step 5
    std::function<void(SaverWindow&, int timer_id)> timer;  // ticks of Timer1 to Timer4
    // Key down; returns true when the key was used (the CD track keys) and the saver keeps
    // running, false when the key ends the saver.
    std::function<bool(SaverWindow&, int virtual_key)> key;
    std::function<void(SaverWindow&)> stop_music;           // EndSaver step 3
    std::function<void(SaverWindow&)> unload;               // the window is going: no more frames
};

void SetSaverWindowHooks(SaverWindowHooks hooks);

// Creates the window and runs its load sequence: full screen at (0, 0), the screen's size
// in pixels, Display, shape order, music, shown topmost, Timer4 started.
void LoadSaverWindow();

// The open saver window, or null.
SaverWindow* TheSaverWindow();

// Timers of the saver window; the running state is what EndSaver looks at.
void StartTimer(SaverWindow& window, int timer_id);
void StopTimer(SaverWindow& window, int timer_id);

// The exit routine: waiting messages, password test (Run mode, Windows 95/98/Me), music
// stop, saver-running flag and cursor (Run mode), unload (deletes the pack members) and the
// end of the process. Returns only after a refused password.
void EndSaver();

}  // namespace shell
