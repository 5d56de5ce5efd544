// Small routines of start-up that the rest of the program uses too.
#pragma once

#include <string>
#include <string_view>

#include "common/cp932.h"
#include "platform/types.h"

namespace shell {

// The folder of the running executable, without a trailing separator (CP932).
std::string ProgramFolder();

// ProgramFolder + separator + name.
std::string ProgramFile(std::string_view name);

// Where the files that the program writes go. A folder in which this user can make files
// keeps them beside the executable (a portable copy); an installed copy that cannot write
// there uses the user's own folders instead: the members go to the user's temporary folder
// (closed to other users) and the settings file to the user's settings folder, and the
// settings are read from there too. The pack is always looked for beside the executable.
// Decided once per program folder; a user folder that cannot be had leaves the program's.
std::string MemberFolder();
std::string SettingsFolder();

// The members of this process go to `folder` instead (a folder of its own, for the copies
// that run side by side, one per monitor); the empty text goes back to the rule above.
void SetMemberFolder(std::string folder);

// True when the system is of the NT family (GetVersionExA with a 148-byte record says so).
bool IsWindowsNT();

// True when the path opens for reading as a file. One trailing separator is removed first;
// a 0x5C that is the second byte of a double-byte character is not a separator.
bool FileExists(std::string_view path);

// Tells the system whether the screen saver runs (SPI_SETSCREENSAVERRUNNING with the
// complement of the 16-bit truth value): true says it no longer runs.
void SetSystemKeysEnabled(bool enabled);

// The settings dialog's zoom animation, from (ZoomOriginX, ZoomOriginY) to the window's
// rectangle and back.
void ZoomOpen(plat::WindowHandle window);
void ZoomClose(plat::WindowHandle window);

// CP932: true for a byte that starts a double-byte character.
constexpr bool IsLeadByte(unsigned char c) { return common::IsCp932LeadByte(c); }

// Splits CP932 text into characters: the byte offset of character `index` (0-based), or
// text.size() when the text has fewer characters. A lead byte at the very end counts as one
// character of its own.
std::size_t CharOffset(std::string_view text, std::size_t index);

}  // namespace shell
