// The shell (shell32): opening a document or a web address with its program.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/types.h"
#include "platform/win32_values.h"

namespace plat {

// ShellExecuteA(owner, verb, file, parameters, folder, show) (show: kSwShowNormal): a value
// above 32 when it started something. "open" on a web address opens it in the desktop's default browser.
std::intptr_t shell_execute(WindowHandle owner, std::string_view verb_cp932, std::string_view file_cp932,
                            std::string_view parameters_cp932, std::string_view folder_cp932, int show);

}  // namespace plat
