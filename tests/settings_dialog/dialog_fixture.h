// The dialog over a settings record of its own and a settings file kept in memory: what it
// writes, in order.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "settings_dialog/dialog_logic.h"
#include "shell/process_state.h"
#include "shell/settings_store.h"

struct DialogWorld {
    shell::SaverSettingsRecord settings;
    std::int16_t zoom_x = 0, zoom_y = 0;
    std::vector<std::pair<std::string, std::string>> writes;
    std::vector<std::string> zooms;  // "open" / "close"
    std::vector<std::string> pages;  // link targets opened
    std::optional<std::string> next_choice;  // what the file chooser answers
    std::vector<settings_dialog::MusicFileRequest> requests;
    bool file_refuses = false;  // every write fails, as with a read-only file
    int unsaved_reports = 0;

    settings_dialog::DialogHost host{
        {settings.Interval, settings.NeonEffect, settings.XAxis, settings.YAxis, settings.ZAxis, settings.Sleep,
         settings.BgmKind, settings.BgmRepeat, settings.BgmFile},
        zoom_x,
        zoom_y,
        [this](std::string_view key, std::string_view value) {
            writes.emplace_back(key, value);
            return !file_refuses;
        },
        [](long value) { return shell::SettingNumberText(value); },
        [](std::string_view text) { return shell::SettingTextValue(text); },
        [this](plat::WindowHandle) { zooms.push_back("open"); },
        [this](plat::WindowHandle) { zooms.push_back("close"); },
        [this](const settings_dialog::MusicFileRequest& r) {
            requests.push_back(r);
            return next_choice;
        },
        [this](plat::WindowHandle, std::string_view target) { pages.emplace_back(target); },
        "/opt/zephlora/Zephlora.html",
        [this](plat::WindowHandle) { ++unsaved_reports; },
    };

    // The value written for a key ("" when it was not written).
    std::string written(std::string_view key) const {
        for (const auto& [k, v] : writes)
            if (k == key) return v;
        return {};
    }

    DialogWorld() {
        settings.Interval = 2;
        settings.XAxis = settings.YAxis = settings.ZAxis = 5;
        settings.Sleep = 1;
    }
    DialogWorld(const DialogWorld&) = delete;
};
