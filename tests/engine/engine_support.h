// Helpers of the engine tests: folders with members of their own, engines over them.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/shape_file.h"
#include "tests/support/temp_folder.h"
#include "engine/sprite_sheet.h"

namespace engine_test {

// A test's own folder (removed afterwards) that also writes members and text files.
class TempFolder : public testing_support::TempFolder {
public:
    using testing_support::TempFolder::TempFolder;
    // Writes member n (1..9) holding these dots in the member format.
    void WriteMember(int n, const std::vector<engine::ShapeDot>& dots) const;
    void WriteText(const std::string& file, const std::string& text) const;
};

std::string MemberText(const std::vector<engine::ShapeDot>& dots);

// Where the tests keep member n (1..9) in a folder: named as the program names its members,
// so that an engine's messages read the same.
std::string MemberFile(const std::string& folder, int n);
// The members of an engine over that folder.
engine::MemberPaths InFolder(const std::string& folder);

// A cube-ish cloud of `count` dots with coordinates in -r..r, from a fixed seed.
std::vector<engine::ShapeDot> RandomShape(int count, int r, unsigned seed);

// Pictures owned by the test: the reference sprite sheet and ten plain backgrounds, picture
// n filled with a colour of its own so that the shown one can be told from the others.
struct TestPictures {
    std::unique_ptr<plat::Bitmap> sprites;
    std::vector<std::unique_ptr<plat::Bitmap>> backgrounds;
    engine::EnginePictures view() const;
};
TestPictures MakeTestPictures();

// An engine with hooks that count presents and record pauses.
struct Harness {
    explicit Harness(const std::string& folder, engine::EngineSettings settings = {},
                     std::uint64_t seed = 1);
    TestPictures pictures;
    engine::SeededRandom random;
    int presents = 0;
    int pumps = 0;
    std::vector<std::uint32_t> sleeps;
    std::function<void()> on_pump;
    std::unique_ptr<engine::Engine> engine;
};

}  // namespace engine_test
