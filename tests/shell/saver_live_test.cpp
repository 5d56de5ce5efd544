// The saver window with the engine and the music plugged in, on the scripted machine: the
// frame loop that Timer4 starts, input between frames, the CD keys, the first shape that
// cannot be read.
#include <gtest/gtest.h>

#include "common/texts.h"
#include "platform/scripted/media_control.h"
#include "shell/saver_live.h"
#include "shell_fixture.h"

namespace scripted = plat::scripted;

namespace {

class SaverLiveTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        scripted::media::reset();
        shell::SetSaverWindowHooks(shell::LiveSaverHooks());
        scripted::set_screen(320, 240);
        scripted::set_pump_budget(20000);  // a loop that would run for ever comes back
        std::filesystem::copy_file(std::string(ZEPHLORA_SOURCE_DIR) + "/assets/Zephlora.zpk",
                                   folder.file("Zephlora.zpk"));
    }
    void TearDown() override { shell::SetSaverWindowHooks({}); }
    std::string write_settings(std::string_view extra) {
        std::string text = "[Section]\r\nSleep=1\r\n";
        text += extra;
        testing_support::write_bytes(folder.file("Zephlora.ini"), text);
        return text;
    }
    const scripted::WindowState* saver() const { return scripted::find_by_title(texts::kTitleSaver); }
};

TEST_F(SaverLiveTest, FramesRunBetweenEventsUntilAKeyEndsTheSaver) {
    const std::string settings = write_settings("");
    int presents = -1;
    bool timer3 = false, timer4 = true, visible = false;
    scripted::on_pump([&](std::uint64_t pump) {
        if (pump != 1500) return;
        const scripted::WindowState* w = saver();
        ASSERT_NE(w, nullptr);
        presents = w->present_count;
        timer3 = w->timers.count(shell::kTimer3) > 0;
        timer4 = w->timers.count(shell::kTimer4) > 0;
        visible = w->visible && w->topmost;
        scripted::queue_key('A');
    });
    ASSERT_FALSE(start("/s"));
    EXPECT_TRUE(pump_until_end(5));  // the first pump starts the frame loop, which ends the run
    // Each frame is one present and one pump: the frames came from the loop, Timer4 ticked
    // once, Timer3 kept counting.
    EXPECT_GT(presents, 500);
    EXPECT_TRUE(timer3);
    EXPECT_FALSE(timer4);
    EXPECT_TRUE(visible);
    EXPECT_LT(scripted::pump_count(), 1600u);
    EXPECT_EQ(member_count(), 0);
    EXPECT_EQ(testing_support::read_bytes(folder.file("Zephlora.ini")), settings);
    EXPECT_TRUE(scripted::message_boxes().empty());
}

TEST_F(SaverLiveTest, WithTheAudioCdTheArrowKeysKeepTheSaverRunning) {
    scripted::media::set_cd_drive(true);
    scripted::media::insert_disc(6);
    write_settings(std::string(texts::kKeyBgmKind) + "=1\r\n");
    bool running_after_arrows = false, cd_timer = false;
    scripted::on_pump([&](std::uint64_t pump) {
        if (pump == 100) scripted::queue_key(plat::kVkLeft);
        if (pump == 200) scripted::queue_key(plat::kVkRight);
        if (pump == 900) {
            running_after_arrows = saver() != nullptr;
            cd_timer = running_after_arrows && saver()->timers.count(shell::kTimer2) > 0;
            scripted::queue_key(plat::kVkLeft + 1);  // up arrow: any other key ends it
        }
    });
    ASSERT_FALSE(start(""));
    EXPECT_EQ(shell::SaverSettings.BgmKind, 1);
    EXPECT_TRUE(pump_until_end(5));
    EXPECT_TRUE(running_after_arrows);
    EXPECT_TRUE(cd_timer);
    EXPECT_LT(scripted::pump_count(), 1000u);
    EXPECT_EQ(member_count(), 0);
}

TEST_F(SaverLiveTest, AnUnreadableFirstShapeIsReportedWithTheWindowOutOfItsWay) {
    put_pack();  // members of random bytes: no shape can be read
    write_settings("");
    ASSERT_FALSE(start("/s"));
    const plat::WindowHandle handle = saver()->handle;
    bool visible_at_report = true;
    scripted::on_pump([&](std::uint64_t) {
        if (const scripted::WindowState* w = scripted::window(handle); w && !scripted::message_boxes().empty())
            visible_at_report = w->visible;
    });
    EXPECT_TRUE(pump_until_end(5));
    ASSERT_EQ(scripted::message_boxes().size(), 1u);
    EXPECT_NE(scripted::message_boxes()[0].text.find("cannot start"), std::string::npos);
    EXPECT_FALSE(visible_at_report);
    EXPECT_EQ(member_count(), 0);
}

}  // namespace
