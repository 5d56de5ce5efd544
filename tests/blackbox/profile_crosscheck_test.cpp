// The Linux profile reader and writer against Wine's GetPrivateProfileStringA and
// WritePrivateProfileStringA on the same files: the values read back must agree. (Wine
// strips the leading blank of a value it writes where Windows keeps it, so what Wine writes
// is compared by the values read back, never byte for byte.)
#include <gtest/gtest.h>

#include <sstream>

#include "black_box.h"
#include "common/texts.h"
#include "platform/profile.h"
#include "platform/scripted/control.h"
#include "shell/process_state.h"
#include "shell/settings_store.h"

namespace {

const std::string kSourceDir = ZEPHLORA_SOURCE_DIR;
const std::string kWin32Dir = ZEPHLORA_WIN32_DIR_PATH;

struct Query {
    std::string section, key;
    int size = 256;
};

class ProfileCrossCheck : public ::testing::Test {
protected:
    void SetUp() override {
        if (kWin32Dir.empty()) GTEST_SKIP() << "no MinGW build (ZEPHLORA_WIN32_DIR is empty)";
        if (!testing_support::exists(kWin32Dir + "/win_probe.exe")) GTEST_SKIP() << "win_probe.exe is not built";
    }
    void TearDown() override {
        black_box::run({"bash", "-c", ". '" + kSourceDir + "/scripts/wine-env.sh'; wineserver -w"}, 30);
    }

    std::vector<std::string> probe(std::vector<std::string> args) {
        std::vector<std::string> argv{kSourceDir + "/scripts/wine-run.sh", kWin32Dir + "/win_probe.exe"};
        argv.insert(argv.end(), args.begin(), args.end());
        return argv;
    }

    // Wine's answers to all queries on one file, in one start of the probe.
    std::vector<std::string> wine_get(const std::string& path, const std::vector<Query>& queries) {
        std::vector<std::string> args{"get", black_box::hex(black_box::wine_path(path))};
        for (const Query& q : queries) {
            args.push_back(black_box::hex(q.section));
            args.push_back(black_box::hex(q.key));
            args.push_back(std::to_string(q.size));
        }
        const std::string out = black_box::run(probe(args), 120);
        std::vector<std::string> values;
        std::istringstream lines(out);
        std::string count, hexed;
        while (lines >> count) {
            std::string line;
            std::getline(lines, line);
            while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
            hexed = line.size() > 1 ? line.substr(1) : "";
            std::string bytes;
            for (std::size_t i = 0; i + 1 < hexed.size(); i += 2)
                bytes.push_back(static_cast<char>(std::stoi(hexed.substr(i, 2), nullptr, 16)));
            values.push_back(bytes);
        }
        return values;
    }

    void wine_put(const std::string& path, std::string_view section, std::string_view key, std::string_view value) {
        const std::string out = black_box::run(probe({"put", black_box::hex(black_box::wine_path(path)),
                                                      black_box::hex(section), black_box::hex(key),
                                                      black_box::hex(value)}), 120);
        ASSERT_EQ(out.substr(0, out.find_first_of("\r\n")), "1") << out;
    }

    void expect_same_answers(const std::string& path, const std::vector<Query>& queries) {
        const std::vector<std::string> wine = wine_get(path, queries);
        ASSERT_EQ(wine.size(), queries.size()) << "the probe did not answer";
        for (std::size_t i = 0; i < queries.size(); ++i) {
            const std::string ours = plat::get_private_profile_string(queries[i].section, queries[i].key, "",
                                                                      static_cast<std::size_t>(queries[i].size), path);
            EXPECT_EQ(ours, wine[i]) << "section " << queries[i].section << " key " << queries[i].key
                                     << " size " << queries[i].size;
        }
    }

