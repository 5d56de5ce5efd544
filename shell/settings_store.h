// The settings file: one section, nine keys, CP932 text.
#pragma once

#include <string>
#include <string_view>

#include "shell/process_state.h"

namespace shell {

// SettingsFolder + "\Zephlora.ini": beside the executable, or in the user's settings folder.
std::string SettingsPath();

// The key's value, or the empty text when the file, section or key is missing. Values are
// cut to 255 bytes (the 256-byte buffer of the profile call).
std::string ReadSetting(std::string_view section, std::string_view key, std::string_view path);

// Writes one key, creating file and section as needed. Failures are not reported. Section
// and key names longer than 127 bytes are not supported: such a call writes nothing.
bool WriteSetting(std::string_view section, std::string_view key, std::string_view value,
                  std::string_view path);

// Reads the settings file at `path` into `settings` with the defaults and conversion rules
// of the store: a missing or empty key takes its default; a value that is no number or does
// not fit leaves the field as it was.
void LoadSettingsFrom(std::string_view path, SaverSettingsRecord& settings);

// LoadSettingsFrom(SettingsPath(), SaverSettings).
void LoadSettings();

// Text of a number as the settings dialog saves it: a blank in the sign position when it
// is not negative (" 5", "-3").
std::string SettingNumberText(long value);

// Text as the settings dialog saves it, so that it reads back as itself: reading drops the
// blanks around a value and one pair of quotes around it, so a text with a blank or a tab at
// either end, or in quotes of its own, is written in double quotes (a music file whose name
// ends in a blank keeps it); any other text is written as it is.
std::string SettingTextValue(std::string_view text);

}  // namespace shell
