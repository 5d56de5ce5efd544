// The headless frame recorder: runs the engine without a window on a program folder (the
// resource pack or its members, and the settings file), with a given screen size, random
// seed, simulated time per frame and frame count, and writes PNG frames, optionally one
// animated PNG, and a plain-text trace of every frame (format in the README).
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "common/numeric.h"
#include "common/texts.h"
#include "engine/engine.h"
#include "engine/sprite_sheet.h"
#include "platform/files.h"
#include "platform/pictures.h"
#include "platform/profile.h"
#include "shell/resource_pack.h"
#include "tools/recorder/image_files.h"

namespace {

struct Options {
    std::string folder = ".";
    int width = 640, height = 480;
    std::uint64_t seed = 1;
    double seconds_per_frame = 1.0 / 60.0;
    int frames = 60;
    std::string out = ".";
    int every = 1;          // write every n-th frame as PNG; 0: none
    std::string apng;       // animated PNG of the written frames
    int apng_delay_ms = 33;
    std::string trace;      // default: <out>/trace.txt
    std::string pictures;   // folder with sprites.png and background0.png .. background9.png
};

void usage() {
    std::fprintf(stderr,
                 "usage: zephlora_recorder [--folder DIR] [--size WxH] [--seed N] [--spf SECONDS]\n"
                 "                         [--frames N] [--out DIR] [--every N] [--apng FILE]\n"
                 "                         [--apng-delay MS] [--trace FILE] [--pictures DIR]\n"
                 "DIR holds Zephlora.zpk (or its members Zephlora001.zpk..Zephlora009.zpk) and\n"
                 "optionally Zephlora.ini. Frames go to OUT/frame_00000.png and so on. The pictures\n"
                 "are the program's own unless --pictures names a folder with sprites.png and\n"
                 "background0.png .. background9.png.\n");
}

bool parse_args(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](std::string& v) {
            if (i + 1 >= argc) return false;
            v = argv[++i];
            return true;
        };
        std::string v;
        if (a == "--folder") { if (!value(o.folder)) return false; }
        else if (a == "--out") { if (!value(o.out)) return false; }
        else if (a == "--apng") { if (!value(o.apng)) return false; }
        else if (a == "--trace") { if (!value(o.trace)) return false; }
        else if (a == "--pictures") { if (!value(o.pictures)) return false; }
        else if (a == "--size") {
            if (!value(v) || std::sscanf(v.c_str(), "%dx%d", &o.width, &o.height) != 2) return false;
        } else if (a == "--seed") {
            if (!value(v)) return false;
            o.seed = std::strtoull(v.c_str(), nullptr, 10);
        } else if (a == "--spf") {
            if (!value(v)) return false;
            o.seconds_per_frame = std::strtod(v.c_str(), nullptr);
        } else if (a == "--frames") {
            if (!value(v)) return false;
            o.frames = std::atoi(v.c_str());
        } else if (a == "--every") {
            if (!value(v)) return false;
            o.every = std::atoi(v.c_str());
        } else if (a == "--apng-delay") {
            if (!value(v)) return false;
            o.apng_delay_ms = std::atoi(v.c_str());
        } else {
            return false;
        }
    }
    return o.width > 0 && o.height > 0 && o.frames >= 0 && o.every >= 0 &&
           std::isfinite(o.seconds_per_frame) && o.seconds_per_frame >= 0 && o.apng_delay_ms > 0 &&
           o.apng_delay_ms < 65536;
}

// The settings the engine needs, read with the settings file's rules: missing or empty keys
// take their defaults; 16-bit values are rounded down, the rotation rates to the nearest
// even; a value that is no number or does not fit reads as 0.
engine::EngineSettings read_settings(const std::string& ini) {
    engine::EngineSettings s;
    auto text = [&](std::string_view key) {
        return plat::get_private_profile_string(texts::kSettingsSection, key, "", 256, ini);
    };
    auto small = [&](std::string_view key, std::int32_t fallback) -> std::int32_t {
        const std::string t = text(key);
        if (t.empty()) return fallback;
        const auto v = common::parse_number(t);
        if (!v) return 0;
        return common::to_int16_floor(*v).value_or(0);
    };
    auto rate = [&](std::string_view key) -> std::int32_t {
        const std::string t = text(key);
        if (t.empty()) return 5;
        const auto v = common::parse_number(t);
        if (!v) return 0;
        return common::to_int32_rounded(*v).value_or(0);
    };
    s.Interval = small(texts::kKeyInterval, 2);
    s.NeonEffect = small(texts::kKeyNeonEffect, 0);
    s.XAxis = rate(texts::kKeyXAxis);
    s.YAxis = rate(texts::kKeyYAxis);
    s.ZAxis = rate(texts::kKeyZAxis);
    s.Sleep = small(texts::kKeySleep, 1);
    return s;
}

