// The running saver as a user sees it, on both back ends: the Linux executable and
// Zephlora.scr under Wine, each in the virtual X server. Screenshots of the root window are
// compared with what the headless frame recorder composes for the same screen size.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <set>

#include "black_box.h"
#include "common/texts.h"
#include "engine/sprite_sheet.h"
#include "own_window.h"

using black_box::Child;
using black_box::CursorVisible;
using black_box::OwnWindow;
using testing_support::exists;
using testing_support::read_bytes;

namespace {

const std::string kSourceDir = ZEPHLORA_SOURCE_DIR;
const std::string kWin32Dir = ZEPHLORA_WIN32_DIR_PATH;
const std::string kLinuxExe = ZEPHLORA_LINUX_EXE;
const std::string kRecorder = ZEPHLORA_RECORDER_EXE;

enum class Build { Linux, Wine };

std::string BuildName(const testing::TestParamInfo<Build>& info) {
    return info.param == Build::Linux ? "Linux" : "Wine";
}

// A screenshot (or a recorded frame) as 8-bit RGB.
struct Image {
    int width = 0, height = 0;
    std::string rgb;
    const unsigned char* at(int x, int y) const {
        return reinterpret_cast<const unsigned char*>(rgb.data()) + (static_cast<std::size_t>(y) * width + x) * 3;
    }
    bool valid() const { return width > 0 && rgb.size() == static_cast<std::size_t>(width) * height * 3; }
};

std::pair<int, int> ScreenSize() {
    const std::string s = black_box::run({"xdotool", "getdisplaygeometry"});
    int w = 0, h = 0;
    std::sscanf(s.c_str(), "%d %d", &w, &h);
    return {w, h};
}

Image ReadRgb(const std::string& path, int width, int height) {
    Image image{width, height, read_bytes(path)};
    return image;
}

Image Screenshot(const std::string& scratch) {
    const auto [w, h] = ScreenSize();
    const std::string path = scratch + "/shot.rgb";
    black_box::run({"import", "-silent", "-window", "root", "-depth", "8", "rgb:" + path}, 30);
    return ReadRgb(path, w, h);
}

class LiveTest : public testing::TestWithParam<Build> {
protected:
    void SetUp() override {
        if (black_box::env("DISPLAY").empty()) GTEST_SKIP() << "no X server (DISPLAY is empty)";
        if (wine()) {
            if (kWin32Dir.empty() || !exists(kWin32Dir + "/Zephlora.scr")) GTEST_SKIP() << "no MinGW build";
            std::filesystem::copy_file(kWin32Dir + "/Zephlora.scr", folder.file("Zephlora.scr"));
        } else {
            std::filesystem::copy_file(kLinuxExe, folder.file("zephlora"));
        }
        // The shipped pack: its members are real shapes, so the engine runs.
        std::filesystem::copy_file(kSourceDir + "/assets/Zephlora.zpk", folder.file("Zephlora.zpk"));
        black_box::run({"xdotool", "mousemove", "5", "5"});
    }
    void TearDown() override {
        if (wine()) black_box::run({"bash", "-c", ". '" + kSourceDir + "/scripts/wine-env.sh'; wineserver -w"}, 30);
    }
    bool wine() const { return GetParam() == Build::Wine; }

    std::vector<std::string> saver(std::vector<std::string> args) {
        std::vector<std::string> argv;
        if (wine()) argv = {kSourceDir + "/scripts/wine-run.sh", folder.file("Zephlora.scr")};
        else argv = {folder.file("zephlora")};
        argv.insert(argv.end(), args.begin(), args.end());
        return argv;
    }
    double patience() const { return wine() ? 90 : 30; }

    // The settings file of the run; the saver must leave it as it is.
    std::string write_settings(int sleep_ms) {
        const std::string text = "[Section]\r\nSleep=" + std::to_string(sleep_ms) + "\r\n";
        testing_support::write_bytes(folder.file("Zephlora.ini"), text);
        return text;
    }
    int members() const {
        int n = 0;
        black_box::joined_members(folder, &n);
        return n;
    }

