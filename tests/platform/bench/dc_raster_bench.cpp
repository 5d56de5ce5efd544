// The button scene of dc_bench on the software raster alone (the native tree's view of the
// same figure; the comparison with GDI runs under Wine in dc_bench).
#include <benchmark/benchmark.h>

#include "button_scene.h"
#include "raster/gdi.h"

namespace {

void BM_ButtonScene(benchmark::State& state) {
    const plat::Dc window = raster::create_compatible_dc(plat::Dc::None);
    const plat::GdiObject window_bitmap = raster::create_compatible_bitmap(plat::Dc::None, dc_bench::kW, dc_bench::kH);
    raster::select_object(window, window_bitmap);
    const plat::Dc surface = raster::create_compatible_dc(window);
    const plat::GdiObject bitmap = raster::create_compatible_bitmap(plat::Dc::None, dc_bench::kW, dc_bench::kH);
    raster::select_object(surface, bitmap);
    for (auto _ : state) dc_bench::paint_button(dc_test::kRaster, window, surface, nullptr);
    raster::delete_dc(surface);
    raster::delete_dc(window);
    raster::delete_object(bitmap);
    raster::delete_object(window_bitmap);
}
BENCHMARK(BM_ButtonScene);

}  // namespace

BENCHMARK_MAIN();