// Where the nine members lie in the pack, and their lengths.
constexpr std::uint64_t kPackOffsets[9] = {0, 7569, 11420, 15725, 19745, 23491, 25887, 29035, 33073};
constexpr std::size_t kPackLengths[9] = {7569, 3851, 4305, 4020, 3746, 2396, 3148, 4038, 3118};

// The folder the engine reads its members from: the program folder when they are there,
// otherwise a temporary folder with the members split out of the pack (removed at the end).
std::string member_folder(const std::string& folder, std::filesystem::path& temp) {
    if (plat::can_open_for_reading(shell::MemberPath(folder, 2))) return folder;
    const std::string pack = folder + "/Zephlora.zpk";
    if (!plat::can_open_for_reading(pack)) return folder;  // the engine reports the missing member
    std::error_code ec;
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = std::filesystem::temp_directory_path(ec) /
               ("zephlora_recorder_" + std::to_string(std::rand()) + "_" + std::to_string(attempt));
        if (std::filesystem::create_directory(temp, ec)) break;
    }
    for (int n = 1; n <= 9; ++n) {
        std::vector<std::uint8_t> bytes;
        if (!plat::read_file_range(pack, kPackOffsets[n - 1], kPackLengths[n - 1], bytes)) break;
        if (!plat::write_file_replacing(shell::MemberPath(temp.string(), n), bytes.data(), bytes.size())) break;
    }
    return temp.string();
}

