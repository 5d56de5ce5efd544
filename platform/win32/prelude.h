// The only header that includes <windows.h>. Every Win32 source of the back end includes
// this instead, so that the lean, strict and min/max-free settings hold everywhere.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef STRICT
#define STRICT
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/types.h"

namespace plat::win32 {

inline HWND to_hwnd(WindowHandle h) { return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(h)); }
inline WindowHandle from_hwnd(HWND h) { return static_cast<WindowHandle>(reinterpret_cast<std::uintptr_t>(h)); }
inline RECT to_rect(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }
inline Rect from_rect(const RECT& r) { return Rect{r.left, r.top, r.right, r.bottom}; }

// Zero-terminated copy of a string_view for the narrow API.
std::string z(std::string_view text);

// The program's texts are CP932. What the system shows (titles, message boxes, the combo box,
// fonts' names, labels) goes to it in wide form converted from code page 932 explicitly, so that
// it reads the same on a system of any ANSI code page; text read back comes the other way.
std::wstring wide_from_cp932(std::string_view cp932);
std::string cp932_from_wide(std::wstring_view wide);

// A wide path as the narrow calls reach it: its own ANSI name when that converts exactly,
// else its short (8.3) name, else with "?" for what has no form (a name no file has).
std::string narrow_path(const std::wstring& wide);

}  // namespace plat::win32
