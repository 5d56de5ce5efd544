// Narrow text of the system is code page 932 (Shift-JIS). The core keeps it in std::string
// as raw CP932 bytes; back ends convert at their edge where the platform speaks UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace plat {

// CP932 bytes to UTF-8. Bytes that are not valid CP932 come out as U+FFFD.
std::string cp932_to_utf8(std::string_view cp932);

// UTF-8 to CP932. Returns false (and leaves out unconvertible characters) when some
// character has no CP932 form.
bool utf8_to_cp932(std::string_view utf8, std::string& out);

// UTF-8 to CP932 where every character stays in its place: one without a CP932 form, and
// every byte that is no UTF-8, becomes one "?" (as the system's own conversion gives it).
std::string utf8_to_cp932_in_place(std::string_view utf8);

}  // namespace plat
