// Placeholder window services of the Linux back end until the SDL2 windows land.
#include "platform/timer.h"
#include "platform/window.h"

namespace plat {

WindowHandle create_window(const WindowDesc&, WindowHandlers) { return WindowHandle::None; }
void destroy_window(WindowHandle) {}
bool is_window(WindowHandle) { return false; }
WindowHandle find_window_by_title(std::string_view) { return WindowHandle::None; }
bool get_window_rect(WindowHandle, Rect&) { return false; }
std::int32_t get_window_long(WindowHandle, int) { return 0; }
std::int32_t set_window_long(WindowHandle, int, std::int32_t) { return 0; }
WindowHandle set_parent(WindowHandle, WindowHandle) { return WindowHandle::None; }
bool set_window_pos(WindowHandle, std::intptr_t, int, int, int, int, std::uint32_t) { return false; }
bool move_window(WindowHandle, int, int, int, int) { return false; }
void show_window(WindowHandle, bool) {}
Point screen_size_px() { return {1024, 768}; }
Point twips_per_pixel() { return {15, 15}; }
int show_cursor(bool show) { return show ? 0 : -1; }
bool get_cursor_pos(Point&) { return false; }
int message_box(WindowHandle, std::string_view, std::string_view, std::uint32_t) { return 1; }
bool draw_animated_rects(WindowHandle, int, const Rect&, const Rect&) { return false; }
void present(WindowHandle, const Bitmap&, int, int, int, int) {}
void pump_events() {}
void run_event_loop() {}
bool set_timer(WindowHandle, int, std::uint32_t) { return false; }
bool kill_timer(WindowHandle, int) { return false; }

}  // namespace plat
