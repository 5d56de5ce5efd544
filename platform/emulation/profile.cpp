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

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>
#include <vector>

#include "platform/files.h"
#include "platform/posix/native_path.h"

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

// One line of the file: its text without the line break, and where the next line begins.
// Lines are read straight from the file's bytes, one at a time: nothing is copied per line,
// so a file of millions of lines costs no more memory than its bytes.
struct Line {
    std::size_t begin = 0;
    std::size_t end = 0;   // one past the text, where the line break (if any) starts
    std::size_t next = 0;  // one past the line break
};

enum class Kind { Blank, Comment, Section, Key, Other };

struct Parsed {
    Kind kind = Kind::Other;
    std::string_view name;   // section or key name
    std::string_view value;  // key value (trimmed)
    bool has_value = false;
};

// The line that starts at `at` (at < data.size()). Lines end in CR LF, LF or CR.
Line line_at(std::string_view data, std::size_t at) {
    Line line{at, at, at};
    const std::size_t brk = data.find_first_of("\r\n", at);
    if (brk == std::string_view::npos) {
        line.end = line.next = data.size();
        return line;
    }
    line.end = brk;
    line.next = brk + 1;
    if (data[brk] == '\r' && line.next < data.size() && data[line.next] == '\n') ++line.next;
    return line;
}

std::string_view text_of(std::string_view data, const Line& line) {
    return data.substr(line.begin, line.end - line.begin);
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
    bool key_found = false;
    Line key_line;   // the key's line
    Line last_line;  // the section's last line that is not blank (its header at least)
};

Location locate(std::string_view data, std::string_view section, std::string_view key) {
    Location at;
    section = trim(section);
    key = trim(key);
    std::size_t pos = 0;
    for (; pos < data.size();) {
        const Line line = line_at(data, pos);
        const Parsed p = parse_line(text_of(data, line), pos == 0);
        pos = line.next;
        if (p.kind == Kind::Section && same_name(p.name, section)) {
            at.section_found = true;
            at.last_line = line;
            break;
        }
    }
    if (!at.section_found) return at;
    for (; pos < data.size();) {
        const Line line = line_at(data, pos);
        const Parsed p = parse_line(text_of(data, line), false);
        pos = line.next;
        if (p.kind == Kind::Section) break;
        if (p.kind != Kind::Blank) at.last_line = line;
        if (p.kind == Kind::Key && !at.key_found && same_name(p.name, key)) {
            at.key_found = true;
            at.key_line = line;
        }
    }
    return at;
}

// The last line of the file, or nothing for an empty file.
std::optional<Line> last_line(std::string_view data) {
    if (data.empty()) return std::nullopt;
    std::size_t end = data.size();
    if (data[end - 1] == '\n') --end;
    if (end > 0 && data[end - 1] == '\r' && end < data.size()) --end;  // CR LF
    else if (end == data.size() && data[end - 1] == '\r') --end;
    const std::size_t brk = end == 0 ? std::string_view::npos : data.find_last_of("\r\n", end - 1);
    return line_at(data, brk == std::string_view::npos ? 0 : brk + 1);
}

bool file_exists(std::string_view path) {
    struct stat st {};
    return ::lstat(native_path(path).c_str(), &st) == 0;
}

// A file that is there but that this user may not write (read-only, or another's): the
// rename would replace it anyway, since only the folder's permission counts for that, so the
// file's own is asked, as the system's writer asks it on Windows.
bool refuses_writes(std::string_view path) {
    const std::string native = native_path(path);
    return ::faccessat(AT_FDCWD, native.c_str(), F_OK, AT_SYMLINK_NOFOLLOW) == 0 &&
           ::faccessat(AT_FDCWD, native.c_str(), W_OK, AT_EACCESS) != 0;
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
    if (read_whole_file(path, bytes)) {
        const std::string_view data(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        const Location at = locate(data, section, key);
        if (at.key_found) {
            const Parsed p = parse_line(text_of(data, at.key_line), at.key_line.begin == 0);
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
    const std::string_view original(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const Location at = locate(original, section, key);
    const std::string crlf = "\r\n";
    const std::string entry = std::string(key) + "=" + std::string(value);

    // The new file is the old one with one piece of text put in place of the bytes from
    // `cut` to `resume`.
    std::size_t cut = original.size(), resume = original.size();
    std::string piece;
    if (at.key_found) {
        const std::string_view text = text_of(original, at.key_line);
        const Parsed p = parse_line(text, at.key_line.begin == 0);
        // Keep what stands before the key's name (indent, a UTF-8 mark) and the name itself.
        cut = static_cast<std::size_t>(p.name.data() - original.data()) + p.name.size();
        resume = at.key_line.end;
        piece = "=" + std::string(value);
    } else if (at.section_found) {
        // After the section's last line that is not blank.
        const Line& last = at.last_line;
        cut = resume = last.next;
        if (last.next == last.end) piece = crlf;  // that line had no line break
        piece += entry + crlf;
    } else {
        if (const auto last = last_line(original)) {
            if (last->next == last->end) piece = crlf;
            if (parse_line(text_of(original, *last), last->begin == 0).kind != Kind::Blank) piece += crlf;
        }
        piece += "[" + std::string(section) + "]" + crlf + entry + crlf;
    }

    std::string out;
    out.reserve(original.size() + piece.size());
    out.append(original.substr(0, cut));
    out += piece;
    out.append(original.substr(resume));
    if (out == original) return true;
    if (refuses_writes(path)) return false;
    return write_file_replacing(path, out.data(), out.size());
}

}  // namespace plat
