#include <gtest/gtest.h>

#include <locale.h>
#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>

#include "decoders/time_format.h"

namespace orrelin {
namespace {

const DateStyle kUs = DateStyle::UsEnglish();

TEST(TimeZoneText, StoredSettingBecomesOffsetHours) {
    EXPECT_EQ(TimeZoneTextFromSetting("GMT"), "0");
    EXPECT_EQ(TimeZoneTextFromSetting("+11"), "+11");
    EXPECT_EQ(TimeZoneTextFromSetting("GMT+2"), "0+2");
    EXPECT_EQ(TimeZoneTextFromSetting("gmt"), "gmt");  // the match is case-sensitive

    EXPECT_EQ(OffsetHours("0"), 0);
    EXPECT_EQ(OffsetHours("+11"), 11);
    EXPECT_EQ(OffsetHours("-3"), -3);
    EXPECT_EQ(OffsetHours(TimeZoneTextFromSetting("GMT+2")), 0);  // reading stops at the sign
    EXPECT_EQ(OffsetHours("GMT+2"), 0);
    EXPECT_EQ(OffsetHours(""), 0);
    EXPECT_EQ(OffsetHours(" -\t3\n"), -3);  // blanks are ignored wherever they stand
    EXPECT_EQ(OffsetHours("1 2"), 12);
    EXPECT_EQ(OffsetHours("5.5h"), 5.5);
    EXPECT_EQ(OffsetHours("+-3"), 0);
    EXPECT_EQ(OffsetHours("2.5.1"), 2.5);
}

TEST(MillisToDate, BaseIsThreeHoursAfterTheEpochPlusTheOffset) {
    EXPECT_EQ(MillisToDate(0, "0", kUs), "1/1/1970 3:00:00 AM");
    EXPECT_EQ(MillisToDate(0, "+11", kUs), "1/1/1970 2:00:00 PM");
    EXPECT_EQ(MillisToDate(0, "-3", kUs), "1/1/1970");  // midnight shows the date alone
    // 2009-10-26 21:25:00 UTC.
    EXPECT_EQ(MillisToDate(1256592300000.0, "0", kUs), "10/27/2009 12:25:00 AM");
}

TEST(MillisToDate, CountsPastTheYear9999GiveTheEmptyText) {
    EXPECT_EQ(MillisToDate(281474976710655.0, "0", kUs), "");  // six bytes FF
    EXPECT_EQ(MillisToDate(18446744073709551615.0, "0", kUs), "");
    EXPECT_EQ(MillisToDate(std::numeric_limits<double>::quiet_NaN(), "0", kUs), "");
}

TEST(MinutesToDate, SignedMinuteCounts) {
    // 2004-02-01 12:48 UTC; the sum is a hair below the minute and must round up.
    EXPECT_EQ(MinutesToDate(17927328, "0", kUs), "2/1/2004 3:48:00 PM");
    EXPECT_EQ(MinutesToDate(60, "0", kUs), "1/1/1970 4:00:00 AM");
    EXPECT_EQ(MinutesToDate(-1, "0", kUs), "1/1/1970 2:59:00 AM");
    EXPECT_EQ(MinutesToDate(std::numeric_limits<std::int32_t>::max(), "0", kUs),
              "1/23/6053 5:07:00 AM");
    // About 4083 years before 1970: before the year 100.
    EXPECT_EQ(MinutesToDate(std::numeric_limits<std::int32_t>::min(), "0", kUs), "");
}

TEST(FormatDayCount, DateAloneTimeAloneAndRounding) {
    EXPECT_EQ(FormatDayCount(39886 + (17 * 3600 + 7 * 60 + 9) / 86400.0, kUs),
              "3/14/2009 5:07:09 PM");
    EXPECT_EQ(FormatDayCount(1, kUs), "12/31/1899");
    EXPECT_EQ(FormatDayCount(0, kUs), "12:00:00 AM");
    EXPECT_EQ(FormatDayCount(0.5, kUs), "12:00:00 PM");
    EXPECT_EQ(FormatDayCount(0.25, kUs), "6:00:00 AM");
    // Half a second past 23:59:59 rounds into the next day, which then shows alone.
    EXPECT_EQ(FormatDayCount(1 + 86399.6 / 86400, kUs), "1/1/1900");
    EXPECT_EQ(FormatDayCount(1 + 0.4 / 86400, kUs), "12/31/1899");
}

TEST(FormatDayCount, NegativeCountsReadTheFractionAsTheTimeOfThatDay) {
    EXPECT_EQ(FormatDayCount(-1.25, kUs), "12/29/1899 6:00:00 AM");
    EXPECT_EQ(FormatDayCount(-1, kUs), "12/29/1899");
    EXPECT_EQ(FormatDayCount(-0.5, kUs), "12:00:00 PM");
    // 1899-12-28 23:59:59.9 rounds to the next calendar day.
    EXPECT_EQ(FormatDayCount(-2 - 86399.9 / 86400, kUs), "12/29/1899");
}

TEST(FormatDayCount, RangeLimits) {
    EXPECT_EQ(FormatDayCount(-657434, kUs), "1/1/0100");
    EXPECT_EQ(FormatDayCount(-657434.5, kUs), "1/1/0100 12:00:00 PM");
    EXPECT_EQ(FormatDayCount(-657435, kUs), "");
    EXPECT_EQ(FormatDayCount(2958465 + 86399.0 / 86400, kUs), "12/31/9999 11:59:59 PM");
    EXPECT_EQ(FormatDayCount(2958465 + 86399.7 / 86400, kUs), "");  // rounds into 10000
    EXPECT_EQ(FormatDayCount(2958466, kUs), "");
    EXPECT_EQ(FormatDayCount(std::numeric_limits<double>::infinity(), kUs), "");
    EXPECT_EQ(FormatDayCount(-1e300, kUs), "");
}

TEST(FormatDayCount, FollowsTheStylePatterns) {
    DateStyle german;
    german.datePattern = "dd.MM.yyyy";
    german.timePattern = "HH:mm:ss";
    EXPECT_EQ(FormatDayCount(39886 + (7 * 3600 + 7 * 60 + 9) / 86400.0, german),
              "14.03.2009 07:07:09");
    DateStyle quoted;
    quoted.datePattern = "yy'y' d 'o''clock'";
    quoted.timePattern = "hh tt";
    quoted.pm = "nm";
    EXPECT_EQ(FormatDayCount(39886.75, quoted), "09y 14 o'clock 06 nm");
}

TEST(DateStyle, FromTheLocalesCFormats) {
    const double when = 39886 + (17 * 3600 + 7 * 60 + 9) / 86400.0;
    EXPECT_EQ(FormatDayCount(when, DateStyle::FromCFormats("%d.%m.%Y", "%T", "", "")),
              "14.03.2009 17:07:09");
    EXPECT_EQ(FormatDayCount(when, DateStyle::FromCFormats("%-m/%e/%y", "%I:%M:%S %p", "am", "pm")),
              "3/14/09 05:07:09 pm");
    // Literal letters are kept as they are, not read as pattern letters.
    EXPECT_EQ(FormatDayCount(when, DateStyle::FromCFormats("%Y年%m月%d日", "%Hh%Mm%Ss", "", "")),
              "2009年03月14日 17h07m09s");
    EXPECT_EQ(FormatDayCount(when, DateStyle::FromCFormats("day %d, %F", "%R", "", "")),
              "day 14, 2009-03-14 17:07");
}

// Sets or clears the locale variables for one test and puts them back afterwards.
class LocaleEnvironment : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : kNames) {
            const char* value = std::getenv(name);
            saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
            ::unsetenv(name);
        }
    }
    void TearDown() override {
        for (const auto& [name, value] : saved_) {
            if (value) {
                ::setenv(name, value->c_str(), 1);
            } else {
                ::unsetenv(name);
            }
        }
    }
    static constexpr const char* kNames[] = {"LC_ALL", "LC_TIME", "LANG"};
    std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

