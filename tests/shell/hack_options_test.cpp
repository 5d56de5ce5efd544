// The xscreensaver command line: which lines belong to it, and what they set.
#include <gtest/gtest.h>

#include "shell/hack_mode.h"

namespace {

using shell::HackOptions;

bool Parse(std::vector<std::string> args, HackOptions& o) {
    std::string error;
    return shell::ParseHackOptions(args, o, error);
}

TEST(HackCommandLine, OnlyItsOwnOptionsOrADoubleHyphenLeaveTheSaverSwitches) {
    using V = std::vector<std::string>;
    for (const V& line : {V{"--root"}, V{"-root"}, V{"-window-id", "5"}, V{"--bogus"}, V{"-sleep", "3"},
                          V{"-interval=4"}, V{"--"}})
        EXPECT_TRUE(shell::IsHackCommandLine(line)) << line[0];
    for (const V& line : {V{}, V{"/s"}, V{"-s"}, V{"-S"}, V{"/p", "1234"}, V{"-p", "--root"}, V{"-c"}, V{"-x"},
                          V{"-rootx"}, V{"S"}})
        EXPECT_FALSE(shell::IsHackCommandLine(line)) << (line.empty() ? "(empty)" : line[0]);
}

TEST(HackCommandLine, WindowIdsAreDecimalOrHexadecimalAndNothingElse) {
    EXPECT_EQ(shell::ParseWindowId("0x1a00007"), 0x1a00007u);
    EXPECT_EQ(shell::ParseWindowId("0X1A00007"), 0x1a00007u);
    EXPECT_EQ(shell::ParseWindowId("27262983"), 27262983u);
    for (const char* bad : {"", "0x", "0", "0x0", "12ab", "-5", " 5", "0x100000000", "1a00007"})
        EXPECT_FALSE(shell::ParseWindowId(bad)) << bad;
}

TEST(HackCommandLine, OptionsTakeOneOrTwoHyphensAndTheirValueAfterABlankOrEquals) {
    HackOptions o;
    ASSERT_TRUE(Parse({"-root", "--window-id=0x20", "-interval", "30", "--sleep=0", "-x-speed", "10", "--y-speed", "0",
                       "--z-speed=7", "-neon"},
                      o));
    EXPECT_TRUE(o.root);
    EXPECT_EQ(o.window_id, 0x20u);
    EXPECT_EQ(o.interval, 30);
    EXPECT_EQ(o.sleep, 0);
    EXPECT_EQ(o.x_speed, 10);
    EXPECT_EQ(o.y_speed, 0);
    EXPECT_EQ(o.z_speed, 7);
    EXPECT_EQ(o.neon, true);
    ASSERT_TRUE(Parse({"--neon", "--no-neon"}, o));
    EXPECT_EQ(o.neon, false);  // the last one holds
}

TEST(HackCommandLine, AnUnknownOptionAMissingValueOrOneOutOfRangeIsRefused) {
    for (std::vector<std::string> line :
         {std::vector<std::string>{"--root", "--fps"}, {"--interval"}, {"--interval", "0"}, {"--interval", "31"},
          {"--sleep", "11"}, {"--x-speed", "-1"}, {"--x-speed", "2.5"}, {"--z-speed", ""}, {"--root=1"},
          {"--window-id", "x"}, {"--root", "stray"}}) {
        HackOptions o;
        std::string error;
        EXPECT_FALSE(shell::ParseHackOptions(line, o, error)) << line.back();
        EXPECT_FALSE(error.empty());
    }
}

TEST(HackCommandLine, GivenOptionsOverrideTheFileAndTheRestStays) {
    shell::SaverSettingsRecord s;
    s.Interval = 9, s.Sleep = 4, s.XAxis = 1, s.YAxis = 2, s.ZAxis = 3, s.NeonEffect = 1, s.BgmKind = 2;
    HackOptions o;
    ASSERT_TRUE(Parse({"--interval", "5", "--no-neon", "--y-speed", "8"}, o));
    shell::ApplyHackOptions(o, s);
    EXPECT_EQ(s.Interval, 5);
    EXPECT_EQ(s.NeonEffect, 0);
    EXPECT_EQ(s.YAxis, 8);
    EXPECT_EQ(s.Sleep, 4);
    EXPECT_EQ(s.XAxis, 1);
    EXPECT_EQ(s.ZAxis, 3);
    EXPECT_EQ(s.BgmKind, 2);
}

}  // namespace

// The folders of the files the program writes (on the POSIX pieces that the Linux build
// shares): a folder that takes no files sends members and settings to the user's folders.
#include <cstdlib>

#include "platform/scripted/control.h"
#include "shell/resource_pack.h"
#include "shell/routines.h"
#include "shell/settings_store.h"
#include "tests/support/temp_folder.h"

namespace {

TEST(FileFolders, AFolderThatTakesNoFilesSendsMembersAndSettingsToTheUsersFolders) {
    testing_support::TempFolder user, program;
    const std::string runtime = user.file("runtime"), config = user.file("config");
    std::filesystem::create_directory(runtime);
    std::filesystem::permissions(runtime, std::filesystem::perms(0700));
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    std::filesystem::create_directory(config);

    plat::scripted::set_program_folder(program.path());
    EXPECT_EQ(shell::MemberPath(2), program.file("Zephlora002.zpk"));
    EXPECT_EQ(shell::SettingsPath(), program.file("Zephlora.ini"));
    EXPECT_EQ(shell::PackPath(), program.file("Zephlora.zpk"));

    // Root writes into any folder; one that is not there takes no files from anybody.
    const std::string missing = program.file("gone");
    plat::scripted::set_program_folder(missing);
    EXPECT_EQ(shell::MemberPath(2), runtime + "/zephlora/Zephlora002.zpk");
    EXPECT_EQ(std::filesystem::status(runtime + "/zephlora").permissions(), std::filesystem::perms(0700));
    EXPECT_EQ(shell::SettingsPath(), config + "/zephlora/Zephlora.ini");
    EXPECT_EQ(shell::PackPath(), missing + "/Zephlora.zpk");  // the pack stays beside the program

    // A run of its own keeps its members apart; the rule comes back after it.
    shell::SetMemberFolder(user.file("mine"));
    EXPECT_EQ(shell::MemberPath(9), user.file("mine") + "/Zephlora009.zpk");
    shell::SetMemberFolder({});
    EXPECT_EQ(shell::MemberPath(9), runtime + "/zephlora/Zephlora009.zpk");

    plat::scripted::reset();
    ::unsetenv("XDG_RUNTIME_DIR");
    ::unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
