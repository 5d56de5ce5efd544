#include "shell/settings_store.h"

#include <cmath>
#include <optional>

#include "common/numeric.h"
#include "common/settings_table.h"
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

// A number field (common/settings.in gives its key, type and default): a missing or empty
// key gives the default; otherwise the number, rounded down for a 16-bit field and half to
// even for a 32-bit one, kept unchanged when the text is no number or the result does not fit.
template <class Field, class Convert>
void LoadNumber(std::string_view path, const settings::Row& row, Field& field, Convert convert) {
    const std::string text = ReadSetting(texts::kSettingsSection, row.key, path);
    if (text.empty()) {
        field = static_cast<Field>(row.fallback);
        return;
    }
    if (const auto number = common::parse_number(text))
        if (const auto value = convert(*number)) field = *value;
}

void Load(std::string_view path, const settings::Row& row, std::int16_t& field) {
    LoadNumber(path, row, field, common::to_int16_floor);
}

void Load(std::string_view path, const settings::Row& row, std::int32_t& field) {
    LoadNumber(path, row, field, common::to_int32_rounded);
}

void Load(std::string_view path, const settings::Row& row, std::string& field) {
    field = ReadSetting(texts::kSettingsSection, row.key, path);
}

}  // namespace

void LoadSettingsFrom(std::string_view path, SaverSettingsRecord& s) {
    settings::ForEachSetting(s, [&](const settings::Row& row, auto& field) { Load(path, row, field); });

    // The music file after the music source: a file that is gone turns file music off; an
    // audio-CD setting stays and only loses the path.
    if (s.BgmFile.empty() || !FileExists(s.BgmFile)) {
        s.BgmFile.clear();
        if (s.BgmKind == 2) s.BgmKind = 0;
    }
}

void LoadSettings() { LoadSettingsFrom(SettingsPath(), SaverSettings); }

}  // namespace shell
