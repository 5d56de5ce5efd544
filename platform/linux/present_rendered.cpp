// The renderer presenter of the full-screen window, and the choice of its renderer.
#include <algorithm>
#include <string_view>

#include "platform/linux/presenter.h"
#include "platform/linux/x11.h"

namespace plat::linux_window {
namespace {

// OpenGL drawn by the processor (Mesa's llvmpipe and the like, as in a virtual X server or on
// a machine without a graphics driver) costs several times what SDL's own software renderer
// does for the same picture.
bool software_opengl(SDL_Renderer* renderer) {
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer, &info) != 0 || std::string_view(info.name).substr(0, 6) != "opengl")
        return false;
    using GetString = const unsigned char* (*)(unsigned int);
    const auto get_string = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const unsigned char* name = get_string ? get_string(0x1F01) : nullptr;  // GL_RENDERER
    if (!name) return false;
    const std::string_view n(reinterpret_cast<const char*>(name));
    return n.find("llvmpipe") != n.npos || n.find("softpipe") != n.npos || n.find("Software Rasterizer") != n.npos ||
           n.find("swrast") != n.npos;
}

SDL_Renderer* make_live_renderer(SDL_Window* sdl) {
    SDL_Renderer* renderer = SDL_CreateRenderer(sdl, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    if (renderer && software_opengl(renderer)) {
        SDL_DestroyRenderer(renderer);
        renderer = nullptr;
    }
    if (!renderer) renderer = SDL_CreateRenderer(sdl, -1, SDL_RENDERER_SOFTWARE | SDL_RENDERER_PRESENTVSYNC);
    return renderer;
}

}  // namespace

void attach_live_renderer(Window& w) {
    const unsigned long xid_before = x11::sdl_window_id(w.sdl);
    SDL_Renderer* renderer = SDL_GetWindowFlags(w.sdl) & SDL_WINDOW_OPENGL
                                 ? make_live_renderer(w.sdl)
                                 : SDL_CreateRenderer(w.sdl, -1, SDL_RENDERER_SOFTWARE | SDL_RENDERER_PRESENTVSYNC);
    if (renderer && x11::sdl_window_id(w.sdl) != xid_before) {
        // Cannot happen with an OpenGL window; a handle that changed would be lost.
        SDL_DestroyRenderer(renderer);
        renderer = nullptr;
    }
    w.renderer = renderer;
    SDL_RendererInfo info;
    // SDL's software renderer may claim vertical sync that it does not wait for.
    w.software_renderer = renderer && SDL_GetRendererInfo(renderer, &info) == 0 && std::string_view(info.name) == "software";
    if (renderer && SDL_GetRendererInfo(renderer, &info) == 0 &&
        (!(info.flags & SDL_RENDERER_PRESENTVSYNC) || w.software_renderer)) {
        SDL_DisplayMode mode;
        const int hz = SDL_GetCurrentDisplayMode(0, &mode) == 0 && mode.refresh_rate > 0 ? mode.refresh_rate : 60;
        w.paced = true;
        w.period_ticks = SDL_GetPerformanceFrequency() / static_cast<std::uint64_t>(hz);
    }
}

// The picture's pixels into the texture, the texture onto the window, and a present that
// waits for the vertical blank, so that frames follow the display's rate.
void repaint_rendered(Window& w) {
    SDL_SetRenderDrawColor(w.renderer, 0, 0, 0, 255);
    SDL_RenderClear(w.renderer);
    const Surface s = w.picture ? w.picture->surface() : Surface{};
    if (s.pixels && s.width > 0 && s.height > 0) {
        if (!w.texture || w.texture_w != s.width || w.texture_h != s.height) {
            if (w.texture) SDL_DestroyTexture(w.texture);
            w.texture = SDL_CreateTexture(w.renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                                          s.width, s.height);
            w.texture_w = s.width;
            w.texture_h = s.height;
        }
        if (w.texture && SDL_UpdateTexture(w.texture, nullptr, s.pixels, s.stride * 4) == 0) {
            const SDL_Rect to{w.picture_rect.left, w.picture_rect.top, w.picture_rect.width(),
                              w.picture_rect.height()};
            SDL_RenderCopy(w.renderer, w.texture, nullptr, &to);
        }
    }
    pace(w);
    SDL_RenderPresent(w.renderer);
    // SDL's software renderer has just filled the window's framebuffer surface.
    w.surface_shown = w.software_renderer ? SDL_GetWindowSurface(w.sdl) : nullptr;
}

void pace(Window& w) {
    if (!w.paced) return;
    const std::uint64_t frequency = SDL_GetPerformanceFrequency();
    std::uint64_t now = SDL_GetPerformanceCounter();
    if (now < w.next_present) {
        // To the millisecond; the periods themselves add up exactly, so nothing drifts.
        const std::uint64_t ms = (w.next_present - now) * 1000 / frequency;
        if (ms > 0) SDL_Delay(static_cast<Uint32>(ms));
        now = SDL_GetPerformanceCounter();
    }
    // A late frame starts a new period rather than letting the next ones catch up.
    const bool late = now > w.next_present && now - w.next_present >= w.period_ticks;
    w.next_present = (late ? now : w.next_present) + w.period_ticks;
}

bool update_rendered(Window& w, const Rect* changed, std::size_t count) {
    if (w.software_renderer) return update_surface(w, changed, count);
    const Surface s = w.picture ? w.picture->surface() : Surface{};
    if (!w.texture || !s.pixels || w.texture_w != s.width || w.texture_h != s.height) return false;
    for (std::size_t i = 0; i < count; ++i) {
        const Rect& r = changed[i];
        const int left = std::max(r.left, 0), top = std::max(r.top, 0);
        const int right = std::min(r.right, s.width), bottom = std::min(r.bottom, s.height);
        if (left >= right || top >= bottom) continue;
        const SDL_Rect area{left, top, right - left, bottom - top};
        SDL_UpdateTexture(w.texture, &area, s.row(top) + left, s.stride * 4);
    }
    // The texture is whole again; drawing it is the graphics processor's work.
    SDL_SetRenderDrawColor(w.renderer, 0, 0, 0, 255);
    SDL_RenderClear(w.renderer);
    const SDL_Rect to{w.picture_rect.left, w.picture_rect.top, w.picture_rect.width(), w.picture_rect.height()};
    SDL_RenderCopy(w.renderer, w.texture, nullptr, &to);
    pace(w);
    SDL_RenderPresent(w.renderer);
    return true;
}

}  // namespace plat::linux_window
