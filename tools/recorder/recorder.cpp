// The headless frame recorder: runs the engine without a window on a program folder (the
// resource pack or its members, and the settings file), with a given screen size, random
// seed, simulated time per frame and frame count, and writes PNG frames, optionally one
// animated PNG, and a plain-text trace of every frame (format in the README).
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/engine.h"
#include "engine/sprite_sheet.h"
#include "platform/pictures.h"
#include "shell/resource_pack.h"
#include "tools/recorder/image_files.h"
#include "tools/recorder/options.h"
#include "tools/recorder/program_folder.h"
#include "tools/recorder/simulated_host.h"
#include "tools/recorder/trace_writer.h"

int main(int argc, char** argv) {
    recorder::Options o;
    if (!recorder::ParseOptions(argc, argv, o)) {
        recorder::PrintUsage();
        return 2;
    }
    std::error_code ec;
    std::filesystem::create_directories(o.out, ec);

    const engine::EngineSettings settings = recorder::ReadEngineSettings(o.folder + "/Zephlora.ini");
    const recorder::MemberFolder members(o.folder);

    // The packaged pictures when this build has them; otherwise the sprite sheet drawn from its
    // table and black backgrounds.
    auto picture = [&](plat::Picture which) {
        if (!o.pictures.empty()) return recorder::ReadPicture(o.pictures + "/" + plat::picture_file_name(which));
        return plat::load_picture(which);
    };
    std::unique_ptr<plat::Bitmap> sprites = picture(plat::Picture::SpriteSheet);
    if (!sprites) sprites = engine::BuildSpriteSheet();
    std::vector<std::unique_ptr<plat::Bitmap>> backgrounds;
    engine::EnginePictures pictures;
    pictures.Sprites = sprites.get();
    for (int i = 0; i < 10; ++i) {
        backgrounds.push_back(picture(static_cast<plat::Picture>(static_cast<int>(plat::Picture::Background0) + i)));
        pictures.Backgrounds[static_cast<std::size_t>(i)] = backgrounds.back().get();
    }

    recorder::TraceWriter trace;
    if (!trace.Open(o, settings)) {
        std::fprintf(stderr, "zephlora_recorder: cannot write %s\n", o.trace.c_str());
        return 1;
    }
    engine::SeededRandom random(o.seed);
    recorder::SimulatedHost host(o, trace);
    engine::Engine eng([&members](int n) { return shell::MemberPath(members.path(), n); }, settings, pictures, random, host.Hooks());
    host.Attach(eng);
    eng.ShuffleAtLoad();
    trace.Order(eng);

    std::string error;
    if (!eng.Start(o.width, o.height, error)) {
        std::fprintf(stderr, "zephlora_recorder: %s\n", error.c_str());
        trace.Fatal(error);
        return 1;
    }
    return host.Run();
}
