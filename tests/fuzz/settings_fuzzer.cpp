// The settings dialog over any values of the nine settings keys, its files in memory. The input
// holds the values in the order of the keys, one a line ("\n"; a missing line leaves its key
// out), written into the settings file as they are: any bytes, a "\r" breaking the line. A file
// lies at the path that the music key reads as, so that the path survives the load. The dialog
// must load with each slider's label showing a value within the slider's range (the loaded
// value pulled into it), the repeat box and the file label showing what was loaded; Save must
// write values that read back as the sliders showed them and the other fields as loaded.
//
// Built twice. settings_fuzzer loads the settings and runs the dialog's logic (load, labels,
// Save) with the program's own host, over sliders that keep their value by the slider
// control's rules: thousands of inputs a second. settings_window_fuzzer
// (ZEPHLORA_FUZZ_DIALOG_WINDOW) runs configure mode as a whole on the scripted machine and
// reads the labels off the dialog's window; drawing the window makes it some ten a second.
#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <string>

#include "common/texts.h"
#include "settings_dialog/dialog_layout.h"
#include "settings_dialog/dialog_logic.h"
#include "shell/process_state.h"
#include "shell/settings_store.h"
#include "tests/fuzz/fuzz_files.h"
#if ZEPHLORA_FUZZ_DIALOG_WINDOW
#include "platform/controls.h"
#include "platform/posix/window_tree.h"
#include "platform/system.h"
#include "platform/window.h"
#include "shell/saver_main.h"
#else
#include "controls/slider/slider_rules.h"
#include "shell/dialog_host.h"
#endif

namespace {

namespace scripted = plat::scripted;
using settings_dialog::LabelId;
using settings_dialog::SliderId;

constexpr std::array<std::string_view, 9> kKeys = {
    texts::kKeyInterval, texts::kKeyNeonEffect, texts::kKeyXAxis,     texts::kKeyYAxis,  texts::kKeyZAxis,
    texts::kKeySleep,    texts::kKeyBgmKind,    texts::kKeyBgmRepeat, texts::kKeyBgmFile};

constexpr std::array<std::string_view, 5> kSliderNames = {"HSInterval", "HSSleep", "HSx", "HSy", "HSz"};

// What the dialog showed once loaded, and the settings record as loaded.
struct Shown {
    bool open = false;
    std::map<LabelId, std::string> labels;
    std::string repeat;
    shell::SaverSettingsRecord loaded;
};

#if ZEPHLORA_FUZZ_DIALOG_WINDOW

// Client points inside the value labels and the Save button.
constexpr std::pair<LabelId, plat::Point> kLabels[] = {
    {LabelId::Interval, {101, 74}}, {LabelId::Sleep, {101, 130}}, {LabelId::XAxis, {360, 54}},
    {LabelId::YAxis, {360, 78}},    {LabelId::ZAxis, {360, 102}}, {LabelId::FileName, {216, 264}}};
constexpr plat::Point kSave{356, 316};

plat::WindowHandle dialog() {
    const auto* w = scripted::find_by_title(texts::kTitleDialog);
    return w ? w->handle : plat::WindowHandle::None;
}

std::string label_at(plat::Point client) {
    plat::Point screen = client;
    plat::client_to_screen(dialog(), screen);
    return plat::label_text(plat::window_from_point(screen));
}

// The repeat box: the dialog's one combo box (disabled unless the CD is chosen, and then not
// found under the mouse).
std::string repeat_text() {
    for (const plat::WindowHandle w : plat::posix::window_tree().all())
        if (!plat::combo_items(w).empty()) return plat::combo_text(w);
    return "(no repeat box)";
}

// Configure mode: the dialog opens; at its first pump what it shows is read and Save pressed.
Shown run_dialog() {
    Shown shown;
    scripted::set_pump_budget(50);
    scripted::on_pump([&shown](std::uint64_t pump) {
        if (pump != 2 || dialog() == plat::WindowHandle::None) return;
        shown.open = true;
        shown.loaded = shell::SaverSettings;
        for (const auto& [label, at] : kLabels) shown.labels[label] = label_at(at);
        shown.repeat = repeat_text();
        scripted::queue_mouse_down(1, kSave);
    });
    plat::set_command_line("/c");
    try {
        shell::SaverMain();
    } catch (const plat::ProcessExit&) {
    }
    return shown;
}

#else

// The controls without their windows: each slider keeps its bounds by the control's rules,
// starting from the layout's stored Value, Max and Min as the control reads them, and raises
// Change on every write it takes.
class PlainView final : public settings_dialog::DialogView {
public:
    explicit PlainView(Shown& shown) : shown_(shown) {
        using namespace controls::slider;
        for (std::size_t i = 0; i < kSliderNames.size(); ++i) {
            const auto& p = settings_dialog::FindControl(kSliderNames[i])->properties;
            Bounds& b = sliders_[i];
            b = WriteValue(b, p.read_int("Value", b.value)).value_or(b);
            b = WriteMax(b, p.read_int("Max", b.max)).value_or(b);
            b = WriteMin(b, p.read_int("Min", b.min)).value_or(b);
        }
    }
    settings_dialog::DialogLogic* logic = nullptr;