    testing_support::TempFolder folder;
};

const std::string S(texts::kSettingsSection);

TEST_F(ProfileCrossCheck, SettingsEdgeCasesReadAlike) {
    const std::string path = folder.file("Zephlora.ini");
    const auto put = [&](std::string_view key, std::string_view value) {
        ASSERT_TRUE(plat::write_private_profile_string(S, key, value, path));
    };
    put(texts::kKeyInterval, "abc");
    put(texts::kKeySleep, "2.9");
    put(texts::kKeyXAxis, "2.5");
    put(texts::kKeyYAxis, "3.5");
    put(texts::kKeyZAxis, " 5");
    put(texts::kKeyBgmKind, " 2");
    put(texts::kKeyBgmFile, std::string(300, '7'));
    put(texts::kKeyBgmRepeat, std::string(254, 'a') + "\x8e\xb2" + "b");
    put("Quoted", "\"in quotes\"");
    const std::vector<Query> queries{
        {S, std::string(texts::kKeyInterval)}, {S, std::string(texts::kKeySleep)},
        {S, std::string(texts::kKeyXAxis)},    {S, std::string(texts::kKeyYAxis)},
        {S, std::string(texts::kKeyZAxis)},    {S, std::string(texts::kKeyBgmKind)},
        {S, std::string(texts::kKeyBgmFile)},  {S, std::string(texts::kKeyBgmRepeat)},
        {S, "Quoted"},                          {"SECTION", "sleep"},
        {S, std::string(texts::kKeyNeonEffect)}, {"Other", "Sleep"},
        {S, std::string(texts::kKeySleep), 3},
    };
    expect_same_answers(path, queries);
    expect_same_answers(folder.file("missing.ini"), {{S, "Sleep"}});

    // And what the loader makes of them.
    plat::scripted::reset();
    plat::scripted::set_program_folder(folder.path());
    shell::ResetProcessState();
    shell::LoadSettings();
    EXPECT_EQ(shell::SaverSettings.Interval, 0);
    EXPECT_EQ(shell::SaverSettings.Sleep, 2);
    EXPECT_EQ(shell::SaverSettings.XAxis, 2);
    EXPECT_EQ(shell::SaverSettings.YAxis, 4);
    EXPECT_EQ(shell::SaverSettings.ZAxis, 5);
    EXPECT_EQ(shell::SaverSettings.BgmKind, 0);  // the music file does not exist
    EXPECT_EQ(shell::SaverSettings.BgmFile, "");
}

TEST_F(ProfileCrossCheck, HandWrittenFilesReadAlike) {
    const std::string path = folder.file("hand.ini");
    testing_support::write_bytes(path,
        "; comment\r\n"
        "  [ Section ]  \r\n"
        "  X\x8e\xb2 =  7  \r\n"
        "key\x83\x41=trail A\r\n"
        "novalue\r\n"
        "empty=\r\n"
        "[section]\r\n"
        "second=2\r\n"
        "[Tabs]\n"
        "\tk\t=\tv w\t\n");
    expect_same_answers(path, {
        {S, "X\x8e\xb2"}, {S, "x\x8e\xb2"}, {S, "key\x83\x41"}, {S, "KEY\x83\x41"}, {S, "key\x83\x61"},
        {S, "novalue"}, {S, "empty"}, {S, "second"}, {"tabs", "K"},
    });
}

TEST_F(ProfileCrossCheck, WhatWineWritesReadsBackAlike) {
    const std::string path = folder.file("wine.ini");
    ASSERT_TRUE(plat::write_private_profile_string(S, "Sleep", " 3", path));
    wine_put(path, S, texts::kKeyXAxis, " 5");
    wine_put(path, "section", "sleep", " 4");
    wine_put(path, "Other", "a", "b");
    EXPECT_EQ(plat::get_private_profile_string(S, texts::kKeyXAxis, "", 256, path), "5");
    EXPECT_EQ(plat::get_private_profile_string(S, "Sleep", "", 256, path), "4");
    expect_same_answers(path, {{S, std::string(texts::kKeyXAxis)}, {S, "Sleep"}, {"other", "A"}});
    // Our writer on the file Wine wrote keeps Wine's lines.
    ASSERT_TRUE(plat::write_private_profile_string("Other", "c", "d", path));
    expect_same_answers(path, {{S, std::string(texts::kKeyXAxis)}, {S, "Sleep"}, {"other", "A"}, {"other", "c"}});
}

}  // namespace