    // Starts a full-screen run and waits until its window is up and viewable.
    std::optional<std::string> start_run(Child& child) {
        const auto window = black_box::wait_for_window(texts::kTitleSaver.data(), patience());
        if (!window || !black_box::wait_viewable(*window, 20)) return std::nullopt;
        (void)child;
        return window;
    }

    testing_support::TempFolder folder;
    testing_support::TempFolder scratch;
};

TEST_P(LiveTest, RunCoversTheScreenAndEndsOnAKeyButNotOnMouseMoves) {
    const std::string settings = write_settings(1);
    Child run(saver({"/s"}));
    const auto window = start_run(run);
    ASSERT_TRUE(window) << run.errors();
    EXPECT_EQ(members(), 9);
    const auto [sw, sh] = ScreenSize();
    const std::string geometry = black_box::run({"xwininfo", "-id", *window});
    EXPECT_NE(geometry.find("Absolute upper-left X:  0\n"), std::string::npos) << geometry;
    EXPECT_NE(geometry.find("Absolute upper-left Y:  0\n"), std::string::npos) << geometry;
    EXPECT_NE(geometry.find("Width: " + std::to_string(sw) + "\n"), std::string::npos) << geometry;
    EXPECT_NE(geometry.find("Height: " + std::to_string(sh) + "\n"), std::string::npos) << geometry;

    // The mouse wanders far and wide: the saver goes on.
    for (const char* to : {"100 100", "900 700", "3 1000", "640 512"}) {
        std::string x(to), y = x.substr(x.find(' ') + 1);
        x = x.substr(0, x.find(' '));
        black_box::run({"xdotool", "mousemove", x, y});
        EXPECT_FALSE(run.wait(0.4)) << "a mouse move ended the saver";
    }
    EXPECT_FALSE(CursorVisible()) << "the cursor shows over the running saver";
    EXPECT_EQ(black_box::key_until_end(run, "Escape"), 0);
    EXPECT_EQ(members(), 0);
    EXPECT_EQ(read_bytes(folder.file("Zephlora.ini")), settings);
}

TEST_P(LiveTest, AMousePressEndsTheRunAndLeavesTheSettingsAlone) {
    const std::string settings = write_settings(0);
    Child run(saver({"/s"}));
    ASSERT_TRUE(start_run(run)) << run.errors();
    EXPECT_FALSE(run.wait(1.0));
    EXPECT_EQ(black_box::click_until_end(run), 0);
    EXPECT_EQ(members(), 0);
    EXPECT_EQ(read_bytes(folder.file("Zephlora.ini")), settings);
}

// The window shows what the engine composed: picture 0 centred exactly where the recorder
// puts it, and green dots over it. The recorder draws with an invisible sprite sheet (black
// discs under an all-white mask), so its frame is the background alone; every pixel of the
// screenshot is then either that background or a dot, which can only take red and blue away.
TEST_P(LiveTest, TheScreenShowsGreenDotsOverPictureZeroWhereTheRecorderPutsIt) {
    const auto [sw, sh] = ScreenSize();
    const std::string pictures = scratch.file("pictures");
    std::filesystem::create_directory(pictures);
    for (int i = 0; i < 10; ++i) {
        const std::string name = "background" + std::to_string(i) + ".png";
        std::filesystem::copy_file(kSourceDir + "/assets/pictures/" + name, pictures + "/" + name);
    }
    black_box::run({"convert", "-size", "40x16", "xc:black", "-fill", "white", "-draw", "rectangle 0,8 7,15",
                    "PNG24:" + pictures + "/sprites.png"});
    ASSERT_TRUE(exists(pictures + "/sprites.png"));
    const std::string out = scratch.file("frames");
    std::filesystem::create_directory(out);
    Child recorder({kRecorder, "--folder", folder.path(), "--size", std::to_string(sw) + "x" + std::to_string(sh),
                    "--frames", "1", "--every", "1", "--out", out, "--pictures", pictures});
    ASSERT_EQ(recorder.wait(120), 0) << recorder.errors();
    std::string frame_png;
    for (const auto& entry : std::filesystem::directory_iterator(out))
        if (entry.path().extension() == ".png") frame_png = entry.path().string();
    ASSERT_FALSE(frame_png.empty());
    black_box::run({"convert", frame_png, "-depth", "8", "rgb:" + scratch.file("frame.rgb")});
    const Image background = ReadRgb(scratch.file("frame.rgb"), sw, sh);
    ASSERT_TRUE(background.valid());

    // Each pixel of a screenshot against the recorder's frame.
    struct Counts {
        long picture = 0, same = 0, dots = 0, foreign = 0;
        int left = 0, top = 0, right = -1, bottom = -1;
    };
    const auto count = [&background, width = sw, height = sh](const Image& shot) {
        Counts c;
        c.left = width, c.top = height;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const unsigned char* b = background.at(x, y);
                const unsigned char* s = shot.at(x, y);
                const bool in_picture = b[0] | b[1] | b[2];
                if (in_picture) {
                    ++c.picture;
                    c.left = std::min(c.left, x), c.right = std::max(c.right, x);
                    c.top = std::min(c.top, y), c.bottom = std::max(c.bottom, y);
                }
                if (s[0] == b[0] && s[1] == b[1] && s[2] == b[2]) {
                    if (in_picture) ++c.same;
                } else if ((s[0] & ~b[0]) == 0 && (s[2] & ~b[2]) == 0) {
                    // A dot: the mask ANDs the background, the green sprite ORs in, so red and
                    // blue keep no bit the background lacked.
                    if (s[1] > s[0] && s[1] > s[2]) ++c.dots;
                } else {
                    ++c.foreign;
                }
            }
        return c;
    };

