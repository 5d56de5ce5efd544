// The files a fuzz target plants and looks at, where its file layer keeps them: in the
// scripted world's memory for a target built with MEMORY_FILES (see CMakeLists.txt), else in
// the scratch folder on the disk.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#if ZEPHLORA_FUZZ_MEMORY_FILES
#include "platform/scripted/control.h"
#endif
#include "tests/fuzz/fuzz_support.h"

namespace fuzz {

inline const std::string& folder() {
#if ZEPHLORA_FUZZ_MEMORY_FILES
    static const std::string memory = "/fuzz";
    return memory;
#else
    return scratch().path();
#endif
}

inline std::string file_path(std::string_view name) { return folder() + "/" + std::string(name); }

inline void put_file(const std::string& path, std::string bytes) {
#if ZEPHLORA_FUZZ_MEMORY_FILES
    plat::scripted::put_file(path, std::move(bytes));
#else
    testing_support::write_bytes(path, bytes);
#endif
}

// The file's bytes; nullopt when there is no file.
inline std::optional<std::string> file_bytes(const std::string& path) {
#if ZEPHLORA_FUZZ_MEMORY_FILES
    const std::string* bytes = plat::scripted::file_bytes(path);
    return bytes ? std::optional<std::string>(*bytes) : std::nullopt;
#else
    if (!testing_support::exists(path)) return std::nullopt;
    return testing_support::read_bytes(path);
#endif
}

}  // namespace fuzz
