// What the recorder reads from a program folder: the settings, read as the saver reads them,
// and the nine members, split out of the pack as the saver splits it when the folder does not
// hold them already.
#pragma once

#include <filesystem>
#include <string>

#include "engine/engine.h"

namespace recorder {

// The engine's settings from `ini` (the saver's settings file).
engine::EngineSettings ReadEngineSettings(const std::string& ini);

// The folder the engine reads its members from: the program folder when they are there,
// otherwise a temporary folder with the members split out of the pack, removed again when
// this object goes.
class MemberFolder {
public:
    explicit MemberFolder(const std::string& program_folder);
    ~MemberFolder();
    MemberFolder(const MemberFolder&) = delete;
    MemberFolder& operator=(const MemberFolder&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
    std::filesystem::path temp_;  // empty when the program folder is used
};

}  // namespace recorder