    write_settings(1);
    Child run(saver({"/s"}));
    ASSERT_TRUE(start_run(run)) << run.errors();
    // The first frames: screenshots until one shows the picture and dots over it (or the
    // saver ended, which the check below reports).
    Image shot;
    Counts counts;
    black_box::wait_until([&] {
        if (run.wait(0)) return true;
        shot = Screenshot(scratch.path());
        if (!shot.valid()) return false;
        counts = count(shot);
        return counts.same > counts.picture * 7 / 10 && counts.dots > 200;
    }, patience(), 200);
    EXPECT_FALSE(run.wait(0.1)) << "the saver ended by itself";
    ASSERT_TRUE(shot.valid());

    const auto [picture, same, dots, foreign, left, top, right, bottom] = counts;
    // Picture 0 is centred on the screen in the recorder's frame...
    ASSERT_GT(picture, 10000);
    EXPECT_LE(std::abs((left + right) - (sw - 1)), 1) << left << ".." << right;
    EXPECT_LE(std::abs((top + bottom) - (sh - 1)), 1) << top << ".." << bottom;
    // ...and the screen shows it at the same place, pixel for pixel where no dot lies on it.
    EXPECT_GT(same, picture * 7 / 10) << "of " << picture;
    EXPECT_GT(dots, 200) << "no green dots";
    // A frame shows at most the 64 pixels of each of its dots (626 in the largest shape);
    // more are traces of earlier frames left on the screen.
    EXPECT_LT(dots, 626L * 64) << "traces of earlier frames";
    EXPECT_LT(foreign, static_cast<long>(sw) * sh / 1000) << "pixels that are neither background nor dot";
    EXPECT_EQ(black_box::click_until_end(run), 0);
}

TEST_P(LiveTest, PlainRunKeepsTheCursorAndEndsOnTheFirstKey) {
    const std::string settings = write_settings(1);
    Child run(saver({}));
    ASSERT_TRUE(start_run(run)) << run.errors();
    EXPECT_FALSE(run.wait(1.0));
    black_box::run({"xdotool", "mousemove", "300", "300"});
    EXPECT_TRUE(CursorVisible()) << "the cursor went in a plain run";
    EXPECT_EQ(black_box::key_until_end(run, "a", 1), 0) << "the first key did not end it";
    EXPECT_EQ(members(), 0);
    EXPECT_EQ(read_bytes(folder.file("Zephlora.ini")), settings);
}

