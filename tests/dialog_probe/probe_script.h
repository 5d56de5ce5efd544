// One input sequence for the probe dialog and the log it must give: the same on the scripted
// back end, in the Linux build under X and in the Windows build under Wine. Each step carries
// the lines it adds to the log, or else where its effect shows on the screen, so that a run
// under X can wait for the one step before it sends the next.
#pragma once

#include <string>
#include <vector>

#include "probe_dialog.h"

namespace probe {

struct Step {
    enum Kind { Click, Press, Move, Release, Key, Type, ChooseFile, CancelFile } kind;
    plat::Point at{};  // the dialog's client coordinates
    std::string key;   // Key: xdotool's name ("Tab", "shift+Tab", "alt+Down", "ctrl+c")
    std::string text;  // Type: ASCII
    std::vector<std::string> log{};  // the lines the step adds to the log
    // A step that adds no line: where its effect shows (the dialog's client coordinates), empty
    // when it shows nowhere, and whether it puts text on the clipboard (which the X server
    // then says: the CLIPBOARD selection gets an owner).
    plat::Rect shows{};
    bool copies = false;
};

inline Step at(Step::Kind kind, plat::Point p, std::vector<std::string> log) { return {kind, p, "", "", std::move(log)}; }
inline Step key(std::string name, std::vector<std::string> log) { return {Step::Key, {}, std::move(name), "", std::move(log)}; }
inline Step type(std::string text, std::vector<std::string> log) {
    return {Step::Type, {}, "", std::move(text), std::move(log)};
}
// Steps that add no line to the log, and where they show.
inline Step key_showing(std::string name, plat::Rect shows) { return {Step::Key, {}, std::move(name), "", {}, shows}; }
inline Step click_showing(plat::Point p, plat::Rect shows) { return {Step::Click, p, "", "", {}, shows}; }
inline Step key_copying(std::string name) { return {Step::Key, {}, std::move(name), "", {}, {}, true}; }

inline plat::Point middle(const plat::Rect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

// The lines the probe writes before the input starts.
inline std::vector<std::string> start_log() { return {"A focus", "slept", "tick 7"}; }

inline std::vector<Step> script() {
    const plat::Point drop_button{kCombo.right - 10, kCombo.top + 10};
    // The second row of the dropped list, which lies right below the field.
    const plat::Point second_row{kCombo.left + 15, kCombo.bottom + 25};
    const plat::Rect below_field{kCombo.left, kCombo.bottom, kCombo.right, kCombo.bottom + 30};  // the list drops here
    return {
        at(Step::Click, {70, 50}, {"R down 1 50,30", "R up 1 50,30", "R click"}),  // inside the region
        at(Step::Click, {25, 25}, {"dialog down 1 25,25", "dialog up 1 25,25", "dialog click"}),  // in the cut-away corner
        at(Step::Press, middle(kCaptureChild), {"C down 1 30,30"}),
        at(Step::Move, {300, 200}, {"C move out"}),
        at(Step::Release, {300, 200}, {"C up 1 160,180"}),
        key("Tab", {"A blur", "B focus"}),
        key("Tab", {"B blur"}),
        key("Tab", {"A focus"}),
        key("shift+Tab", {"A blur"}),  // back from the first stop to the combo box
        type("5", {"combo text 5"}),
        key_showing("shift+Home", kCombo),  // the text selected
        key_copying("ctrl+c"),
        key_showing("End", kCombo),  // the selection gone
        key("ctrl+v", {"combo text 55"}),
        key("BackSpace", {"combo text 5"}),
        key_showing("alt+Down", below_field),
        key("Down", {"combo text 6", "combo select 5"}),
        key("Down", {"combo text 7", "combo select 6"}),
        key_showing("Return", below_field),  // the list closed
        key_showing("alt+Down", below_field),
        key("Down", {"combo text 8", "combo select 7"}),
        key("Tab", {"A focus"}),  // leaves the dropped list with the item it shows
        key("shift+Tab", {"A blur"}),
        key("Up", {"combo text 7", "combo select 6"}),  // and back to the item before it
        click_showing(drop_button, below_field),
        at(Step::Click, second_row, {"combo text 8", "combo select 7"}),
        at(Step::ChooseFile, middle(kFileButton), {"file 1 a.mp3"}),
        at(Step::CancelFile, middle(kFileButton), {"file 0"}),
        at(Step::Click, middle(kLink), {"shell ok"}),
        at(Step::Click, middle(kQuit), {"end 8"}),
    };
}

inline std::vector<std::string> expected_log() {
    std::vector<std::string> log = start_log();
    for (const Step& s : script()) log.insert(log.end(), s.log.begin(), s.log.end());
    return log;
}

}  // namespace probe
