#include "shell/saver_main.h"

#include "common/numeric.h"
#include "common/texts.h"
#include "platform/files.h"
#include "platform/password.h"
#include "platform/system.h"
#include "platform/window.h"
#include "shell/dialog_host.h"
#include "shell/preview_window.h"
#include "shell/resource_pack.h"
#include "shell/routines.h"
#include "shell/saver_window.h"
#include "shell/settings_store.h"

namespace shell {

std::string ModeChar(std::string_view command_line) {
    const std::size_t second = CharOffset(command_line, 1);
    if (second >= command_line.size()) return {};
    const std::size_t third = CharOffset(command_line, 2);
    std::string c(command_line.substr(second, third - second));
    if (c.size() == 1) c[0] = common::ToUpperAscii(c[0]);
    return c;
}

SaverMode ModeOf(std::string_view command_line) {
    const std::string c = ModeChar(command_line);
    if (c == "P") return SaverMode::Preview;
    if (c == "A") return SaverMode::ChangePassword;
    if (c == "C") return SaverMode::Configure;
    if (c == "S") return SaverMode::Run;
    return command_line.empty() ? SaverMode::Plain : SaverMode::Quit;
}

namespace {

// The text from the fourth character on; nothing between the second and the fourth
// character is looked at.
std::string_view ArgumentText(std::string_view command_line) {
    return command_line.substr(CharOffset(command_line, 3));
}

void StartPreview(std::string_view command_line) {
    const auto parent = static_cast<plat::WindowHandle>(
        static_cast<std::uint32_t>(ParentHandle(command_line)));
    plat::Rect area;
    // A handle that names no window leaves nothing to draw into: rather than an invisible,
    // unparented window that would keep the process alive for ever, the preview ends. So it
    // does inside the desktop, which never closes: the preview would cover the screen for
    // good, deaf to every key.
    if (!plat::get_window_rect(parent, area) || plat::is_desktop_window(parent)) plat::end_process(0);

    const plat::WindowHandle window = CreatePreviewWindow();
    const std::int32_t style = plat::get_window_long(window, plat::kGwlStyle);
    plat::set_window_long(window, plat::kGwlStyle, style | plat::kWsChild);
    plat::set_parent(window, parent);
    plat::move_window(window, 0, 0, area.width(), area.height());
    PlacePreviewPicture(window, area.width(), area.height());
    plat::show_window(window, true);
    WatchPreviewParent(window, parent);
}

void ChangePassword(std::string_view command_line) {
    if (IsWindowsNT()) return;
    const auto number = common::parse_number(ArgumentText(command_line));
    if (!number) return;
    const auto handle = common::to_int32_rounded(*number);
    if (!handle) return;
    plat::pwd_change_password("SCRSAVE", static_cast<std::uint32_t>(*handle), 0, 0);
}

}  // namespace

std::int32_t ParentHandle(std::string_view command_line) {
    const double number = common::leading_number(ArgumentText(command_line));
    return common::to_int32_rounded(number).value_or(0);
}

void SaverMain() {
    // Another copy's saver window or settings dialog: end at once, silently, in every mode.
    if (plat::find_window_by_title(texts::kTitleSaver) != plat::WindowHandle::None ||
        plat::find_window_by_title(texts::kTitleDialog) != plat::WindowHandle::None)
        plat::end_process(0);

    const std::string command_line = plat::command_line();
    CurrentMode = ModeOf(command_line);

    // The preview touches neither the pack nor the settings.
    if (CurrentMode == SaverMode::Preview) {
        StartPreview(command_line);
        return;
    }

    // The title test above cannot see a copy started at the same instant, whose window is
    // not made yet; the guard can. Two copies would write the same members, and the first to
    // end would delete them under the other.
    if (!plat::take_instance_guard()) plat::end_process(0);

    if (!FileExists(PackPath())) {
        plat::message_box(plat::WindowHandle::None, texts::kPackMissing, texts::kMessageTitle,
                          plat::kMbIconExclamation);
        plat::end_process(0);
    }
    // The modes that show a window cannot run without a screen: they say so and fail before
    // anything is split.
    if ((CurrentMode == SaverMode::Run || CurrentMode == SaverMode::Plain || CurrentMode == SaverMode::Configure) &&
        !plat::display_available()) {
        plat::message_box(plat::WindowHandle::None, texts::kNoDisplay, texts::kMessageTitle, plat::kMbIconHand);
        plat::end_process(1);
    }
    // A save or a split killed half-way leaves its temporary file beside the settings file
    // or a member; this start removes it.
    plat::remove_leftover_temporaries(SettingsPath());
    for (int n = 1; n <= kPackMemberCount; ++n) plat::remove_leftover_temporaries(MemberPath(n));
    SplitResourcePack();
    LoadSettings();

    switch (CurrentMode) {
    case SaverMode::ChangePassword:
        ChangePassword(command_line);
        plat::end_process(0);
    case SaverMode::Configure:
        RunSettingsDialog();  // a handle after the switch is ignored
        plat::end_process(0);
    case SaverMode::Quit:
        plat::end_process(0);
    case SaverMode::Run:
        CursorShowCount = plat::show_cursor(false);
        break;
    default:
        break;
    }
    LoadSaverWindow();
}

}  // namespace shell
