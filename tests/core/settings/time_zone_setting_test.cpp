// The stored time-zone setting: reading the settings file as the window's store writes it,
// writing it back without losing the file's other entries, and where the file lies.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

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

TEST(WithTimeZoneSetting, SetsTheKeyAndKeepsEverythingElse) {
    EXPECT_EQ(WithTimeZoneSetting("", "+3"), "[TZ]\ntzd=+3\n");
    EXPECT_EQ(WithTimeZoneSetting("[A]\nx=1\n", "GMT"), "[A]\nx=1\n\n[TZ]\ntzd=GMT\n");
    EXPECT_EQ(WithTimeZoneSetting("[TZ]\nother=1\n\n[B]\ny=2\n", "-2"),
              "[TZ]\nother=1\ntzd=-2\n\n[B]\ny=2\n");
    EXPECT_EQ(WithTimeZoneSetting("[TZ]\ntzd=+1\nz=3\n", "+11"), "[TZ]\ntzd=+11\nz=3\n");
    // Whatever is written reads back unchanged.
    for (std::string value : {"+3", " padded ", "a,b;c=d", "quote\"back\\slash", "@at", "t\tn\n"}) {
        EXPECT_EQ(ParseTimeZoneSetting(WithTimeZoneSetting("[TZ]\ntzd=old\n", value)), value)
            << value;
    }
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
    EXPECT_EQ(TimeZoneSettingPath(), "/cfg/orrelin_beta.conf");
    ::setenv("XDG_CONFIG_HOME", "relative", 1);  // not absolute: ignored
    EXPECT_EQ(TimeZoneSettingPath(), "/home/u/.config/orrelin_beta.conf");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(TimeZoneSettingPath(), "/home/u/.config/orrelin_beta.conf");
    ::unsetenv("HOME");
    EXPECT_EQ(TimeZoneSettingPath(), "");
    EXPECT_EQ(ReadStoredTimeZone(), "GMT");
    EXPECT_TRUE(WriteStoredTimeZone("+3").has_value());  // nowhere to write
}

TEST_F(SettingsFileTest, WrittenThenReadAndGmtWithoutOne) {
    ::setenv("XDG_CONFIG_HOME", (dir_ / "config").c_str(), 1);
    EXPECT_EQ(ReadStoredTimeZone(), "GMT");
    ASSERT_EQ(WriteStoredTimeZone("+3"), std::nullopt);  // creates the folder too
    EXPECT_EQ(ReadStoredTimeZone(), "+3");
    ASSERT_EQ(WriteStoredTimeZone("-11"), std::nullopt);
    EXPECT_EQ(ReadStoredTimeZone(), "-11");
    std::ifstream in(dir_ / "config" / "orrelin_beta.conf");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "[TZ]\ntzd=-11\n");
}

TEST_F(SettingsFileTest, AnUnreadableSettingsFileCountsAsNone) {
    fs::create_directories(dir_ / "orrelin_beta.conf");  // a folder in the file's place
    EXPECT_EQ(ReadTimeZoneSetting((dir_ / "orrelin_beta.conf").string()), std::nullopt);
    EXPECT_EQ(ReadTimeZoneSetting((dir_ / "absent.conf").string()), std::nullopt);
    EXPECT_TRUE(WriteTimeZoneSetting((dir_ / "orrelin_beta.conf").string(), "+1").has_value());
}

}  // namespace
}  // namespace orrelin
