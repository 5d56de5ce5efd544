// Plain file operations. Paths are CP932 text as the core holds them; back ends convert.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

// True when the path opens for reading as a file (not a folder).
bool can_open_for_reading(std::string_view path);

// Read exactly `length` bytes starting at zero-based `offset`. Returns false when the file
// cannot be opened or holds fewer bytes; `out` is then left empty.
bool read_file_range(std::string_view path, std::uint64_t offset, std::size_t length,
                     std::vector<std::uint8_t>& out);

// Read the whole file. False when it cannot be opened or read.
bool read_whole_file(std::string_view path, std::vector<std::uint8_t>& out);

// Create or replace the file with exactly these bytes. False on any failure; a failure
// never leaves a partly written file under `path` (the bytes go to a temporary file in the
// same folder, named `path` + ".tmp" + a suffix, which is then renamed over the target). A
// replaced file keeps its permissions.
bool write_file_replacing(std::string_view path, const void* data, std::size_t length);

// Removes the temporary files that writes replacing `path` (write_file_replacing, the
// profile writer) left beside it when their process was killed half-way: every file in the
// same folder whose name is the file's name followed by ".tmp" and anything (on Windows only
// the ".tmp<pid>-<n>" names that its writer makes, since Wine's calls follow planted links).
// Called at start-up, before the files are read.
void remove_leftover_temporaries(std::string_view path);

// Delete a file; false when it is missing or cannot be deleted.
bool delete_file(std::string_view path);

// ---- Where the program's own files can go ------------------------------------------------

// True when this user can make a new file in the folder: a probe file is created there
// exclusively and removed again (permission bits alone do not say it: root, access lists, a
// read-only mount).
bool folder_takes_new_files(std::string_view folder);

// A folder of the user's own that only the user can read, for the temporary members when the
// program's folder takes no files (%TEMP%\Zephlora on Windows; $XDG_RUNTIME_DIR/zephlora, else
// a private folder under the temporary folder, on Linux). Made when missing; empty when there
// is none.
std::string user_temporary_folder();

// The user's settings folder of the program (%APPDATA%\Zephlora, $XDG_CONFIG_HOME/zephlora or
// ~/.config/zephlora), made when missing; empty when there is none.
std::string user_settings_folder();

// A new, empty folder inside `parent` that only the user can read (one per process that
// needs files no other copy touches); empty on failure. On Linux the process holds it while
// it lives, and the folders in `parent` whose processes were killed before their end are
// removed first, with what they hold.
std::string make_private_folder(std::string_view parent);

// Removes an empty folder (a private folder's own mark of its holder included); false when it
// is not there, not empty or cannot be removed.
bool remove_empty_folder(std::string_view folder);

}  // namespace plat
