// Both builds against what a careless or hostile user leaves in their way: links planted at
// the names the program writes, FIFOs where it reads, program folders whose names have no
// CP932 form beside look-alike folders, bytes of no text on the command line, a preview
// inside the desktop, two starts at the same instant, and music waves whose headers lie.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "black_box.h"
#include "common/texts.h"
#include "platform/text.h"

using black_box::Child;
using testing_support::exists;
using testing_support::read_bytes;
using testing_support::write_bytes;

namespace {

namespace fs = std::filesystem;

const std::string kSourceDir = ZEPHLORA_SOURCE_DIR;
const std::string kWin32Dir = ZEPHLORA_WIN32_DIR_PATH;
const std::string kLinuxExe = ZEPHLORA_LINUX_EXE;

int member_count(const std::string& folder) {
    int n = 0;
    for (int i = 1; i <= 9; ++i) n += exists(folder + "/Zephlora00" + std::to_string(i) + ".zpk") ? 1 : 0;
    return n;
}

std::string joined_members(const std::string& folder) {
    std::string joined;
    for (int i = 1; i <= 9; ++i) joined += read_bytes(folder + "/Zephlora00" + std::to_string(i) + ".zpk");
    return joined;
}

// Every entry of a folder with its bytes (a link as "-> target"), to see that nothing changed.
std::string snapshot(const std::string& folder) {
    std::string all;
    for (const auto& entry : fs::directory_iterator(folder)) {
        all += entry.path().filename().string() + ": ";
        all += entry.is_symlink() ? "-> " + fs::read_symlink(entry.path()).string() : read_bytes(entry.path().string());
        all += "\n";
    }
    return all;
}

// The two builds, started the same way: `start` gives the command for a program folder and
// a command line.
class Build {
public:
    virtual ~Build() = default;
    virtual bool available() const = 0;
    virtual std::string program_name() const = 0;
    virtual std::vector<std::string> command(const std::string& folder, const std::string& line) const = 0;
    virtual double patience() const = 0;  // seconds a start may take
    void install(const std::string& folder) const {
        fs::copy_file(source(), folder + "/" + program_name(), fs::copy_options::overwrite_existing);
    }
    virtual std::string source() const = 0;
};

class LinuxBuild final : public Build {
public:
    bool available() const override { return exists(kLinuxExe); }
    std::string program_name() const override { return "zephlora"; }
    std::string source() const override { return kLinuxExe; }
    std::vector<std::string> command(const std::string& folder, const std::string& line) const override {
        return {folder + "/zephlora", line};
    }
    double patience() const override { return 30; }
};

class WineBuild final : public Build {
public:
    bool available() const override { return !kWin32Dir.empty() && exists(kWin32Dir + "/Zephlora.scr"); }
    std::string program_name() const override { return "Zephlora.scr"; }
    std::string source() const override { return kWin32Dir + "/Zephlora.scr"; }
    // One argument a word: Wine would quote an argument with a blank, and the quote would be
    // the line's first character.
    std::vector<std::string> command(const std::string& folder, const std::string& line) const override {
        std::vector<std::string> argv{kSourceDir + "/scripts/wine-run.sh", folder + "/Zephlora.scr"};
        std::size_t at = 0;
        while (at < line.size()) {
            const std::size_t blank = std::min(line.find(' ', at), line.size());
            argv.push_back(line.substr(at, blank - at));
            at = blank + 1;
        }
        return argv;
    }
    double patience() const override { return 90; }
};

class Hostile : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        if (std::string(GetParam()) == "linux") build = std::make_unique<LinuxBuild>();
        else build = std::make_unique<WineBuild>();
        if (!build->available()) GTEST_SKIP() << "the build is not there";
        if (black_box::env("DISPLAY").empty()) GTEST_SKIP() << "no X server (DISPLAY is empty)";
        fs::permissions(base.path(), fs::perms(0755));
    }
    void TearDown() override {
        if (wine()) black_box::run({"bash", "-c", ". '" + kSourceDir + "/scripts/wine-env.sh'; wineserver -w"}, 30);
    }
    bool wine() const { return std::string(GetParam()) == "wine"; }
    std::string program_folder(const std::string& name) {
        const std::string folder = base.file(name);
        fs::create_directory(folder);
        build->install(folder);
        return folder;
    }
    std::unique_ptr<Build> build;
    testing_support::TempFolder base{"hostile"};
};

