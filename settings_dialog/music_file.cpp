#include "settings_dialog/music_file.h"

#include "common/texts.h"

namespace settings_dialog {

MusicFileRequest MakeMusicFileRequest(plat::WindowHandle owner) {
    MusicFileRequest request;
    request.owner = owner;
    request.filter.append(texts::kMusicFileFilterName).push_back('\0');
    request.filter.append(texts::kMusicFileFilterPattern).push_back('\0');
    request.filter.push_back('\0');
    request.title = std::string(texts::kMusicFileTitle);
    return request;
}

void ChooseMusicFile(const FileChooser& chooser, plat::WindowHandle owner, std::string& bgm_file,
                     const std::function<void(std::string_view)>& show_name) {
    if (!chooser) return;
    const std::optional<std::string> chosen = chooser(MakeMusicFileRequest(owner));
    if (!chosen) return;
    // The buffer's text ends at its first NUL, whatever the chooser handed back.
    std::string name = chosen->substr(0, chosen->find('\0'));
    bgm_file = std::move(name);
    if (show_name) show_name(bgm_file);
}

}  // namespace settings_dialog
