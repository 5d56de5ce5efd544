// The time to paint one styled-button-like scene (73 x 25: a gradient of 1-pixel bands, three
// rings of polylines, corner pixels, and on the GDI side a caption) with Wine's or Windows'
// GDI and with the software raster, in one run. Prints both and their ratio; a speed target,
// so it is a benchmark, not a test. The raster's caption is missing: the MinGW tree links the
// text stand-in (no FreeType), so the raster side paints no text.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "button_scene.h"
#include "platform/win32/draw_win32.h"
#include "raster/gdi.h"

namespace {

using dc_bench::kH;
using dc_bench::kW;
using dc_test::DrawApi;
using plat::Dc;
using plat::GdiObject;

void draw_caption(Dc surface) {
    plat::Rect r{6, 6, kW - 6, kH - 6};
    plat::draw_text(surface, "OK", r, 1 | 16);  // DT_CENTER | DT_WORDBREAK
}

// Nanoseconds per scene, the best of several runs of `count` scenes.
double time_scenes(const DrawApi& api, Dc window, bool caption, int count) {
    const Dc surface = api.create_compatible_dc(window);
    const GdiObject bitmap = api.create_compatible_bitmap(window, kW, kH);
    const GdiObject old = api.select_object(surface, bitmap);
    api.set_bk_mode(surface, plat::BkMode::Transparent);
    if (caption) {
        plat::FontDesc font;
        font.height = -12;
        font.face = "Arial";
        plat::select_object(surface, plat::create_font(font));
    }
    double best = 1e30;
    for (int run = 0; run < 5; ++run) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < count; ++i) dc_bench::paint_button(api, window, surface, caption ? draw_caption : nullptr);
        GdiFlush();
        const auto end = std::chrono::steady_clock::now();
        best = std::min(best, std::chrono::duration<double, std::nano>(end - start).count() / count);
    }
    api.select_object(surface, old);
    api.delete_object(bitmap);
    api.delete_dc(surface);
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2000;
    plat::win32::DibBitmap gdi_window(kW, kH);
    const Dc raster_window = raster::create_compatible_dc(Dc::None);
    const GdiObject raster_bitmap = raster::create_compatible_bitmap(Dc::None, kW, kH);
    raster::select_object(raster_window, raster_bitmap);

    const double gdi_caption = time_scenes(dc_test::kPlatform, plat::bitmap_dc(gdi_window), true, count);
    const double gdi = time_scenes(dc_test::kPlatform, plat::bitmap_dc(gdi_window), false, count);
    const double raster = time_scenes(dc_test::kRaster, raster_window, false, count);
    std::printf("73 x 25 button scene, best of 5 x %d:\n", count);
    std::printf("  GDI with caption     %10.0f ns\n", gdi_caption);
    std::printf("  GDI without caption  %10.0f ns\n", gdi);
    std::printf("  raster (no caption)  %10.0f ns\n", raster);
    std::printf("  raster / GDI without caption: %.3f\n", raster / gdi);
    std::printf("  raster / GDI with caption:    %.3f\n", raster / gdi_caption);
    raster::delete_dc(raster_window);
    raster::delete_object(raster_bitmap);
    return 0;
}