// A link at a name the split might write through leads to a file of the user's: the file
// stays as it was, and the members are the pack's.
TEST_P(Hostile, LinksPlantedAtTemporaryNamesAreNotFollowed) {
    const std::string folder = program_folder("program");
    write_bytes(folder + "/Zephlora.zpk", testing_support::make_pack());
    const std::string victim = base.file("precious.txt");
    write_bytes(victim, "precious");
    std::string script;
    if (wine()) {
        // The process id is not known beforehand: every small one is planted.
        for (int pid = 4; pid <= 16384; pid += 4)
            for (int n = 1; n <= 9; ++n)
                ::symlink(victim.c_str(), (folder + "/Zephlora00" + std::to_string(n) + ".zpk.tmp" + std::to_string(pid)).c_str());
        Child saver(build->command(folder, "/x"));
        EXPECT_EQ(saver.wait(build->patience()), 0);
    } else {
        // The shell's id is the program's after exec.
        Child saver({"bash", "-c", "cd '" + folder + "' && for n in 1 2 3 4 5 6 7 8 9; do ln -s '" + victim +
                                       "' Zephlora00$n.zpk.tmp$$; ln -s '" + victim +
                                       "' Zephlora00$n.zpk.tmp; done; exec ./zephlora /x"},
                    {false, {"DISPLAY="}});
        EXPECT_EQ(saver.wait(build->patience()), 0);
    }
    EXPECT_EQ(read_bytes(victim), "precious");
    EXPECT_EQ(joined_members(folder), testing_support::make_pack());
    for (int n = 1; n <= 9; ++n) {
        struct stat st {};
        ASSERT_EQ(::lstat((folder + "/Zephlora00" + std::to_string(n) + ".zpk").c_str(), &st), 0);
        EXPECT_TRUE(S_ISREG(st.st_mode)) << n;
    }
}

// The program's folder is named "café" (or with an emoji) and a folder "cafe" lies beside it
// with a pack of its own and a user's file of a member's name: the program works in its own
// folder, and nothing in "cafe" is written or deleted.
TEST_P(Hostile, AFolderWithoutACp932NameIsNeverTakenForALookAlike) {
    const std::string lookalike = base.file("cafe");
    fs::create_directory(lookalike);
    write_bytes(lookalike + "/Zephlora.zpk", std::string(36191, 'A'));
    write_bytes(lookalike + "/Zephlora005.zpk", "the user's own file");
    const std::string before = snapshot(lookalike);

    for (const std::string name : {"caf\xC3\xA9", "\xF0\x9F\x98\x80"}) {
        const std::string folder = program_folder(name);
        write_bytes(folder + "/Zephlora.zpk", testing_support::make_pack());
        black_box::RunAs as;
        if (!wine()) as.environment = {"DISPLAY="};  // a message would go to the terminal
        Child split(build->command(folder, "/x"), as);
        EXPECT_EQ(split.wait(build->patience()), 0) << name << ": did not end (a message about the pack?)";
        EXPECT_EQ(joined_members(folder), testing_support::make_pack()) << name;
        EXPECT_EQ(snapshot(lookalike), before) << name;
    }
    // A full-screen run in "café" deletes its own members at the end, not those of "cafe".
    const std::string folder = base.file("caf\xC3\xA9");
    fs::copy_file(kSourceDir + "/assets/Zephlora.zpk", folder + "/Zephlora.zpk", fs::copy_options::overwrite_existing);
    Child saver(build->command(folder, "/s"));
    const auto window = black_box::wait_for_window("Zephlora_Main", build->patience());
    ASSERT_TRUE(window);
    EXPECT_TRUE(black_box::wait_viewable(*window, 10));
    EXPECT_EQ(black_box::click_until_end(saver), 0);
    EXPECT_EQ(member_count(folder), 0);
    EXPECT_EQ(snapshot(lookalike), before);
}

