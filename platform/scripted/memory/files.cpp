// The file services of platform/files.h over the scripted world's files in memory: a file is
// its bytes under its path, spelled as the program spells it (one folder and one name make
// each path, so a file has one spelling). A write replaces the bytes whole or not at all, as
// the disk's writer does, and nothing reaches the disk.
//
// Programs choose these files at link time (zephlora_memory_files) instead of the disk's in
// zephlora_posix; reset() empties them.
#include <algorithm>
#include <string>

#include "platform/files.h"
#include "platform/scripted/world.h"
#include "platform/system.h"

namespace plat {

using scripted::world;

namespace {

const std::string* find_file(std::string_view path) {
    const auto& files = world().files;
    const auto it = files.find(path);
    return it == files.end() ? nullptr : &it->second;
}

// A path that names no file: empty, or a folder (it ends in the separator).
bool names_no_file(std::string_view path) { return path.empty() || path.back() == kPathSeparator; }

std::string in_folder(std::string_view folder) { return std::string(folder) + kPathSeparator; }

}  // namespace

bool can_open_for_reading(std::string_view path) { return find_file(path) != nullptr; }

bool read_file_range(std::string_view path, std::uint64_t offset, std::size_t length,
                     std::vector<std::uint8_t>& out) {
    out.clear();
    const std::string* file = find_file(path);
    if (!file || offset > file->size() || length > file->size() - offset) return false;
    const auto first = file->begin() + static_cast<std::ptrdiff_t>(offset);
    out.assign(first, first + static_cast<std::ptrdiff_t>(length));
    return true;
}

bool read_whole_file(std::string_view path, std::vector<std::uint8_t>& out) {
    out.clear();
    const std::string* file = find_file(path);
    if (!file) return false;
    out.assign(file->begin(), file->end());
    return true;
}

bool write_file_replacing(std::string_view path, const void* data, std::size_t length) {
    if (names_no_file(path)) return false;
    const auto* bytes = static_cast<const char*>(data);
    world().files.insert_or_assign(std::string(path), std::string(bytes, bytes + length));
    return true;
}

void remove_leftover_temporaries(std::string_view path) {
    const std::string prefix = std::string(path) + ".tmp";
    std::erase_if(world().files, [&](const auto& file) { return file.first.starts_with(prefix); });
}

bool delete_file(std::string_view path) {
    auto& files = world().files;
    const auto it = files.find(path);
    if (it == files.end()) return false;
    files.erase(it);
    return true;
}

// Every folder of the memory world takes files, so the program keeps its files beside
// itself and never asks for the user's folders; it has none.
bool folder_takes_new_files(std::string_view) { return true; }
std::string user_temporary_folder() { return {}; }
std::string user_settings_folder() { return {}; }

std::string make_private_folder(std::string_view parent) {
    std::string folder = in_folder(parent) + "zephlora-" + std::to_string(++world().private_folders_made);
    world().private_folders.insert(folder);
    return folder;
}

bool remove_empty_folder(std::string_view folder) {
    auto& folders = world().private_folders;
    const auto it = folders.find(folder);
    if (it == folders.end()) return false;
    const std::string inside = in_folder(folder);
    const auto& files = world().files;
    if (std::any_of(files.begin(), files.end(), [&](const auto& file) { return file.first.starts_with(inside); }))
        return false;
    folders.erase(it);
    return true;
}

}  // namespace plat
