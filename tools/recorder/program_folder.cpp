#include "tools/recorder/program_folder.h"

#include <cstdlib>
#include <system_error>

#include "platform/files.h"
#include "shell/process_state.h"
#include "shell/resource_pack.h"
#include "shell/saver_host.h"
#include "shell/settings_store.h"

namespace recorder {

engine::EngineSettings ReadEngineSettings(const std::string& ini) {
    shell::SaverSettingsRecord read;
    shell::LoadSettingsFrom(ini, read);
    return shell::EngineSettingsOf(read);
}

MemberFolder::MemberFolder(const std::string& program_folder) : path_(program_folder) {
    if (plat::can_open_for_reading(shell::MemberPath(program_folder, 2))) return;
    const std::string pack = program_folder + "/Zephlora.zpk";
    if (!plat::can_open_for_reading(pack)) return;  // the engine reports the missing member
    std::error_code ec;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp_ = std::filesystem::temp_directory_path(ec) /
                ("zephlora_recorder_" + std::to_string(std::rand()) + "_" + std::to_string(attempt));
        if (std::filesystem::create_directory(temp_, ec)) break;
    }
    path_ = temp_.string();
    shell::SplitPack(pack, [this](int n) { return shell::MemberPath(path_, n); });
}

MemberFolder::~MemberFolder() {
    std::error_code ec;
    if (!temp_.empty()) std::filesystem::remove_all(temp_, ec);
}

}  // namespace recorder