    plat::WindowHandle window() const override { return plat::WindowHandle::None; }
    void set_slider_value(SliderId slider, std::int32_t value) override {
        auto& b = sliders_[static_cast<std::size_t>(slider)];
        if (const auto next = controls::slider::WriteValue(b, value)) {
            b = *next;
            logic->SliderChanged(slider);
        }
    }
    std::int32_t slider_value(SliderId slider) const override { return sliders_[static_cast<std::size_t>(slider)].value; }
    void set_label_text(LabelId label, std::string_view text) override { shown_.labels[label] = std::string(text); }
    void show_glyph(settings_dialog::GlyphGroup, int, bool) override {}
    void enable(settings_dialog::Switchable, bool) override {}
    std::string repeat_text() const override { return shown_.repeat; }
    void set_repeat_text(std::string_view text) override { shown_.repeat = std::string(text); }
    void add_repeat_entry(std::string_view) override {}
    void tile_panel(int) override {}
    void close() override {}

private:
    Shown& shown_;
    std::array<controls::slider::Bounds, 5> sliders_{};
};

// The settings loaded as configure mode loads them, then the dialog's load and its Save.
Shown run_dialog() {
    Shown shown;
    shell::LoadSettings();
    shown.loaded = shell::SaverSettings;
    settings_dialog::DialogHost host = shell::SettingsDialogHost();
    host.zoom_open = host.zoom_close = nullptr;
    PlainView view(shown);
    settings_dialog::DialogLogic logic(host, view);
    view.logic = &logic;
    logic.Load();
    shown.open = true;
    logic.Save();
    return shown;
}

#endif

std::int32_t clamped(std::int32_t value, SliderId slider) {
    const auto& p = settings_dialog::FindControl(kSliderNames[static_cast<std::size_t>(slider)])->properties;
    return std::clamp(value, p.read_int("Min", 0), p.read_int("Max", 0));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    scripted::reset();
    shell::ResetProcessState();
    scripted::set_program_folder(fuzz::folder());
    fuzz::put_file(fuzz::file_path("Zephlora.zpk"), "pack");  // too short for a member: none is split

    std::string ini = "[" + std::string(texts::kSettingsSection) + "]\r\n";
    std::string_view values = fuzz::as_text(data, size);
    for (std::size_t k = 0; k < kKeys.size() && !values.empty(); ++k) {
        const std::size_t end = values.find('\n');
        ini += std::string(kKeys[k]) + "=" + std::string(values.substr(0, end)) + "\r\n";
        values = end == std::string_view::npos ? std::string_view() : values.substr(end + 1);
    }
    const std::string ini_path = shell::SettingsPath();
    FUZZ_CHECK(ini_path == fuzz::file_path("Zephlora.ini"));
    fuzz::put_file(ini_path, ini);
    const std::string music = shell::ReadSetting(texts::kSettingsSection, texts::kKeyBgmFile, ini_path);
    if (!music.empty()) fuzz::put_file(music, "RIFF");

    const Shown shown = run_dialog();
    FUZZ_CHECK(shown.open);

    const shell::SaverSettingsRecord& loaded = shown.loaded;
    const std::int32_t interval = clamped(loaded.Interval, SliderId::Interval),
                       sleep = clamped(loaded.Sleep, SliderId::Sleep), x = clamped(loaded.XAxis, SliderId::XAxis),
                       y = clamped(loaded.YAxis, SliderId::YAxis), z = clamped(loaded.ZAxis, SliderId::ZAxis);
    const auto label = [&](LabelId id) {
        const auto it = shown.labels.find(id);
        return it == shown.labels.end() ? std::string("(none)") : it->second;
    };
    FUZZ_CHECK(label(LabelId::Interval) == std::to_string(interval) + std::string(texts::kSecondsUnit));
    FUZZ_CHECK(label(LabelId::Sleep) == std::to_string(100 - 10 * sleep));
    FUZZ_CHECK(label(LabelId::XAxis) == std::to_string(x));
    FUZZ_CHECK(label(LabelId::YAxis) == std::to_string(y));
    FUZZ_CHECK(label(LabelId::ZAxis) == std::to_string(z));
    FUZZ_CHECK(label(LabelId::FileName) == loaded.BgmFile);
    FUZZ_CHECK(shown.repeat == settings_dialog::RepeatText(loaded.BgmRepeat));

    shell::SaverSettingsRecord saved;
    shell::LoadSettingsFrom(ini_path, saved);
    FUZZ_CHECK(saved.Interval == interval && saved.Sleep == sleep);
    FUZZ_CHECK(saved.XAxis == x && saved.YAxis == y && saved.ZAxis == z);
    FUZZ_CHECK(saved.NeonEffect == loaded.NeonEffect);
    FUZZ_CHECK(saved.BgmRepeat == loaded.BgmRepeat);
    // A value reads back cut to 255 bytes: a path that only fits without its quotes cannot
    // come back whole.
    if (shell::SettingTextValue(loaded.BgmFile).size() <= 255) {
        FUZZ_CHECK(saved.BgmFile == loaded.BgmFile);
        FUZZ_CHECK(saved.BgmKind == loaded.BgmKind);
    }
    return 0;
}
