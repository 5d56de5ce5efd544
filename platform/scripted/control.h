// The scripted back end: an in-memory world for tests. A test resets it, sets the machine up
// (screen, program folder, system family), scripts input and timer ticks, runs the core and
// then looks at what it did (windows and their titles, message boxes, presented pictures).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/draw.h"
#include "platform/posix/timer_table.h"
#include "platform/system.h"
#include "platform/types.h"
#include "platform/window.h"

namespace plat::scripted {

struct WindowState {
    WindowHandle handle{};
    std::string title;  // CP932
    WindowStyle style = WindowStyle::Popup;
    Rect rect;
    bool full_screen = false;  // as created
    bool visible = false;
    bool topmost = false;
    int topmost_rank = 0;  // among topmost windows, a higher rank lies above a lower one
    bool foreign = false;  // another process's window, made by the test
    WindowHandle parent{};
    std::int32_t style_bits = 0;
    WindowHandlers handlers;
    posix::WindowTimers timers;
    const Bitmap* picture = nullptr;  // last presented
    Rect picture_rect;
    int present_count = 0;
    // What the last present_changed copied: its rectangles, or the whole picture's place.
    std::vector<Rect> changed_rects;
};

struct MessageBoxCall {
    WindowHandle owner{};
    std::string text, title;  // CP932
    std::uint32_t style = 0;
};

struct AnimatedRectsCall {
    WindowHandle window{};
    int animation = 0;
    Rect from, to;
};

// Thrown by pump_events when the test's pump budget is spent, so that a frame loop that
// would run for ever comes back to the test.
struct PumpBudgetSpent {};

// Back to a new machine: no windows, clock at 0, a 1024 x 768 screen at 15 twips per pixel,
// an NT-family system, cursor count 0, the program folder ".", an empty command line and no
// files in memory.
void reset();

void set_program_folder(std::string folder_cp932);
// Names a window as the desktop (is_desktop_window), and says whether another copy holds the
// one-copy guard (take_instance_guard then fails).
void set_desktop_window(WindowHandle window);
void set_instance_guard_held(bool held);
void set_version(VersionInfo info);
void set_screen(int width_px, int height_px, int twips_x = 15, int twips_y = 15);
// Monitors beside the primary one (none on a new machine).
void set_other_monitors(std::vector<Rect> monitors);
void set_cursor_pos(std::optional<Point> pos);

// Virtual clock in milliseconds: sleep_ms advances it, and so does every pump by
// `pump_step_ms` (1 by default).
std::uint64_t now_ms();
void advance_ms(std::uint64_t ms);
void set_pump_step_ms(std::uint64_t ms);

// After this many further pumps, pump_events throws PumpBudgetSpent (0: no limit).
void set_pump_budget(std::uint64_t pumps);
std::uint64_t pump_count();

// Called at the start of every pump with the pump's number (from 1), before timers and
// queued input are delivered; a test queues input from here.
void on_pump(std::function<void(std::uint64_t pump)> hook);

// Input, delivered at the next pump to the given window (the first visible one of this
// process when None).
void queue_key(int virtual_key, WindowHandle window = WindowHandle::None);
void queue_mouse_down(int button, Point client, WindowHandle window = WindowHandle::None);
void queue_click(WindowHandle window = WindowHandle::None);
// Mouse and key input go through the child windows as a user's would: points are in the
// given top-level window's client coordinates (a child's when a child is named), the mouse
// goes to the capture holder or the window under the point, keys to the focused window.
void queue_mouse_up(int button, Point client, WindowHandle window = WindowHandle::None);
void queue_mouse_move(Point client, WindowHandle window = WindowHandle::None);
void queue_key_up(int virtual_key, WindowHandle window = WindowHandle::None);
void queue_char(int character, WindowHandle window = WindowHandle::None);
// Shift 1, Ctrl 2, Alt 4 held (shift_state and the dialog keys read it).
void set_shift_state(int shift);
// One input step given at once: queued as above, then delivered by one pump. A key is pressed
// and let go while `window` has the keyboard focus.
void press_now(WindowHandle window, Point client, int button = 1);
void move_now(WindowHandle window, Point client);
void release_now(WindowHandle window, Point client, int button = 1);
void key_now(WindowHandle window, int virtual_key);
// The pointer's shape at a point of a top-level window's client area.
CursorKind cursor_over(Point client, WindowHandle window);
// The top-level window as the screen shows it: its picture (or its image) with its child
// windows' images over it.
std::unique_ptr<Bitmap> compose(WindowHandle window);
// The system closes the window (unload runs, as when its owner closes it).
void queue_close(WindowHandle window);

// Another process's top-level window, for the single-instance test and the preview parent.
WindowHandle add_foreign_window(std::string title_cp932, Rect rect);
void remove_foreign_window(WindowHandle window);

// This process's windows and foreign ones, in creation order.
std::vector<const WindowState*> windows();
const WindowState* window(WindowHandle handle);
const WindowState* find_by_title(std::string_view title_cp932);

// The screen-saver password services of Windows 95/98/Me: absent (empty) by default, as on
// the NT family; a test can make them answer and look at the calls.
struct PasswordChangeCall {
    std::string provider;
    std::uint32_t parent = 0, reserved1 = 0, reserved2 = 0;
};
void set_password_services(std::optional<int> verify_result, std::optional<int> change_result);
int password_verify_count();
const std::vector<PasswordChangeCall>& password_changes();

// The clipboard's text (CP932), which the platform's own text fields copy to and paste from.
void set_clipboard(std::string text_cp932);
std::string clipboard();

// The file-open dialog: each call takes the next queued answer (a path, or nullopt for a
// cancelled dialog; none queued: cancelled) and is recorded with its request.
void queue_file_answer(std::optional<std::string> path_cp932);
const std::vector<OpenFileRequest>& file_requests();

struct ShellCall {
    WindowHandle owner{};
    std::string verb, file, parameters, folder;  // CP932
    int show = 0;
};
const std::vector<ShellCall>& shell_calls();

// The files of a program linked with zephlora_memory_files, which keeps the files of
// platform/files.h in this world instead of on the disk: a file's bytes by its path (the
// program's spelling), nullptr when there is none. Pointers hold until the next write.
void put_file(std::string path_cp932, std::string bytes);
const std::string* file_bytes(std::string_view path_cp932);

const std::vector<MessageBoxCall>& message_boxes();
const std::vector<AnimatedRectsCall>& animated_rects();
int cursor_display_count();
std::vector<std::pair<std::uint32_t, std::uint32_t>> system_parameter_calls();  // action, param

}  // namespace plat::scripted
