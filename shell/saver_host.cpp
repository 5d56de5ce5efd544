#include "shell/saver_host.h"

#include <algorithm>
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
    : present_(std::move(present)), report_(devices.report ? std::move(devices.report) : ReportFatal) {
    sprites_ = plat::load_picture(plat::Picture::SpriteSheet);
    if (!sprites_) sprites_ = engine::BuildSpriteSheet();
    engine::EnginePictures pictures;
    pictures.Sprites = sprites_.get();
    pictures.BackgroundOf = [this](int index) { return Background(index); };
    engine::EngineHooks hooks;
    hooks.Present = [this](const plat::Bitmap& frame) {
        if (!present_) return;
        if (shown_in_ != plat::WindowHandle::None) {
            // The window's picture free again before the frame is drawn into it; the pause
            // after the frame before goes with the window's pace where it has one.
            plat::await_frame(shown_in_, pause_ms_);
            pause_ms_ = 0;
        }
        if (!scaled_) {
            present_(frame);
            return;
        }
        scaled_->Compose(*engine_);
        present_(*scaled_->frame());
    };
    hooks.Sleep = [this](std::uint32_t ms) {
        if (shown_in_ != plat::WindowHandle::None)
            pause_ms_ = ms;  // kept by the next frame's wait
        else
            plat::sleep_ms(ms);
    };
    if (devices.pump)
        hooks.Pump = std::move(devices.pump);
    else
        hooks.Pump = [] { plat::pump_events(); };
    auto member_path = [folder = std::move(member_folder)](int member) { return MemberPath(folder, member); };
    engine_ = std::make_unique<engine::Engine>(std::move(member_path), settings, pictures, random_, std::move(hooks));
}

SaverHost::~SaverHost() = default;

void SaverHost::Shuffle() { engine_->ShuffleAtLoad(); }

const plat::Bitmap* SaverHost::Background(int index) {
    if (index != background_index_) {
        background_.reset();  // the one before goes first
        background_ = plat::load_picture(static_cast<plat::Picture>(static_cast<int>(plat::Picture::Background0) + index));
        background_index_ = index;
    }
    return background_.get();
}

namespace {

// The display scale for a screen of width x height: the platform's, held so that the engine's
// screen keeps at least one design pixel.
int ScaleFor(int width, int height) {
    int scale = std::clamp(plat::display_scale(), 1, plat::kMaxDisplayScale);
    while (scale > 1 && (width / scale < 1 || height / scale < 1)) --scale;
    return scale;
}

// The sprite sheet drawn for a display scale above 1: the shipped one, else drawn here.
std::unique_ptr<plat::Bitmap> ScaledSpriteSheet(int scale) {
    const int picture = static_cast<int>(plat::Picture::SpriteSheet2) + scale - 2;
    auto sheet = plat::load_picture(static_cast<plat::Picture>(picture));
    if (!sheet || sheet->width() != engine::kSheetWidth * scale || sheet->height() != engine::kSheetHeight * scale)
        sheet = engine::BuildScaledSpriteSheet(scale);
    return sheet;
}

}  // namespace

bool SaverHost::RunEngine(int width, int height, plat::WindowHandle shown_in) {
    std::string error;
    shown_in_ = shown_in;
    pause_ms_ = 0;
    int scale = ScaleFor(width, height);
    scaled_.reset();
    if (scale > 1) {
        scaled_sprites_ = ScaledSpriteSheet(scale);
        scaled_ = std::make_unique<engine::ScaledFrame>();
        // Without the memory for a frame at scale the saver still runs, at scale 1.
        if (!scaled_sprites_ || !scaled_->Reset(scale, width, height, *scaled_sprites_,
                                                  plat::create_window_bitmap(shown_in, width, height))) {
            scaled_.reset();
            scaled_sprites_.reset();
            scale = 1;
        }
    }
    // At a scale the engine's own picture is never shown: it need only work out each frame.
    engine_->DrawPicture(!scaled_);
    if (!engine_->Start(width / scale, height / scale, error)) {
        report_(error);
        return false;
    }
    while (engine_->Frame()) {
    }
    return true;
}

bool SaverHost::ShownAll() const { return scaled_ ? scaled_->All() : engine_->Changes().All(); }

const std::vector<plat::Rect>& SaverHost::ShownRects() const {
    return scaled_ ? scaled_->Rects() : engine_->Changes().Rects();
}

engine::ChangeReport SaverHost::ChangeTick() { return engine_->ChangeTick(); }

void SaverHost::Stop() { engine_->Stop(); }

}  // namespace shell
