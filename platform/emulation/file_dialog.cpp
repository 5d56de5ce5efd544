#include "platform/emulation/file_dialog.h"

#include <cctype>

#include "platform/system.h"

namespace plat::emulation {

std::vector<FileFilter> parse_filter(std::string_view filter) {
    std::vector<FileFilter> out;
    auto next = [&filter]() -> std::optional<std::string_view> {
        if (filter.empty()) return std::nullopt;
        const auto end = filter.find('\0');
        const std::string_view part = filter.substr(0, end);
        filter = end == std::string_view::npos ? std::string_view{} : filter.substr(end + 1);
        return part;
    };
    for (;;) {
        const auto description = next();
        if (!description || description->empty()) break;
        const auto patterns = next();
        if (!patterns) break;
        FileFilter f{std::string(*description), {}};
        std::string_view rest = *patterns;
        while (!rest.empty()) {
            const auto semi = rest.find(';');
            std::string_view one = rest.substr(0, semi);
            while (!one.empty() && one.front() == ' ') one.remove_prefix(1);
            while (!one.empty() && one.back() == ' ') one.remove_suffix(1);
            if (!one.empty()) f.patterns.emplace_back(one);
            rest = semi == std::string_view::npos ? std::string_view{} : rest.substr(semi + 1);
        }
        if (!f.patterns.empty()) out.push_back(std::move(f));
    }
    return out;
}

std::string case_blind_pattern(std::string_view pattern) {
    std::string out;
    for (char ch : pattern) {
        const unsigned char u = static_cast<unsigned char>(ch);
        if (u < 0x80 && std::isalpha(u)) {
            out += '[';
            out += static_cast<char>(std::tolower(u));
            out += static_cast<char>(std::toupper(u));
            out += ']';
        } else {
            out += ch;
        }
    }
    return out;
}

OpenFileResult open_file_answer(const OpenFileRequest& request, const std::optional<std::string>& path) {
    OpenFileResult r;
    if (!path || path->empty()) return r;
    // The path and its NUL must fit the buffer (FNERR_BUFFERTOOSMALL otherwise).
    if (path->size() + 1 > request.file_buffer_size) return r;
    const auto slash = path->find_last_of(kPathSeparator);
    std::string title = slash == std::string::npos ? *path : path->substr(slash + 1);
    if (title.size() + 1 > request.title_buffer_size) title.clear();
    r.result = 1;
    r.path = *path;
    r.file_title = std::move(title);
    return r;
}

}  // namespace plat::emulation
