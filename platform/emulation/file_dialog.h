// What the file-open dialogs of the Linux and scripted back ends share: the reading of the
// request's filter list and the rules of the answer.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dialogs.h"

namespace plat::emulation {

struct FileFilter {
    std::string description;            // CP932
    std::vector<std::string> patterns;  // "*.MP3", one a pattern
};

// The pairs of lpstrFilter, up to the empty description that ends the list (or the end of the
// text); a description without its patterns is left out.
std::vector<FileFilter> parse_filter(std::string_view filter);

// A shell pattern that matches the pattern's letters in either case, as the system's
// matching of file names does ("*.MP3" -> "*.[mM][pP]3").
std::string case_blind_pattern(std::string_view pattern);

// The dialog's answer: the chosen path (none: cancelled), held to the request's buffers.
OpenFileResult open_file_answer(const OpenFileRequest& request, const std::optional<std::string>& path);

}  // namespace plat::emulation
