// The Win32 values that the core and the back ends pass through the platform calls, each
// with the number winuser.h, wingdi.h or mmsystem.h gives it. The Win32 back end hands them
// to the system unchanged; the other back ends and the software raster read them as Windows
// does. Free of every other header, so that any layer can include it.
#pragma once

#include <cstdint>

namespace plat {

// ---- DrawTextA's format bits (DT_*) --------------------------------------------------
inline constexpr std::uint32_t kDtTop = 0x0000, kDtLeft = 0x0000;
inline constexpr std::uint32_t kDtCenter = 0x0001;
inline constexpr std::uint32_t kDtRight = 0x0002;
inline constexpr std::uint32_t kDtVCenter = 0x0004;
inline constexpr std::uint32_t kDtBottom = 0x0008;
inline constexpr std::uint32_t kDtWordBreak = 0x0010;
inline constexpr std::uint32_t kDtSingleLine = 0x0020;
inline constexpr std::uint32_t kDtExpandTabs = 0x0040;
inline constexpr std::uint32_t kDtNoClip = 0x0100;
inline constexpr std::uint32_t kDtCalcRect = 0x0400;
inline constexpr std::uint32_t kDtNoPrefix = 0x0800;

// ---- Virtual-key codes (VK_*), as WindowHandlers::key_down delivers them -------------
// The back ends without Windows' keys translate theirs into these.
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

// ---- Window styles: GetWindowLongA's index of the style (GWL_STYLE) and its bits (WS_*) --
inline constexpr int kGwlStyle = -16;
inline constexpr std::int32_t kWsPopup = static_cast<std::int32_t>(0x80000000u);
inline constexpr std::int32_t kWsChild = 0x40000000;
inline constexpr std::int32_t kWsCaption = 0x00C00000;
inline constexpr std::int32_t kWsSysMenu = 0x00080000;
inline constexpr std::int32_t kWsMinimizeBox = 0x00020000;

// ---- SetWindowPos: the place in the z-order (HWND_*) and the flags (SWP_*) -------------
inline constexpr std::intptr_t kHwndTop = 0;
inline constexpr std::intptr_t kHwndBottom = 1;
inline constexpr std::intptr_t kHwndTopmost = -1;
inline constexpr std::uint32_t kSwpNoSize = 0x0001;
inline constexpr std::uint32_t kSwpNoMove = 0x0002;
inline constexpr std::uint32_t kSwpNoZOrder = 0x0004;
inline constexpr std::uint32_t kSwpNoActivate = 0x0010;

// ---- MessageBoxA's styles (MB_*): one OK button with the stop sign or the exclamation mark --
inline constexpr std::uint32_t kMbIconHand = 0x10;
inline constexpr std::uint32_t kMbIconExclamation = 0x30;

// ---- ShowWindow's and ShellExecuteA's show command (SW_*) -----------------------------
inline constexpr int kSwShowNormal = 1;

// ---- DrawAnimatedRects' animation (IDANI_*): the caption's zoom ------------------------
inline constexpr int kIdAniCaption = 3;

// ---- SystemParametersInfoA's action that tells whether a screen saver runs (SPI_*) -----
inline constexpr std::uint32_t kSpiSetScreenSaverRunning = 97;

// ---- PlaySoundA's flags (SND_*) ---------------------------------------------------------
inline constexpr std::uint32_t kSndAsync = 0x0001;
inline constexpr std::uint32_t kSndNoDefault = 0x0002;
inline constexpr std::uint32_t kSndLoop = 0x0008;

// ---- The mapping mode of every device context: one logical unit a pixel (MM_TEXT) ------
inline constexpr int kMmText = 1;

// ---- System colours: GetSysColor's indexes (COLOR_*) -----------------------------------
inline constexpr int kColorWindow = 5;
inline constexpr int kColorWindowFrame = 6;
inline constexpr int kColorWindowText = 8;
inline constexpr int kColorHighlight = 13;
inline constexpr int kColorHighlightText = 14;
inline constexpr int kColorBtnFace = 15;
inline constexpr int kColorBtnShadow = 16;
inline constexpr int kColorGrayText = 17;
inline constexpr int kColorBtnText = 18;
inline constexpr int kColorBtnHighlight = 20;
inline constexpr int kColorDkShadow = 21;
inline constexpr int kColorLight = 22;

// A colour value (0x00BBGGRR) with the top bit set, 0x80000000 + index, names system colour
// `index`; the program resolves it when it draws.
constexpr std::uint32_t sys_color_ref(int index) { return 0x80000000u + static_cast<std::uint32_t>(index); }
inline constexpr std::uint32_t kWindowTextColor = sys_color_ref(kColorWindowText);
inline constexpr std::uint32_t kButtonFaceColor = sys_color_ref(kColorBtnFace);
inline constexpr std::uint32_t kButtonTextColor = sys_color_ref(kColorBtnText);

}  // namespace plat
