// Profile files with the platform's rules, for systems that lack them: section and key names
// match without regard to the case of ASCII letters (double-byte CP932 characters compare
// exactly, so a trail byte that looks like a letter is never folded), names and values are
// read with the blanks around them removed and one pair of enclosing quotes dropped, and only
// the first section of a name is searched. A line without "=" names a key without a value,
// which reads as missing. Lines end in CR LF, LF or CR; new lines are written with CR LF.
//
// Writing changes one line, or inserts one (after the section's last non-blank line, or a
// new section at the end), and leaves every other byte of the file as it was. The new file
// replaces the old one by a rename, so a failed or interrupted write never loses the file.
// Names and values that would break the line structure (line breaks, a key with "=", a
// section with "]") are refused rather than written.
#include "platform/profile.h"

#include "common/cp932.h"

#include <sys/stat.h>

#include <vector>

#include "platform/files.h"
#include "platform/text.h"

namespace plat {
namespace {

bool is_lead_byte(unsigned char c) { return common::IsCp932LeadByte(c); }
bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view s) {
    while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
    return s;
}

char fold(char c) { return common::ToUpperAscii(c); }

// Equal names: ASCII letters in either case, double-byte characters byte for byte.
bool same_name(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (is_lead_byte(static_cast<unsigned char>(a[i])) && i + 1 < a.size()) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
            ++i;
        } else if (fold(a[i]) != fold(b[i])) {
            return false;
        }
    }
    return true;
}

struct Line {
    std::string text;        // without its line break
    std::string terminator;  // "\r\n", "\n", "\r" or "" for an unterminated last line
};

enum class Kind { Blank, Comment, Section, Key, Other };

struct Parsed {
    Kind kind = Kind::Other;
    std::string_view name;   // section or key name
    std::string_view value;  // key value (trimmed)
    bool has_value = false;
};

std::vector<Line> split_lines(std::string_view data) {
    std::vector<Line> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (data[i] != '\r' && data[i] != '\n') continue;
        std::size_t end = i + 1;
        if (data[i] == '\r' && end < data.size() && data[end] == '\n') ++end;
        lines.push_back({std::string(data.substr(start, i - start)), std::string(data.substr(i, end - i))});
        start = end;
        i = end - 1;
    }
    if (start < data.size()) lines.push_back({std::string(data.substr(start)), ""});
    return lines;
}

Parsed parse_line(std::string_view text, bool first_line) {
    if (first_line && text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);  // UTF-8 mark
    text = trim(text);
    Parsed p;
    if (text.empty()) {
        p.kind = Kind::Blank;
    } else if (text.front() == ';') {
        p.kind = Kind::Comment;
    } else if (text.front() == '[') {
        p.kind = Kind::Section;
        std::string_view inner = text.substr(1);
        const std::size_t close = inner.rfind(']');
        if (close != std::string_view::npos) inner = inner.substr(0, close);
        p.name = trim(inner);
    } else {
        p.kind = Kind::Key;
        const std::size_t eq = text.find('=');
        if (eq == std::string_view::npos) {
            p.name = text;
        } else {
            p.name = trim(text.substr(0, eq));
            p.value = trim(text.substr(eq + 1));
            p.has_value = true;
        }
    }
    return p;
}

// Where a key lies: the first section of the name, and in it the first key of the name.
struct Location {
    bool section_found = false;
    std::size_t section_line = 0;
    std::size_t section_end = 0;  // one past the section's last line
    bool key_found = false;
    std::size_t key_line = 0;
};

Location locate(const std::vector<Line>& lines, std::string_view section, std::string_view key) {
    Location at;
    section = trim(section);
    key = trim(key);
    std::size_t i = 0;
    for (; i < lines.size(); ++i) {
        const Parsed p = parse_line(lines[i].text, i == 0);
        if (p.kind == Kind::Section && same_name(p.name, section)) break;
    }
    if (i == lines.size()) return at;
    at.section_found = true;
    at.section_line = i;
    for (++i; i < lines.size(); ++i) {
        const Parsed p = parse_line(lines[i].text, false);
        if (p.kind == Kind::Section) break;
        if (p.kind == Kind::Key && !at.key_found && same_name(p.name, key)) {
            at.key_found = true;
            at.key_line = i;
        }
    }
    at.section_end = i;
    return at;
}

