// A test dialog with children of every kind, the same in the Linux and Windows probe programs
// and in the scripted run: each event it sees is written to the log as one line.
#pragma once

#include <functional>
#include <string>

#include "platform/types.h"

namespace probe {

// Where the children lie, in the dialog's client coordinates.
inline constexpr plat::Rect kRegionChild{20, 20, 120, 80};   // its top-left 20 x 20 corner cut away
inline constexpr plat::Rect kCaptureChild{140, 20, 200, 80};
inline constexpr plat::Rect kFirstStop{20, 100, 80, 130};
inline constexpr plat::Rect kSecondStop{100, 100, 160, 130};
inline constexpr plat::Rect kCombo{180, 100, 240, 121};
inline constexpr plat::Rect kFileButton{20, 160, 80, 190};
inline constexpr plat::Rect kLink{100, 160, 280, 176};
inline constexpr plat::Rect kQuit{300, 220, 360, 250};
inline constexpr plat::Rect kDialog{100, 100, 500, 400};  // outer, on the screen
inline const char* const kTitle = "Zephlora probe dialog";
inline const char* const kChooserTitle = "Probe Open";
inline const char* const kLinkAddress = "http://example.invalid/probe";

using Log = std::function<void(const std::string&)>;

// Builds and shows the dialog. Once its first timer tick has come through the event pump the
// log gets "tick 7"; the caller may then start the input. A click on the quit child writes
// "end <combo text>" and destroys the dialog.
plat::WindowHandle build(Log log);

}  // namespace probe
