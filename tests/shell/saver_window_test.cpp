#include <gtest/gtest.h>

#include "common/texts.h"
#include "shell_fixture.h"

using plat::scripted::find_by_title;

class SaverWindowTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        put_pack();
    }
    const plat::scripted::WindowState* saver() const { return find_by_title(texts::kTitleSaver); }
};

TEST_F(SaverWindowTest, AnyKeyEndsARunAndRestoresTheSystem) {
    ASSERT_FALSE(start("/s"));
    plat::scripted::queue_key('A');
    EXPECT_TRUE(pump_until_end());
    EXPECT_EQ(member_count(), 0);
    EXPECT_EQ(plat::scripted::cursor_display_count(), 0);
    EXPECT_EQ(shell::CursorShowCount, 0);
    const auto calls = plat::scripted::system_parameter_calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0], std::make_pair(97u, 0u));
    EXPECT_EQ(saver(), nullptr);
}

TEST_F(SaverWindowTest, MousePressAndClickEndTheSaver) {
    ASSERT_FALSE(start("/s"));
    plat::scripted::queue_mouse_down(2, {5, 5});
    EXPECT_TRUE(pump_until_end());
    EXPECT_EQ(member_count(), 0);

    plat::scripted::reset();
    plat::scripted::set_program_folder(folder.path());
    ASSERT_FALSE(start(""));
    plat::scripted::queue_click();
    EXPECT_TRUE(pump_until_end());
    EXPECT_EQ(member_count(), 0);
}

TEST_F(SaverWindowTest, PlainEndsWithoutTouchingFlagOrCursor) {
    ASSERT_FALSE(start(""));
    EXPECT_FALSE(pump_until_end(20));  // nothing but time passes: still running
    plat::scripted::queue_key(plat::kVkLeft);
    EXPECT_TRUE(pump_until_end());
    EXPECT_TRUE(plat::scripted::system_parameter_calls().empty());
    EXPECT_EQ(plat::scripted::cursor_display_count(), 0);
    EXPECT_EQ(member_count(), 0);
}

TEST_F(SaverWindowTest, OldSystemWithoutPasswordLibraryStillEnds) {
    plat::scripted::set_version({1, 1});
    ASSERT_FALSE(start("/s"));
    plat::scripted::queue_key(' ');
    EXPECT_TRUE(pump_until_end());
    EXPECT_EQ(plat::scripted::cursor_display_count(), 0);  // shown once, not twice
}

TEST_F(SaverWindowTest, TimersFollowTheirTable) {
    ASSERT_FALSE(start("/s"));
    const auto* w = saver();
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(w->timers.count(shell::kTimer3), 1u);
    EXPECT_EQ(w->timers.at(shell::kTimer3).period_ms, 1000u);
    ASSERT_EQ(w->timers.count(shell::kTimer4), 1u);
    EXPECT_EQ(w->timers.at(shell::kTimer4).period_ms, 1u);
    EXPECT_EQ(w->timers.count(shell::kTimer1), 0u);
    EXPECT_EQ(w->timers.count(shell::kTimer2), 0u);
    // With no engine to start, Timer4 stops after its first tick; Timer3 keeps running.
    EXPECT_FALSE(pump_until_end(5));
    EXPECT_EQ(saver()->timers.count(shell::kTimer4), 0u);
    EXPECT_EQ(saver()->timers.count(shell::kTimer3), 1u);
}

TEST_F(SaverWindowTest, ScreenSizeInPixelsAtAnyResolution) {
    plat::scripted::set_screen(1600, 900, 12, 12);
    ASSERT_FALSE(start("/s"));
    const shell::SaverWindow* w = shell::TheSaverWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->ScreenWidthPx, 1600);
    EXPECT_EQ(w->ScreenHeightPx, 900);
    ASSERT_NE(w->Display, nullptr);
    // Black over the whole screen before the first frame, from a single black pixel.
    EXPECT_EQ(saver()->picture, w->Display.get());
    EXPECT_EQ(saver()->picture_rect, (plat::Rect{0, 0, 1600, 900}));
    EXPECT_EQ(w->Display->width(), 1);
    EXPECT_EQ(w->Display->surface().pixels[0], 0u);
}