bool file_exists(std::string_view path) {
    struct stat st {};
    return ::lstat(cp932_to_utf8(path).c_str(), &st) == 0;
}

// A value with enclosing quotes ('...' or "...") is read without them.
std::string_view unquote(std::string_view v) {
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        return v.substr(1, v.size() - 2);
    return v;
}

}  // namespace

std::string get_private_profile_string(std::string_view section, std::string_view key,
                                       std::string_view default_value, std::size_t buffer_size,
                                       std::string_view path) {
    if (buffer_size == 0) return {};
    std::string_view result = default_value;
    std::vector<std::uint8_t> bytes;
    std::vector<Line> lines;
    if (read_whole_file(path, bytes)) {
        lines = split_lines(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
        const Location at = locate(lines, section, key);
        if (at.key_found) {
            const Parsed p = parse_line(lines[at.key_line].text, at.key_line == 0);
            if (p.has_value) result = unquote(p.value);
        }
    }
    // Cut so that the terminating zero fits; a double-byte character is never cut in half.
    const std::size_t room = buffer_size - 1;
    if (result.size() > room) {
        std::size_t cut = 0;
        while (cut < room) {
            const std::size_t step = is_lead_byte(static_cast<unsigned char>(result[cut])) ? 2 : 1;
            if (cut + step > room) break;
            cut += step;
        }
        result = result.substr(0, cut);
    }
    // The text ends at its first zero byte, as the caller's buffer would.
    const std::size_t zero = result.find('\0');
    if (zero != std::string_view::npos) result = result.substr(0, zero);
    return std::string(result);
}

bool write_private_profile_string(std::string_view section, std::string_view key,
                                  std::string_view value, std::string_view path) {
    const auto has_any = [](std::string_view s, std::string_view chars) {
        return s.find_first_of(chars) != std::string_view::npos;
    };
    using namespace std::string_view_literals;
    if (trim(section).empty() || trim(key).empty() || has_any(section, "\r\n]\0"sv) ||
        has_any(key, "\r\n=\0"sv) || has_any(value, "\r\n\0"sv) || trim(key).front() == '[' ||
        trim(key).front() == ';' || path.empty())
        return false;

    std::vector<std::uint8_t> bytes;
    if (!read_whole_file(path, bytes)) {
        // A file that is there but cannot be read is never replaced by a new one.
        if (file_exists(path)) return false;
        bytes.clear();
    }
    const std::string original(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    std::vector<Line> lines = split_lines(original);
    const Location at = locate(lines, section, key);
    const std::string crlf = "\r\n";

    if (at.key_found) {
        Line& line = lines[at.key_line];
        const Parsed p = parse_line(line.text, at.key_line == 0);
        // Keep what stands before the key's name (indent, a UTF-8 mark) and the name itself.
        const std::size_t name_end = static_cast<std::size_t>(p.name.data() - line.text.data()) + p.name.size();
        line.text = line.text.substr(0, name_end) + "=" + std::string(value);
    } else if (at.section_found) {
        std::size_t last = at.section_line;
        for (std::size_t i = at.section_line + 1; i < at.section_end; ++i)
            if (parse_line(lines[i].text, false).kind != Kind::Blank) last = i;
        if (lines[last].terminator.empty()) lines[last].terminator = crlf;
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(last + 1),
                     Line{std::string(key) + "=" + std::string(value), crlf});
    } else {
        if (!lines.empty()) {
            if (lines.back().terminator.empty()) lines.back().terminator = crlf;
            if (parse_line(lines.back().text, lines.size() == 1).kind != Kind::Blank)
                lines.push_back({"", crlf});
        }
        lines.push_back({"[" + std::string(section) + "]", crlf});
        lines.push_back({std::string(key) + "=" + std::string(value), crlf});
    }

    std::string out;
    out.reserve(original.size() + key.size() + value.size() + section.size() + 16);
    for (const Line& line : lines) out += line.text + line.terminator;
    if (out == original) return true;
    return write_file_replacing(path, out.data(), out.size());
}

}  // namespace plat
