// Plain value types shared by every platform service header. No <windows.h> here:
// handles are opaque, colours are plain integers laid out like GDI's (0x00BBGGRR).
#pragma once

#include <cstdint>
#include <string>

namespace plat {

struct Rect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    std::int32_t width() const { return right - left; }
    std::int32_t height() const { return bottom - top; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

struct Point {
    std::int32_t x = 0, y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// A top-level or child window. The value is the platform's own handle (HWND on Win32,
// an X11 window id for foreign windows on Linux, a small counter in the scripted back end),
// so it can travel on a command line.
enum class WindowHandle : std::uintptr_t { None = 0 };

// 0x00BBGGRR, red in the low byte; 0x80000000 + n names system colour n.
using ColorRef = std::uint32_t;

// The fields of a LOGFONTA that the program sets: a request for a font, resolved when drawing.
struct FontDesc {
    std::int32_t height = 0;      // lfHeight: < 0 character height in pixels, > 0 cell height, 0 default
    std::int32_t weight = 400;    // lfWeight: 400 normal, 700 bold
    bool italic = false;
    bool underline = false;
    bool strike_out = false;
    std::uint8_t charset = 1;     // lfCharSet: 0 ANSI, 1 DEFAULT, 128 SHIFTJIS
    std::string face;             // lfFaceName in CP932 bytes, at most 31 bytes
};

}  // namespace plat
