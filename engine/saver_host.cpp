#include "engine/saver_host.h"

#include "engine/sprite_sheet.h"
#include "platform/pictures.h"
#include "platform/system.h"
#include "platform/window.h"

namespace engine {

SaverHost::SaverHost(std::string program_folder, EngineSettings settings,
                     std::function<void(const plat::Bitmap& frame)> present) {
    sprites_ = plat::load_picture(plat::Picture::SpriteSheet);
    if (!sprites_) sprites_ = BuildSpriteSheet();
    EnginePictures pictures;
    pictures.Sprites = sprites_.get();
    for (int i = 0; i < 10; ++i) {
        backgrounds_.push_back(
            plat::load_picture(static_cast<plat::Picture>(static_cast<int>(plat::Picture::Background0) + i)));
        pictures.Backgrounds[static_cast<std::size_t>(i)] = backgrounds_.back().get();
    }
    EngineHooks hooks;
    hooks.Present = std::move(present);
    hooks.Sleep = [](std::uint32_t ms) { plat::sleep_ms(ms); };
    hooks.Pump = [] { plat::pump_events(); };
    engine_ = std::make_unique<Engine>(std::move(program_folder), settings, pictures, random_, std::move(hooks));
}

SaverHost::~SaverHost() = default;

void SaverHost::Shuffle() { engine_->ShuffleAtLoad(); }

bool SaverHost::RunEngine(int width, int height) {
    std::string error;
    if (!engine_->Start(width, height, error)) {
        ReportFatal(error);
        return false;
    }
    while (engine_->Frame()) {
    }
    return true;
}

ChangeReport SaverHost::ChangeTick() { return engine_->ChangeTick(); }

void SaverHost::Stop() { engine_->Stop(); }

}  // namespace engine
