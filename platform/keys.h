// Virtual-key codes, as WindowHandlers::key_down delivers them (Windows' VK_ values; the
// other back ends translate their keys into these).
#pragma once

namespace plat {

inline constexpr int kVkBack = 0x08;
inline constexpr int kVkTab = 0x09;
inline constexpr int kVkReturn = 0x0D;
inline constexpr int kVkShift = 0x10;
inline constexpr int kVkControl = 0x11;
inline constexpr int kVkMenu = 0x12;  // Alt
inline constexpr int kVkPause = 0x13;
inline constexpr int kVkEscape = 0x1B;
inline constexpr int kVkSpace = 0x20;
inline constexpr int kVkPrior = 0x21;  // Page Up
inline constexpr int kVkNext = 0x22;   // Page Down
inline constexpr int kVkEnd = 0x23;
inline constexpr int kVkHome = 0x24;
inline constexpr int kVkLeft = 0x25;
inline constexpr int kVkUp = 0x26;
inline constexpr int kVkRight = 0x27;
inline constexpr int kVkDown = 0x28;
inline constexpr int kVkInsert = 0x2D;
inline constexpr int kVkDelete = 0x2E;
inline constexpr int kVkF1 = 0x70;  // F1 to F12 follow in order
// Letters and digits are their ASCII capitals and digits ('A', '0').

// What a key without a code of its own is delivered as.
inline constexpr int kVkUnknown = 0xFF;

}  // namespace plat
