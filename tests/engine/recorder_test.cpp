// The recorder as a user runs it: a folder in, frames and a trace out.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "common/texts.h"
#include "engine_support.h"
#include "shell/resource_pack.h"

namespace {

std::string line_of(const std::string& text, const std::string& start) {
    const auto at = text.find("\n" + start);
    if (at == std::string::npos) return "";
    return text.substr(at + 1, text.find('\n', at + 1) - at - 1);
}

std::string slurp(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

int run(const std::string& args) {
    const std::string cmd = std::string(ZEPHLORA_RECORDER) + " " + args + " 2>/dev/null";
    const int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class Recorder : public ::testing::Test {
protected:
    void SetUp() override {
        for (int n = 1; n <= 9; ++n) folder.WriteMember(n, engine_test::RandomShape(10 * n, 80, static_cast<unsigned>(n)));
        // Interval 1, neon off, slow rates.
        folder.WriteText("Zephlora.ini", "[Section]\r\nSleep= 0\r\n");
    }
    engine_test::TempFolder folder{"recorder"};
    engine_test::TempFolder out{"recorder_out"};
};

TEST_F(Recorder, WritesFramesAndATraceThatRepeatsForTheSameSeed) {
    const std::string common = "--folder " + folder.path() + " --size 320x200 --spf 0.25 --frames 24 --every 8 ";
    ASSERT_EQ(run(common + "--seed 5 --out " + out.path() + "/a --apng " + out.path() + "/a.png"), 0);
    ASSERT_EQ(run(common + "--seed 5 --out " + out.path() + "/b"), 0);
    const auto a = std::filesystem::path(out.path()) / "a";
    EXPECT_TRUE(std::filesystem::exists(a / "frame_00000.png"));
    EXPECT_TRUE(std::filesystem::exists(a / "frame_00016.png"));
    EXPECT_FALSE(std::filesystem::exists(a / "frame_00001.png"));
    const std::string apng = slurp(std::filesystem::path(out.path()) / "a.png");
    ASSERT_GT(apng.size(), 8u);
    EXPECT_NE(apng.find("acTL"), std::string::npos);
    EXPECT_EQ(slurp(a / "frame_00008.png"), slurp(std::filesystem::path(out.path()) / "b" / "frame_00008.png"));

    const std::string trace = slurp(a / "trace.txt");
    EXPECT_EQ(trace, slurp(std::filesystem::path(out.path()) / "b" / "trace.txt"));
    std::istringstream lines(trace);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "zephlora-trace 1");
    int frames = 0, changes = 0;
    while (std::getline(lines, line)) {
        if (line.rfind("frame ", 0) == 0) {
            ++frames;
            // Every frame record is followed by exactly its dots.
            const int dots = std::stoi(line.substr(line.rfind(' ') + 1));
            for (int i = 0; i < dots; ++i) {
                ASSERT_TRUE(std::getline(lines, line));
                int x, y, z, band;
                ASSERT_EQ(std::sscanf(line.c_str(), "%d %d %d %d", &x, &y, &z, &band), 4) << line;
                ASSERT_GE(band, 0);
                ASSERT_LE(band, 4);
            }
        } else if (line.rfind("change ", 0) == 0) {
            ++changes;
        }
    }
    EXPECT_EQ(frames, 24);
    // The first change falls due at the second tick (the default interval is 2) and is still
    // running when the six simulated seconds end: later ticks wait for it.
    EXPECT_EQ(changes, 1);
    EXPECT_NE(trace.find("\nchange tick 2 member "), std::string::npos);
}

TEST_F(Recorder, AMissingFirstShapeIsReportedAndEndsTheRun) {
    std::filesystem::remove(std::filesystem::path(folder.path()) / "Zephlora002.zpk");
    EXPECT_EQ(run("--folder " + folder.path() + " --frames 3 --out " + out.path()), 1);
    EXPECT_NE(slurp(std::filesystem::path(out.path()) / "trace.txt").find("fatal"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(out.path()) / "frame_00000.png"));
}

TEST_F(Recorder, ReadsTheSettingsAsTheSaverDoes) {
    // Rounded down, rounded half to even, no number, and a missing key.
    const auto key = [](std::string_view k, const std::string& v) { return std::string(k) + "=" + v + "\r\n"; };
    folder.WriteText("Zephlora.ini", "[" + std::string(texts::kSettingsSection) + "]\r\n" +
                                         key(texts::kKeyInterval, "3.7") + key(texts::kKeyNeonEffect, " 1") +
                                         key(texts::kKeyXAxis, "2.5") + key(texts::kKeyYAxis, "-3.5") +
                                         key(texts::kKeyZAxis, "abc") + key(texts::kKeySleep, " 0"));
    ASSERT_EQ(run("--folder " + folder.path() + " --frames 1 --every 0 --out " + out.path()), 0);
    const std::string trace = slurp(std::filesystem::path(out.path()) / "trace.txt");
    EXPECT_NE(line_of(trace, "run ").find(" interval 3 neon 1 rates 2 -4 0 sleep 0"), std::string::npos)
        << line_of(trace, "run ");
}

TEST(RecorderPack, RunsFromThePackAsFromItsSplitMembers) {
    // The shipped pack, which the build places in the working folder.
    engine_test::TempFolder packed{"recorder_pack"}, split{"recorder_split"}, out{"recorder_pack_out"};
    std::filesystem::copy_file("Zephlora.zpk", std::filesystem::path(packed.path()) / "Zephlora.zpk");
    shell::SplitPack(packed.path() + "/Zephlora.zpk",
                     [&](int n) { return shell::MemberPath(split.path(), n); });
    const std::string common = " --spf 0.5 --frames 12 --every 0 --seed 3 ";
    ASSERT_EQ(run("--folder " + packed.path() + common + "--out " + out.path() + "/packed"), 0);
    ASSERT_EQ(run("--folder " + split.path() + common + "--out " + out.path() + "/split"), 0);
    const std::string trace = slurp(std::filesystem::path(out.path()) / "packed" / "trace.txt");
    EXPECT_EQ(trace.find("fatal"), std::string::npos);
    EXPECT_NE(trace.find("\nchange tick 2 member "), std::string::npos);
    EXPECT_EQ(trace, slurp(std::filesystem::path(out.path()) / "split" / "trace.txt"));
    // The folder given is only read.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(packed.path()), {}), 1);
}

TEST_F(Recorder, BadArgumentsGiveTheUsage) {
    EXPECT_EQ(run("--size 0x10"), 2);
    EXPECT_EQ(run("--frames"), 2);
    EXPECT_EQ(run("--bogus"), 2);
}

}  // namespace
