// The probe programs in the virtual X server, driven with xdotool: the Linux build's natively
// and the Windows build's under Wine give the log of probe_script.h for its input. The web
// link goes to a stand-in browser put first on PATH, which writes down the address it got.
#include <gtest/gtest.h>

#include <fstream>
#include <iostream>
#include <sstream>

#include "black_box.h"
#include "probe_script.h"

namespace {

using black_box::Child;
using black_box::run;

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("origin ", 0) != 0 && !line.empty()) out.push_back(line);
    }
    return out;
}

// The window that `id` names in its WM_TRANSIENT_FOR, 0 when none.
unsigned long transient_for(const std::string& id) {
    const std::string out = run({"xprop", "-id", id, "WM_TRANSIENT_FOR"}, 10);
    const std::size_t at = out.find("# 0x");
    return at == std::string::npos ? 0 : std::stoul(out.substr(at + 2), nullptr, 16);
}

class XProbe : public ::testing::Test {
protected:
    void SetUp() override {
        if (black_box::env("DISPLAY").empty()) GTEST_SKIP() << "no X server (DISPLAY is empty)";
        // The stand-in browser: xdg-open, first on PATH (SDL_OpenURL and Wine's winebrowser
        // both run it).
        const std::string script = folder.file("xdg-open");
        std::ofstream(script) << "#!/bin/sh\nprintf '%s' \"$1\" > '" << folder.file("opened") << "'\n";
        std::filesystem::permissions(script, std::filesystem::perms(0755));
        std::ofstream(folder.file("a.mp3")) << "not music";
    }

