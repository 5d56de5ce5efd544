#include <gtest/gtest.h>

#include "common/texts.h"
#include "shell/routines.h"
#include "shell_fixture.h"

using plat::scripted::add_foreign_window;
using plat::scripted::find_by_title;
using plat::scripted::message_boxes;
using shell::SaverMode;

TEST(CommandLine, OnlyTheSecondCharacterChoosesTheMode) {
    for (const char* line : {"/s", "/S", "-s", "xS", "/s junk"}) EXPECT_EQ(shell::ModeOf(line), SaverMode::Run) << line;
    for (const char* line : {"/p 1234", "/P:1234", "-p"}) EXPECT_EQ(shell::ModeOf(line), SaverMode::Preview) << line;
    for (const char* line : {"/c", "/c:1234", "/C"}) EXPECT_EQ(shell::ModeOf(line), SaverMode::Configure) << line;
    EXPECT_EQ(shell::ModeOf("/a 1234"), SaverMode::ChangePassword);
    EXPECT_EQ(shell::ModeOf(""), SaverMode::Plain);
    for (const char* line : {"S", "/x", "/", " ", "//s"}) EXPECT_EQ(shell::ModeOf(line), SaverMode::Quit) << line;
}

TEST(CommandLine, CharactersAreCp932Characters) {
    // "ゴ" is one character of two bytes whose second byte is "S": no second character.
    EXPECT_EQ(shell::ModeChar("\x83S"), "");
    EXPECT_EQ(shell::ModeOf("\x83S"), SaverMode::Quit);
    // A double-byte first character, then "s".
    EXPECT_EQ(shell::ModeOf("\x82\xa0s"), SaverMode::Run);
    // The handle starts at the fourth character, not the fourth byte.
    EXPECT_EQ(shell::ParentHandle("\x82\xa0p 77"), 77);
}

TEST(CommandLine, ParentHandleIsReadLooselyFromTheFourthCharacter) {
    EXPECT_EQ(shell::ParentHandle("/p 1234"), 1234);
    EXPECT_EQ(shell::ParentHandle("/P:1234"), 1234);
    EXPECT_EQ(shell::ParentHandle("/p  1234"), 1234);
    EXPECT_EQ(shell::ParentHandle("-P 1234"), 1234);
    EXPECT_EQ(shell::ParentHandle("/p 12 34x"), 1234);
    EXPECT_EQ(shell::ParentHandle("/p 2.5"), 2);
    EXPECT_EQ(shell::ParentHandle("/p"), 0);
    EXPECT_EQ(shell::ParentHandle("/p abc"), 0);
    EXPECT_EQ(shell::ParentHandle("/p 99999999999"), 0);
}

TEST(Routines, FileExistsDropsOneTrailingSeparatorOnly) {
    testing_support::TempFolder folder;
    testing_support::write_bytes(folder.file("a.txt"), "x");
    EXPECT_TRUE(shell::FileExists(folder.file("a.txt")));
    EXPECT_TRUE(shell::FileExists(folder.file("a.txt") + "/"));
    EXPECT_FALSE(shell::FileExists(folder.file("a.txt") + "//"));
    EXPECT_FALSE(shell::FileExists(folder.file("b.txt")));
    EXPECT_FALSE(shell::FileExists(folder.path()));  // a folder is no file
    EXPECT_FALSE(shell::FileExists(""));
    // 表 is 0x95 0x5C: its second byte is no separator.
    const std::string table_name = "\x95\x5c";
    testing_support::write_bytes(folder.file("\xe8\xa1\xa8"), "x");  // 表 in UTF-8 on disk
    EXPECT_TRUE(shell::FileExists(folder.path() + "/" + table_name));
}

TEST(Routines, IsWindowsNtNeedsResultOneAndPlatformTwo) {
    plat::scripted::reset();
    plat::scripted::set_version({1, 2});
    EXPECT_TRUE(shell::IsWindowsNT());
    plat::scripted::set_version({1, 1});
    EXPECT_FALSE(shell::IsWindowsNT());
    plat::scripted::set_version({2, 2});
    EXPECT_FALSE(shell::IsWindowsNT());
    plat::scripted::set_version({0, 2});
    EXPECT_FALSE(shell::IsWindowsNT());
}

TEST(Routines, SystemKeysFlagIsTheComplementOfTheTruthValue) {
    plat::scripted::reset();
    shell::SetSystemKeysEnabled(true);
    shell::SetSystemKeysEnabled(false);
    const auto calls = plat::scripted::system_parameter_calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0], std::make_pair(97u, 0u));
    EXPECT_EQ(calls[1], std::make_pair(97u, 0xFFFFFFFFu));
}

