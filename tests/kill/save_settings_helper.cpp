// Writes the nine settings as the settings dialog saves them, for the tests that kill it
// with SIGKILL at a random moment:
//
//   save_settings_helper PATH SET [system]
//
// SET is 0 or 1 (tests/support/settings_save.h). Before the first write it prints "w" and
// after the last "d", so that the test can time the save itself. "system" (Windows build only)
// calls the system's WritePrivateProfileStringA directly instead of the store's writer.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "shell/settings_store.h"
#include "tests/support/settings_save.h"
#ifdef _WIN32
#include "platform/win32/prelude.h"
#endif

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    const std::string path = argv[1];
    const auto values = testing_support::setting_values(std::atoi(argv[2]));
    const bool system = argc > 3 && std::strcmp(argv[3], "system") == 0;
    std::fputs("w", stdout);
    std::fflush(stdout);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::string key(testing_support::kSettingKeys[i]);
#ifdef _WIN32
        if (system) {
            WritePrivateProfileStringA(std::string(texts::kSettingsSection).c_str(), key.c_str(), values[i].c_str(), path.c_str());
            continue;
        }
#else
        if (system) return 2;
#endif
        shell::WriteSetting(texts::kSettingsSection, key, values[i], path);
    }
    std::fputs("d", stdout);
    std::fflush(stdout);
    return 0;
}
