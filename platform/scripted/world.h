// The scripted back end's one in-memory world, shared by its service families (system,
// windows, timers) and the test controls of control.h.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/scripted/control.h"

namespace plat::scripted {

struct QueuedInput {
    enum Kind { Key, KeyUp, Char, MouseDown, MouseUp, MouseMove, Click, Close } kind;
    WindowHandle window;
    int code = 0;
    Point point;
};

// The world beside the window core, which keeps this process's windows.
struct World {
    std::vector<std::unique_ptr<WindowState>> foreign;  // other processes' windows
    int shift = 0;
    std::uintptr_t next_handle = 0x100;
    std::uint64_t clock_ms = 0;
    std::uint64_t pump_step_ms = 1;
    std::uint64_t pumps = 0;
    std::uint64_t pump_budget_end = 0;  // 0: none
    std::function<void(std::uint64_t)> pump_hook;
    std::deque<QueuedInput> input;
    std::string program_folder = ".";
    WindowHandle desktop = WindowHandle::None;  // a window the tests name as the desktop
    bool instance_guard_held = false;            // another copy holds the one-copy guard
    std::string command_line;
    VersionInfo version{1, 2};
    Point screen{1024, 768};
    std::vector<Rect> other_monitors;
    int topmost_raises = 0;  // how many times a window was raised to the top of the topmost band
    Point twips{15, 15};
    int scale = 1;  // display_scale()
    std::optional<Point> cursor = Point{0, 0};
    int cursor_count = 0;
    std::vector<MessageBoxCall> boxes;
    std::vector<AnimatedRectsCall> zooms;
    std::vector<std::pair<std::uint32_t, std::uint32_t>> spi_calls;
    std::optional<int> verify_result, change_result;
    int verify_count = 0;
    std::vector<PasswordChangeCall> password_changes;
    std::string clipboard;  // CP932
    std::deque<std::optional<std::string>> file_answers;
    std::vector<OpenFileRequest> file_requests;
    std::vector<ShellCall> shell_calls;
    // The files of the memory file layer (memory/files.cpp) by path, and the folders it made.
    std::map<std::string, std::string, std::less<>> files;
    std::set<std::string, std::less<>> private_folders;
    int private_folders_made = 0;
};

World& world();

// A window of this process or a foreign one; nullptr when there is none.
WindowState* find(WindowHandle h);

}  // namespace plat::scripted
