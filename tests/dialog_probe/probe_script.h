// One input sequence for the probe dialog and the log it must give: the same on the scripted
// back end, in the Linux build under X and in the Windows build under Wine.
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
};

inline Step at(Step::Kind kind, plat::Point p) { return {kind, p, "", ""}; }
inline Step key(std::string name) { return {Step::Key, {}, std::move(name), ""}; }
inline Step type(std::string text) { return {Step::Type, {}, "", std::move(text)}; }

inline plat::Point middle(const plat::Rect& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

inline std::vector<Step> script() {
    const plat::Point drop_button{kCombo.right - 10, kCombo.top + 10};
    // The second row of the dropped list, which lies right below the field.
    const plat::Point second_row{kCombo.left + 15, kCombo.bottom + 25};
    return {
        at(Step::Click, {70, 50}),                       // inside the region
        at(Step::Click, {25, 25}),                       // in the cut-away corner
        at(Step::Press, middle(kCaptureChild)),
        at(Step::Move, {300, 200}),
        at(Step::Release, {300, 200}),
        key("Tab"),
        key("Tab"),
        key("Tab"),
        key("shift+Tab"),                  // back from the first stop to the combo box
        type("5"),
        key("shift+Home"),
        key("ctrl+c"),
        key("End"),
        key("ctrl+v"),
        key("BackSpace"),
        key("alt+Down"),
        key("Down"),
        key("Down"),
        key("Return"),
        key("alt+Down"),
        key("Down"),
        key("Tab"),                        // leaves the dropped list with the item it shows
        key("shift+Tab"),
        key("Up"),                         // and back to the item before it
        at(Step::Click, drop_button),
        at(Step::Click, second_row),
        at(Step::ChooseFile, middle(kFileButton)),
        at(Step::CancelFile, middle(kFileButton)),
        at(Step::Click, middle(kLink)),
        at(Step::Click, middle(kQuit)),
    };
}

inline std::vector<std::string> expected_log() {
    return {
        "A focus", "slept", "tick 7",
        "R down 1 50,30", "R up 1 50,30", "R click",
        "dialog down 1 25,25", "dialog up 1 25,25", "dialog click",
        "C down 1 30,30", "C move out", "C up 1 160,180",
        "A blur", "B focus", "B blur", "A focus", "A blur",
        "combo text 5", "combo text 55", "combo text 5",
        "combo text 6", "combo select 5", "combo text 7", "combo select 6",
        "combo text 8", "combo select 7", "A focus", "A blur", "combo text 7", "combo select 6",
        "combo text 8", "combo select 7",
        "file 1 a.mp3", "file 0",
        "shell ok",
        "end 8",
    };
}

}  // namespace probe
