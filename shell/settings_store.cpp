#include "shell/settings_store.h"

#include <cmath>
#include <optional>

#include "common/numeric.h"
#include "common/texts.h"
#include "platform/profile.h"
#include "platform/system.h"
#include "shell/process_state.h"
#include "shell/routines.h"

namespace shell {

std::string SettingsPath() {
    std::string path = SettingsFolder();
    path += plat::kPathSeparator;
    path += "Zephlora.ini";
    return path;
}

std::string ReadSetting(std::string_view section, std::string_view key, std::string_view path) {
    // A 256-byte buffer prefilled with zeros, the empty text as default.
    return plat::get_private_profile_string(section, key, "", 256, path);
}

bool WriteSetting(std::string_view section, std::string_view key, std::string_view value,
                  std::string_view path) {
    // The names travel through 128-byte buffers that end with a zero. Cutting a longer name
    // would write some other key, so such a call is left out instead.
    if (section.size() > 127 || key.size() > 127) return false;
    return plat::write_private_profile_string(section, key, value, path);
}

std::string SettingNumberText(long value) {
    std::string text = value < 0 ? std::string() : std::string(" ");
    text += std::to_string(value);
    return text;
}

std::string SettingTextValue(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    const bool quoted = text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front();
    if (text.empty() || (!blank(text.front()) && !blank(text.back()) && !quoted)) return std::string(text);
    std::string out(1, '"');
    out += text;
    out += '"';
    return out;
}

namespace {

// A 16-bit field: the number rounded down; kept unchanged when the text is no number or
// the result does not fit.
void Load16(std::string_view path, std::string_view key, std::int16_t fallback, std::int16_t& field) {
    const std::string text = ReadSetting(texts::kSettingsSection, key, path);
    if (text.empty()) {
        field = fallback;
        return;
    }
    if (const auto number = common::parse_number(text))
        if (const auto value = common::to_int16_floor(*number)) field = *value;
}

// A 32-bit field: the number rounded half to even.
void Load32(std::string_view path, std::string_view key, std::int32_t fallback, std::int32_t& field) {
    const std::string text = ReadSetting(texts::kSettingsSection, key, path);
    if (text.empty()) {
        field = fallback;
        return;
    }
    if (const auto number = common::parse_number(text))
        if (const auto value = common::to_int32_rounded(*number)) field = *value;
}

}  // namespace

void LoadSettingsFrom(std::string_view path, SaverSettingsRecord& s) {
    Load16(path, texts::kKeyInterval, 2, s.Interval);
    Load16(path, texts::kKeyNeonEffect, 0, s.NeonEffect);
    Load32(path, texts::kKeyXAxis, 5, s.XAxis);
    Load32(path, texts::kKeyYAxis, 5, s.YAxis);
    Load32(path, texts::kKeyZAxis, 5, s.ZAxis);
    Load16(path, texts::kKeySleep, 1, s.Sleep);
    Load16(path, texts::kKeyBgmKind, 0, s.BgmKind);
    Load16(path, texts::kKeyBgmRepeat, 0, s.BgmRepeat);

    // The music file last: a file that is gone turns file music off; an audio-CD setting
    // stays and only loses the path.
    s.BgmFile = ReadSetting(texts::kSettingsSection, texts::kKeyBgmFile, path);
    if (s.BgmFile.empty() || !FileExists(s.BgmFile)) {
        s.BgmFile.clear();
        if (s.BgmKind == 2) s.BgmKind = 0;
    }
}

void LoadSettings() { LoadSettingsFrom(SettingsPath(), SaverSettings); }

}  // namespace shell
