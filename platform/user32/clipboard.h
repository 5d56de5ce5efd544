// The clipboard's text, for the platform's own text fields (each back end defines both: the
// desktop's clipboard on Linux, a string of the in-memory world in the scripted back end).
#pragma once

#include <string>
#include <string_view>

namespace plat::user32 {

std::string clipboard_text();                      // CP932; empty when it holds no text
void set_clipboard_text(std::string_view cp932);

}  // namespace plat::user32
