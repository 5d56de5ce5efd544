// The common dialogs (comdlg32): the file-open dialog.
#pragma once

#include <cstdint>
#include <string>

#include "platform/types.h"

namespace plat {

// GetOpenFileNameA's request, in the fields the program sets. The record is the one without
// the fields that later systems added at its end (OPENFILENAME_SIZE_VERSION_400A: 76 bytes
// in a 32-bit process).
struct OpenFileRequest {
    WindowHandle owner{};       // the dialog is modal to this window
    // Pairs of a description and its patterns, each ended by a NUL, the list by a further
    // NUL, as lpstrFilter ("Music (MP3)\0*.MP3;*.WAV\0\0"); CP932.
    std::string filter;
    std::string title;          // CP932
    std::string initial_folder; // empty: the platform's default folder
    std::uint32_t file_buffer_size = 255;   // nMaxFile: the path and its NUL must fit
    std::uint32_t title_buffer_size = 255;  // nMaxFileTitle
    std::uint32_t flags = 0;
};

struct OpenFileResult {
    int result = 0;          // what GetOpenFileNameA returned: > 0 when a file was chosen
    std::string path;        // the chosen file's full path, CP932
    std::string file_title;  // its name without the folder
};

// Shows the dialog and waits for the user. A cancelled dialog, a failed one and a path too
// long for the buffer all give result 0 and no path.
OpenFileResult get_open_file_name(const OpenFileRequest& request);

}  // namespace plat
