// The POSIX file layer with what a careless or hostile user leaves in the program's folder:
// links at the names it writes, FIFOs where it reads, names that are no CP932.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <random>

#include "platform/files.h"
#include "platform/posix/native_path.h"
#include "platform/profile.h"
#include "tests/support/temp_folder.h"

using testing_support::read_bytes;
using testing_support::write_bytes;

namespace {

class Files : public ::testing::Test {
protected:
    // Links to `victim` at the names a temporary file of `target` might take: its name with
    // ".tmp" and this process's id, and plain ".tmp".
    void plant_links(const std::string& target) {
        for (const std::string& suffix : {".tmp" + std::to_string(::getpid()), std::string(".tmp")})
            ASSERT_EQ(::symlink(victim.c_str(), (target + suffix).c_str()), 0);
    }
    testing_support::TempFolder folder;
    std::string victim = folder.file("precious.txt");
};

TEST_F(Files, WritingNeverFollowsALinkAtTheTargetOrATemporaryName) {
    write_bytes(victim, "precious");
    const std::string member = folder.file("Zephlora001.zpk");
    plant_links(member);
    ASSERT_TRUE(plat::write_file_replacing(member, "member", 6));
    EXPECT_EQ(read_bytes(member), "member");
    // A link at the target itself is replaced, not written through.
    const std::string linked = folder.file("Zephlora002.zpk");
    ASSERT_EQ(::symlink(victim.c_str(), linked.c_str()), 0);
    ASSERT_TRUE(plat::write_file_replacing(linked, "two", 3));
    EXPECT_EQ(read_bytes(linked), "two");
    struct stat st {};
    ASSERT_EQ(::lstat(linked.c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));

    // The settings writer goes the same way.
    const std::string ini = folder.file("Zephlora.ini");
    plant_links(ini);
    ASSERT_TRUE(plat::write_private_profile_string("Section", "Sleep", " 1", ini));
    EXPECT_EQ(read_bytes(ini), "[Section]\r\nSleep= 1\r\n");

    EXPECT_EQ(read_bytes(victim), "precious");
    // Nothing is left behind but the planted links, and the new files are readable by others
    // as a new file of the user's would be.
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1 + 4 + 3);
    ASSERT_EQ(::stat(member.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0044u, 0044u & ~[] { const mode_t m = ::umask(0); ::umask(m); return m; }());
}

// Opening a FIFO for reading would wait for a writer for ever; it counts as missing, as does
// every file that is not a regular one.
TEST_F(Files, AFifoOrADeviceIsNoFile) {
    const std::string fifo = folder.file("Zephlora.zpk");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    std::vector<std::uint8_t> bytes;
    for (const std::string& path : {fifo, std::string("/dev/zero"), folder.path()}) {
        EXPECT_FALSE(plat::can_open_for_reading(path)) << path;
        EXPECT_FALSE(plat::read_whole_file(path, bytes)) << path;
        EXPECT_FALSE(plat::read_file_range(path, 0, 4, bytes)) << path;
        EXPECT_EQ(plat::get_private_profile_string("Section", "k", "none", 256, path), "none") << path;
    }
    EXPECT_FALSE(plat::write_private_profile_string("Section", "k", "v", fifo));
    struct stat st {};
    ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));  // a file that is there but cannot be read is never replaced
}

// Every name the system can give comes back as the same bytes, whatever its characters.
TEST(NativePath, EveryNameComesBackAsTheSameBytes) {
    std::mt19937 random(19);
    const std::vector<std::string> names{
        "/home/user/caf\xC3\xA9", "/tmp/\xF0\x9F\x98\x80", "/srv/\xE6\x97\xA5\xE6\x9C\xAC",
        "/x/\xFF/s", "/x/\xEE\x82\x80\xEE\x83\xBF", "/x/\xC0\xAF", "/x/\xED\xA0\x80"};
    for (const std::string& name : names) EXPECT_EQ(plat::native_path(plat::path_from_native(name)), name);
    for (int i = 0; i < 2000; ++i) {
        std::string name(random() % 24, '\0');
        for (char& c : name) c = static_cast<char>(1 + random() % 255);
        ASSERT_EQ(plat::native_path(plat::path_from_native(name)), name) << i;
    }
    // Names with a CP932 form are that form: Japanese text stays Japanese text.
    EXPECT_EQ(plat::path_from_native("/srv/\xE6\x97\xA5\xE6\x9C\xAC/a.ini"), "/srv/\x93\xfa\x96\x7b/a.ini");
    EXPECT_EQ(plat::native_path("/srv/\x93\xfa\x96\x7b"), "/srv/\xE6\x97\xA5\xE6\x9C\xAC");
    // The look-alike folder is another name.
    EXPECT_NE(plat::native_path(plat::path_from_native("/home/user/caf\xC3\xA9")), "/home/user/cafe");
}

TEST_F(Files, AFolderWithoutACp932NameIsReachedByItsOwnBytes) {
    const std::string odd = folder.file("caf\xC3\xA9 \xF0\x9F\x98\x80 \xFF");
    ASSERT_TRUE(std::filesystem::create_directory(odd));
    const std::string cp932 = plat::path_from_native(odd) + "/Zephlora001.zpk";
    ASSERT_TRUE(plat::write_file_replacing(cp932, "x", 1));
    EXPECT_EQ(read_bytes(odd + "/Zephlora001.zpk"), "x");
    EXPECT_TRUE(plat::can_open_for_reading(cp932));
    EXPECT_TRUE(plat::delete_file(cp932));
    EXPECT_FALSE(testing_support::exists(odd + "/Zephlora001.zpk"));
}

}  // namespace
