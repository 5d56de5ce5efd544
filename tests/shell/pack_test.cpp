#include <gtest/gtest.h>

#include "shell/resource_pack.h"
#include "shell_fixture.h"

using testing_support::exists;
using testing_support::make_pack;
using testing_support::read_bytes;

using PackTest = ShellTest;

namespace {

// Member n as the table places it in the given pack bytes.
std::string member_in(const std::string& pack, int n) {
    const shell::PackMember& m = shell::PackMemberOf(n);
    return pack.substr(m.position - 1, m.length);
}

}  // namespace

TEST(PackTable, MembersLieBackToBackAndFillThePack) {
    std::uint32_t next = 1;
    for (const auto& m : shell::PackMemberTable) {
        EXPECT_EQ(m.position, next);
        next += m.length;
    }
    EXPECT_EQ(next - 1, shell::kPackLength);
}

TEST_F(PackTest, MemberNamesHaveThreeDigits) {
    EXPECT_EQ(shell::MemberPath(1), folder.path() + "/Zephlora001.zpk");
    EXPECT_EQ(shell::MemberPath(9), folder.path() + "/Zephlora009.zpk");
    EXPECT_EQ(shell::PackPath(), folder.path() + "/Zephlora.zpk");
}

TEST_F(PackTest, MembersConcatenatedAreThePack) {
    put_pack();
    shell::SplitResourcePack();
    std::string joined;
    for (int n = 1; n <= 9; ++n) {
        const std::string member = read_bytes(shell::MemberPath(n));
        EXPECT_EQ(member.size(), shell::PackMemberOf(n).length) << n;
        joined += member;
    }
    EXPECT_EQ(joined, make_pack());
    // The pack is only read.
    EXPECT_EQ(read_bytes(shell::PackPath()), make_pack());
}

TEST_F(PackTest, ALongerOldMemberIsReplacedWhole) {
    put_pack();
    testing_support::write_bytes(shell::MemberPath(3), std::string(9000, 'x'));
    shell::SplitResourcePack();
    EXPECT_EQ(read_bytes(shell::MemberPath(3)), member_in(make_pack(), 3));
}

TEST_F(PackTest, AShortPackYieldsOnlyWholeMembers) {
    // 20000 bytes hold members 1 to 4 (they end at byte 19745); member 5 reaches past the end.
    put_pack(36191);
    shell::SplitResourcePack();  // an earlier run with a whole pack
    put_pack(20000);
    shell::SplitResourcePack();
    for (int n = 1; n <= 4; ++n) EXPECT_TRUE(exists(shell::MemberPath(n))) << n;
    for (int n = 5; n <= 9; ++n) EXPECT_FALSE(exists(shell::MemberPath(n))) << n;
    EXPECT_EQ(read_bytes(shell::MemberPath(4)), member_in(make_pack(20000), 4));
    // A pack one byte short loses only its last member.
    put_pack(36190);
    shell::SplitResourcePack();
    EXPECT_EQ(member_count(), 8);
    EXPECT_FALSE(exists(shell::MemberPath(9)));
    // An empty pack makes nothing, and start-up goes on.
    put_pack(0);
    EXPECT_TRUE(start("/x"));
    EXPECT_EQ(member_count(), 0);
    EXPECT_TRUE(plat::scripted::message_boxes().empty());
}

TEST_F(PackTest, ALongerPackIsSplitByTheTable) {
    testing_support::write_bytes(shell::PackPath(), make_pack() + "trailing");
    shell::SplitResourcePack();
    EXPECT_EQ(read_bytes(shell::MemberPath(9)), member_in(make_pack(), 9));
}

TEST_F(PackTest, DeleteGoesOnPastMissingMembers) {
    put_pack();
    shell::SplitResourcePack();
    std::remove(shell::MemberPath(1).c_str());
    std::remove(shell::MemberPath(5).c_str());
    shell::DeletePackMembers();
    EXPECT_EQ(member_count(), 0);
    EXPECT_TRUE(exists(shell::PackPath()));
}

TEST_F(PackTest, NoTemporaryFilesAreLeftBehind) {
    put_pack(30000);
    shell::SplitResourcePack();
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1 + 7);  // the pack and members 1 to 7
}