TEST_P(LiveTest, WhileTheSaverRunsEverySecondStartEndsAtOnce) {
    write_settings(1);
    Child run(saver({"/s"}));
    ASSERT_TRUE(start_run(run)) << run.errors();
    OwnWindow parent(200, 150);
    for (std::vector<std::string> line : {std::vector<std::string>{"/s"}, std::vector<std::string>{},
                                          std::vector<std::string>{"/c"}, std::vector<std::string>{"/p", parent.id()}}) {
        Child second(saver(line));
        EXPECT_EQ(second.wait(patience()), 0) << (line.empty() ? "(empty)" : line[0]);
        EXPECT_FALSE(black_box::find_window("Preview Window"));
        EXPECT_FALSE(run.wait(0.1)) << "the first saver ended";
    }
    EXPECT_EQ(members(), 9);
    EXPECT_EQ(black_box::click_until_end(run), 0);
}

// Under Wine the parent is a window of the Windows probe, which reports its children.
TEST_P(LiveTest, PreviewFillsTheTestsWindowAndEndsWithIt) {
    if (wine()) {
        Child parent({kSourceDir + "/scripts/wine-run.sh", kWin32Dir + "/win_probe.exe", "host",
                      black_box::hex("Display Properties"), "12"});
        ASSERT_TRUE(parent.wait_for_output("ready", patience()));
        std::string ready = parent.output();
        ready = ready.substr(ready.find("ready ") + 6);
        const std::string handle = ready.substr(0, ready.find_first_of("\r\n"));
        Child preview(saver({"/p", handle}));
        const std::string placed = "placed " + black_box::hex(texts::kTitlePreview) + " 0 0 ";
        ASSERT_TRUE(parent.wait_for_output(placed, 60)) << parent.output();
        // The last report: the preview at (0, 0), visible, at least as large as the client.
        const std::string out = parent.output();
        const std::size_t at = out.rfind(placed);
        const std::size_t client_at = out.rfind("client ", at);
        ASSERT_NE(client_at, std::string::npos) << out;
        int cw = 0, ch = 0, pw = 0, ph = 0, visible = 0;
        std::sscanf(out.c_str() + client_at, "client %d %d", &cw, &ch);
        std::sscanf(out.c_str() + at + placed.size(), "%d %d visible %d", &pw, &ph, &visible);
        EXPECT_GT(cw, 0);
        EXPECT_GE(pw, cw) << out;
        EXPECT_GE(ph, ch) << out;
        EXPECT_EQ(visible, 1) << out;
        EXPECT_FALSE(preview.wait(0.5)) << "the preview ended while its parent was open";
        EXPECT_EQ(parent.wait(60), 0);
        EXPECT_EQ(preview.wait(30), 0) << "the preview outlived its parent";
        return;
    }
    OwnWindow parent(230, 170);
    Child preview(saver({"/p", parent.id()}));
    const auto window = black_box::wait_for_window("Preview Window", patience());
    ASSERT_TRUE(window) << preview.errors();
    ASSERT_TRUE(black_box::wait_viewable(*window, 20));
    const std::string info = black_box::run({"xwininfo", "-id", *window});
    EXPECT_NE(info.find("Relative upper-left X:  0\n"), std::string::npos) << info;
    EXPECT_NE(info.find("Relative upper-left Y:  0\n"), std::string::npos) << info;
    EXPECT_NE(info.find("Width: 230\n"), std::string::npos) << info;
    EXPECT_NE(info.find("Height: 170\n"), std::string::npos) << info;
    // The picture is there: the middle of the window is not the parent's white (screenshots
    // until it shows).
    Image shot;
    long white = 0;
    black_box::wait_until([&] {
        shot = Screenshot(scratch.path());
        if (!shot.valid()) return false;
        white = 0;
        for (int y = 41; y < 40 + 170; ++y)
            for (int x = 41; x < 40 + 230; ++x) {
                const unsigned char* p = shot.at(x, y);
                if (p[0] == 255 && p[1] == 255 && p[2] == 255) ++white;
            }
        return white < 230 * 170 / 10;
    }, patience(), 200);
    ASSERT_TRUE(shot.valid());
    EXPECT_LT(white, 230 * 170 / 10);
    EXPECT_FALSE(preview.wait(1.0)) << "the preview ended while its parent was open";
    EXPECT_EQ(members(), 0);
    parent.destroy();
    EXPECT_EQ(preview.wait(20), 0) << "the preview outlived its parent";
}

