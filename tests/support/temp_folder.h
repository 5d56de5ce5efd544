// Shared by every test program: a fresh folder under the temporary folder for one test,
// removed with everything in it afterwards; reading and writing whole files.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace testing_support {

class TempFolder {
public:
    // `name` tells whose folder it is when one is left behind.
    // `base` is the folder to make it in, the temporary folder when empty.
    explicit TempFolder(const std::string& name = "test", std::filesystem::path base = {}) {
        // A name nobody else holds: created here, not merely unused when looked at.
        std::random_device random;
        std::error_code ec;
        if (base.empty()) base = std::filesystem::temp_directory_path(ec);
        for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
            const auto dir = base / ("zephlora-" + name + "-" + std::to_string(random()));
            if (std::filesystem::create_directory(dir, ec)) path_ = dir.string();
        }
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// A folder in memory where the system offers one (else the temporary folder), for tests that
// write files many thousand times: the writers flush each file to the disk, which costs
// milliseconds there and nothing in memory.
inline std::filesystem::path memory_folder() {
    std::error_code ec;
    if (std::filesystem::is_directory("/dev/shm", ec) && ::access("/dev/shm", W_OK) == 0) return "/dev/shm";
    return std::filesystem::temp_directory_path(ec);
}

inline void write_bytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string read_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool exists(const std::string& path) { return std::filesystem::exists(path); }

// A pack of `length` bytes whose every byte depends on its position, so that a member taken
// from the wrong place shows.
inline std::string make_pack(std::size_t length = 36191) {
    std::string pack(length, '\0');
    std::uint32_t x = 2463534242u;
    for (std::size_t i = 0; i < length; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        pack[i] = static_cast<char>(x >> 24);
    }
    return pack;
}

}  // namespace testing_support
