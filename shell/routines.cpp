#include "shell/routines.h"

#include "platform/files.h"
#include "platform/system.h"
#include "platform/window.h"
#include "shell/process_state.h"

namespace shell {

std::string ProgramFolder() { return plat::program_folder(); }

std::string ProgramFile(std::string_view name) {
    std::string path = ProgramFolder();
    path += plat::kPathSeparator;
    path += name;
    return path;
}

namespace {

struct FileFolders {
    std::string program;  // the program folder these were decided for
    std::string members;
    std::string settings;
    std::string members_override;
};

FileFolders& Folders() {
    static FileFolders folders;
    return folders;
}

const FileFolders& DecidedFolders() {
    FileFolders& f = Folders();
    const std::string program = ProgramFolder();
    if (f.program != program || f.members.empty()) {
        f.program = program;
        f.members = f.settings = program;
        if (!plat::folder_takes_new_files(program)) {
            if (std::string own = plat::user_temporary_folder(); !own.empty()) f.members = std::move(own);
            if (std::string own = plat::user_settings_folder(); !own.empty()) f.settings = std::move(own);
        }
    }
    return f;
}

}  // namespace

std::string MemberFolder() {
    if (!Folders().members_override.empty()) return Folders().members_override;
    return DecidedFolders().members;
}

std::string SettingsFolder() { return DecidedFolders().settings; }

void SetMemberFolder(std::string folder) { Folders().members_override = std::move(folder); }

bool IsWindowsNT() {
    // OSVERSIONINFOA is 148 bytes; platform id 2 is VER_PLATFORM_WIN32_NT.
    const plat::VersionInfo info = plat::get_version_ex(148);
    return info.result == 1 && info.platform_id == 2;
}

std::size_t CharOffset(std::string_view text, std::size_t index) {
    std::size_t at = 0;
    for (std::size_t i = 0; i < index && at < text.size(); ++i) {
        const bool wide = IsLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size();
        at += wide ? 2 : 1;
    }
    return at < text.size() ? at : text.size();
}

bool FileExists(std::string_view path) {
    // Find the last character; only a real separator character is removed, never the
    // second byte of a double-byte character such as 表 (0x95 0x5C).
    std::size_t last = std::string_view::npos;
    for (std::size_t at = 0; at < path.size();) {
        last = at;
        at += IsLeadByte(static_cast<unsigned char>(path[at])) && at + 1 < path.size() ? 2 : 1;
    }
    if (last != std::string_view::npos && last == path.size() - 1 &&
        (path[last] == '\\' || path[last] == plat::kPathSeparator))
        path.remove_suffix(1);
    return plat::can_open_for_reading(path);
}

void SetSystemKeysEnabled(bool enabled) {
    // The truth value as a 16-bit integer (-1 or 0), complemented and widened with its sign:
    // true gives 0, false gives all bits set.
    const std::int16_t truth = enabled ? -1 : 0;
    const auto param = static_cast<std::uint32_t>(static_cast<std::int32_t>(static_cast<std::int16_t>(~truth)));
    plat::system_parameters_info(plat::kSpiSetScreenSaverRunning, param, 0);
}

namespace {

plat::Rect ZoomOrigin() { return {ZoomOriginX, ZoomOriginY, ZoomOriginX, ZoomOriginY}; }
}  // namespace

void ZoomOpen(plat::WindowHandle window) {
    plat::Rect to;
    plat::get_window_rect(window, to);
    plat::draw_animated_rects(window, plat::kIdAniCaption, ZoomOrigin(), to);
}

void ZoomClose(plat::WindowHandle window) {
    plat::Rect from;
    plat::get_window_rect(window, from);
    plat::draw_animated_rects(window, plat::kIdAniCaption, from, ZoomOrigin());
}

}  // namespace shell
