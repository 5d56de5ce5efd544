// Windows, timers and the event pump of the Linux back end, on SDL2 over X11.
//
// A window's handle is its X11 window id, so that it can travel on a command line and be
// found by other processes; FindWindowA's stand-in looks through the X server's top-level
// windows (and one level below, for window-manager frames) for a matching _NET_WM_NAME or
// WM_NAME. Timer ticks are kept here and delivered only by pump_events, one tick per timer
// per pump at most, as WM_TIMER is. Foreign windows (a preview's parent) are reached through
// a connection of our own to the X server, with X errors caught rather than fatal.
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string_view>
#include <memory>
#include <vector>

#include "platform/draw.h"
#include "platform/system.h"
#include "platform/text.h"
#include "platform/timer.h"
#include "platform/window.h"
#include "platform/linux/x11.h"

namespace plat {
namespace {

struct Timer {
    std::uint32_t period_ms = 0;
    std::uint64_t next_due_ms = 0;
};

struct Window {
    SDL_Window* sdl = nullptr;
    std::uint32_t sdl_id = 0;
    unsigned long xid = 0;
    std::string title;  // CP932
    WindowStyle style = WindowStyle::Popup;
    WindowHandlers handlers;
    std::map<int, Timer> timers;
    const Bitmap* picture = nullptr;
    Rect picture_rect;
    std::int32_t style_bits = 0;
    WindowHandle parent{};
    bool pressed = false;
    // The full-screen window shows its frames through a renderer that waits for the display's
    // vertical blank, from a streaming texture the size of the picture.
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int texture_w = 0, texture_h = 0;
    // A renderer that cannot wait for the vertical blank itself is held to the display's
    // rate here: the next present waits until one refresh period after the last.
    bool paced = false;
    std::uint64_t period_ticks = 0, next_present = 0;
};

std::map<WindowHandle, std::unique_ptr<Window>>& registry() {
    static std::map<WindowHandle, std::unique_ptr<Window>> windows;
    return windows;
}

Window* find(WindowHandle h) {
    auto it = registry().find(h);
    return it == registry().end() ? nullptr : it->second.get();
}

Window* find_sdl(std::uint32_t sdl_id) {
    for (auto& [h, w] : registry())
        if (w->sdl_id == sdl_id) return w.get();
    return nullptr;
}

WindowHandle handle_of(const Window* w) {
    for (auto& [h, x] : registry())
        if (x.get() == w) return h;
    return WindowHandle::None;
}

// The back end runs on X11 (the window search and embedding speak X11); SDL_VIDEODRIVER in
// the environment still wins over this hint.
void prefer_x11() { SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11"); }

bool ensure_video() {
    static const bool ok = [] {
        prefer_x11();
        SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
        // Pictures go to the window through X11's own framebuffer: an accelerated one would
        // make SDL re-create the window with a new X11 id, and the handle is that id.
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
        return SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
    }();
    return ok;
}

// The renderer's path: the picture's pixels into the texture, the texture onto the window,
// and a present that waits for the vertical blank, so that frames follow the display's rate.
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
    if (w.paced) {
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
    SDL_RenderPresent(w.renderer);
}

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

// The full-screen window's renderer: accelerated with vertical sync where the machine has a
// graphics driver, SDL's software renderer otherwise.
SDL_Renderer* make_live_renderer(SDL_Window* sdl) {
    SDL_Renderer* renderer = SDL_CreateRenderer(sdl, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    if (renderer && software_opengl(renderer)) {
        SDL_DestroyRenderer(renderer);
        renderer = nullptr;
    }
    if (!renderer) renderer = SDL_CreateRenderer(sdl, -1, SDL_RENDERER_SOFTWARE | SDL_RENDERER_PRESENTVSYNC);
    return renderer;
}

void repaint(Window& w) {
    if (w.renderer) {
        repaint_rendered(w);
        return;
    }
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
    SDL_UpdateWindowSurface(w.sdl);
}

int virtual_key(const SDL_Keysym& key) {
    const SDL_Keycode k = key.sym;
    if (k >= SDLK_a && k <= SDLK_z) return 'A' + (k - SDLK_a);
    if (k >= SDLK_0 && k <= SDLK_9) return '0' + (k - SDLK_0);
    if (k >= SDLK_F1 && k <= SDLK_F12) return 0x70 + (k - SDLK_F1);
    switch (k) {
    case SDLK_BACKSPACE: return 8;
    case SDLK_TAB: return 9;
    case SDLK_RETURN: case SDLK_KP_ENTER: return 13;
    case SDLK_LSHIFT: case SDLK_RSHIFT: return 16;
    case SDLK_LCTRL: case SDLK_RCTRL: return 17;
    case SDLK_LALT: case SDLK_RALT: return 18;
    case SDLK_PAUSE: return 19;
    case SDLK_ESCAPE: return 27;
    case SDLK_SPACE: return 32;
    case SDLK_PAGEUP: return 33;
    case SDLK_PAGEDOWN: return 34;
    case SDLK_END: return 35;
    case SDLK_HOME: return 36;
    case SDLK_LEFT: return kVkLeft;
    case SDLK_UP: return 38;
    case SDLK_RIGHT: return kVkRight;
    case SDLK_DOWN: return 40;
    case SDLK_INSERT: return 45;
    case SDLK_DELETE: return 46;
    default: return 0xFF;  // a key without a virtual-key code of its own
    }
}

int button_of(std::uint8_t sdl_button) {
    switch (sdl_button) {
    case SDL_BUTTON_LEFT: return 1;
    case SDL_BUTTON_RIGHT: return 2;
    default: return 4;
    }
}

void dispatch(const SDL_Event& e) {
    switch (e.type) {
    case SDL_KEYDOWN: {
        Window* w = find_sdl(e.key.windowID);
        if (w && w->handlers.key_down) {
            auto handler = w->handlers.key_down;
            handler(virtual_key(e.key.keysym));
        }
        break;
    }
    case SDL_MOUSEBUTTONDOWN: {
        Window* w = find_sdl(e.button.windowID);
        if (!w) break;
        w->pressed = true;
        if (w->handlers.mouse_down) {
            auto handler = w->handlers.mouse_down;
            handler(button_of(e.button.button), Point{e.button.x, e.button.y});
        }
        break;
    }
    case SDL_MOUSEBUTTONUP: {
        Window* w = find_sdl(e.button.windowID);
        if (!w) break;
        const bool was_pressed = w->pressed;
        w->pressed = false;
        const std::uint32_t id = e.button.windowID;
        if (w->handlers.mouse_up) {
            auto handler = w->handlers.mouse_up;
            handler(button_of(e.button.button), Point{e.button.x, e.button.y});
        }
        w = find_sdl(id);
        if (w && was_pressed && w->handlers.click) {
            auto handler = w->handlers.click;
            handler();
        }
        break;
    }
    case SDL_WINDOWEVENT: {
        Window* w = find_sdl(e.window.windowID);
        if (!w) break;
        if (e.window.event == SDL_WINDOWEVENT_CLOSE) destroy_window(handle_of(w));
        else if (e.window.event == SDL_WINDOWEVENT_EXPOSED || e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
            repaint(*w);
        break;
    }
    case SDL_QUIT: {
        std::vector<WindowHandle> all;
        for (auto& [h, w] : registry()) all.push_back(h);
        for (WindowHandle h : all) destroy_window(h);
        break;
    }
    default:
        break;
    }
}

void remove_window(WindowHandle h, bool x_window_gone);

// An embedded window goes when its parent goes, as a child window does. The X server has
// already destroyed it with its parent, so SDL is not asked to (it would wait for ever for
// the window to be unmapped); the SDL side is left to the end of the process.
void drop_orphans() {
    std::vector<WindowHandle> orphans;
    for (auto& [h, w] : registry()) {
        Rect r;
        if (w->parent != WindowHandle::None && !find(w->parent) && !x11::window_rect(static_cast<unsigned long>(w->parent), r))
            orphans.push_back(h);
    }
    for (WindowHandle h : orphans) remove_window(h, true);
}

void deliver_timers() {
    const std::uint64_t now = tick_count_ms();
    std::vector<std::pair<WindowHandle, int>> due;
    for (auto& [h, w] : registry())
        for (auto& [id, t] : w->timers)
            if (t.next_due_ms <= now) due.emplace_back(h, id);
    for (auto [h, id] : due) {
        Window* w = find(h);
        if (!w) continue;
        auto it = w->timers.find(id);
        if (it == w->timers.end()) continue;
        it->second.next_due_ms = tick_count_ms() + it->second.period_ms;
        if (w->handlers.timer) {
            auto handler = w->handlers.timer;  // the handler may destroy the window
            handler(id);
        }
    }
}

}  // namespace

WindowHandle create_window(const WindowDesc& desc, WindowHandlers handlers) {
    if (!ensure_video()) return WindowHandle::None;
    Uint32 flags = SDL_WINDOW_HIDDEN;
    if (desc.style == WindowStyle::Popup) flags |= SDL_WINDOW_BORDERLESS;
    const std::string title = cp932_to_utf8(desc.title);
    // A borderless window as large as the screen is the saver's: it gets a renderer with
    // vertical sync. The window is made for OpenGL from the start, since SDL would otherwise
    // make it again for the renderer under a new X11 id, and the handle is that id.
    const Point screen = screen_size_px();
    const bool live = desc.style == WindowStyle::Popup && desc.rect.left == 0 && desc.rect.top == 0 &&
                      desc.rect.width() == screen.x && desc.rect.height() == screen.y;
    SDL_Window* sdl = nullptr;
    if (live)
        sdl = SDL_CreateWindow(title.c_str(), desc.rect.left, desc.rect.top, std::max(1, desc.rect.width()),
                               std::max(1, desc.rect.height()), flags | SDL_WINDOW_OPENGL);
    if (!sdl)
        sdl = SDL_CreateWindow(title.c_str(), desc.rect.left, desc.rect.top,
                               std::max(1, desc.rect.width()), std::max(1, desc.rect.height()), flags);
    if (!sdl) return WindowHandle::None;
    SDL_Renderer* renderer = nullptr;
    if (live) {
        const unsigned long xid_before = x11::sdl_window_id(sdl);
        renderer = SDL_GetWindowFlags(sdl) & SDL_WINDOW_OPENGL
                       ? make_live_renderer(sdl)
                       : SDL_CreateRenderer(sdl, -1, SDL_RENDERER_SOFTWARE | SDL_RENDERER_PRESENTVSYNC);
        if (renderer && x11::sdl_window_id(sdl) != xid_before) {
            // Cannot happen with an OpenGL window; a handle that changed would be lost.
            SDL_DestroyRenderer(renderer);
            renderer = nullptr;
        }
    }
    auto w = std::make_unique<Window>();
    w->sdl = sdl;
    w->sdl_id = SDL_GetWindowID(sdl);
    w->renderer = renderer;
    SDL_RendererInfo info;
    // SDL's software renderer may claim vertical sync that it does not wait for.
    if (renderer && SDL_GetRendererInfo(renderer, &info) == 0 &&
        (!(info.flags & SDL_RENDERER_PRESENTVSYNC) || std::string_view(info.name) == "software")) {
        SDL_DisplayMode mode;
        const int hz = SDL_GetCurrentDisplayMode(0, &mode) == 0 && mode.refresh_rate > 0 ? mode.refresh_rate : 60;
        w->paced = true;
        w->period_ticks = SDL_GetPerformanceFrequency() / static_cast<std::uint64_t>(hz);
    }
    w->xid = x11::sdl_window_id(sdl);
    w->title = desc.title;
    w->style = desc.style;
    w->handlers = std::move(handlers);
    w->style_bits = desc.style == WindowStyle::Popup ? static_cast<std::int32_t>(0x80000000u) : 0x00CA0000;
    static std::uintptr_t next_private = 0x7F000000;
    const WindowHandle h = static_cast<WindowHandle>(w->xid ? w->xid : next_private++);
    registry()[h] = std::move(w);
    return h;
}

namespace {
void remove_window(WindowHandle h, bool x_window_gone) {
    Window* w = find(h);
    if (!w) return;
    if (w->handlers.unload) {
        auto unload = std::move(w->handlers.unload);
        w->handlers.unload = nullptr;
        unload();
    }
    w = find(h);
    if (!w) return;
    if (!x_window_gone) {
        if (w->texture) SDL_DestroyTexture(w->texture);
        if (w->renderer) SDL_DestroyRenderer(w->renderer);
        SDL_DestroyWindow(w->sdl);
    }
    registry().erase(h);
}
}  // namespace

void destroy_window(WindowHandle h) { remove_window(h, false); }

bool is_window(WindowHandle h) {
    Rect r;
    return find(h) != nullptr || x11::window_rect(static_cast<unsigned long>(h), r);
}

WindowHandle find_window_by_title(std::string_view title) {
    for (auto& [h, w] : registry())
        if (w->title == title && w->parent == WindowHandle::None) return h;
    return static_cast<WindowHandle>(x11::find_top_level(cp932_to_utf8(title)));
}

bool get_window_rect(WindowHandle h, Rect& out) {
    if (Window* w = find(h)) {
        int x = 0, y = 0, width = 0, height = 0;
        SDL_GetWindowPosition(w->sdl, &x, &y);
        SDL_GetWindowSize(w->sdl, &width, &height);
        out = {x, y, x + width, y + height};
        return true;
    }
    return x11::window_rect(static_cast<unsigned long>(h), out);
}

std::int32_t get_window_long(WindowHandle h, int index) {
    const Window* w = find(h);
    return w && index == -16 ? w->style_bits : 0;
}

std::int32_t set_window_long(WindowHandle h, int index, std::int32_t value) {
    Window* w = find(h);
    if (!w || index != -16) return 0;
    const std::int32_t old = w->style_bits;
    w->style_bits = value;
    return old;
}

WindowHandle set_parent(WindowHandle child, WindowHandle parent) {
    Window* w = find(child);
    if (!w || !w->xid) return WindowHandle::None;
    Rect r;
    if (parent != WindowHandle::None && !find(parent) &&
        !x11::window_rect(static_cast<unsigned long>(parent), r))
        return WindowHandle::None;
    if (!x11::reparent(w->xid, static_cast<unsigned long>(parent))) return WindowHandle::None;
    const WindowHandle old = w->parent;
    w->parent = parent;
    return old;
}

bool set_window_pos(WindowHandle h, std::intptr_t insert_after, int x, int y, int cx, int cy,
                    std::uint32_t flags) {
    Window* w = find(h);
    if (!w) return false;
    if (!(flags & 0x2)) SDL_SetWindowPosition(w->sdl, x, y);   // SWP_NOMOVE
    if (!(flags & 0x1)) SDL_SetWindowSize(w->sdl, std::max(1, cx), std::max(1, cy));  // SWP_NOSIZE
    if (insert_after == kHwndTopmost) SDL_SetWindowAlwaysOnTop(w->sdl, SDL_TRUE);
    return true;
}

bool move_window(WindowHandle h, int x, int y, int width, int height) {
    Window* w = find(h);
    if (!w) return false;
    SDL_SetWindowPosition(w->sdl, x, y);
    SDL_SetWindowSize(w->sdl, std::max(1, width), std::max(1, height));
    return true;
}

void show_window(WindowHandle h, bool visible) {
    Window* w = find(h);
    if (!w) return;
    if (!visible) {
        SDL_HideWindow(w->sdl);
        return;
    }
    // A borderless top-level window as large as the screen covers it, panels included.
    int width = 0, height = 0;
    SDL_GetWindowSize(w->sdl, &width, &height);
    const Point screen = screen_size_px();
    if (w->style == WindowStyle::Popup && w->parent == WindowHandle::None && width == screen.x &&
        height == screen.y)
        SDL_SetWindowFullscreen(w->sdl, SDL_WINDOW_FULLSCREEN_DESKTOP);
    SDL_ShowWindow(w->sdl);
    repaint(*w);
}

Point screen_size_px() {
    SDL_DisplayMode mode;
    if (ensure_video() && SDL_GetDesktopDisplayMode(0, &mode) == 0) return {mode.w, mode.h};
    return {1024, 768};
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

bool get_cursor_pos(Point& out) {
    if (!ensure_video()) return false;
    int x = 0, y = 0;
    SDL_GetGlobalMouseState(&x, &y);
    out = {x, y};
    return true;
}

int message_box(WindowHandle, std::string_view text, std::string_view title, std::uint32_t style) {
    Uint32 flags = SDL_MESSAGEBOX_INFORMATION;
    switch (style & 0xF0) {
    case 0x10: flags = SDL_MESSAGEBOX_ERROR; break;        // MB_ICONHAND
    case 0x30: flags = SDL_MESSAGEBOX_WARNING; break;      // MB_ICONEXCLAMATION
    default: break;
    }
    const std::string t = cp932_to_utf8(title), m = cp932_to_utf8(text);
    // Without a display the message goes to the terminal instead.
    prefer_x11();
    if (SDL_ShowSimpleMessageBox(flags, t.c_str(), m.c_str(), nullptr) != 0)
        std::fprintf(stderr, "%s: %s\n", t.c_str(), m.c_str());
    return 1;  // IDOK
}

// No animation: the window simply appears and disappears.
bool draw_animated_rects(WindowHandle, int, const Rect&, const Rect&) { return true; }

void present(WindowHandle h, const Bitmap& picture, int x, int y, int width, int height) {
    Window* w = find(h);
    if (!w) return;
    w->picture = &picture;
    w->picture_rect = {x, y, x + width, y + height};
    repaint(*w);
}

void pump_events() {
    if (registry().empty()) return;
    SDL_Event e;
    while (SDL_PollEvent(&e)) dispatch(e);
    drop_orphans();
    deliver_timers();
}

void run_event_loop() {
    while (!registry().empty()) {
        // Sleep until an event arrives or the next timer is due.
        std::uint64_t wait = 100;
        const std::uint64_t now = tick_count_ms();
        for (auto& [h, w] : registry())
            for (auto& [id, t] : w->timers)
                wait = std::min<std::uint64_t>(wait, t.next_due_ms > now ? t.next_due_ms - now : 0);
        if (wait > 0) SDL_WaitEventTimeout(nullptr, static_cast<int>(wait));
        pump_events();
    }
}

bool set_timer(WindowHandle h, int timer_id, std::uint32_t period_ms) {
    Window* w = find(h);
    if (!w) return false;
    w->timers[timer_id] = {period_ms, tick_count_ms() + std::max<std::uint32_t>(period_ms, 1)};
    return true;
}

bool kill_timer(WindowHandle h, int timer_id) {
    Window* w = find(h);
    return w && w->timers.erase(timer_id) > 0;
}

}  // namespace plat