// A first shape that cannot be read: the engine's report must be seen, so the saver window
// steps aside from over it; once the report is answered the saver ends and cleans up.
TEST_P(LiveTest, AnUnreadableFirstShapeIsReportedInFrontOfTheScreen) {
    testing_support::write_bytes(folder.file("Zephlora.zpk"), testing_support::make_pack());
    Child run(saver({"/s"}));
    const auto saver_window = black_box::wait_for_window(texts::kTitleSaver.data(), patience());
    ASSERT_TRUE(saver_window);
    const auto box = black_box::wait_for_window("Zephlora", patience());
    ASSERT_TRUE(box) << "no report";
    // The saver window steps aside once the report is up.
    const auto viewable = [](const std::string& id) {
        return black_box::run({"xwininfo", "-id", id}).find("IsViewable") != std::string::npos;
    };
    black_box::wait_until([&] { return !viewable(*saver_window) && viewable(*box); }, 30, 100);
    EXPECT_EQ(black_box::run({"xwininfo", "-id", *saver_window}).find("IsViewable"), std::string::npos)
        << "the saver window covers the report";
    EXPECT_NE(black_box::run({"xwininfo", "-id", *box}).find("IsViewable"), std::string::npos);
    EXPECT_FALSE(run.wait(0.5)) << "it waits for the report to be answered";
    if (!wine()) return;  // SDL's box is answered like any other window; its end is the same
    Child answer({kSourceDir + "/scripts/wine-run.sh", kWin32Dir + "/win_probe.exe", "msgbox",
                  black_box::hex(texts::kMessageTitle), "30"});
    ASSERT_TRUE(answer.wait(60));
    EXPECT_EQ(run.wait(30), 0);
    EXPECT_EQ(members(), 0);
}

TEST_P(LiveTest, PreviewOfAnIdThatNamesNoWindowEndsAtOnce) {
    Child preview(saver({"/p", "4294967"}));
    EXPECT_EQ(preview.wait(patience()), 0);
    EXPECT_FALSE(black_box::find_window("Preview Window"));
}

// A virtual X server of the test's own with one screen of `size` (WxHxD). While it lives the
// test process's DISPLAY names it, so the saver, the window search and the screenshots use it.
class OwnScreen {
public:
    explicit OwnScreen(const std::string& size) : shared_(black_box::env("DISPLAY")) {
        server_ = std::make_unique<Child>(
            std::vector<std::string>{"Xvfb", "-displayfd", "1", "-nolisten", "tcp", "-screen", "0", size});
        if (!server_->wait_for_output("\n", 20)) return;
        const std::string out = server_->output();
        display_ = ":" + out.substr(0, out.find('\n'));
        ::setenv("DISPLAY", display_.c_str(), 1);
    }
    ~OwnScreen() {
        if (shared_.empty()) ::unsetenv("DISPLAY");
        else ::setenv("DISPLAY", shared_.c_str(), 1);
        server_->kill();
    }
    OwnScreen(const OwnScreen&) = delete;
    OwnScreen& operator=(const OwnScreen&) = delete;
    const std::string& display() const { return display_; }
    std::string errors() const { return server_->errors(); }

private:
    std::string shared_, display_;
    std::unique_ptr<Child> server_;
};

