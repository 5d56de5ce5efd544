// Shared by the fuzz targets: a scratch folder for the process, and a check that stops the
// run with a message (libFuzzer then keeps the input that caused it).
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "tests/support/temp_folder.h"

namespace fuzz {

// One folder for the whole run, in memory where possible; removed when the process ends
// normally.
inline const testing_support::TempFolder& scratch() {
    static const testing_support::TempFolder folder("fuzz", testing_support::memory_folder());
    return folder;
}

[[noreturn]] inline void fail(const char* what, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, what);
    std::abort();
}

inline std::string_view as_text(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

}  // namespace fuzz

#define FUZZ_CHECK(condition) \
    ((condition) ? (void)0 : ::fuzz::fail(#condition, __FILE__, __LINE__))
