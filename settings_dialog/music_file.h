// The choice of the music file through the platform's open-file dialog.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/types.h"

namespace settings_dialog {

// The open-file request as the dialog fills it (the fields of OPENFILENAMEA that it sets; the
// platform fills in the record's size, its module instance and filter index 0, the first
// filter). Text is CP932.
struct MusicFileRequest {
    plat::WindowHandle owner{};
    // Description and pattern pairs, each ended by a NUL, the list by one more.
    std::string filter;
    std::uint32_t file_buffer_size = 255;   // the name buffer: 255 NULs
    std::uint32_t title_buffer_size = 255;  // the file-title buffer: 255 NULs
    std::string title;
    std::uint32_t flags = 0;  // read-only box shown; names of missing files and folders accepted
};

MusicFileRequest MakeMusicFileRequest(plat::WindowHandle owner);

// Shows the open-file dialog for the request, modal to its owner: the name buffer up to its
// first NUL when the user chose a file, nothing when the user cancelled or the call failed.
using FileChooser = std::function<std::optional<std::string>(const MusicFileRequest&)>;

// ChooseMusicFile: asks for a file; a choice replaces `bgm_file` and is shown by
// `show_name`; a cancelled or failed choice changes neither. The name is taken as typed,
// whether or not it matches the filter or exists.
void ChooseMusicFile(const FileChooser& chooser, plat::WindowHandle owner, std::string& bgm_file,
                     const std::function<void(std::string_view)>& show_name);

}  // namespace settings_dialog
