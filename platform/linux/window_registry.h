// The Linux back end's windows of this process, by handle. A window's handle is its X11
// window id, so that it can travel on a command line and be found by other processes.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "platform/draw.h"
#include "platform/user32/timer_table.h"
#include "platform/user32/window_tree.h"
#include "platform/window.h"

namespace plat::linux_window {

struct Window {
    SDL_Window* sdl = nullptr;
    std::uint32_t sdl_id = 0;
    unsigned long xid = 0;
    std::string title;  // CP932
    WindowStyle style = WindowStyle::Popup;
    bool full_screen = false;
    WindowHandlers handlers;
    user32::WindowTimers timers;
    const Bitmap* picture = nullptr;
    Rect picture_rect;
    std::int32_t style_bits = 0;
    WindowHandle parent{};
    // An X window the back end made itself (on a later X screen) and SDL took over; it goes
    // with the window.
    unsigned long own_x_window = 0;
    // The full-screen window shows its frames through a renderer that waits for the display's
    // vertical blank, from a streaming texture the size of the picture.
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int texture_w = 0, texture_h = 0;
    // A renderer that cannot wait for the vertical blank itself is held to the display's
    // rate here: the next present waits until one refresh period after the last.
    bool paced = false;
    std::uint64_t period_ticks = 0, next_present = 0;
    // SDL's software renderer draws into the window's own framebuffer surface; changed
    // rectangles then go straight there.
    bool software_renderer = false;
    // The framebuffer surface that the last whole repaint filled (null: none, or the picture
    // went through a texture).
    SDL_Surface* surface_shown = nullptr;
};

std::map<WindowHandle, std::unique_ptr<Window>>& registry();
Window* find(WindowHandle h);
Window* find_sdl(std::uint32_t sdl_id);
WindowHandle handle_of(const Window* w);

// Takes the window in under its X11 id (a private number when SDL is not on X11).
WindowHandle add(std::unique_ptr<Window> w);
// A handle for a window that has no X11 window of its own (a child window).
WindowHandle private_handle();

// The child windows inside the windows of the registry.
user32::WindowTree& tree();
// The top-level window that holds `h` (itself when it is one).
Window* top_level_of(WindowHandle h);

// Runs the unload handler and forgets the window. When the X server has already destroyed
// it (with an embedding parent), SDL is not asked to: it would wait for ever for the window
// to be unmapped, so the SDL side is left to the end of the process. A child window goes
// with its children.
void remove(WindowHandle h, bool x_window_gone);

// SDL's video, started once on X11 (the window search and embedding speak X11);
// SDL_VIDEODRIVER in the environment still wins.
bool ensure_video();
void prefer_x11();

}  // namespace plat::linux_window
