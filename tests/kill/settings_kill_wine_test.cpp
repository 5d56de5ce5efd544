// The settings save killed as in settings_kill_test.cpp, under Wine: the store's writer over
// the system's WritePrivateProfileStringA must leave old or new values. SystemWriterFigures
// reports what the system's writer alone does (run it by hand with
// --gtest_also_run_disabled_tests).
#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"
#include "tests/kill/kill_report.h"
#include "tests/support/wine_path.h"

namespace {

using namespace kill_test;

// Wine's processes for one round: the helper under the project's Wine environment.
std::vector<std::string> wine_helper() {
    return {"bash", std::string(ZEPHLORA_SOURCE_DIR) + "/scripts/wine-run.sh",
            std::string(ZEPHLORA_WIN32_DIR_PATH) + "/save_settings_helper.exe"};
}

class WineSave : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::string(ZEPHLORA_WIN32_DIR_PATH).empty()) GTEST_SKIP() << "no MinGW build";
        if (!testing_support::exists(std::string(ZEPHLORA_WIN32_DIR_PATH) + "/save_settings_helper.exe"))
            GTEST_SKIP() << "save_settings_helper.exe is not built";
    }
    testing_support::TempFolder folder{"kill-wine", testing_support::memory_folder()};
    std::string path = folder.file("Zephlora.ini");
    std::string windows_path() const { return testing_support::wine_path(path); }
};

TEST_F(WineSave, StoreWriterLeavesOldOrNewValues) {
    // Wine's processes take a while to start; the kills are spread over fewer rounds unless
    // ZEPHLORA_KILL_ROUNDS says otherwise.
    const int n = std::getenv("ZEPHLORA_KILL_ROUNDS") ? rounds() : 150;
    const auto figures = testing_support::kill_rounds(wine_helper(), path, windows_path(), n, {},
                                                      [&] { plat::remove_leftover_temporaries(path); });
    expect_sound(figures);
}

TEST_F(WineSave, DISABLED_SystemWriterFigures) {
    const auto figures = testing_support::kill_rounds(wine_helper(), path, windows_path(), rounds(), {"system"},
                                                      [&] { plat::remove_leftover_temporaries(path); });
    report(figures);
    if (figures.broken) std::printf("first broken file: %s\n", ::testing::PrintToString(figures.first_broken).c_str());
}

}  // namespace
