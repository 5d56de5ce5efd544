// ShellExecuteA's "open" on Linux: the desktop's default program for the address, through
// xdg-open (SDL_OpenURL runs it).
#include <SDL.h>

#include <string>

#include "platform/shell.h"
#include "platform/text.h"

namespace plat {
namespace {

constexpr std::intptr_t kStarted = 42, kNoAssociation = 31;  // > 32, SE_ERR_NOASSOC

bool has_scheme(std::string_view s) {
    const auto colon = s.find(':');
    if (colon == std::string_view::npos || colon < 2) return false;  // "C:" is a drive
    for (std::size_t i = 0; i < colon; ++i) {
        const char c = s[i];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'))
            return false;
    }
    return true;
}

// A local path as a file:// address, its bytes outside the unreserved set escaped.
std::string file_url(std::string_view utf8_path) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out = "file://";
    for (unsigned char c : utf8_path) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || std::string_view("/-._~").find(static_cast<char>(c)) != std::string_view::npos) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

}  // namespace

std::intptr_t shell_execute(WindowHandle, std::string_view verb, std::string_view file, std::string_view,
                            std::string_view, int) {
    if (!verb.empty() && verb != "open") return kNoAssociation;
    if (file.empty()) return 2;  // SE_ERR_FNF
    const std::string utf8 = cp932_to_utf8(file);
    std::string url = utf8;
    if (!has_scheme(utf8)) url = utf8.rfind("www.", 0) == 0 ? "http://" + utf8 : file_url(utf8);
    return SDL_OpenURL(url.c_str()) == 0 ? kStarted : kNoAssociation;
}

}  // namespace plat
