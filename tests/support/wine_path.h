// A Unix path as Wine's Windows programs see it (drive Z: is the root).
#pragma once

#include <string>

namespace testing_support {

inline std::string wine_path(const std::string& unix_path) {
    std::string p = "Z:" + unix_path;
    for (char& c : p)
        if (c == '/') c = '\\';
    return p;
}

}  // namespace testing_support
