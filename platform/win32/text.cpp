#include "platform/text.h"
#include "platform/win32/prelude.h"

namespace plat {
namespace {

std::wstring widen(std::string_view s, UINT cp, bool& ok) {
    ok = true;
    if (s.empty()) return {};
    const int n = MultiByteToWideChar(cp, MB_ERR_INVALID_CHARS, s.data(), static_cast<int>(s.size()), nullptr, 0);
    if (n <= 0) {
        ok = false;
        const int m = MultiByteToWideChar(cp, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
        std::wstring w(static_cast<std::size_t>(m), L'\0');
        MultiByteToWideChar(cp, 0, s.data(), static_cast<int>(s.size()), w.data(), m);
        return w;
    }
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(cp, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

std::string narrow(const std::wstring& w, UINT cp, bool& ok) {
    if (w.empty()) return {};
    BOOL used_default = FALSE;
    BOOL* flag = cp == CP_UTF8 ? nullptr : &used_default;
    const int n = WideCharToMultiByte(cp, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, flag);
    std::string s(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(cp, 0, w.data(), static_cast<int>(w.size()), s.data(), n, nullptr, flag);
    if (used_default) ok = false;
    return s;
}

}  // namespace

std::wstring win32::wide_from_cp932(std::string_view cp932) {
    bool ok;
    return widen(cp932, 932, ok);  // bytes that are no character become the default one
}

std::string win32::cp932_from_wide(std::wstring_view wide) {
    bool ok;
    return narrow(std::wstring(wide), 932, ok);  // what has no form becomes "?"
}

std::string cp932_to_utf8(std::string_view cp932) {
    bool ok;
    const std::wstring w = widen(cp932, 932, ok);
    return narrow(w, CP_UTF8, ok);
}

bool utf8_to_cp932(std::string_view utf8, std::string& out) {
    bool ok;
    const std::wstring w = widen(utf8, CP_UTF8, ok);
    out = narrow(w, 932, ok);
    return ok;
}

std::string utf8_to_cp932_in_place(std::string_view utf8) {
    bool ok;
    return narrow(widen(utf8, CP_UTF8, ok), 932, ok);  // U+FFFD and the rest become "?"
}

}  // namespace plat