TEST_F(SaverWindowTest, HooksRunInOrderAndAKeyHookCanKeepTheSaverRunning) {
    std::vector<std::string> log;
    shell::SaverWindowHooks hooks;
    hooks.shuffle = [&](shell::SaverWindow&) { log.push_back("shuffle"); };
    hooks.start_music = [&](shell::SaverWindow& w) {
        log.push_back("music");
        shell::StartTimer(w, shell::kTimer2);
    };
    hooks.timer = [&](shell::SaverWindow& w, int id) {
        if (id == shell::kTimer4) {
            log.push_back("engine");
            shell::StopTimer(w, shell::kTimer4);
        }
    };
    hooks.key = [&](shell::SaverWindow&, int key) { return key == plat::kVkLeft || key == plat::kVkRight; };
    hooks.stop_music = [&](shell::SaverWindow& w) {
        log.push_back(w.timer_running[shell::kTimer2] ? "stop cd" : "stop");
    };
    shell::SetSaverWindowHooks(hooks);
    ASSERT_FALSE(start("/s"));
    plat::scripted::queue_key(plat::kVkLeft);
    plat::scripted::queue_key(plat::kVkRight);
    EXPECT_FALSE(pump_until_end(5));
    plat::scripted::queue_key('Q');
    EXPECT_TRUE(pump_until_end());
    EXPECT_EQ(log, (std::vector<std::string>{"shuffle", "music", "engine", "stop cd"}));
}

TEST_F(SaverWindowTest, SystemClosingTheWindowStillDeletesTheMembers) {
    ASSERT_FALSE(start("/s"));
    plat::scripted::queue_close(saver()->handle);
    EXPECT_FALSE(pump_until_end(3));
    EXPECT_EQ(saver(), nullptr);
    EXPECT_EQ(member_count(), 0);
    EXPECT_TRUE(plat::scripted::system_parameter_calls().empty());
    plat::run_event_loop();  // returns: no window left
}

TEST_F(SaverWindowTest, RefusedPasswordKeepsTheSaverRunningWithTheCursorHidden) {
    plat::scripted::set_version({1, 1});  // Windows 95/98/Me
    plat::scripted::set_password_services(0, 1);
    ASSERT_FALSE(start("/s"));
    plat::scripted::queue_key('A');
    EXPECT_FALSE(pump_until_end(5));
    EXPECT_EQ(plat::scripted::password_verify_count(), 1);
    EXPECT_EQ(plat::scripted::cursor_display_count(), -1);
    EXPECT_EQ(shell::CursorShowCount, -1);
    EXPECT_EQ(member_count(), 9);
    // The right password: the saver ends, the cursor is shown once.
    plat::scripted::set_password_services(1, 1);
    plat::scripted::queue_mouse_down(1, {0, 0});
    EXPECT_TRUE(pump_until_end());
    EXPECT_EQ(plat::scripted::password_verify_count(), 2);
    EXPECT_EQ(plat::scripted::cursor_display_count(), 0);
    EXPECT_EQ(member_count(), 0);
}

TEST_F(SaverWindowTest, NoPasswordOnTheNtFamilyNorInPlainMode) {
    plat::scripted::set_password_services(0, 1);
    ASSERT_FALSE(start("/s"));  // NT family
    plat::scripted::queue_key('A');
    EXPECT_TRUE(pump_until_end());
    EXPECT_EQ(plat::scripted::password_verify_count(), 0);

    plat::scripted::reset();
    plat::scripted::set_program_folder(folder.path());
    plat::scripted::set_version({1, 1});
    plat::scripted::set_password_services(0, 1);
    ASSERT_FALSE(start(""));
    plat::scripted::queue_key('A');
    EXPECT_TRUE(pump_until_end());
    EXPECT_EQ(plat::scripted::password_verify_count(), 0);
}

// Every monitor but the primary gets a black topmost window beneath the saver window (a
// monitor that overlaps the primary one must not hide the saver); input there ends the saver
// too, and the saver window itself stays on the primary screen.
TEST_F(SaverWindowTest, OtherMonitorsGetBlackWindowsThatEndTheSaverToo) {
    plat::scripted::set_other_monitors({{1024, 0, 2304, 1024}, {-800, 0, 0, 600}});
    ASSERT_FALSE(start("/s"));
    std::vector<const plat::scripted::WindowState*> covers;
    for (const auto* w : plat::scripted::windows())
        if (w->title.empty()) covers.push_back(w);
    ASSERT_EQ(covers.size(), 2u);
    EXPECT_EQ(covers[0]->rect, (plat::Rect{1024, 0, 2304, 1024}));
    EXPECT_EQ(covers[1]->rect, (plat::Rect{-800, 0, 0, 600}));
    for (const auto* c : covers) {
        EXPECT_TRUE(c->visible && c->topmost);
        EXPECT_LT(c->topmost_rank, saver()->topmost_rank);
        ASSERT_NE(c->picture, nullptr);
        EXPECT_EQ(c->picture->surface().row(5)[5] & 0xFFFFFF, 0u);
    }
    EXPECT_EQ(saver()->rect, (plat::Rect{0, 0, 1024, 768}));
    plat::scripted::queue_mouse_down(1, {5, 5}, covers[1]->handle);
    EXPECT_TRUE(pump_until_end());
    EXPECT_EQ(member_count(), 0);
}
