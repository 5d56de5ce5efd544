// The shell's routines and the settings store on the real Win32 services (run under Wine in
// a Japanese locale, so that the ANSI code page is 932).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "common/texts.h"
#include "platform/system.h"
#include "shell/resource_pack.h"
#include "shell/routines.h"
#include "shell/settings_store.h"

namespace {

class Win32Shell : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() / ("zephlora-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                                         "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
        folder_ = dir_.string();
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    std::string file(const std::string& name) const { return folder_ + "\\" + name; }

    std::filesystem::path dir_;
    std::string folder_;
};

TEST_F(Win32Shell, FileExistsAcceptsOneTrailingBackslash) {
    std::ofstream(file("a.txt")) << "x";
    EXPECT_TRUE(shell::FileExists(file("a.txt")));
    EXPECT_TRUE(shell::FileExists(file("a.txt") + "\\"));
    EXPECT_FALSE(shell::FileExists(file("b.txt")));
    EXPECT_FALSE(shell::FileExists(folder_));
    EXPECT_FALSE(shell::FileExists(""));
}

TEST_F(Win32Shell, SystemServicesAnswer) {
    EXPECT_TRUE(shell::IsWindowsNT());  // Wine reports the NT family
    shell::SetSystemKeysEnabled(true);   // must not fail or change anything visible
    const std::string folder = shell::ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '\\');
    EXPECT_EQ(shell::MemberPath(7), folder + "\\Zephlora007.zpk");
    EXPECT_EQ(shell::SettingsPath(), folder + "\\Zephlora.ini");
}

TEST_F(Win32Shell, SettingsRoundTripThroughTheProfileFunctions) {
    const std::string ini = file("Zephlora.ini");
    const std::string section(texts::kSettingsSection);
    EXPECT_EQ(shell::ReadSetting(section, texts::kKeyXAxis, ini), "");  // no file yet
    shell::WriteSetting(section, texts::kKeyXAxis, shell::SettingNumberText(5), ini);
    shell::WriteSetting(section, texts::kKeyBgmFile, std::string(300, 'q'), ini);
    shell::WriteSetting(section, texts::kKeyInterval, "2.9", ini);
    // Wine drops the leading blank that Windows keeps; either way the number reads back.
    const std::string x = shell::ReadSetting(section, texts::kKeyXAxis, ini);
    EXPECT_TRUE(x == "5" || x == " 5") << x;
    EXPECT_EQ(shell::ReadSetting(section, texts::kKeyBgmFile, ini), std::string(255, 'q'));
    EXPECT_EQ(shell::ReadSetting("SECTION", texts::kKeyInterval, ini), "2.9");
    // The key names reach the file as CP932 bytes.
    std::ifstream in(ini, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("X\x8e\xb2="), std::string::npos) << text;
    EXPECT_NE(text.find("\xb2\xdd\xc0\xb0\xca\xde\xd9="), std::string::npos) << text;
}

}  // namespace
