// A fresh temporary file beside a target, shared by the file writer and the profile writer.
#pragma once

#include <cstddef>
#include <string>

namespace plat::win32 {

// Writes `data` to a new file named `target` + ".tmp<pid>-<n>" in the target's folder, created
// with CREATE_NEW (a name that exists, a link planted there included, is passed over for the
// next), flushed to the disk. Returns its name in `temp`; on failure nothing is left behind,
// and `error` (when given) holds the system's error code of the step that failed:
// ERROR_ACCESS_DENIED from the creation when the folder takes no new files, ERROR_DISK_FULL
// from the writing when the disk has no room.
bool write_fresh_temporary(const std::string& target, const void* data, std::size_t length,
                           std::string& temp, unsigned long* error = nullptr);

}  // namespace plat::win32
