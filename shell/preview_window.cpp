#include "shell/preview_window.h"

#include <cstdint>
#include <map>
#include <memory>

#include "common/texts.h"
#include "platform/draw.h"
#include "platform/pictures.h"
#include "platform/timer.h"
#include "platform/window.h"

namespace shell {
namespace {

// Img_Prev: the still picture of each preview window (one per process in practice).
std::map<plat::WindowHandle, std::unique_ptr<plat::Bitmap>>& Pictures() {
    static std::map<plat::WindowHandle, std::unique_ptr<plat::Bitmap>> pictures;
    return pictures;
}

// The parent of each preview window, once it is embedded.
std::map<plat::WindowHandle, plat::WindowHandle>& Parents() {
    static std::map<plat::WindowHandle, plat::WindowHandle> parents;
    return parents;
}

constexpr int kParentTimer = 1;
constexpr std::uint32_t kParentCheckMs = 500;

}  // namespace

plat::WindowHandle CreatePreviewWindow() {
    plat::WindowHandlers handlers;
    auto handle = std::make_shared<plat::WindowHandle>();
    handlers.unload = [handle] {
        Pictures().erase(*handle);
        Parents().erase(*handle);
    };
    handlers.timer = [handle](int timer_id) {
        if (timer_id != kParentTimer) return;
        const auto it = Parents().find(*handle);
        if (it != Parents().end() && !plat::is_window(it->second)) plat::destroy_window(*handle);
    };
    *handle = plat::create_window({std::string(texts::kTitlePreview), plat::WindowStyle::Popup,
                                   {0, 0, 152, 112}},
                                  std::move(handlers));
    return *handle;
}

void WatchPreviewParent(plat::WindowHandle window, plat::WindowHandle parent) {
    Parents()[window] = parent;
    plat::set_timer(window, kParentTimer, kParentCheckMs);
}

void PlacePreviewPicture(plat::WindowHandle window, int width, int height) {
    auto& picture = Pictures()[window];
    if (!picture) picture = plat::load_picture(plat::Picture::Preview);
    if (!picture) {
        // The product's picture is not built in yet: a black 152 x 112 picture stands in.
        picture = plat::create_bitmap(152, 112);
        if (picture) plat::fill_rect(*picture, 0, 0, 152, 112, 0);
    }
    if (picture && width > 0 && height > 0) plat::present(window, *picture, 0, 0, width, height);
}

}  // namespace shell
