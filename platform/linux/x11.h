// The Linux back end's own connection to the X server, for windows of other processes: the
// top-level window search that stands in for FindWindowA, rectangles of foreign windows and
// reparenting. Kept apart because the X11 headers define macros (None, Window, Status) that
// clash with the platform's names. X errors are caught, never fatal.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/draw.h"
#include "platform/types.h"

struct SDL_Window;
struct _GdkWindow;

namespace plat::x11 {

// The first top-level window (or window one level below, inside a window manager's frame)
// whose _NET_WM_NAME or WM_NAME is exactly this UTF-8 text; 0 when there is none or no X
// server answers.
unsigned long find_top_level(const std::string& name_utf8);

// The X resource Xft.dpi of the display (what the desktop set for text), 0 when it is not
// set, is no number or no X server answers.
double xft_dpi();

// True when the window is the root window of one of the display's screens.
bool is_root(unsigned long window);

// The window's rectangle in root coordinates; false when it does not exist.
bool window_rect(unsigned long window, Rect& out);

// Makes `child` a child of `parent` (0: the root) at (0, 0).
bool reparent(unsigned long child, unsigned long parent);

// The zoom of DrawAnimatedRects: an outline rectangle that moves from `from` to `to` (screen
// coordinates) in `steps` steps of `step_ms`, drawn over the whole screen and gone after;
// its line is `scale` times the design's two pixels (the window's display scale).
bool zoom_outline(const Rect& from, const Rect& to, int steps, unsigned step_ms, int scale = 1);

// Marks `window` as a passing window of `owner` (WM_TRANSIENT_FOR): the window manager keeps
// it above its owner, places it over it and gives it no taskbar entry of its own.
bool set_transient_for(unsigned long window, unsigned long owner);

// The X11 window id of a GDK window, 0 when GDK does not run on X11.
unsigned long gdk_window_xid(_GdkWindow* window);

// The X11 window id of an SDL window, 0 when SDL does not run on X11.
unsigned long sdl_window_id(SDL_Window* window);

// The X screen of SDL's display `index` (of `count`) when the X server has several screens
// with one display each: SDL counts the default screen's first, then the others in order.
// -1 when the server has one screen, or the displays are not one per screen.
int screen_of_display(int index, int count);

// A plain black window without decoration on X screen `screen` at `rect` (in that screen's
// root coordinates), made through the back end's own connection and still unmapped; 0 on
// failure. SDL makes its windows on the screen of the display that holds the window's centre,
// which cannot name a later screen whose display starts where the first one does.
unsigned long create_screen_window(int screen, const Rect& rect);
void destroy_screen_window(unsigned long window);

// Asks on SDL's connection for the events SDL's own windows get (input, exposure, structure),
// for a window that SDL took over with SDL_CreateWindowFrom, which selects none.
bool select_sdl_events(SDL_Window* window);

// A black bitmap of width x height in memory shared with the X server of `window`, attached
// on the window's connection: put_picture then sends its rectangles without copying them.
// Null where the server shares no memory with this process.
std::unique_ptr<Bitmap> create_shared_bitmap(SDL_Window* window, int width, int height);

// Fills the whole of an SDL window with one 0x00RRGGBB colour, under the same condition as
// put_picture; false, with nothing drawn, where put_picture would refuse the window.
bool fill_window(SDL_Window* window, std::uint32_t rgb);

// Puts the rectangles `rects` of a picture of 32-bit pixels (memory order B, G, R, X; `stride`
// pixels a row) into an SDL window, the picture's (0, 0) at `at` of the window, through SDL's
// own connection. Nothing of the window's size is kept on this side: the rectangles pass
// through a band of 128 rows of memory shared with the server (MIT-SHM), go straight from a
// picture of create_shared_bitmap, or through the connection itself where the server shares
// none. What goes through shared memory is read by the server after this returns: until
// await_puts, neither that picture nor the band may change. False, with nothing drawn, when
// the window does not hold its pixels as the picture does (a visual of another depth or other
// colour masks than the screen's default 24-bit one).
bool put_picture(SDL_Window* window, const std::uint32_t* pixels, int width, int height, int stride, Point at,
                 const Rect* rects, std::size_t count);

// Returns when the X server has read everything put_picture sent from shared memory: at once
// when what the server has sent since says so, as it does a frame later.
void await_puts();

}  // namespace plat::x11
