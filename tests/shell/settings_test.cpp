#include <gtest/gtest.h>

#include "common/texts.h"
#include "shell/routines.h"
#include "shell/settings_store.h"
#include "shell_fixture.h"

using shell::SaverSettings;

class SettingsTest : public ShellTest {
protected:
    void ini(const std::string& body) {
        testing_support::write_bytes(shell::SettingsPath(), "[Section]\r\n" + body);
    }
    void key(std::string_view name, const std::string& value) {
        shell::WriteSetting(texts::kSettingsSection, name, value, shell::SettingsPath());
    }
};

TEST_F(SettingsTest, MissingFileGivesTheDefaults) {
    shell::LoadSettings();
    EXPECT_EQ(SaverSettings.Interval, 2);
    EXPECT_EQ(SaverSettings.NeonEffect, 0);
    EXPECT_EQ(SaverSettings.XAxis, 5);
    EXPECT_EQ(SaverSettings.YAxis, 5);
    EXPECT_EQ(SaverSettings.ZAxis, 5);
    EXPECT_EQ(SaverSettings.Sleep, 1);
    EXPECT_EQ(SaverSettings.BgmKind, 0);
    EXPECT_EQ(SaverSettings.BgmRepeat, 0);
    EXPECT_EQ(SaverSettings.BgmFile, "");
    EXPECT_FALSE(testing_support::exists(shell::SettingsPath()));  // nothing written back
}

TEST_F(SettingsTest, SixteenBitFieldsRoundDownAndKeepTheirValueOnFailure) {
    key(texts::kKeyInterval, "abc");
    key(texts::kKeySleep, "2.9");
    key(texts::kKeyBgmRepeat, "-1.5");
    key(texts::kKeyNeonEffect, "32768");
    key(texts::kKeyBgmKind, " 1 ");
    shell::LoadSettings();
    EXPECT_EQ(SaverSettings.Interval, 0);  // not the default 2
    EXPECT_EQ(SaverSettings.Sleep, 2);
    EXPECT_EQ(SaverSettings.BgmRepeat, -2);
    EXPECT_EQ(SaverSettings.NeonEffect, 0);
    EXPECT_EQ(SaverSettings.BgmKind, 1);
    key(texts::kKeyInterval, "32767.9");
    key(texts::kKeySleep, "1e1");
    shell::LoadSettings();
    EXPECT_EQ(SaverSettings.Interval, 32767);
    EXPECT_EQ(SaverSettings.Sleep, 10);
}

TEST_F(SettingsTest, AxesRoundHalfToEven) {
    key(texts::kKeyXAxis, "2.5");
    key(texts::kKeyYAxis, "3.5");
    key(texts::kKeyZAxis, "-0.5");
    shell::LoadSettings();
    EXPECT_EQ(SaverSettings.XAxis, 2);
    EXPECT_EQ(SaverSettings.YAxis, 4);
    EXPECT_EQ(SaverSettings.ZAxis, 0);
    key(texts::kKeyXAxis, "2147483648");
    key(texts::kKeyYAxis, "-2147483648");
    shell::LoadSettings();
    EXPECT_EQ(SaverSettings.XAxis, 2);  // does not fit: keeps the value it had
    EXPECT_EQ(SaverSettings.YAxis, -2147483647 - 1);
}

TEST_F(SettingsTest, NumbersSavedWithALeadingBlankReadBack) {
    key(texts::kKeyXAxis, shell::SettingNumberText(7));
    key(texts::kKeyInterval, shell::SettingNumberText(-3));
    EXPECT_EQ(shell::SettingNumberText(7), " 7");
    EXPECT_EQ(shell::SettingNumberText(-3), "-3");
    shell::LoadSettings();
    EXPECT_EQ(SaverSettings.XAxis, 7);
    EXPECT_EQ(SaverSettings.Interval, -3);
    // The file holds the CP932 key name and the blank: "X軸= 7".
    const std::string text = testing_support::read_bytes(shell::SettingsPath());
    EXPECT_NE(text.find("X\x8e\xb2= 7\r\n"), std::string::npos) << text;
}

TEST_F(SettingsTest, MusicFileFallsBackWhenTheFileIsGone) {
    const std::string song = folder.file("song.mp3");
    testing_support::write_bytes(song, "ID3");
    key(texts::kKeyBgmKind, "2");
    key(texts::kKeyBgmFile, song);
    shell::LoadSettings();
    EXPECT_EQ(SaverSettings.BgmKind, 2);
    EXPECT_EQ(SaverSettings.BgmFile, song);

    key(texts::kKeyBgmFile, folder.file("gone.mp3"));
    shell::LoadSettings();
    EXPECT_EQ(SaverSettings.BgmKind, 0);
    EXPECT_EQ(SaverSettings.BgmFile, "");

    key(texts::kKeyBgmKind, "1");
    shell::LoadSettings();
    EXPECT_EQ(SaverSettings.BgmKind, 1);  // the audio CD stays, only the path goes
    EXPECT_EQ(SaverSettings.BgmFile, "");

    key(texts::kKeyBgmKind, "2");
    key(texts::kKeyBgmFile, "");
    shell::LoadSettings();
    EXPECT_EQ(SaverSettings.BgmKind, 0);
}

TEST_F(SettingsTest, ValuesAreCutTo255Bytes) {
    const std::string long_value(300, '7');
    key(texts::kKeyBgmFile, long_value);
    EXPECT_EQ(shell::ReadSetting(texts::kSettingsSection, texts::kKeyBgmFile, shell::SettingsPath()),
              std::string(255, '7'));
    // A double-byte character across the cut is left out whole.
    const std::string kanji = std::string(254, 'a') + "\x8e\xb2" + "b";
    key(texts::kKeyBgmFile, kanji);
    EXPECT_EQ(shell::ReadSetting(texts::kSettingsSection, texts::kKeyBgmFile, shell::SettingsPath()),
              std::string(254, 'a'));
}

TEST_F(SettingsTest, HandWrittenFileWithOtherCaseAndBlanksReads) {
    ini("  \xb2\xdd\xc0\xb0\xca\xde\xd9 =  9 \r\nsleep=3\r\n; comment\r\n[other]\r\nX\x8e\xb2=1\r\n");
    shell::LoadSettings();
    EXPECT_EQ(SaverSettings.Interval, 9);
    EXPECT_EQ(SaverSettings.Sleep, 3);
    EXPECT_EQ(SaverSettings.XAxis, 5);  // X軸 lies in another section
}

TEST_F(SettingsTest, OverlongNamesWriteNothing) {
    shell::WriteSetting("Section", std::string(128, 'k'), "1", shell::SettingsPath());
    shell::WriteSetting(std::string(128, 's'), "k", "1", shell::SettingsPath());
    EXPECT_FALSE(testing_support::exists(shell::SettingsPath()));
    shell::WriteSetting("Section", std::string(127, 'k'), "1", shell::SettingsPath());
    EXPECT_EQ(shell::ReadSetting("Section", std::string(127, 'K'), shell::SettingsPath()), "1");
}