    // Runs the probe through the script; the log it wrote, or what came of it when it failed.
    std::string drive(std::vector<std::string> argv, bool windows, const std::string& chosen_path) {
        std::vector<std::string> env{"PATH=" + folder.path() + ":" + black_box::env("PATH")};
        Child probe(std::move(argv), {false, env});
        if (!probe.wait_for_output("tick 7", windows ? 120 : 30)) {
            ADD_FAILURE() << "the probe did not start: " << probe.output() << probe.errors();
            return probe.output();
        }
        int ox = 0, oy = 0;
        {
            std::istringstream in(probe.output().substr(probe.output().find("origin ")));
            std::string word;
            in >> word >> ox >> oy;
        }
        const double patience = windows ? 60 : 20;
        auto xy = [&](plat::Point p) { return std::vector<std::string>{std::to_string(ox + p.x), std::to_string(oy + p.y)}; };
        auto xdo = [](std::vector<std::string> args) {
            args.insert(args.begin(), "xdotool");
            run(std::move(args), 20);
        };
        auto on_screen = [&](const plat::Rect& r) {
            return black_box::ScreenArea{ox + r.left, oy + r.top, r.width(), r.height()};
        };
        // The whole dialog, and a margin below it where the combo box's list may drop.
        const black_box::ScreenArea dialog_area{ox, oy, probe::kDialog.right - probe::kDialog.left,
                                                probe::kDialog.bottom - probe::kDialog.top + 100};
        if (const auto id = black_box::find_window(probe::kTitle)) xdo({"windowfocus", "--sync", *id});
        // The focus shows nothing the probe writes: the screen is let come to rest.
        black_box::settle(dialog_area, {}, patience);
        std::size_t logged = probe::start_log().size();
        for (const probe::Step& s : probe::script()) {
            const auto p = xy(s.at);
            const bool shows = s.log.empty() && s.shows.width() > 0 && s.shows.height() > 0;
            if (s.copies) black_box::EmptyClipboard();
            const std::vector<std::uint32_t> before =
                shows ? black_box::ScreenPixels(on_screen(s.shows)) : std::vector<std::uint32_t>{};
            switch (s.kind) {
            case probe::Step::Click: xdo({"mousemove", p[0], p[1], "click", "1"}); break;
            case probe::Step::Press: xdo({"mousemove", p[0], p[1], "mousedown", "1"}); break;
            case probe::Step::Move: xdo({"mousemove", p[0], p[1]}); break;
            case probe::Step::Release: xdo({"mousemove", p[0], p[1], "mouseup", "1"}); break;
            case probe::Step::Key:
                // The Linux build reads the modifier keys as they stand when it handles a key, so
                // a chord that came in while it was still busy with the step before would find
                // its modifier up again. A chord waits for the screen to come to rest (the
                // program is idle) and is pressed at a hand's pace, 50 ms from key to key.
                if (s.key.find('+') != std::string::npos) {
                    black_box::settle(dialog_area, {}, patience);
                    xdo({"key", "--delay", "100", s.key});
                } else {
                    xdo({"key", s.key});
                }
                break;
            case probe::Step::Type: xdo({"type", "--delay", "80", s.text}); break;
            case probe::Step::ChooseFile:
            case probe::Step::CancelFile: {
                xdo({"mousemove", p[0], p[1], "click", "1"});
                const auto chooser = black_box::wait_for_window(probe::kChooserTitle, 60);
                if (!chooser) {
                    ADD_FAILURE() << "no file chooser";
                    break;
                }
                black_box::wait_viewable(*chooser, 20);
                // The chooser is the dialog's passing window, so that a window manager keeps it
                // above the dialog.
                if (const auto owner = black_box::find_window(probe::kTitle)) {
                    EXPECT_EQ(transient_for(*chooser), std::stoul(*owner)) << "the chooser is not the dialog's";
                }
                // The chooser takes typing once it has drawn itself: its window comes to rest.
                const black_box::ScreenArea chooser_area = black_box::WindowArea(std::stoul(*chooser));
                black_box::settle(chooser_area, {}, patience, 5);
                xdo({"windowfocus", "--sync", *chooser});
                if (s.kind == probe::Step::ChooseFile) {
                    // Enter follows the path at once: the X server hands the keys on in order,
                    // and a pause would give a completion list time to open and take the Enter.
                    xdo({"type", "--delay", "60", chosen_path});
                    xdo({"key", "Return"});
                } else {
                    xdo({"key", "Escape"});
                }
                black_box::wait_until([] { return !black_box::find_window(probe::kChooserTitle); }, 20, 100);
                // The chooser's window goes before the call returns; input sent in between is
                // dropped as it is while the chooser is up, so the next step waits for the answer
                // (the step's line, below).
                break;
            }
            }
            // The step has had its effect once the probe wrote its lines, or the screen shows
            // it, or the clipboard has an owner; the next input waits for that.
            logged += s.log.size();
            if (!s.log.empty()) {
                if (!black_box::wait_until([&] { return lines(probe.output()).size() >= logged; }, patience))
                    std::cerr << "no line for the step " << (s.key.empty() ? s.text : s.key) << " at " << s.at.x << ","
                              << s.at.y << " within " << patience << " s\n";
            } else if (shows) {
                if (!black_box::settle(on_screen(s.shows), before, patience))
                    std::cerr << "the step " << s.key << " at " << s.at.x << "," << s.at.y << " did not show\n";
            } else if (s.copies) {
                if (!black_box::wait_until([] { return black_box::ClipboardOwner() != 0; }, patience))
                    std::cerr << "the step " << s.key << " put nothing on the clipboard\n";
            }
        }
        EXPECT_TRUE(probe.wait(windows ? 60 : 20).has_value()) << "the probe did not end";
        return probe.output();
    }

    std::string opened() {
        std::ifstream in(folder.file("opened"));
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    testing_support::TempFolder folder;
};

TEST_F(XProbe, LinuxBuild) {
    const std::string out = drive({ZEPHLORA_LINUX_PROBE}, false, folder.file("a.mp3"));
    EXPECT_EQ(lines(out), probe::expected_log()) << out;
    EXPECT_EQ(opened(), probe::kLinkAddress);
}

TEST_F(XProbe, WindowsBuildUnderWine) {
    const std::string win32_dir = ZEPHLORA_WIN32_DIR_PATH;
    if (win32_dir.empty() || !std::filesystem::exists(win32_dir + "/dialog_probe.exe"))
        GTEST_SKIP() << "no MinGW build of the probe";
    // Wine's own dialog takes the path in its drive form (Z: is the root of the file system).
    std::string dos = "Z:" + folder.file("a.mp3");
    for (char& c : dos)
        if (c == '/') c = '\\';
    const std::string out = drive({std::string(ZEPHLORA_SOURCE_DIR) + "/scripts/wine-run.sh", win32_dir + "/dialog_probe.exe"},
                                  true, dos);
    EXPECT_EQ(lines(out), probe::expected_log()) << out;
    EXPECT_EQ(opened(), probe::kLinkAddress);
}

}  // namespace
