#include "settings_dialog/dialog_logic.h"

#include "common/cp932.h"
#include "common/numeric.h"
#include "common/texts.h"
#include "platform/window.h"

namespace settings_dialog {

std::string RepeatText(long value) { return value == 0 ? std::string() : std::to_string(value); }

std::int16_t RepeatFromText(std::string_view text) {
    const std::optional<double> number = common::parse_number(text);
    if (!number) return 0;
    return common::to_int16_rounded(*number).value_or(0);
}

std::string LinkCaption(std::string_view target) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < target.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(target[i]);
        if (common::IsCp932LeadByte(c)) ++i;
        else if (c == '\\' || c == '/') start = i + 1;
    }
    return start < target.size() ? std::string(target.substr(start)) : std::string(target);
}

void DialogLogic::ShowNeon(int option) {
    view_.show_glyph(GlyphGroup::Neon, option, true);
    view_.show_glyph(GlyphGroup::Neon, option ^ 1, false);
}

void DialogLogic::Load() {
    DialogSettings& s = host_.settings;
    for (int panel = 0; panel < 3; ++panel) view_.tile_panel(panel);
    for (int option = 0; option < 3; ++option) view_.show_glyph(GlyphGroup::Music, option, false);
    view_.set_slider_value(SliderId::Interval, s.Interval);
    // A value other than 0 or 1 names no glyph: both stay as designed.
    if (s.NeonEffect == 0 || s.NeonEffect == 1) ShowNeon(s.NeonEffect);
    view_.set_slider_value(SliderId::XAxis, s.XAxis);
    view_.set_slider_value(SliderId::YAxis, s.YAxis);
    view_.set_slider_value(SliderId::ZAxis, s.ZAxis);
    view_.set_slider_value(SliderId::Sleep, s.Sleep);
    view_.enable(Switchable::FileButton, false);
    view_.enable(Switchable::RepeatBox, false);
    if (s.BgmKind >= 0 && s.BgmKind <= 2) view_.show_glyph(GlyphGroup::Music, s.BgmKind, true);
    if (s.BgmKind == 1) view_.enable(Switchable::RepeatBox, true);
    if (s.BgmKind == 2) view_.enable(Switchable::FileButton, true);
    view_.set_repeat_text(RepeatText(s.BgmRepeat));
    for (int track = 0; track <= 30; ++track) view_.add_repeat_entry(RepeatText(track));
    view_.set_label_text(LabelId::FileName, s.BgmFile);
    if (!host_.link_target.empty()) view_.set_label_text(LabelId::Link, LinkCaption(host_.link_target));
    plat::Point cursor{};
    if (!plat::get_cursor_pos(cursor)) cursor = {};
    host_.zoom_origin_x = static_cast<std::int16_t>(cursor.x);
    host_.zoom_origin_y = static_cast<std::int16_t>(cursor.y);
    if (host_.zoom_open) host_.zoom_open(view_.window());
}

void DialogLogic::SliderChanged(SliderId slider) {
    const std::int64_t v = view_.slider_value(slider);
    switch (slider) {
        case SliderId::Interval:
            view_.set_label_text(LabelId::Interval, std::to_string(v) + std::string(texts::kSecondsUnit));
            break;
        case SliderId::Sleep:
            // The left end, under "速い", is the fastest: no pause, shown as 100.
            view_.set_label_text(LabelId::Sleep, std::to_string(100 - 10 * v));
            break;
        case SliderId::XAxis: view_.set_label_text(LabelId::XAxis, std::to_string(v)); break;
        case SliderId::YAxis: view_.set_label_text(LabelId::YAxis, std::to_string(v)); break;
        case SliderId::ZAxis: view_.set_label_text(LabelId::ZAxis, std::to_string(v)); break;
    }
}

void DialogLogic::SelectNeon(int option) {
    if (option != 0 && option != 1) return;
    host_.settings.NeonEffect = static_cast<std::int16_t>(option);
    ShowNeon(option);
}

void DialogLogic::SelectMusic(int option) {
    if (option < 0 || option > 2) return;
    view_.enable(Switchable::FileButton, false);
    view_.enable(Switchable::RepeatBox, false);
    for (int other = 0; other < 3; ++other) view_.show_glyph(GlyphGroup::Music, other, false);
    view_.show_glyph(GlyphGroup::Music, option, true);
    // The repeat box keeps its text and the file label its path while they are disabled.
    if (option == 1) view_.enable(Switchable::RepeatBox, true);
    if (option == 2) view_.enable(Switchable::FileButton, true);
    host_.settings.BgmKind = static_cast<std::int16_t>(option);
}

void DialogLogic::Save() {
    DialogSettings& s = host_.settings;
    // A file that cannot be written (a read-only file, a full disk) would otherwise lose the
    // user's choices without a word; the dialog still closes as Save always does.
    bool written = true;
    auto write = [&](std::string_view key, std::string_view value) {
        if (host_.write_setting && !host_.write_setting(key, value)) written = false;
    };
    auto number = [&](std::string_view key, long value) {
        if (host_.number_text) write(key, host_.number_text(value));
    };
    number(texts::kKeyInterval, view_.slider_value(SliderId::Interval));
    number(texts::kKeyNeonEffect, s.NeonEffect);
    number(texts::kKeyXAxis, view_.slider_value(SliderId::XAxis));
    number(texts::kKeyYAxis, view_.slider_value(SliderId::YAxis));
    number(texts::kKeyZAxis, view_.slider_value(SliderId::ZAxis));
    number(texts::kKeySleep, view_.slider_value(SliderId::Sleep));
    number(texts::kKeyBgmKind, s.BgmKind);
    // Read whether or not the box is enabled: a track typed while the CD was chosen stays.
    s.BgmRepeat = RepeatFromText(view_.repeat_text());
    number(texts::kKeyBgmRepeat, s.BgmRepeat);
    write(texts::kKeyBgmFile, host_.text_value ? host_.text_value(s.BgmFile) : s.BgmFile);
    if (!written && host_.report_unsaved) host_.report_unsaved(view_.window());
    Close();
}

void DialogLogic::Cancel() { Close(); }

void DialogLogic::Close() {
    if (!zoomed_shut_ && host_.zoom_close) host_.zoom_close(view_.window());
    zoomed_shut_ = true;
    view_.close();
}

void DialogLogic::ChooseFile() {
    ChooseMusicFile(host_.choose_file, view_.window(), host_.settings.BgmFile,
                    [this](std::string_view name) { view_.set_label_text(LabelId::FileName, name); });
}

void DialogLogic::OpenLink() {
    plat::set_busy_cursor(true);
    if (host_.open_page) host_.open_page(view_.window(), host_.link_target);
    plat::set_busy_cursor(false);
}

void DialogLogic::Unload() {
    if (!zoomed_shut_ && host_.zoom_close) host_.zoom_close(view_.window());
    zoomed_shut_ = true;
}

}  // namespace settings_dialog
