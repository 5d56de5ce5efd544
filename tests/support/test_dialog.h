// A shown top-level dialog window for tests of child windows and controls.
#pragma once

#include <string>
#include <utility>

#include "platform/window.h"

namespace testing_support {

inline plat::WindowHandle show_dialog(const plat::Rect& rect, plat::WindowHandlers handlers = {},
                                      std::string title = "dialog") {
    plat::WindowDesc desc;
    desc.title = std::move(title);
    desc.style = plat::WindowStyle::Dialog;
    desc.rect = rect;
    const plat::WindowHandle dialog = plat::create_window(desc, std::move(handlers));
    plat::show_window(dialog, true);
    return dialog;
}

}  // namespace testing_support