bool SameStyle(const DateStyle& a, const DateStyle& b) {
    return a.datePattern == b.datePattern && a.timePattern == b.timePattern && a.am == b.am &&
           a.pm == b.pm;
}

TEST_F(LocaleEnvironment, CPosixEnglishAndMissingLocalesGiveUsEnglish) {
    EXPECT_TRUE(SameStyle(DateStyle::FromEnvironment(), kUs));
    ::setenv("LANG", "C", 1);
    EXPECT_TRUE(SameStyle(DateStyle::FromEnvironment(), kUs));
    ::setenv("LANG", "POSIX", 1);
    EXPECT_TRUE(SameStyle(DateStyle::FromEnvironment(), kUs));
    ::setenv("LANG", "en_US.UTF-8", 1);
    EXPECT_TRUE(SameStyle(DateStyle::FromEnvironment(), kUs));
    ::setenv("LANG", "xx_NOWHERE.UTF-8", 1);
    EXPECT_TRUE(SameStyle(DateStyle::FromEnvironment(), kUs));
}

TEST_F(LocaleEnvironment, GermanLocaleWhenInstalled) {
    locale_t probe = ::newlocale(LC_TIME_MASK, "de_DE.UTF-8", static_cast<locale_t>(nullptr));
    if (probe == static_cast<locale_t>(nullptr)) GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    ::freelocale(probe);
    const char* before = std::setlocale(LC_TIME, nullptr);
    std::string processLocale = before ? before : "";

    // LC_ALL wins over LC_TIME, which wins over LANG.
    ::setenv("LANG", "en_US.UTF-8", 1);
    ::setenv("LC_TIME", "de_DE.UTF-8", 1);
    DateStyle style = DateStyle::FromEnvironment();
    EXPECT_EQ(FormatDayCount(39886 + (17 * 3600 + 7 * 60 + 9) / 86400.0, style),
              "14.03.2009 17:07:09");
    ::setenv("LC_ALL", "C", 1);
    EXPECT_TRUE(SameStyle(DateStyle::FromEnvironment(), kUs));

    const char* after = std::setlocale(LC_TIME, nullptr);
    EXPECT_EQ(processLocale, after ? after : "");  // the process locale is left alone
}

}  // namespace
}  // namespace orrelin