// A preview inside the desktop (the root window) would cover the screen for good: it ends.
TEST_P(Hostile, APreviewInsideTheDesktopEndsAtOnce) {
    std::string desktop;
    if (wine()) {
        desktop = black_box::run({kSourceDir + "/scripts/wine-run.sh", kWin32Dir + "/win_probe.exe", "desktop"}, 90);
        while (!desktop.empty() && (desktop.back() == '\n' || desktop.back() == '\r')) desktop.pop_back();
    } else {
        const std::string info = black_box::run({"xwininfo", "-root"});
        const std::size_t at = info.find("Window id: ");
        ASSERT_NE(at, std::string::npos) << info;
        desktop = std::to_string(std::stoul(info.substr(at + 11), nullptr, 16));
    }
    ASSERT_FALSE(desktop.empty());
    const std::string folder = program_folder("program");
    Child preview(build->command(folder, "/p " + desktop));
    EXPECT_EQ(preview.wait(build->patience()), 0) << "the preview inside the desktop lives on";
    EXPECT_FALSE(black_box::find_window("Preview Window"));
}

// Two starts at the same instant: one saver runs, the other ends silently, and the one that
// runs keeps its members until its own end.
TEST_P(Hostile, TwoStartsAtOnceGiveOneSaver) {
    const std::string folder = program_folder("program");
    fs::copy_file(kSourceDir + "/assets/Zephlora.zpk", folder + "/Zephlora.zpk");
    Child first(build->command(folder, "/s"));
    Child second(build->command(folder, "/s"));
    const auto window = black_box::wait_for_window("Zephlora_Main", build->patience());
    ASSERT_TRUE(window);
    // One of the two ends, silently, while the other stays.
    std::optional<int> first_end, second_end;
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(build->patience());
    while (!first_end && !second_end && std::chrono::steady_clock::now() < until) {
        first_end = first.wait(0.2);
        second_end = second.wait(0.2);
    }
    ASSERT_TRUE(first_end || second_end) << "both savers run";
    EXPECT_EQ(first_end ? *first_end : *second_end, 0);
    Child& runner = first_end ? second : first;
    EXPECT_FALSE(runner.wait(2.0)) << "both ended";
    EXPECT_EQ(member_count(folder), 9);
    EXPECT_TRUE(black_box::wait_viewable(*window, 10));
    EXPECT_EQ(black_box::click_until_end(runner), 0);
    EXPECT_EQ(member_count(folder), 0);
    EXPECT_FALSE(black_box::find_window("Zephlora_Main"));
}

// Little-endian fields of a wave's header.
std::string le(std::uint32_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
    return out;
}

// A PCM format chunk's body.
std::string pcm_format(unsigned channels, std::uint32_t per_second, unsigned block_align) {
    return le(1, 2) + le(channels, 2) + le(44100, 4) + le(per_second, 4) + le(block_align, 2) + le(16, 2);
}

// A wave of one second of silence whose data chunk claims `claimed` bytes; its RIFF size is
// the file's own.
std::string pcm_wave(const std::string& format, std::uint32_t claimed) {
    const std::string body = "WAVEfmt " + le(static_cast<std::uint32_t>(format.size()), 4) + format + "data" +
                             le(claimed, 4) + std::string(176400, '\0');
    return "RIFF" + le(static_cast<std::uint32_t>(body.size()), 4) + body;
}

