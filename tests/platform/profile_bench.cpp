// The settings reader on a settings file of 10 MB (line feeds, then the section with its nine
// keys): the settings read of a start, its time and the peak memory it adds.
#include <benchmark/benchmark.h>

#include <string>

#include "common/texts.h"
#include "shell/settings_store.h"
#include "tests/support/peak_memory.h"
#include "tests/support/temp_folder.h"

namespace {

void BM_LoadSettingsFrom10MBOfLineFeeds(benchmark::State& state) {
    testing_support::TempFolder folder("profile-bench");
    const std::string path = folder.file("Zephlora.ini");
    const std::size_t size = 10u << 20;
    std::string text(size, '\n');
    text += "[Section]\r\n";
    for (std::string_view key : {texts::kKeyInterval, texts::kKeyNeonEffect, texts::kKeyXAxis, texts::kKeyYAxis,
                            texts::kKeyZAxis, texts::kKeySleep, texts::kKeyBgmKind, texts::kKeyBgmRepeat,
                            texts::kKeyBgmFile})
        text += std::string(key) + "= 3\r\n";
    testing_support::write_bytes(path, text);

    double peak = 0;
    for (auto _ : state) {
        testing_support::reset_peak_memory();
        const double before = testing_support::resident_bytes("VmRSS:");
        shell::SaverSettingsRecord settings{};
        shell::LoadSettingsFrom(path, settings);
        if (settings.Interval != 3 || settings.BgmRepeat != 3) state.SkipWithError("a key was not found");
        peak = std::max(peak, testing_support::resident_bytes() - before);
    }
    state.counters["file_MB"] = static_cast<double>(text.size()) / (1 << 20);
    state.counters["peak_added_MB"] = peak / (1 << 20);
    // One copy of the file at a time, and little besides.
    if (peak > 3.0 * static_cast<double>(text.size())) state.SkipWithError("memory above three times the file's size");
}
BENCHMARK(BM_LoadSettingsFrom10MBOfLineFeeds)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
