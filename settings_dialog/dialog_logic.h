// What the settings dialog does, apart from how its controls look: loading the settings into
// the controls, the value labels, the option choices, saving, the file choice and the link.
// It works on the controls through DialogView, so that it runs the same over the real
// controls and over the plain ones of a test.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/types.h"
#include "settings_dialog/music_file.h"

namespace settings_dialog {

// The fields of the process-wide settings record that the dialog reads and changes in place.
struct DialogSettings {
    std::int16_t& Interval;
    std::int16_t& NeonEffect;
    std::int32_t& XAxis;
    std::int32_t& YAxis;
    std::int32_t& ZAxis;
    std::int16_t& Sleep;
    std::int16_t& BgmKind;
    std::int16_t& BgmRepeat;
    std::string& BgmFile;
};

// What the dialog uses of the rest of the program.
struct DialogHost {
    DialogSettings settings;
    std::int16_t& zoom_origin_x;
    std::int16_t& zoom_origin_y;
    // WriteSetting("Section", key, value, SettingsPath()); false when the file was not written.
    std::function<bool(std::string_view key, std::string_view value)> write_setting;
    // A number as the settings file holds it, with its sign position (" 5", "-3").
    std::function<std::string(long)> number_text;
    // A text (the music file's path) as the settings file must hold it to read back as itself.
    std::function<std::string(std::string_view)> text_value;
    std::function<void(plat::WindowHandle)> zoom_open;
    std::function<void(plat::WindowHandle)> zoom_close;
    FileChooser choose_file;
    // ShellExecuteA(owner, "open", target, "", "", SW_SHOWNORMAL); the result is not examined.
    std::function<void(plat::WindowHandle owner, std::string_view target)> open_page;
    // The page of the link: the program's own documentation, as a full path. The link shows
    // the page's name (LinkCaption), which fits its label and tells the user what opens.
    std::string link_target;
    // Tells the user, over the dialog, that Save could not write the settings file.
    std::function<void(plat::WindowHandle owner)> report_unsaved;
};

enum class SliderId { Interval, Sleep, XAxis, YAxis, ZAxis };
enum class LabelId { Interval, Sleep, XAxis, YAxis, ZAxis, FileName, Link };
enum class GlyphGroup { Neon, Music };
enum class Switchable { FileButton, RepeatBox };  // Cmd_File, BGM_Repeat

class DialogView {
public:
    virtual ~DialogView() = default;
    virtual plat::WindowHandle window() const = 0;
    // Writes a slider's Value: the slider clamps it into Min..Max and raises Change.
    virtual void set_slider_value(SliderId slider, std::int32_t value) = 0;
    virtual std::int32_t slider_value(SliderId slider) const = 0;
    virtual void set_label_text(LabelId label, std::string_view text) = 0;
    // Copies the selected or the unselected option picture into the glyph.
    virtual void show_glyph(GlyphGroup group, int index, bool selected) = 0;
    virtual void enable(Switchable control, bool enabled) = 0;
    virtual std::string repeat_text() const = 0;
    virtual void set_repeat_text(std::string_view text) = 0;
    virtual void add_repeat_entry(std::string_view text) = 0;
    // Covers panel Pic_D(index) with the texture strip.
    virtual void tile_panel(int index) = 0;
    // Closes the window (its unload runs).
    virtual void close() = 0;
};

// A number in the pattern "##": digits without leading zeros, the empty text for 0.
std::string RepeatText(long value);

// The hold track that the repeat box's text gives: a number rounded to the nearest integer
// (halves to even); any other text, the empty one included, gives 0. A number outside
// -32768..32767 is no track the CD can hold and is refused the same way: 0, no track held.
std::int16_t RepeatFromText(std::string_view text);

// What the link shows for its target: the last part of a path ("Zephlora.html" of
// "C:\Program Files\Zephlora\Zephlora.html" or "/usr/libexec/xscreensaver/Zephlora.html"),
// the whole text when it names no folder. A backslash byte that is the trail byte of a CP932
// character parts nothing.
std::string LinkCaption(std::string_view target);

class DialogLogic {
public:
    DialogLogic(DialogHost& host, DialogView& view) : host_(host), view_(view) {}

    // The dialog's load, after its window has its size and place: panels, glyphs, slider
    // values and their labels, enabled states, the repeat box, the file label, the zoom.
    void Load();
    // A slider's Scroll or Change: its value label shows the new value.
    void SliderChanged(SliderId slider);
    void SelectNeon(int option);
    void SelectMusic(int option);
    // Writes the nine keys in their order and closes.
    void Save();
    void Cancel();
    void ChooseFile();
    void OpenLink();
    // The window is going (Save, Cancel, its close box or the system): the closing zoom, unless
    // the dialog's own close ran it already.
    void Unload();

private:
    void ShowNeon(int option);
    // The closing zoom runs from the window while it is still on the screen (the system hides
    // a window before it tells it of its end), then the window closes.
    void Close();

    DialogHost& host_;
    DialogView& view_;
    bool zoomed_shut_ = false;
};

}  // namespace settings_dialog
