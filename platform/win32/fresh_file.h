// A fresh temporary file beside a target, shared by the file writer and the profile writer.
#pragma once

#include <cstddef>
#include <string>

namespace plat::win32 {

// Writes `data` to a new file named `target` + ".tmp<pid>-<n>" in the target's folder, created
// with CREATE_NEW (a name that exists, a link planted there included, is passed over for the
// next), flushed to the disk. Returns its name in `temp`; on failure nothing is left behind.
bool write_fresh_temporary(const std::string& target, const void* data, std::size_t length,
                           std::string& temp);

}  // namespace plat::win32