// The display scale 2 on a 3840 x 2160 screen (GDK_SCALE=2 for the Linux build, 192 dpi for
// Wine): the engine's screen is 1920 x 1080 and everything on it is shown twice as large.
// The cloud neither turns nor changes shape, so its extent stays that of its first frame
// (only its place drifts), which the recorder composes at scale 1.
TEST_P(LiveTest, AtDisplayScaleTwoTheCloudItsDotsAndThePictureAreTwiceAsLarge) {
    constexpr int kW = 1920, kH = 1080, kScale = 2;
    const std::string settings = "[Section]\r\n" + std::string(texts::kKeyInterval) + "=30\r\nSleep=1\r\n" +
                                 std::string(texts::kKeyXAxis) + "=0\r\n" + std::string(texts::kKeyYAxis) +
                                 "=0\r\n" + std::string(texts::kKeyZAxis) + "=0\r\n";
    testing_support::write_bytes(folder.file("Zephlora.ini"), settings);

    // Scale 1: the first frame as shipped, and the picture alone (a sheet whose mask keeps
    // everything and whose discs are black).
    const auto record = [&](const std::string& name, const std::vector<std::string>& extra) {
        const std::string out = scratch.file(name);
        std::filesystem::create_directory(out);
        std::vector<std::string> argv{kRecorder, "--folder", folder.path(), "--size",
                                      std::to_string(kW) + "x" + std::to_string(kH), "--frames", "1",
                                      "--every", "1", "--out", out};
        argv.insert(argv.end(), extra.begin(), extra.end());
        Child recorder(argv);
        EXPECT_EQ(recorder.wait(120), 0) << recorder.errors();
        std::string png;
        for (const auto& entry : std::filesystem::directory_iterator(out))
            if (entry.path().extension() == ".png") png = entry.path().string();
        black_box::run({"convert", png, "-depth", "8", "rgb:" + out + ".rgb"});
        return ReadRgb(out + ".rgb", kW, kH);
    };
    const std::string pictures = scratch.file("pictures");
    std::filesystem::create_directory(pictures);
    for (int i = 0; i < 10; ++i) {
        const std::string name = "background" + std::to_string(i) + ".png";
        std::filesystem::copy_file(kSourceDir + "/assets/pictures/" + name, pictures + "/" + name);
    }
    black_box::run({"convert", "-size", "40x16", "xc:black", "-fill", "white", "-draw", "rectangle 0,8 7,15",
                    "PNG24:" + pictures + "/sprites.png"});
    const Image first = record("first", {});
    const Image alone = record("alone", {"--pictures", pictures});
    ASSERT_TRUE(first.valid() && alone.valid());
    const auto differs = [](const unsigned char* a, const unsigned char* b, int by) {
        return std::abs(a[0] - b[0]) > by || std::abs(a[1] - b[1]) > by || std::abs(a[2] - b[2]) > by;
    };
    long dots1 = 0;
    int left1 = kW, top1 = kH, right1 = -1, bottom1 = -1;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            if (differs(first.at(x, y), alone.at(x, y), 0)) {
                ++dots1;
                left1 = std::min(left1, x), right1 = std::max(right1, x);
                top1 = std::min(top1, y), bottom1 = std::max(bottom1, y);
            }
    ASSERT_GT(dots1, 1000);
    // The green values of the 8 x 8 discs: an enlarged disc shows no others.
    std::set<int> greens1;
    for (int band = 0; band < 5; ++band)
        for (int i = 0; i < 64; ++i) greens1.insert(engine::DiscGreen(band, i % 8, i / 8));

    // Picture 0 twice as large, smoothly, where scale 1 centres it, scaled.
    const int picture_size = 320 * kScale;
    const int px = ((kW - 320) / 2) * kScale, py = ((kH - 320) / 2) * kScale;
    black_box::run({"convert", kSourceDir + "/assets/pictures/background0.png", "-filter", "Triangle", "-resize",
                    "200%", "-depth", "8", "rgb:" + scratch.file("picture2.rgb")});
    const Image picture2 = ReadRgb(scratch.file("picture2.rgb"), picture_size, picture_size);
    ASSERT_TRUE(picture2.valid());

    OwnScreen screen("3840x2160x24");
    ASSERT_FALSE(screen.display().empty()) << screen.errors();
    ASSERT_EQ(ScreenSize(), std::make_pair(kW * kScale, kH * kScale));
    struct DpiGuard {
        bool on = false;
        void set(int dpi) {
            black_box::run({kSourceDir + "/scripts/wine-run.sh", "reg", "add", "HKCU\\Control Panel\\Desktop", "/v",
                            "LogPixels", "/t", "REG_DWORD", "/d", std::to_string(dpi), "/f"},
                           90);
        }
        ~DpiGuard() {
            if (on) set(96);
        }
    } dpi;
    black_box::RunAs as;
    if (wine()) {
        dpi.on = true;
        dpi.set(96 * kScale);
    } else {
        as.environment = {"GDK_SCALE=2"};
    }

    struct Counts {
        long picture_same = 0, dots = 0, pure = 0, new_greens = 0;
        int left = 0, top = 0, right = -1, bottom = -1;
    };
    const auto count = [&](const Image& shot) {
        Counts c;
        c.left = shot.width, c.top = shot.height;
        static const unsigned char black[3] = {0, 0, 0};
        for (int y = 0; y < shot.height; ++y)
            for (int x = 0; x < shot.width; ++x) {
                const bool in_picture = x >= px && y >= py && x < px + picture_size && y < py + picture_size;
                const unsigned char* expect = in_picture ? picture2.at(x - px, y - py) : black;
                const unsigned char* s = shot.at(x, y);
                if (!differs(s, expect, 3)) {
                    if (in_picture) ++c.picture_same;
                    continue;
                }
                ++c.dots;
                c.left = std::min(c.left, x), c.right = std::max(c.right, x);
                c.top = std::min(c.top, y), c.bottom = std::max(c.bottom, y);
                if (s[0] == 0 && s[2] == 0) {
                    ++c.pure;
                    if (!greens1.count(s[1])) ++c.new_greens;
                }
            }
        return c;
    };
    const auto twice = [](int two, int one) { return std::abs(two - 2 * one) <= 2; };
    const auto good = [&](const Counts& c) {
        return c.picture_same > static_cast<long>(picture_size) * picture_size * 7 / 10 &&
               twice(c.right - c.left + 1, right1 - left1 + 1) && twice(c.bottom - c.top + 1, bottom1 - top1 + 1) &&
               c.dots > dots1 * 7 / 2 && c.dots < dots1 * 9 / 2;
    };

    Child run(saver({"/s"}), as);
    ASSERT_TRUE(start_run(run)) << run.errors();
    Image shot;
    Counts c;
    // Screenshots until one shows the whole frame drawn (a screenshot may fall between two
    // rectangles of one frame).
    black_box::wait_until([&] {
        if (run.wait(0)) return true;
        shot = Screenshot(scratch.path());
        if (!shot.valid()) return false;
        c = count(shot);
        return good(c);
    }, patience(), 200);
    EXPECT_FALSE(run.wait(0.1)) << "the saver ended by itself: " << run.errors();
    ASSERT_TRUE(shot.valid());
    // The picture at twice its size, smooth, at twice its place.
    EXPECT_GT(c.picture_same, static_cast<long>(picture_size) * picture_size * 7 / 10);
    // The cloud at twice its extent, every dot four times the pixels...
    EXPECT_TRUE(twice(c.right - c.left + 1, right1 - left1 + 1)) << c.left << ".." << c.right << " at scale 1 "
                                                                 << left1 << ".." << right1;
    EXPECT_TRUE(twice(c.bottom - c.top + 1, bottom1 - top1 + 1)) << c.top << ".." << c.bottom << " at scale 1 "
                                                                 << top1 << ".." << bottom1;
    EXPECT_GT(c.dots, dots1 * 7 / 2) << "at scale 1 " << dots1;
    EXPECT_LT(c.dots, dots1 * 9 / 2) << "at scale 1 " << dots1;
    // ...as sharp as at scale 1: every pixel of a dot is pure green (its mask blackened what
    // lay beneath), none a blend of a disc's rim with the picture...
    EXPECT_GT(c.pure, c.dots * 99 / 100) << "of " << c.dots;
    // ...and drawn at scale 2, not enlarged from the 8 x 8 discs: many of its greens are
    // values between theirs.
    EXPECT_GT(c.new_greens, c.pure / 4) << "of " << c.pure;
    EXPECT_EQ(black_box::click_until_end(run), 0);
}

INSTANTIATE_TEST_SUITE_P(Builds, LiveTest, testing::Values(Build::Linux, Build::Wine), BuildName);

}  // namespace
