// The framebuffer presenter: the picture scaled onto the window's X11 surface.
#include "platform/linux/presenter.h"

namespace plat::linux_window {

void repaint_surface(Window& w) {
    SDL_Surface* target = SDL_GetWindowSurface(w.sdl);
    if (!target) return;
    SDL_FillRect(target, nullptr, SDL_MapRGB(target->format, 0, 0, 0));
    if (w.picture) {
        const Surface s = w.picture->surface();
        if (s.pixels && s.width > 0 && s.height > 0) {
            // Memory order B, G, R, X: SDL's RGB888 on a little-endian machine.
            SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(
                s.pixels, s.width, s.height, 32, s.stride * 4, SDL_PIXELFORMAT_RGB888);
            if (source) {
                SDL_Rect to{w.picture_rect.left, w.picture_rect.top, w.picture_rect.width(),
                            w.picture_rect.height()};
                SDL_BlitScaled(source, nullptr, target, &to);
                SDL_FreeSurface(source);
            }
        }
    }
    // The window's own image (when nothing was presented) and its child windows go over it;
    // an X11 surface holds its pixels as the images do.
    const Uint32 format = target->format->format;
    if (format == SDL_PIXELFORMAT_RGB888 || format == SDL_PIXELFORMAT_ARGB8888) {
        const Surface client{static_cast<std::uint32_t*>(target->pixels), target->w, target->h,
                             target->pitch / 4};
        tree().compose(handle_of(&w), client, w.picture == nullptr);
    }
    SDL_UpdateWindowSurface(w.sdl);
}

}  // namespace plat::linux_window
