// The Linux back end's screen services beside its device (device.cpp): the screen and its
// monitors, the pointer, message boxes, the caption zoom, window icons and the pictures
// presented in windows.
#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "platform/linux/modal.h"
#include "platform/linux/presenter.h"
#include "platform/linux/window_registry.h"
#include "platform/linux/x11.h"
#include "platform/system.h"
#include "platform/text.h"
#include "platform/user32/window_tree.h"
#include "platform/window.h"

namespace plat {

using linux_window::ensure_video;
using linux_window::find;
using linux_window::Window;

bool is_desktop_window(WindowHandle h) { return x11::is_root(static_cast<unsigned long>(h)); }

bool set_window_icon(WindowHandle h, const Bitmap& picture) {
    Window* w = find(h);
    const Surface from = picture.surface();
    if (!w || from.width <= 0 || from.height <= 0) return false;
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormat(0, from.width, from.height, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!icon) return false;
    for (int y = 0; y < from.height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(icon->pixels) + y * icon->pitch);
        for (int x = 0; x < from.width; ++x) row[x] = 0xFF000000u | (from.row(y)[x] & 0x00FFFFFFu);  // opaque
    }
    SDL_SetWindowIcon(w->sdl, icon);
    SDL_FreeSurface(icon);
    return true;
}

Point screen_size_px() {
    SDL_DisplayMode mode;
    if (ensure_video() && SDL_GetDesktopDisplayMode(0, &mode) == 0) return {mode.w, mode.h};
    return {1024, 768};
}

std::vector<Rect> other_monitors() {
    std::vector<Rect> monitors;
    if (!ensure_video()) return monitors;
    const int count = SDL_GetNumVideoDisplays();
    for (int i = 1; i < count; ++i) {
        SDL_Rect r;
        if (SDL_GetDisplayBounds(i, &r) == 0) monitors.push_back({r.x, r.y, r.x + r.w, r.y + r.h});
    }
    return monitors;
}

int display_scale() {
    static const int scale = [] {
        // GDK_SCALE as GTK reads it: a whole number; anything else is not a scale.
        if (const char* text = std::getenv("GDK_SCALE"); text && *text) {
            char* rest = nullptr;
            const long v = std::strtol(text, &rest, 10);
            if (*rest == '\0' && v >= 1) return static_cast<int>(std::min<long>(v, kMaxDisplayScale));
        }
        const double dpi = x11::xft_dpi();
        if (dpi > 0) return std::clamp(static_cast<int>(std::lround(dpi / 96.0)), 1, kMaxDisplayScale);
        return 1;
    }();
    return scale;
}

// 96 dots per inch, as the program's layouts assume.
Point twips_per_pixel() { return {15, 15}; }

int show_cursor(bool show) {
    // SDL keeps a switch, not a count: the count is kept here and the cursor shows while it
    // is not negative, as with ShowCursor.
    static int count = 0;
    count += show ? 1 : -1;
    if (ensure_video()) SDL_ShowCursor(count >= 0 ? SDL_ENABLE : SDL_DISABLE);
    return count;
}

bool display_available() { return ensure_video(); }

int shift_state() {
    const SDL_Keymod mod = SDL_GetModState();
    return (mod & KMOD_SHIFT ? 1 : 0) | (mod & KMOD_CTRL ? 2 : 0) | (mod & KMOD_ALT ? 4 : 0);
}

bool get_cursor_pos(Point& out) {
    if (!ensure_video()) return false;
    int x = 0, y = 0;
    SDL_GetGlobalMouseState(&x, &y);
    out = {x, y};
    return true;
}

int message_box(WindowHandle owner, std::string_view text, std::string_view title, std::uint32_t style) {
    Uint32 flags = SDL_MESSAGEBOX_INFORMATION;
    switch (style & 0xF0) {
    case kMbIconHand: flags = SDL_MESSAGEBOX_ERROR; break;
    case kMbIconExclamation: flags = SDL_MESSAGEBOX_WARNING; break;
    default: break;
    }
    const std::string t = cp932_to_utf8(title), m = cp932_to_utf8(text);
    // Without a display the message goes to the terminal instead.
    linux_window::prefer_x11();
    // Over its owner's top-level window, which SDL makes the box's WM_TRANSIENT_FOR.
    const Window* parent = find(user32::window_tree().root_of(owner));
    int shown;
    {
        const linux_modal::Scope box(linux_modal::Scope::Kind::Box);
        shown = SDL_ShowSimpleMessageBox(flags, t.c_str(), m.c_str(), parent ? parent->sdl : nullptr);
    }
    if (shown != 0) std::fprintf(stderr, "%s: %s\n", t.c_str(), m.c_str());
    return 1;  // IDOK
}

// The caption zoom as the classic Windows look draws it: an outline that grows from the start
// rectangle to the window (or shrinks back) in about a fifth of a second. The rectangles are
// the screen's (a scaled window's is its scale times the design); the line follows the scale.
bool draw_animated_rects(WindowHandle h, int, const Rect& from, const Rect& to) {
    const Window* w = find(h);
    return x11::zoom_outline(from, to, 10, 20, w ? w->scale : 1);
}

void present(WindowHandle h, const Bitmap& picture, int x, int y, int width, int height) {
    Window* w = find(h);
    if (!w) return;
    w->picture = &picture;
    w->picture_rect = {x, y, x + width, y + height};
    linux_window::repaint(*w);
}

std::unique_ptr<Bitmap> create_window_bitmap(WindowHandle h, int width, int height) {
    if (const Window* w = find(h); w && w->sdl)
        if (auto shared = x11::create_shared_bitmap(w->sdl, width, height)) return shared;
    return create_bitmap(width, height);
}

void await_frame(WindowHandle h, std::uint32_t pause_ms) {
    if (Window* w = find(h)) return linux_window::await_frame(*w, pause_ms);
    sleep_ms(pause_ms);
}

void present_changed(WindowHandle h, const Bitmap& picture, int x, int y, const Rect* changed, std::size_t count) {
    Window* w = find(h);
    if (!w) return;
    const Rect place{x, y, x + picture.width(), y + picture.height()};
    if (w->picture == &picture && w->picture_rect == place && linux_window::update_surface(*w, changed, count)) return;
    present(h, picture, x, y, place.width(), place.height());
}

}  // namespace plat
