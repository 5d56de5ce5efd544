// The profile reader and writer on any file and any sequence of writes. The input is the
// file's bytes, then "\0\0", then the writes, each "section\x01key\x01value" and separated by
// "\0". Every write either is refused and leaves the file as it was, or changes only the
// line of its key (or adds it, with its section when that is new), keeps every other line,
// reads back, and leaves what earlier writes put in the file readable as it was written.
#include <cstdint>
#include <string>
#include <vector>

#include "common/cp932.h"
#include "platform/profile.h"
#include "tests/fuzz/fuzz_files.h"

namespace {

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

// What a value reads back as: without the blanks around it and one pair of quotes.
std::string read_back_form(std::string_view value) {
    value = trimmed(value);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

// A name as the profile compares it: trimmed, ASCII letters folded outside double-byte
// characters.
std::string name_key(std::string_view name) {
    name = trimmed(name);
    std::string out;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (common::IsCp932LeadByte(static_cast<unsigned char>(name[i])) && i + 1 < name.size()) {
            out += name[i];
            out += name[++i];
        } else {
            out += common::ToUpperAscii(name[i]);
        }
    }
    return out;
}

std::vector<std::string> lines_of(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n') continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == separator) {
            parts.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    return parts;
}

// The new file is the old one with one place changed: at most one old line (the key's)
// replaced by at most three new ones (a blank line, the section and the key).
bool keeps_other_lines(const std::vector<std::string>& before, const std::vector<std::string>& after) {
    std::size_t head = 0;
    while (head < before.size() && head < after.size() && before[head] == after[head]) ++head;
    std::size_t tail = 0;
    while (tail < before.size() - head && tail < after.size() - head &&
           before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    return before.size() - head - tail <= 1 && after.size() - head - tail <= 3;
}

struct Written {
    std::string section, key, value;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = fuzz::as_text(data, size);
    const std::size_t cut = input.find(std::string_view("\0\0", 2));
    const std::string_view file = input.substr(0, cut);
    const std::string_view writes = cut == std::string_view::npos ? std::string_view() : input.substr(cut + 2);
    static const std::string path = fuzz::file_path("fuzz.ini");
    fuzz::put_file(path, std::string(file));

    // Reading never fails and never passes the caller's buffer.
    for (std::size_t buffer : {1u, 2u, 17u, 256u}) {
        const std::string got = plat::get_private_profile_string("Section", "X\x8e\xb2", "d", buffer, path);
        FUZZ_CHECK(got.size() < buffer);
    }

    std::vector<Written> written;
    int count = 0;
    for (std::string_view record : split(writes, '\0')) {
        if (writes.empty() || ++count > 8) break;
        const std::vector<std::string_view> fields = split(record, '\x01');
        if (fields.size() != 3) continue;
        const std::string before = fuzz::file_bytes(path).value_or("");
        const bool ok = plat::write_private_profile_string(fields[0], fields[1], fields[2], path);
        const std::string after = fuzz::file_bytes(path).value_or("");
        if (!ok) {
            FUZZ_CHECK(after == before);
            continue;
        }
        FUZZ_CHECK(keeps_other_lines(lines_of(before), lines_of(after)));
        const Written w{std::string(fields[0]), std::string(fields[1]), read_back_form(fields[2])};
        std::erase_if(written, [&](const Written& old) {
            return name_key(old.section) == name_key(w.section) && name_key(old.key) == name_key(w.key);
        });
        written.push_back(w);
        for (const Written& old : written)
            FUZZ_CHECK(plat::get_private_profile_string(old.section, old.key, "\x01", 1 << 16, path) == old.value);
    }
    return 0;
}