TEST(Routines, ZoomRunsBetweenTheOriginAndTheWindow) {
    plat::scripted::reset();
    shell::ResetProcessState();
    const auto w = add_foreign_window("x", {100, 50, 500, 350});
    shell::ZoomOriginX = 7;
    shell::ZoomOriginY = 9;
    shell::ZoomOpen(w);
    shell::ZoomClose(w);
    const auto& calls = plat::scripted::animated_rects();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].animation, 3);
    EXPECT_EQ(calls[0].from, (plat::Rect{7, 9, 7, 9}));
    EXPECT_EQ(calls[0].to, (plat::Rect{100, 50, 500, 350}));
    EXPECT_EQ(calls[1].from, calls[0].to);
    EXPECT_EQ(calls[1].to, calls[0].from);
}

using StartUp = ShellTest;

TEST_F(StartUp, AnotherCopysWindowEndsEveryModeAtOnce) {
    put_pack();
    for (auto title : {texts::kTitleSaver, texts::kTitleDialog}) {
        for (const char* line : {"/s", "", "/c", "/x", "/p 1234", "/a 1"}) {
            plat::scripted::reset();
            plat::scripted::set_program_folder(folder.path());
            add_foreign_window(std::string(title), {0, 0, 10, 10});
            EXPECT_TRUE(start(line)) << line;
            EXPECT_EQ(member_count(), 0) << line;
            EXPECT_TRUE(message_boxes().empty());
            EXPECT_EQ(plat::scripted::windows().size(), 1u) << line;
        }
    }
}

TEST_F(StartUp, MissingPackShowsTheOneMessageAndEnds) {
    for (const char* line : {"/c", "/s", "", "/x", "/a 1"}) {
        plat::scripted::reset();
        plat::scripted::set_program_folder(folder.path());
        EXPECT_TRUE(start(line)) << line;
        ASSERT_EQ(message_boxes().size(), 1u) << line;
        EXPECT_EQ(message_boxes()[0].text, texts::kPackMissing);
        EXPECT_EQ(message_boxes()[0].title, texts::kMessageTitle);
        EXPECT_EQ(message_boxes()[0].style, 48u);
        EXPECT_EQ(message_boxes()[0].owner, plat::WindowHandle::None);
        EXPECT_TRUE(plat::scripted::windows().empty());
        EXPECT_EQ(shell::SaverSettings.Interval, 0);  // the settings were not read
    }
    EXPECT_EQ(std::string(texts::kPackMissing),
              "Zephlora.zpk\x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1\x81I");
}

TEST_F(StartUp, QuitLinesSplitThePackReadTheSettingsAndEndWithoutAWindow) {
    put_pack();
    for (const char* line : {"S", "/x", "/a 1234"}) {
        shell::ResetProcessState();
        EXPECT_TRUE(start(line)) << line;
        EXPECT_EQ(member_count(), 9) << line;
        EXPECT_EQ(shell::SaverSettings.Interval, 2) << line;
        EXPECT_TRUE(plat::scripted::windows().empty());
        EXPECT_TRUE(message_boxes().empty());
    }
}

TEST_F(StartUp, ConfigureShowsTheDialogAndEndsWhenItCloses) {
    put_pack();
    plat::scripted::on_pump([](std::uint64_t pump) {
        if (pump == 3) plat::scripted::queue_key(27);
    });
    EXPECT_TRUE(start("/c:1234"));
    EXPECT_GE(plat::scripted::pump_count(), 3u);
    EXPECT_TRUE(plat::scripted::windows().empty());
    EXPECT_EQ(member_count(), 9);  // only the full-screen run deletes them
}

TEST_F(StartUp, ConfigureDialogCarriesItsTitleWhileOpen) {
    put_pack();
    bool seen = false;
    plat::scripted::on_pump([&](std::uint64_t pump) {
        if (pump == 1) {
            const auto* w = find_by_title(texts::kTitleDialog);
            seen = w && w->visible && w->style == plat::WindowStyle::Dialog;
        }
        if (pump == 2) plat::scripted::queue_close(find_by_title(texts::kTitleDialog)->handle);
    });
    EXPECT_TRUE(start("/c"));
    EXPECT_TRUE(seen);
}

TEST_F(StartUp, PreviewEmbedsInTheParentAndTouchesNothingElse) {
    const auto parent = add_foreign_window("Display Properties", {300, 200, 452, 312});
    const std::string line = "/p " + std::to_string(static_cast<std::uintptr_t>(parent));
    EXPECT_FALSE(start(line));
    const auto* preview = find_by_title(texts::kTitlePreview);
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->parent, parent);
    EXPECT_TRUE(preview->visible);
    EXPECT_EQ(preview->rect, (plat::Rect{0, 0, 152, 112}));
    EXPECT_EQ(preview->style_bits & 0x40000000, 0x40000000);
    EXPECT_EQ(preview->style_bits & static_cast<std::int32_t>(0x80000000u), static_cast<std::int32_t>(0x80000000u));
    EXPECT_EQ(preview->picture_rect, (plat::Rect{0, 0, 152, 112}));
    EXPECT_TRUE(message_boxes().empty());  // no pack needed
    EXPECT_EQ(shell::SaverSettings.Interval, 0);
    // The parent closes: the preview goes with it and the event loop returns.
    plat::scripted::remove_foreign_window(parent);
    plat::run_event_loop();
    EXPECT_EQ(find_by_title(texts::kTitlePreview), nullptr);
}

