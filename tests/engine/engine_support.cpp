#include "engine_support.h"

#include <fstream>
#include <random>

#include "platform/system.h"

namespace engine_test {

std::string MemberText(const std::vector<engine::ShapeDot>& dots) {
    std::string text = "[Shape]\r\nName=test\r\n\r\n\r\n\r\n\r\n\r\n\r\n";
    text += "Dots=" + std::to_string(static_cast<int>(dots.size()) - 1) + "\r\n";
    text += "Faces=Not Available\r\n[Dots]\r\n\r\n";
    for (const auto& d : dots)
        text += std::to_string(d.X) + "!" + std::to_string(d.Y) + "@" + std::to_string(d.Z) + "*" +
                std::to_string(d.W) + "\r\n";
    return text;
}

std::string MemberFile(const std::string& folder, int n) {
    std::string path = folder;
    path += plat::kPathSeparator;
    path += "Zephlora00" + std::to_string(n) + ".zpk";
    return path;
}

engine::MemberPaths InFolder(const std::string& folder) {
    return [folder](int n) { return MemberFile(folder, n); };
}

void TempFolder::WriteMember(int n, const std::vector<engine::ShapeDot>& dots) const {
    std::string name = "Zephlora00" + std::to_string(n) + ".zpk";
    WriteText(name, MemberText(dots));
}

void TempFolder::WriteText(const std::string& file, const std::string& text) const {
    std::ofstream out(std::filesystem::path(path()) / file, std::ios::binary);
    out << text;
}

std::vector<engine::ShapeDot> RandomShape(int count, int r, unsigned seed) {
    std::mt19937 gen(seed);
    std::uniform_int_distribution<int> coord(-r, r);
    std::vector<engine::ShapeDot> dots(static_cast<std::size_t>(count));
    for (auto& d : dots) d = engine::ShapeDot{coord(gen), coord(gen), coord(gen), coord(gen)};
    return dots;
}

engine::EnginePictures TestPictures::view() const {
    engine::EnginePictures p;
    p.Sprites = sprites.get();
    for (std::size_t i = 0; i < backgrounds.size() && i < 10; ++i) p.Backgrounds[i] = backgrounds[i].get();
    return p;
}

TestPictures MakeTestPictures() {
    TestPictures p;
    p.sprites = engine::BuildSpriteSheet(0x00ABCDEF);
    for (int i = 0; i < 10; ++i) {
        auto b = plat::create_bitmap(40 + i, 30 + i);
        plat::fill_rect(*b, 0, 0, b->width(), b->height(), 0x00100000u * static_cast<unsigned>(i + 1) + 0x40);
        p.backgrounds.push_back(std::move(b));
    }
    return p;
}

Harness::Harness(const std::string& folder, engine::EngineSettings settings, std::uint64_t seed)
    : pictures(MakeTestPictures()), random(seed) {
    engine::EngineHooks hooks;
    hooks.Present = [this](const plat::Bitmap&) { ++presents; };
    hooks.Sleep = [this](std::uint32_t ms) { sleeps.push_back(ms); };
    hooks.Pump = [this] {
        ++pumps;
        if (on_pump) on_pump();
    };
    engine = std::make_unique<engine::Engine>(InFolder(folder), settings, pictures.view(), random, hooks);
}

}  // namespace engine_test
