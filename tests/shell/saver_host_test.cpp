// The engine hosted in a window of the scripted back end, as the saver window hosts it.
#include "shell/saver_host.h"

#include <gtest/gtest.h>

#include "engine_support.h"
#include "platform/scripted/control.h"
#include "platform/scripted/world.h"
#include "platform/timer.h"

namespace {

namespace scripted = plat::scripted;

TEST(SaverHost, RunsFramesBetweenEventsAndChangesOnTimerTicks) {
    scripted::reset();
    engine_test::TempFolder folder("host");
    for (int n = 1; n <= 9; ++n) folder.WriteMember(n, engine_test::RandomShape(20 + n, 50, static_cast<unsigned>(n)));
    engine::EngineSettings settings;
    settings.Interval = 1;
    plat::WindowHandle window{};
    std::unique_ptr<shell::SaverHost> host;
    int changes = 0;
    plat::WindowHandlers handlers;
    handlers.timer = [&](int id) {
        if (id == 3 && host->ChangeTick().Began) ++changes;
    };
    handlers.unload = [&] { host->Stop(); };
    window = plat::create_window(plat::WindowDesc{"Zephlora_Main", plat::WindowStyle::Popup, {0, 0, 320, 240}},
                                 handlers);
    host = std::make_unique<shell::SaverHost>(folder.path(), settings, [&](const plat::Bitmap& frame) {
        plat::present(window, frame, 0, 0, frame.width(), frame.height());
    });
    host->Shuffle();
    plat::set_timer(window, 3, 1000);
    // One millisecond of the virtual clock a pump; close the window after five seconds.
    scripted::on_pump([&](std::uint64_t pump) {
        if (pump == 5000) scripted::queue_close(window);
    });
    EXPECT_TRUE(host->RunEngine(320, 240));  // returns once the window has closed
    const scripted::WindowState* w = scripted::window(window);
    EXPECT_EQ(w, nullptr);
    EXPECT_GE(changes, 1);
    EXPECT_GT(scripted::pump_count(), 4000u);
    EXPECT_EQ(host->engine().phase() == engine::Phase::NotStarted, false);
}

TEST(SaverHost, AtDisplayScaleTwoTheEngineComposesHalfTheScreenAndTheWholeScreenIsShown) {
    scripted::reset();
    scripted::world().scale = 2;
    engine_test::TempFolder folder("host_scaled");
    for (int n = 1; n <= 9; ++n) folder.WriteMember(n, engine_test::RandomShape(40, 50, static_cast<unsigned>(n)));
    std::unique_ptr<shell::SaverHost> host;
    int frames = 0, partial = 0, outside = 0;
    host = std::make_unique<shell::SaverHost>(folder.path(), engine::EngineSettings{}, [&](const plat::Bitmap& frame) {
        if (++frames == 20) host->Stop();
        // A screen that 2 does not divide: the engine takes 160 x 120 of it.
        EXPECT_EQ(frame.width(), 321);
        EXPECT_EQ(frame.height(), 241);
        if (host->ShownAll()) return;
        // The changed rectangles lie on the engine's part of the screen.
        ++partial;
        for (const plat::Rect& r : host->ShownRects())
            outside += r.left < 0 || r.top < 0 || r.right > 320 || r.bottom > 240;
    });
    host->Shuffle();
    EXPECT_TRUE(host->RunEngine(321, 241));
    EXPECT_EQ(host->scale(), 2);
    EXPECT_EQ(host->engine().Width, 160);
    EXPECT_EQ(host->engine().Height, 120);
    EXPECT_EQ(frames, 20);
    EXPECT_EQ(partial, 19);  // all of the first frame, then what changed
    EXPECT_EQ(outside, 0);
    scripted::reset();
}

TEST(SaverHost, AnUnreadableFirstShapeIsReportedInAMessageBox) {
    scripted::reset();
    engine_test::TempFolder folder("host_missing");
    shell::SaverHost host(folder.path(), engine::EngineSettings{}, [](const plat::Bitmap&) {});
    host.Shuffle();
    EXPECT_FALSE(host.RunEngine(320, 240));
    ASSERT_EQ(scripted::message_boxes().size(), 1u);
    EXPECT_NE(scripted::message_boxes()[0].text.find("Zephlora002.zpk"), std::string::npos);
}

TEST(SaverHost, TheFatalReportNamesTheMemberInAMessageBox) {
    engine_test::TempFolder folder("nofirst");
    folder.WriteText("Zephlora002.zpk", engine_test::MemberText({{1, 1, 1, 0}}).substr(0, 40));
    engine_test::Harness h(folder.path());
    std::string error;
    ASSERT_FALSE(h.engine->Start(320, 240, error));
    // The host's report: a message box (and standard error) naming the member.
    scripted::reset();
    shell::ReportFatal(error);
    ASSERT_EQ(scripted::message_boxes().size(), 1u);
    EXPECT_NE(scripted::message_boxes()[0].text.find("Zephlora002.zpk"), std::string::npos);
    EXPECT_EQ(scripted::message_boxes()[0].title, "Zephlora");
}

}  // namespace