TEST_F(StartUp, PreviewOfAWindowThatDoesNotExistEnds) {
    EXPECT_TRUE(start("/p 4242"));
    EXPECT_TRUE(plat::scripted::windows().empty());
}

// The desktop never closes: a preview inside it would cover the screen for good.
TEST_F(StartUp, PreviewInsideTheDesktopEnds) {
    const auto desktop = add_foreign_window("", {0, 0, 1024, 768});
    plat::scripted::set_desktop_window(desktop);
    EXPECT_TRUE(start("/p " + std::to_string(static_cast<std::uintptr_t>(desktop))));
    EXPECT_EQ(find_by_title(texts::kTitlePreview), nullptr);
}

// Another copy that holds the one-copy guard (started at the same instant, its window not
// made yet) ends every start but the preview silently, before the pack is touched.
TEST_F(StartUp, TheOneCopyGuardOfAnotherCopyEndsAStart) {
    for (const char* line : {"/s", "", "/c", "/x", "/a 1"}) {
        plat::scripted::reset();
        plat::scripted::set_program_folder(folder.path());
        plat::scripted::set_instance_guard_held(true);
        put_pack();
        EXPECT_TRUE(start(line)) << line;
        EXPECT_EQ(member_count(), 0) << line;
        EXPECT_TRUE(message_boxes().empty()) << line;
        EXPECT_TRUE(plat::scripted::windows().empty()) << line;
    }
    plat::scripted::reset();
    plat::scripted::set_instance_guard_held(true);
    const auto parent = add_foreign_window("Display Properties", {300, 200, 452, 312});
    EXPECT_FALSE(start("/p " + std::to_string(static_cast<std::uintptr_t>(parent))));
    EXPECT_NE(find_by_title(texts::kTitlePreview), nullptr);
}

TEST_F(StartUp, RunHidesTheCursorAndOpensTheSaverWindow) {
    put_pack();
    plat::scripted::set_screen(800, 600);
    EXPECT_FALSE(start("/s"));
    EXPECT_EQ(shell::CurrentMode, SaverMode::Run);
    EXPECT_EQ(shell::CursorShowCount, -1);
    EXPECT_EQ(plat::scripted::cursor_display_count(), -1);
    const auto* w = find_by_title(texts::kTitleSaver);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->visible);
    EXPECT_TRUE(w->topmost);
    EXPECT_EQ(w->style, plat::WindowStyle::Popup);
    EXPECT_EQ(w->rect, (plat::Rect{0, 0, 800, 600}));
    EXPECT_EQ(member_count(), 9);
}

TEST_F(StartUp, PlainLeavesTheCursorAlone) {
    put_pack();
    EXPECT_FALSE(start(""));
    EXPECT_EQ(shell::CurrentMode, SaverMode::Plain);
    EXPECT_EQ(plat::scripted::cursor_display_count(), 0);
    EXPECT_NE(find_by_title(texts::kTitleSaver), nullptr);
}

TEST_F(StartUp, PasswordChangeCallsTheSystemOffTheNtFamilyOnly) {
    put_pack();
    plat::scripted::set_password_services(1, 0);
    EXPECT_TRUE(start("/a 1234"));  // NT family: nothing
    EXPECT_TRUE(plat::scripted::password_changes().empty());
    EXPECT_EQ(member_count(), 9);  // but the pack is split and the settings read first

    const std::pair<const char*, std::uint32_t> cases[] = {{"/a 1234", 1234}, {"/a: 2.5 ", 2}, {"-A 3.5", 4}};
    for (const auto& [line, handle] : cases) {
        plat::scripted::reset();
        plat::scripted::set_program_folder(folder.path());
        plat::scripted::set_version({1, 1});
        plat::scripted::set_password_services(1, 0);
        EXPECT_TRUE(start(line)) << line;
        ASSERT_EQ(plat::scripted::password_changes().size(), 1u) << line;
        const auto& call = plat::scripted::password_changes()[0];
        EXPECT_EQ(call.provider, "SCRSAVE");
        EXPECT_EQ(call.parent, handle) << line;
        EXPECT_EQ(call.reserved1, 0u);
        EXPECT_EQ(call.reserved2, 0u);
    }
    // A text that is no number skips the call.
    for (const char* line : {"/a", "/a 12x", "/a abc"}) {
        plat::scripted::reset();
        plat::scripted::set_program_folder(folder.path());
        plat::scripted::set_version({1, 1});
        plat::scripted::set_password_services(1, 0);
        EXPECT_TRUE(start(line)) << line;
        EXPECT_TRUE(plat::scripted::password_changes().empty()) << line;
    }
}