// A valid IMA-ADPCM wave (mono, 22,050 Hz, 1024-byte blocks) of `mib` MiB of silent blocks,
// sparse on the disk.
void write_ima_wave(const std::string& path, std::uint32_t mib) {
    const std::uint32_t data = mib << 20;
    const std::string format = le(0x11, 2) + le(1, 2) + le(22050, 4) + le(11060, 4) + le(1024, 2) + le(4, 2) +
                               le(2, 2) + le(2041, 2);
    const std::string head = "WAVEfmt " + le(static_cast<std::uint32_t>(format.size()), 4) + format + "data" + le(data, 4);
    write_bytes(path, "RIFF" + le(static_cast<std::uint32_t>(head.size()) + data, 4) + head);
    fs::resize_file(path, 8 + head.size() + data);
}

// The peak resident memory of process `pid` in bytes, 0 when it is gone.
double peak_memory(pid_t pid) {
    const std::string status = read_bytes("/proc/" + std::to_string(pid) + "/status");
    const std::size_t at = status.find("VmHWM:");
    return at == std::string::npos ? 0 : std::stod(status.substr(at + 6)) * 1024;
}

// Music waves that lie about themselves: a data chunk that claims 4 GB, a format chunk of no
// channels and no block size; on Linux also a valid IMA-ADPCM wave of 200 MiB, which the player
// would decode whole (over 3 GB in the mixer's format). Each plays nothing: the saver shows
// its window, ends on a click and deletes its members. Under Wine the wave output is a null
// ALSA device of the test's own, so that the system's player runs.
TEST_P(Hostile, AWaveThatLiesOrWouldDecodeTooLargePlaysNothing) {
    const std::string folder = program_folder("program");
    fs::copy_file(kSourceDir + "/assets/Zephlora.zpk", folder + "/Zephlora.zpk");
    black_box::RunAs as;
    if (wine()) {
        write_bytes(base.file("alsa.conf"), "</usr/share/alsa/alsa.conf>\npcm.!default { type null }\n");
        as.environment = {"ALSA_CONFIG_PATH=" + base.file("alsa.conf")};
    } else {
        as.environment = {"SDL_AUDIODRIVER=dummy"};
    }
    std::vector<std::string> waves{"4 GB", "corrupt format"};
    if (!wine()) waves.push_back("large ADPCM");
    const std::string wave = base.file("music.wav");
    for (const std::string& kind : waves) {
        if (kind == "4 GB") write_bytes(wave, pcm_wave(pcm_format(2, 176400, 4), 0xFFFFFFE0u));
        if (kind == "corrupt format") write_bytes(wave, pcm_wave(pcm_format(0, 0, 0), 176400));
        if (kind == "large ADPCM") write_ima_wave(wave, 200);
        write_bytes(folder + "/Zephlora.ini", "[Section]\r\n" + std::string(texts::kKeyBgmKind) + "= 2\r\n" +
                                                  std::string(texts::kKeyBgmFile) + "=" +
                                                  (wine() ? black_box::wine_path(wave) : wave) + "\r\n");
        Child saver(build->command(folder, "/s"), as);
        const auto window = black_box::wait_for_window("Zephlora_Main", build->patience());
        ASSERT_TRUE(window) << kind;
        EXPECT_TRUE(black_box::wait_viewable(*window, 10)) << kind;
        if (kind == "large ADPCM") {
            // A whole decode would have passed 400 MB within a few seconds and then ended the
            // saver (its conversion overflows); the saver lives on far below that.
            double peak = 0;
            const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(6);
            while (peak < 400e6 && std::chrono::steady_clock::now() < until && !saver.wait(0.2))
                peak = std::max(peak, peak_memory(saver.pid()));
            EXPECT_LT(peak, 400e6);
            EXPECT_FALSE(saver.wait(0)) << "the saver died";
        }
        EXPECT_EQ(black_box::click_until_end(saver), 0) << kind;
        EXPECT_EQ(member_count(folder), 0) << kind;
    }
}

