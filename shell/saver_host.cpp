#include "shell/saver_host.h"

#include <cstdio>

#include "common/texts.h"
#include "engine/sprite_sheet.h"
#include "platform/pictures.h"
#include "platform/system.h"
#include "platform/window.h"
#include "shell/resource_pack.h"

namespace shell {

void ReportFatal(const std::string& reason) {
    const std::string text = "Zephlora cannot start: " + reason;
    std::fprintf(stderr, "%s\n", text.c_str());
    plat::message_box(plat::WindowHandle::None, text, texts::kMessageTitle, plat::kMbIconHand);
}

engine::EngineSettings EngineSettingsOf(const SaverSettingsRecord& s) {
    engine::EngineSettings e;
    e.Interval = s.Interval;
    e.NeonEffect = s.NeonEffect;
    e.XAxis = s.XAxis;
    e.YAxis = s.YAxis;
    e.ZAxis = s.ZAxis;
    e.Sleep = s.Sleep;
    return e;
}

SaverHost::SaverHost(std::string member_folder, engine::EngineSettings settings,
                     std::function<void(const plat::Bitmap& frame)> present, SaverHostDevices devices)
    : report_(devices.report ? std::move(devices.report) : ReportFatal) {
    sprites_ = plat::load_picture(plat::Picture::SpriteSheet);
    if (!sprites_) sprites_ = engine::BuildSpriteSheet();
    engine::EnginePictures pictures;
    pictures.Sprites = sprites_.get();
    for (int i = 0; i < 10; ++i) {
        backgrounds_.push_back(
            plat::load_picture(static_cast<plat::Picture>(static_cast<int>(plat::Picture::Background0) + i)));
        pictures.Backgrounds[static_cast<std::size_t>(i)] = backgrounds_.back().get();
    }
    engine::EngineHooks hooks;
    hooks.Present = std::move(present);
    hooks.Sleep = [](std::uint32_t ms) { plat::sleep_ms(ms); };
    if (devices.pump)
        hooks.Pump = std::move(devices.pump);
    else
        hooks.Pump = [] { plat::pump_events(); };
    auto member_path = [folder = std::move(member_folder)](int member) { return MemberPath(folder, member); };
    engine_ = std::make_unique<engine::Engine>(std::move(member_path), settings, pictures, random_, std::move(hooks));
}

SaverHost::~SaverHost() = default;

void SaverHost::Shuffle() { engine_->ShuffleAtLoad(); }

bool SaverHost::RunEngine(int width, int height) {
    std::string error;
    if (!engine_->Start(width, height, error)) {
        report_(error);
        return false;
    }
    while (engine_->Frame()) {
    }
    return true;
}

engine::ChangeReport SaverHost::ChangeTick() { return engine_->ChangeTick(); }

void SaverHost::Stop() { engine_->Stop(); }

}  // namespace shell
