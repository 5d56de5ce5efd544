// The settings save as the settings dialog makes it (the nine keys, in the dialog's order),
// with two sets of values that differ in every key and in length, for the tests that kill a
// save half-way.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "common/texts.h"

namespace testing_support {

inline constexpr std::array<std::string_view, 9> kSettingKeys{
    texts::kKeyInterval, texts::kKeyNeonEffect, texts::kKeyXAxis, texts::kKeyYAxis, texts::kKeyZAxis,
    texts::kKeySleep,    texts::kKeyBgmKind,    texts::kKeyBgmRepeat, texts::kKeyBgmFile};

// Set 0 and set 1, as the dialog writes them (numbers with their sign position).
inline std::array<std::string, 9> setting_values(int set) {
    if (set == 0) return {" 2", " 0", " 5", " 5", " 5", " 1", " 0", " 0", "C:\\music\\old.mp3"};
    return {" 30", " 1", " 10", "-3", " 0", " 10", " 2", " 12",
            "C:\\music\\\x8b\xc8\\a much longer file name than before.wav"};
}

// The file the saves start from: the section with set 0 between lines that no save touches.
inline std::string settings_file_with_set0() {
    std::string text = "; kept by every save\r\n[Other]\r\nkey=unrelated\r\n\r\n[";
    text += texts::kSettingsSection;
    text += "]\r\n";
    const auto values = setting_values(0);
    for (std::size_t i = 0; i < kSettingKeys.size(); ++i) text += std::string(kSettingKeys[i]) + "=" + values[i] + "\r\n";
    text += "\r\n[Last]\r\nother=kept too\r\n";
    return text;
}

}  // namespace testing_support