const char* phase_name(engine::Phase p) {
    switch (p) {
    case engine::Phase::NotStarted: return "stopped";
    case engine::Phase::Holding: return "holding";
    case engine::Phase::Changing: return "changing";
    }
    return "?";
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!parse_args(argc, argv, o)) {
        usage();
        return 2;
    }
    if (o.trace.empty()) o.trace = o.out + "/trace.txt";
    std::error_code ec;
    std::filesystem::create_directories(o.out, ec);

    const engine::EngineSettings settings = read_settings(o.folder + "/Zephlora.ini");
    std::filesystem::path temp;
    const std::string members = member_folder(o.folder, temp);

    // The packaged pictures when this build has them; otherwise the sprite sheet drawn from its
    // table and black backgrounds.
    auto picture = [&](plat::Picture which, const char* file) {
        if (!o.pictures.empty()) return recorder::ReadPicture(o.pictures + "/" + file);
        return plat::load_picture(which);
    };
    std::unique_ptr<plat::Bitmap> sprites = picture(plat::Picture::SpriteSheet, "sprites.png");
    if (!sprites) sprites = engine::BuildSpriteSheet();
    std::vector<std::unique_ptr<plat::Bitmap>> backgrounds;
    engine::EnginePictures pictures;
    pictures.Sprites = sprites.get();
    for (int i = 0; i < 10; ++i) {
        const std::string file = "background" + std::to_string(i) + ".png";
        backgrounds.push_back(picture(static_cast<plat::Picture>(static_cast<int>(plat::Picture::Background0) + i), file.c_str()));
        pictures.Backgrounds[static_cast<std::size_t>(i)] = backgrounds.back().get();
    }

    std::FILE* trace = std::fopen(o.trace.c_str(), "w");
    if (!trace) {
        std::fprintf(stderr, "zephlora_recorder: cannot write %s\n", o.trace.c_str());
        return 1;
    }
    std::fprintf(trace, "zephlora-trace 1\n");
    std::fprintf(trace, "run size %d %d seed %llu spf %.6f frames %d interval %d neon %d rates %d %d %d sleep %d\n",
                 o.width, o.height, static_cast<unsigned long long>(o.seed), o.seconds_per_frame, o.frames,
                 settings.Interval, settings.NeonEffect, settings.XAxis, settings.YAxis, settings.ZAxis,
                 settings.Sleep);

    engine::SeededRandom random(o.seed);
    double clock = 0.0;       // simulated seconds since the window was made
    long long next_tick = 1;  // the one-second change timer's next tick
    int frame_number = 0;
    int status = 0;
    std::unique_ptr<recorder::ApngWriter> apng;
    if (!o.apng.empty()) apng = std::make_unique<recorder::ApngWriter>(o.apng, o.width, o.height, o.apng_delay_ms);
    std::unique_ptr<engine::Engine> eng;

    engine::EngineHooks hooks;
    // Presenting a frame: its trace record, and the picture when it is one to keep.
    hooks.Present = [&](const plat::Bitmap& picture) {
        const int f = frame_number;
        const int top = eng->DrawnTop();
        const int pos = eng->OrderPos;
        const engine::Angles a = eng->LastFrameAngles();
        std::fprintf(trace,
                     "frame %d time %.6f phase %s centre %d %d angles %d %d %d order %d member %d "
                     "background %d dots %d\n",
                     f, clock, phase_name(eng->phase()), eng->CentreX, eng->CentreY, a.X, a.Y, a.Z, pos,
                     pos > 0 ? eng->ShapeOrder[static_cast<std::size_t>(pos)] : 2, eng->BackIndex, top + 1);
        for (int i = 0; i <= top; ++i) {
            const engine::ShapeDot& d = eng->ScreenDots[static_cast<std::size_t>(i)];
            std::fprintf(trace, "%d %d %d %d\n", d.X, d.Y, d.Z, eng->Bands()[static_cast<std::size_t>(i)]);
        }
        if (o.every > 0 && f % o.every == 0 && status == 0) {
            char name[64];
            std::snprintf(name, sizeof name, "/frame_%05d.png", f);
            if (!recorder::WritePng(o.out + name, picture.surface())) {
                std::fprintf(stderr, "zephlora_recorder: cannot write the frames to %s\n", o.out.c_str());
                status = 1;
            }
            if (apng) apng->AddFrame(picture.surface());
        }
    };
    // The pause is part of the simulated frame time; nothing waits.
    hooks.Sleep = [](std::uint32_t) {};
    // The event pump: the frame's time passes, and the change timer ticks once a second.
    bool pumping = false;  // the change tick pumps too; a nested pump has nothing new
    hooks.Pump = [&] {
        if (pumping) return;
        pumping = true;
        clock = static_cast<double>(frame_number + 1) * o.seconds_per_frame;
        while (clock >= static_cast<double>(next_tick)) {
            const engine::ChangeReport r = eng->ChangeTick();
            if (r.Began)
                std::fprintf(trace, "change tick %lld member %d %s%s%s\n", next_tick, r.Member,
                             r.Failed ? "failed" : "began", r.Failed ? " " : "",
                             r.Failed ? engine::ShapeErrorText(r.Error) : "");
            ++next_tick;
        }
        pumping = false;
    };
    eng = std::make_unique<engine::Engine>([members](int n) { return shell::MemberPath(members, n); }, settings, pictures, random, hooks);
    eng->ShuffleAtLoad();
    std::fprintf(trace, "order");
    for (int i = 1; i <= 9; ++i) std::fprintf(trace, " %d", eng->ShapeOrder[static_cast<std::size_t>(i)]);
    std::fprintf(trace, "\n");

    std::string error;
    if (!eng->Start(o.width, o.height, error)) {
        std::fprintf(stderr, "zephlora_recorder: %s\n", error.c_str());
        std::fprintf(trace, "fatal %s\n", error.c_str());
        std::fclose(trace);
        if (!temp.empty()) std::filesystem::remove_all(temp, ec);
        return 1;
    }
    for (; frame_number < o.frames && status == 0; ++frame_number) {
        clock = static_cast<double>(frame_number) * o.seconds_per_frame;
        eng->Frame();
    }
    std::fclose(trace);
    if (apng && !apng->Finish()) {
        std::fprintf(stderr, "zephlora_recorder: cannot write %s\n", o.apng.c_str());
        status = 1;
    }
    if (!temp.empty()) std::filesystem::remove_all(temp, ec);
    return status;
}
