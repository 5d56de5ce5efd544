// The framebuffer presenter: the picture scaled onto the window's X11 surface, and the
// full-screen window's pace.
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/linux/presenter.h"
#include "platform/linux/x11.h"
#include "platform/user32/window_tree.h"

namespace plat::linux_window {

void start_pacing(Window& w) {
    SDL_DisplayMode mode;
    const int hz = SDL_GetCurrentDisplayMode(0, &mode) == 0 && mode.refresh_rate > 0 ? mode.refresh_rate : 60;
    w.paced = true;
    w.period_ticks = SDL_GetPerformanceFrequency() / static_cast<std::uint64_t>(hz);
}

namespace {

// Waits for the next frame's time, and `pause_ms` from now at the least.
void wait_for_frame(Window& w, std::uint32_t pause_ms) {
    const std::uint64_t frequency = SDL_GetPerformanceFrequency();
    std::uint64_t now = SDL_GetPerformanceCounter();
    const std::uint64_t due = std::max(w.next_present, now + pause_ms * frequency / 1000);
    if (now < due) {
        // To the millisecond; the periods themselves add up exactly, so nothing drifts.
        const std::uint64_t ms = (due - now) * 1000 / frequency;
        if (ms > 0) SDL_Delay(static_cast<Uint32>(ms));
        now = SDL_GetPerformanceCounter();
    }
    // A late frame starts a new period rather than letting the next ones catch up.
    const bool late = now > w.next_present && now - w.next_present >= w.period_ticks;
    w.next_present = (late ? now : w.next_present) + w.period_ticks;
}

}  // namespace

void pace(Window& w) {
    if (!w.paced) return;
    wait_for_frame(w, w.pause_ms);
    w.pause_ms = 0;
}

void await_frame(Window& w, std::uint32_t pause_ms) {
    // The full-screen window keeps the pause with its pace, at the present: one wait, and one
    // wake-up, a frame. The frame is drawn before it, right after the server has read the
    // last one, while the rows it read are still in the processor's caches.
    if (w.paced)
        w.pause_ms = pause_ms;
    else if (pause_ms > 0)
        SDL_Delay(pause_ms);
    x11::await_puts();
}

namespace {

// The whole picture straight to the X server, when it covers the window exactly and nothing
// is composed over it; false, with nothing done, otherwise.
bool repaint_direct(Window& w) {
    w.picture_put = false;
    const Surface s = w.picture ? w.picture->surface() : Surface{};
    int width = 0, height = 0;
    SDL_GetWindowSize(w.sdl, &width, &height);
    if (!s.pixels || w.picture_rect != Rect{0, 0, width, height} || user32::window_tree().has_children(w.handle))
        return false;
    // One pixel stretched over the window (the black before the first frame) is a fill that
    // the X server makes, with no picture of the window's size on either side.
    if (s.width == 1 && s.height == 1) {
        if (!x11::fill_window(w.sdl, s.pixels[0])) {
            w.direct = false;
            return false;
        }
        w.surface_shown = nullptr;  // nothing to put changed rectangles of
        return true;
    }
    if (s.width != width || s.height != height) return false;
    const Rect all{0, 0, width, height};
    pace(w);
    if (!x11::put_picture(w.sdl, s.pixels, s.width, s.height, s.stride, {0, 0}, &all, 1)) {
        w.direct = false;  // the window's visual holds its pixels otherwise: through the surface
        return false;
    }
    w.picture_put = true;
    w.surface_shown = nullptr;
    return true;
}

}  // namespace

void repaint_surface(Window& w) {
    if (w.direct && repaint_direct(w)) return;
    SDL_Surface* target = SDL_GetWindowSurface(w.sdl);
    w.surface_shown = nullptr;
    if (!target) return;
    const Surface s = w.picture ? w.picture->surface() : Surface{};
    const bool drawn = s.pixels && s.width > 0 && s.height > 0;
    // Black only where the picture leaves the window uncovered (a full-screen frame covers
    // it all, and is then written once).
    if (!drawn || w.picture_rect.left > 0 || w.picture_rect.top > 0 || w.picture_rect.right < target->w ||
        w.picture_rect.bottom < target->h)
        SDL_FillRect(target, nullptr, SDL_MapRGB(target->format, 0, 0, 0));
    if (drawn) {
        // Memory order B, G, R, X: SDL's RGB888 on a little-endian machine.
        SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(s.pixels, s.width, s.height, 32, s.stride * 4,
                                                                 SDL_PIXELFORMAT_RGB888);
        if (source) {
            SDL_Rect to{w.picture_rect.left, w.picture_rect.top, w.picture_rect.width(), w.picture_rect.height()};
            SDL_BlitScaled(source, nullptr, target, &to);
            SDL_FreeSurface(source);
        }
    }
    // The window's own image (when nothing was presented) and its child windows go over it;
    // an X11 surface holds its pixels as the images do.
    const Uint32 format = target->format->format;
    if (format == SDL_PIXELFORMAT_RGB888 || format == SDL_PIXELFORMAT_ARGB8888) {
        const Surface client{static_cast<std::uint32_t*>(target->pixels), target->w, target->h,
                             target->pitch / 4};
        user32::window_tree().compose(w.handle, client, w.picture == nullptr);
    }
    pace(w);
    SDL_UpdateWindowSurface(w.sdl);
    w.surface_shown = target;
}

bool update_surface(Window& w, const Rect* changed, std::size_t count) {
    if (w.picture_put) {
        const Surface s = w.picture->surface();
        pace(w);
        return x11::put_picture(w.sdl, s.pixels, s.width, s.height, s.stride, {w.picture_rect.left, w.picture_rect.top},
                                changed, count);
    }
    SDL_Surface* target = SDL_GetWindowSurface(w.sdl);
    const Surface s = w.picture ? w.picture->surface() : Surface{};
    // Rows are copied as they are, so the surface must hold the picture's own pixel format.
    if (!target || target != w.surface_shown || !s.pixels || target->format->format != SDL_PIXELFORMAT_RGB888)
        return false;
    const Rect bounds{0, 0, target->w, target->h};
    // The rectangles as SDL takes them, in the window; kept between calls so that a frame
    // allocates nothing once the list has grown to its size.
    static std::vector<SDL_Rect> rects;
    rects.clear();
    for (std::size_t i = 0; i < count; ++i) {
        const Rect& r = changed[i];
        const int left = std::max(r.left + w.picture_rect.left, bounds.left) - w.picture_rect.left;
        const int top = std::max(r.top + w.picture_rect.top, bounds.top) - w.picture_rect.top;
        const int right = std::min({r.right, s.width, bounds.right - w.picture_rect.left});
        const int bottom = std::min({r.bottom, s.height, bounds.bottom - w.picture_rect.top});
        if (left >= right || top >= bottom) continue;
        for (int y = top; y < bottom; ++y) {
            auto* to = static_cast<std::uint8_t*>(target->pixels) +
                       static_cast<std::ptrdiff_t>(y + w.picture_rect.top) * target->pitch +
                       static_cast<std::ptrdiff_t>(left + w.picture_rect.left) * 4;
            std::memcpy(to, s.row(y) + left, static_cast<std::size_t>(right - left) * 4);
        }
        rects.push_back({left + w.picture_rect.left, top + w.picture_rect.top, right - left, bottom - top});
    }
    pace(w);  // the full-screen window's frames follow the display's rate however they go out
    if (!rects.empty()) SDL_UpdateWindowSurfaceRects(w.sdl, rects.data(), static_cast<int>(rects.size()));
    return true;
}

}  // namespace plat::linux_window
