// zephlora_gallery: one control drawn to a PNG file through the scripted back end, as the
// screen would show it. Exit status 0, 1 when the picture cannot be written, 2 for bad
// arguments or a request the control's page refuses.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/draw.h"
#include "platform/scripted/control.h"
#include "platform/window.h"
#include "tools/gallery/gallery.h"
#include "tools/gallery/options.h"
#include "tools/recorder/image_files.h"

namespace {

constexpr int kHostWidth = 400, kHostHeight = 300;

const gallery::Page* find_page(const std::string& name) {
    for (const gallery::Page* p = gallery::kPages; p->name; ++p)
        if (name == p->name) return p;
    return nullptr;
}

void list_pages(std::FILE* to) {
    for (const gallery::Page* p = gallery::kPages; p->name; ++p)
        std::fprintf(to, "%-10s states: %s; %s\n", p->name, p->states, p->about);
}

// The control's part of the host as the screen shows it, each pixel zoom x zoom.
std::unique_ptr<plat::Bitmap> picture_of(plat::WindowHandle host, plat::WindowHandle control, int zoom) {
    const auto screen = plat::scripted::compose(host);
    plat::Rect r;
    if (!screen || !plat::get_window_rect(control, r)) return nullptr;
    plat::Point at{r.left, r.top};
    plat::screen_to_client(host, at);
    auto out = plat::create_bitmap(r.width() * zoom, r.height() * zoom);
    const plat::Surface from = screen->surface(), to = out->surface();
    for (int y = 0; y < to.height; ++y)
        for (int x = 0; x < to.width; ++x) {
            const int sx = at.x + x / zoom, sy = at.y + y / zoom;
            const bool inside = sx >= 0 && sy >= 0 && sx < from.width && sy < from.height;
            to.row(y)[x] = inside ? from.row(sy)[sx] : 0;
        }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        std::printf("usage: zephlora_gallery --control NAME [--set Key=Value]... [--rect X,Y,W,H] [--state NAME]\n"
                    "         [--button N] [--press P] [--move P] [--release P] [--drag P] [--key VK]...\n"
                    "         [--zoom N] --out FILE.png\n"
                    "       zephlora_gallery --list\ncontrols:\n");
        list_pages(stdout);
        return args.empty() ? 2 : 0;
    }
    std::string error;
    const auto options = gallery::ParseOptions(args, error);
    if (!options) {
        std::fprintf(stderr, "zephlora_gallery: %s\n", error.c_str());
        return 2;
    }
    if (options->list) {
        list_pages(stdout);
        return 0;
    }
    const gallery::Page* page = find_page(options->control);
    if (!page) {
        std::fprintf(stderr, "zephlora_gallery: no control \"%s\"; there are:\n", options->control.c_str());
        list_pages(stderr);
        return 2;
    }

    plat::scripted::reset();
    plat::WindowDesc desc;
    desc.title = "gallery";
    desc.style = plat::WindowStyle::Dialog;
    desc.rect = {0, 0, kHostWidth, kHostHeight};
    const plat::WindowHandle host = plat::create_window(desc, {});
    plat::show_window(host, true);
    plat::pump_events();
    auto shown = page->show(host, options->request, error);
    if (!shown) {
        std::fprintf(stderr, "zephlora_gallery: %s\n", error.c_str());
        return 2;
    }
    plat::pump_events();  // any repaint the steps asked for
    const auto picture = picture_of(host, shown->window(), options->zoom);
    if (!picture || !recorder::WritePng(options->out, picture->surface())) {
        std::fprintf(stderr, "zephlora_gallery: cannot write %s\n", options->out.c_str());
        return 1;
    }
    return 0;
}
