// The stored time-zone setting: reading the settings file as the window's store writes it, and
// where the file lies.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "settings/time_zone_setting.h"

namespace orrelin {
namespace {

namespace fs = std::filesystem;

TEST(ParseTimeZoneSetting, ReadsKeyTzdOfSectionTz) {
    EXPECT_EQ(ParseTimeZoneSetting("[TZ]\ntzd=+3\n"), "+3");
    EXPECT_EQ(ParseTimeZoneSetting("[General]\ntzd=+1\n\n[TZ]\r\ntzd = -5 \r\n"), "-5");
    EXPECT_EQ(ParseTimeZoneSetting("; comment\n# other\n[TZ]\nother=1\ntzd=GMT\n"), "GMT");
    EXPECT_EQ(ParseTimeZoneSetting("[TZ]\ntzd=+1\ntzd=+2\n"), "+2");  // the last one counts
    EXPECT_EQ(ParseTimeZoneSetting("[TZ]\ntzd=\n"), "");
}

TEST(ParseTimeZoneSetting, NothingWithoutTheKeyInItsSection) {
    EXPECT_FALSE(ParseTimeZoneSetting(""));
    EXPECT_FALSE(ParseTimeZoneSetting("tzd=+3\n"));
    EXPECT_FALSE(ParseTimeZoneSetting("[Other]\ntzd=+3\n"));
    EXPECT_FALSE(ParseTimeZoneSetting("[tz]\ntzd=+3\n"));  // names are case-sensitive
    EXPECT_FALSE(ParseTimeZoneSetting("[TZ]\nTZD=+3\n"));
    EXPECT_FALSE(ParseTimeZoneSetting("[TZ]\ntzd=a, b\n"));  // a list, not a text
    EXPECT_FALSE(ParseTimeZoneSetting("[TZ]\ntzd=@Point(1 2)\n"));
}

TEST(ParseTimeZoneSetting, UndoesQuotesAndEscapes) {
    EXPECT_EQ(ParseTimeZoneSetting("[TZ]\ntzd=\"+3\"\n"), "+3");
    EXPECT_EQ(ParseTimeZoneSetting("[TZ]\ntzd=\" +3, x\"\n"), " +3, x");
    EXPECT_EQ(ParseTimeZoneSetting("[TZ]\ntzd=\"a\\\"b\\\\c\\td\"\n"), "a\"b\\c\td");
    EXPECT_EQ(ParseTimeZoneSetting("[TZ]\ntzd=+3 ; note\n"), "+3");
    EXPECT_EQ(ParseTimeZoneSetting("[TZ]\ntzd=@@home\n"), "@home");
    EXPECT_EQ(ParseTimeZoneSetting("[TZ]\ntzd=@String(+4)\n"), "+4");
    EXPECT_EQ(ParseTimeZoneSetting("[TZ]\ntzd=\\x633\n"), "\u0633");
    EXPECT_EQ(ParseTimeZoneSetting("[%54%5A]\n%74zd=+6\n"), "+6");
}

class SettingsFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::path(::testing::TempDir()) /
               ("orrelin-settings-" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        for (const char* name : {"XDG_CONFIG_HOME", "HOME"}) {
            const char* v = std::getenv(name);
            saved_.emplace_back(name, v ? std::optional<std::string>(v) : std::nullopt);
        }
    }
    void TearDown() override {
        for (const auto& [name, value] : saved_) {
            if (value) {
                ::setenv(name.c_str(), value->c_str(), 1);
            } else {
                ::unsetenv(name.c_str());
            }
        }
        fs::remove_all(dir_);
    }

    fs::path dir_;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST_F(SettingsFileTest, TheFileLiesInTheConfigFolderOfTheEnvironment) {
    ::setenv("XDG_CONFIG_HOME", "/cfg", 1);
    ::setenv("HOME", "/home/u", 1);
    EXPECT_EQ(SettingsFilePath(), "/cfg/orrelin_beta.conf");
    ::setenv("XDG_CONFIG_HOME", "relative", 1);  // not absolute: ignored
    EXPECT_EQ(SettingsFilePath(), "/home/u/.config/orrelin_beta.conf");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(SettingsFilePath(), "/home/u/.config/orrelin_beta.conf");
    ::unsetenv("HOME");
    EXPECT_EQ(SettingsFilePath(), "");
    EXPECT_EQ(ReadStoredTimeZone(), "GMT");
}

TEST_F(SettingsFileTest, ReadFromTheFileAndGmtWithoutOne) {
    ::setenv("XDG_CONFIG_HOME", dir_.c_str(), 1);
    EXPECT_EQ(ReadStoredTimeZone(), "GMT");  // no file
    std::ofstream(dir_ / "orrelin_beta.conf") << "[TZ]\ntzd=-11\n";
    EXPECT_EQ(ReadStoredTimeZone(), "-11");
    fs::remove(dir_ / "orrelin_beta.conf");
    fs::create_directories(dir_ / "orrelin_beta.conf");  // a folder in the file's place
    EXPECT_EQ(ReadStoredTimeZone(), "GMT");
}

}  // namespace
}  // namespace orrelin