INSTANTIATE_TEST_SUITE_P(Builds, Hostile, ::testing::Values("linux", "wine"),
                         [](const auto& info) { return std::string(info.param); });

// The Linux build alone: FIFOs block only there, and only there are the command line's bytes
// converted.
class HostileLinux : public ::testing::Test {
protected:
    void SetUp() override {
        fs::permissions(folder.path(), fs::perms(0755));
        fs::copy_file(kLinuxExe, folder.file("zephlora"));
    }
    std::vector<std::string> exe(const std::string& line) { return {folder.file("zephlora"), line}; }
    testing_support::TempFolder folder{"hostile-linux"};
};

// A FIFO as the pack, the settings file or the music file counts as missing: the program
// never waits for a writer.
TEST_F(HostileLinux, AFifoIsAMissingFile) {
    ASSERT_EQ(::mkfifo(folder.file("Zephlora.zpk").c_str(), 0644), 0);
    Child no_pack(exe("/s"), {false, {"DISPLAY="}});
    EXPECT_EQ(no_pack.wait(30), 0) << "a FIFO as the pack holds the start";
    EXPECT_NE(no_pack.errors().find("Zephlora.zpk"), std::string::npos) << no_pack.errors();

    fs::remove(folder.file("Zephlora.zpk"));
    write_bytes(folder.file("Zephlora.zpk"), testing_support::make_pack());
    ASSERT_EQ(::mkfifo(folder.file("Zephlora.ini").c_str(), 0644), 0);
    Child no_settings(exe("/x"), {false, {"DISPLAY="}});
    EXPECT_EQ(no_settings.wait(30), 0) << "a FIFO as the settings file holds the start";
    EXPECT_EQ(joined_members(folder.path()), testing_support::make_pack());

    if (black_box::env("DISPLAY").empty()) GTEST_SKIP() << "no X server for the saver with music";
    fs::remove(folder.file("Zephlora.ini"));
    fs::copy_file(kSourceDir + "/assets/Zephlora.zpk", folder.file("Zephlora.zpk"), fs::copy_options::overwrite_existing);
    const std::string music = folder.file("music.wav");
    ASSERT_EQ(::mkfifo(music.c_str(), 0644), 0);
    write_bytes(folder.file("Zephlora.ini"), "[Section]\r\n" + std::string(texts::kKeyBgmKind) + "= 2\r\n" +
                                                 std::string(texts::kKeyBgmFile) + "=" + music + "\r\n");
    Child saver(exe("/s"), {false, {"SDL_AUDIODRIVER=dummy"}});
    const auto window = black_box::wait_for_window("Zephlora_Main", 30);
    ASSERT_TRUE(window) << "a FIFO as the music file holds the start";
    EXPECT_TRUE(black_box::wait_viewable(*window, 10));
    EXPECT_EQ(black_box::click_until_end(saver), 0);
    EXPECT_EQ(member_count(folder.path()), 0);
}

// Started without a screen, the modes that show a window say so on one line and fail before
// anything is split.
TEST_F(HostileLinux, WithoutADisplayTheWindowModesSaySoAndFail) {
    write_bytes(folder.file("Zephlora.zpk"), testing_support::make_pack());
    for (const std::string line : {"/s", "/c", ""}) {
        Child start(exe(line), {false, {"DISPLAY="}});
        EXPECT_EQ(start.wait(30), 1) << "'" << line << "'";
        const std::string said = start.errors();
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << "'" << line << "': " << said;
        EXPECT_NE(said.find("DISPLAY"), std::string::npos) << said;
        EXPECT_EQ(member_count(folder.path()), 0) << "'" << line << "'";
    }
}

// The pixels of a window as the screen shows it, once two looks a moment apart agree.
std::string settled_pixels(const std::string& window, const std::string& scratch) {
    std::string last;
    for (int i = 0; i < 30; ++i) {
        black_box::run({"import", "-window", window, "-depth", "8", "rgb:" + scratch}, 20);
        const std::string now = read_bytes(scratch);
        if (!now.empty() && now == last) return now;
        last = now;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return last;
}

bool gone(const std::string& title, double seconds) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (black_box::find_window(title))
        if (std::chrono::steady_clock::now() > until) return false;
        else std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return true;
}

