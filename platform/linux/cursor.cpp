// The pointer's shapes of the Linux back end: SDL's system cursors, and custom shapes made
// from an icon's colour bitmap and mask (a set mask bit is transparent, as in an icon).
#include "platform/linux/cursor.h"

#include <map>

#include "platform/linux/window_registry.h"
#include "platform/user32/window_tree.h"

namespace plat::linux_window {
namespace {

SDL_Cursor* system_cursor(CursorKind kind) {
    static std::map<CursorKind, SDL_Cursor*> made;
    SDL_Cursor*& c = made[kind];
    if (!c)
        c = SDL_CreateSystemCursor(kind == CursorKind::Hand   ? SDL_SYSTEM_CURSOR_HAND
                                   : kind == CursorKind::Wait ? SDL_SYSTEM_CURSOR_WAIT
                                                              : SDL_SYSTEM_CURSOR_ARROW);
    return c;
}

SDL_Cursor* icon_cursor(Icon icon) {
    static std::map<Icon, SDL_Cursor*> made;
    if (auto it = made.find(icon); it != made.end()) return it->second;
    GdiObject color{}, mask{};
    SDL_Cursor* cursor = nullptr;
    BitmapInfo info;
    if (get_icon_info(icon, color, mask) && get_bitmap_info(color, info) && info.width > 0 && info.height > 0) {
        SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, info.width, info.height, 32, SDL_PIXELFORMAT_ARGB8888);
        const Dc cdc = create_compatible_dc(Dc::None), mdc = create_compatible_dc(Dc::None);
        const GdiObject old_c = select_object(cdc, color), old_m = select_object(mdc, mask);
        for (int y = 0; s && y < info.height; ++y) {
            auto* row = reinterpret_cast<Uint32*>(static_cast<Uint8*>(s->pixels) + y * s->pitch);
            for (int x = 0; x < info.width; ++x) {
                const ColorRef c = get_pixel(cdc, x, y);
                const bool clear = (get_pixel(mdc, x, y) & 0xFFFFFF) != 0;
                row[x] = clear ? 0 : 0xFF000000u | (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
            }
        }
        select_object(cdc, old_c);
        select_object(mdc, old_m);
        delete_dc(cdc);
        delete_dc(mdc);
        if (s) {
            cursor = SDL_CreateColorCursor(s, 0, 0);
            SDL_FreeSurface(s);
        }
    }
    if (color != GdiObject::None) delete_object(color);
    if (mask != GdiObject::None) delete_object(mask);
    made[icon] = cursor;
    return cursor;
}

}  // namespace

void apply_cursor(WindowHandle root, Point p) {
    Icon custom{};
    const CursorKind kind = user32::window_tree().cursor_at(root, p, custom);
    SDL_Cursor* c = kind == CursorKind::Custom ? icon_cursor(custom) : system_cursor(kind);
    if (c && SDL_GetCursor() != c) SDL_SetCursor(c);
}

void refresh_cursor() {
    SDL_Window* under = SDL_GetMouseFocus();
    const Window* w = under ? find_sdl(SDL_GetWindowID(under)) : nullptr;
    if (!w) return;
    Point p;
    SDL_GetMouseState(&p.x, &p.y);
    apply_cursor(w->handle, design_point(*w, p.x, p.y));
}

}  // namespace plat::linux_window
