// A settings save killed with SIGKILL at random moments, a thousand times, on the store's
// own writer: afterwards the file holds every key with its old or its new value and every
// line no save touches, never a cut or empty file, and the next start removes a temporary
// file the kill left.
#include <gtest/gtest.h>

#include <string>

#include "platform/files.h"
#include "tests/kill/kill_report.h"

namespace {

using namespace kill_test;

TEST(SettingsSaveKilled, LinuxWriterLeavesOldOrNewValues) {
    testing_support::TempFolder folder("kill", testing_support::memory_folder());
    const std::string path = folder.file("Zephlora.ini");
    const auto figures = testing_support::kill_rounds({ZEPHLORA_SAVE_HELPER}, path, path, rounds(), {},
                                                      [&] { plat::remove_leftover_temporaries(path); });
    expect_sound(figures);
}

}  // namespace