// The missing pack's message box belongs to its program: it shows the same text under LANG=C
// as under a Japanese locale, SIGTERM ends the program while it is up, and a program killed
// outright takes its box along and leaves the next start free.
TEST_F(HostileLinux, TheMessageBoxGoesWithItsProgram) {
    if (black_box::env("DISPLAY").empty()) GTEST_SKIP() << "no X server (DISPLAY is empty)";
    const std::string title(texts::kMessageTitle);
    std::string looks[2];
    int n = 0;
    for (const char* locale : {"LANG=ja_JP.UTF-8", "LANG=C"}) {
        Child start(exe("/s"), {false, {locale, "LC_ALL=", "LC_CTYPE=", "LC_MESSAGES="}});
        const auto box = black_box::wait_for_window(title, 30);
        ASSERT_TRUE(box) << locale;
        ASSERT_TRUE(black_box::wait_viewable(*box, 10));
        looks[n++] = settled_pixels(*box, folder.file("box.rgb"));
        start.signal(SIGTERM);
        EXPECT_EQ(start.wait(3), 0) << "SIGTERM while the box is up, " << locale;
        EXPECT_TRUE(gone(title, 3)) << locale;
    }
    EXPECT_FALSE(looks[0].empty());
    EXPECT_TRUE(looks[0] == looks[1]) << "the box's text differs under LANG=C";

    Child killed(exe("/s"));
    const auto box = black_box::wait_for_window(title, 30);
    ASSERT_TRUE(box);
    killed.signal(SIGKILL);
    killed.wait(5);
    EXPECT_TRUE(gone(title, 3)) << "the box outlived its program";
    fs::copy_file(kSourceDir + "/assets/Zephlora.zpk", folder.file("Zephlora.zpk"));
    Child next(exe("/c"));
    EXPECT_TRUE(black_box::wait_for_window(plat::cp932_to_utf8(texts::kTitleDialog), 30)) << "the next start was locked out";
    next.signal(SIGTERM);
    EXPECT_EQ(next.wait(5), 0);
}

// SIGTERM, SIGINT, SIGHUP and SIGQUIT end a full-screen run at once, and its members go.
TEST_F(HostileLinux, EveryEndSignalEndsARunAndDeletesItsMembers) {
    if (black_box::env("DISPLAY").empty()) GTEST_SKIP() << "no X server (DISPLAY is empty)";
    fs::copy_file(kSourceDir + "/assets/Zephlora.zpk", folder.file("Zephlora.zpk"));
    for (const int number : {SIGTERM, SIGINT, SIGHUP, SIGQUIT}) {
        Child saver(exe("/s"));
        const auto window = black_box::wait_for_window("Zephlora_Main", 30);
        ASSERT_TRUE(window) << number;
        EXPECT_TRUE(black_box::wait_viewable(*window, 10));
        EXPECT_EQ(member_count(folder.path()), 9);
        saver.signal(number);
        EXPECT_EQ(saver.wait(5), 0) << "signal " << number;
        EXPECT_EQ(member_count(folder.path()), 0) << "signal " << number;
    }
}

// A byte of no text keeps its place on the command line: "\xff/s" has "/" as its second
// character, which is no mode, so the pack is split and nothing runs.
TEST_F(HostileLinux, ABadByteOnTheCommandLineKeepsItsPlace) {
    write_bytes(folder.file("Zephlora.zpk"), testing_support::make_pack());
    Child quit(exe("\xff/s"), {false, {"DISPLAY="}});
    EXPECT_EQ(quit.wait(30), 0);
    EXPECT_EQ(member_count(folder.path()), 9) << "the line was taken for /s";
}

}  // namespace
