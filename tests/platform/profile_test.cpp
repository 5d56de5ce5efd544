#include <gtest/gtest.h>

#include <filesystem>

#include "platform/files.h"
#include "platform/profile.h"
#include "tests/support/temp_folder.h"

using testing_support::read_bytes;
using testing_support::write_bytes;

namespace {

class Profile : public ::testing::Test {
protected:
    std::string get(std::string_view section, std::string_view key, std::size_t size = 256) {
        return plat::get_private_profile_string(section, key, "<none>", size, path);
    }
    bool put(std::string_view section, std::string_view key, std::string_view value) {
        return plat::write_private_profile_string(section, key, value, path);
    }
    testing_support::TempFolder folder;
    std::string path = folder.file("a.ini");
};

TEST_F(Profile, CreatesFileSectionAndKeyWithCrLf) {
    EXPECT_EQ(get("Section", "k"), "<none>");
    EXPECT_TRUE(put("Section", "X\x8e\xb2", " 5"));
    EXPECT_EQ(read_bytes(path), "[Section]\r\nX\x8e\xb2= 5\r\n");
    EXPECT_TRUE(put("Section", "Sleep", " 1"));
    EXPECT_TRUE(put("Other", "a", "b"));
    EXPECT_EQ(read_bytes(path), "[Section]\r\nX\x8e\xb2= 5\r\nSleep= 1\r\n\r\n[Other]\r\na=b\r\n");
    EXPECT_EQ(get("section", "SLEEP"), "1");
}

TEST_F(Profile, NamesMatchWithoutCaseButDoubleByteCharactersExactly) {
    // 0x83 0x41 is ア, 0x83 0x61 is ダ: the trail bytes look like "A" and "a".
    write_bytes(path, "[SeCtIoN]\r\nkey\x83\x41=1\r\nKEY\x83\x61=2\r\n");
    EXPECT_EQ(get("section", "KEY\x83\x41"), "1");
    EXPECT_EQ(get("section", "key\x83\x61"), "2");
    EXPECT_EQ(get("section", "key\x83\x42"), "<none>");
}

TEST_F(Profile, ReplacingAValueLeavesEveryOtherByteAlone) {
    const std::string before = "; top comment\n[Section]\r\n  Interval = 3 \r\nodd line without equals\r\n"
                               "\r\n[Next]\rSleep=4\n";
    write_bytes(path, before);
    EXPECT_TRUE(put("section", "interval", "12"));
    EXPECT_EQ(read_bytes(path), "; top comment\n[Section]\r\n  Interval=12\r\nodd line without equals\r\n"
                                "\r\n[Next]\rSleep=4\n");
    EXPECT_EQ(get("Next", "Sleep"), "4");
}

TEST_F(Profile, NewKeyGoesAfterTheSectionsLastLine) {
    write_bytes(path, "[A]\r\nx=1\r\n\r\n[B]\r\ny=2");
    EXPECT_TRUE(put("A", "z", "3"));
    EXPECT_TRUE(put("B", "w", "4"));
    EXPECT_EQ(read_bytes(path), "[A]\r\nx=1\r\nz=3\r\n\r\n[B]\r\ny=2\r\nw=4\r\n");
}

TEST_F(Profile, OnlyTheFirstSectionOfANameCounts) {
    write_bytes(path, "[S]\r\na=1\r\n[S]\r\nb=2\r\n");
    EXPECT_EQ(get("S", "b"), "<none>");
    EXPECT_TRUE(put("S", "b", "3"));
    EXPECT_EQ(read_bytes(path), "[S]\r\na=1\r\nb=3\r\n[S]\r\nb=2\r\n");
}

TEST_F(Profile, ValuesAreTrimmedUnquotedAndCut) {
    write_bytes(path, "[S]\r\nq=\"quoted text\"\r\nh='half\r\nb=\t x y \t\r\nnovalue\r\ne=\r\n");
    EXPECT_EQ(get("S", "q"), "quoted text");
    EXPECT_EQ(get("S", "h"), "'half");
    EXPECT_EQ(get("S", "b"), "x y");
    EXPECT_EQ(get("S", "novalue"), "<none>");
    EXPECT_EQ(get("S", "e"), "");
    EXPECT_EQ(get("S", "b", 2), "x");
    EXPECT_EQ(get("S", "b", 1), "");
    EXPECT_EQ(get("S", "missing", 3), "<n");
}

TEST_F(Profile, UnsafeNamesAndValuesAreRefused) {
    EXPECT_FALSE(put("S", "a", "1\r\n[Evil]"));
    EXPECT_FALSE(put("S", "a=b", "1"));
    EXPECT_FALSE(put("S]", "a", "1"));
    EXPECT_FALSE(put("", "a", "1"));
    EXPECT_FALSE(put("S", "", "1"));
    EXPECT_FALSE(put("S", "[a", "1"));
    // Blanks before the name are dropped on reading: the line would be a comment or a section.
    EXPECT_FALSE(put("S", " ;a", "1"));
    EXPECT_FALSE(put("S", "\t[a", "1"));
    EXPECT_FALSE(testing_support::exists(path));
}

TEST_F(Profile, ARewriteKeepsTheFilesPermissions) {
    write_bytes(path, "[S]\r\na=1\r\n");
    namespace fs = std::filesystem;
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_TRUE(put("S", "a", "2"));
    EXPECT_EQ(read_bytes(path), "[S]\r\na=2\r\n");
    EXPECT_EQ(fs::status(path).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

// What a killed write left: its temporary files, and only those, go at the next start.
TEST_F(Profile, LeftoverTemporariesAreRemoved) {
    write_bytes(path, "[S]\r\na=1\r\n");
    for (const char* name : {"a.ini.tmp4711", "a.ini.tmp12-3", "a.ini.tmp", "a.ini2", "b.ini.tmp1", "a.inix.tmp1"})
        write_bytes(folder.file(name), "x");
    plat::remove_leftover_temporaries(path);
    EXPECT_EQ(read_bytes(path), "[S]\r\na=1\r\n");
    for (const char* gone : {"a.ini.tmp4711", "a.ini.tmp12-3", "a.ini.tmp"}) EXPECT_FALSE(testing_support::exists(folder.file(gone))) << gone;
    for (const char* kept : {"a.ini2", "b.ini.tmp1", "a.inix.tmp1"}) EXPECT_TRUE(testing_support::exists(folder.file(kept))) << kept;
}

TEST_F(Profile, AFailedWriteLeavesTheFileAsItWas) {
    write_bytes(path, "[S]\r\na=1\r\n");
    const std::string missing_folder = folder.file("nope/b.ini");
    EXPECT_FALSE(plat::write_private_profile_string("S", "a", "2", missing_folder));
    // A folder in place of the file cannot be read: it is not replaced.
    std::filesystem::create_directory(folder.file("dir.ini"));
    EXPECT_FALSE(plat::write_private_profile_string("S", "a", "2", folder.file("dir.ini")));
    EXPECT_TRUE(std::filesystem::is_directory(folder.file("dir.ini")));
    EXPECT_EQ(read_bytes(path), "[S]\r\na=1\r\n");
}

TEST_F(Profile, Utf8MarkBeforeTheFirstSectionIsSkipped) {
    write_bytes(path, "\xEF\xBB\xBF[S]\r\na=1\r\n");
    EXPECT_EQ(get("S", "a"), "1");
    EXPECT_TRUE(put("S", "a", "2"));
    EXPECT_EQ(read_bytes(path), "\xEF\xBB\xBF[S]\r\na=2\r\n");
}

}  // namespace
