// Bounded randomised test of the profile reader and writer: random files built from
// profile-like pieces and raw bytes; every write must change exactly the one line it names
// (or add one), keep every other line byte for byte, and read back.
#include <gtest/gtest.h>

#include <random>

#include "platform/profile.h"
#include "tests/support/temp_folder.h"

namespace {

const char* const kPieces[] = {
    "[Section]", "[section]", "[S", "]", "[]", "X\x8e\xb2", "=", " = ", "==", ";", "\r\n", "\n",
    "\r", " ", "\t", "\"", "'", "key", "KEY", "\x83\x41", "\x83", "\xEF\xBB\xBF", "\0", "value",
    "1", "-2.5",
};

std::string random_file(std::mt19937& rng) {
    std::string text;
    const int pieces = std::uniform_int_distribution<int>(0, 40)(rng);
    for (int i = 0; i < pieces; ++i) {
        if (rng() % 8 == 0) {
            text += static_cast<char>(rng() & 0xFF);
        } else {
            const std::size_t n = rng() % (sizeof kPieces / sizeof kPieces[0]);
            text += kPieces[n][0] == '\0' && n == 22 ? std::string(1, '\0') : std::string(kPieces[n]);
        }
    }
    return text;
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        line += text[i];
        if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n'))) {
            lines.push_back(line);
            line.clear();
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

std::string strip_break(std::string s) {
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
    return s;
}

TEST(ProfileFuzz, WritesChangeOneLineAndReadBack) {
    testing_support::TempFolder folder;
    const std::string path = folder.file("fuzz.ini");
    std::mt19937 rng(20261207);
    const std::string sections[] = {"Section", "S", "other"};
    const std::string keys[] = {"key", "X\x8e\xb2", "value", "k\x83\x41"};
    for (int round = 0; round < 800; ++round) {
        const std::string before = random_file(rng);
        testing_support::write_bytes(path, before);
        const std::string& section = sections[rng() % 3];
        const std::string& key = keys[rng() % 4];
        // Reading never fails on any file.
        (void)plat::get_private_profile_string(section, key, "d", 1 + rng() % 300, path);

        const std::string value = "v" + std::to_string(round) + (rng() % 2 ? " \x8e\xb2" : "");
        ASSERT_TRUE(plat::write_private_profile_string(section, key, value, path)) << round;
        const std::string after = testing_support::read_bytes(path);
        ASSERT_EQ(plat::get_private_profile_string(section, key, "d", 256, path), value)
            << "round " << round << "\nbefore: " << ::testing::PrintToString(before)
            << "\nafter: " << ::testing::PrintToString(after);

        // Every line of the old file is still there, in order, unchanged up to its line
        // break; at most one of them was rewritten.
        const auto old_lines = lines_of(before), new_lines = lines_of(after);
        std::size_t j = 0, changed = 0;
        for (const std::string& line : old_lines) {
            while (j < new_lines.size() && strip_break(new_lines[j]) != strip_break(line) &&
                   new_lines[j].find(value) != std::string::npos)
                ++j;  // an inserted or rewritten line
            if (j < new_lines.size() && strip_break(new_lines[j]) == strip_break(line)) {
                ++j;
            } else {
                ++changed;
            }
        }
        ASSERT_LE(changed, 1u) << "round " << round << "\nbefore: " << ::testing::PrintToString(before)
                               << "\nafter: " << ::testing::PrintToString(after);
        ASSERT_LE(new_lines.size(), old_lines.size() + 3);
    }
}

}  // namespace
