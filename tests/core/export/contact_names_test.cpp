#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "export/contact_names.h"
#include "export/markup_text.h"

namespace orrelin {
namespace {

struct MatchCase {
    const char* contact;
    const char* number;
    bool matches;
};

// One case a way a number may be written, or may fail to match.
constexpr MatchCase kMatchCases[] = {
    {"+44 7700 900123", "+447700900123", true},         // blanks
    {"+44 (7700) 900-123", "+44.7700.900123", true},    // brackets, dashes, dots
    {"+44 7700 900123", "0044 7700 900123", true},      // 00 for +
    {"+44 7700 900123", "07700 900123", true},          // national, trunk 0
    {"+44 7700 900123", "7700900123", true},            // national, no trunk 0
    {"07700 900123", "+447700900123", true},            // the other way round
    {"+1 555 0100 22", "555010022", true},              // a one-digit country code
    {"+961 71 555012", "71555012", true},               // a three-digit country code
    {"+44 7700 900123", "+33 7700 900123", false},      // another country
    {"07700 900123", "7700900123", false},              // both national: the digits differ
    {"+44 7700 900123", "+4477009001", false},          // fewer digits
    {"+44 12345", "12345", false},                      // too short across a country code
    {"12345", "12345", true},                           // short numbers match exactly
    {"+44 7700 900123", "+44 7700 900123 ext", false},  // a letter
    {"*100#", "*100#", false},                          // not a number
    {"+44 7700 900123", "", false},
    {"+44+7700900123", "+447700900123", false},        // a second +
    {"456789012345678", "+123456789012345678", true},  // 18 digits, 15 after the code
};

TEST(ContactNames, MatchingRule) {
    for (const MatchCase& c : kMatchCases) {
        ContactNames names;
        names.add(c.contact, "Eve");
        EXPECT_EQ(!names.find(c.number).empty(), c.matches) << c.contact << " / " << c.number;
    }
}

// The reading without allocation agrees with ReadDialledNumber up to 20 digits and reads
// nothing of a longer number.
TEST(ContactNames, ShortNumbersReadAsDialledNumbers) {
    std::vector<std::string> numbers;
    for (const MatchCase& c : kMatchCases) {
        numbers.emplace_back(c.contact);
        numbers.emplace_back(c.number);
    }
    numbers.insert(numbers.end(), {"+", "00", "000", "0012345678901234567890", "+1 2\t3",
                                   "12345678901234567890", "123456789012345678901", "5+5"});
    for (const std::string& number : numbers) {
        const auto dialled = ReadDialledNumber(number);
        const auto quick = ReadShortNumber(number);
        if (dialled && dialled->digits.size() <= ShortNumber::kMostDigits) {
            ASSERT_TRUE(quick) << number;
            EXPECT_EQ(quick->digits(), dialled->digits) << number;
            EXPECT_EQ(quick->international, dialled->international) << number;
        } else {
            EXPECT_FALSE(quick) << number;
        }
    }
}

TEST(ContactNames, ExactBeforeAcrossACountryCodeAndFirstContactWins) {
    ContactNames names;
    names.add("+44 7700 900123", "Uk");
    names.add("07700 900123", "National");
    names.add("+447700900123", "Later");
    EXPECT_EQ(names.find("07700900123"), "National");
    EXPECT_EQ(names.find("+447700900123"), "Uk");
    names.add("555", "");  // a contact without a name names nothing
    EXPECT_EQ(names.find("555"), "");
    // More digits than a number holds are matched to nothing.
    names.add("123456789012345678", "Long");
    EXPECT_EQ(names.find("123456789012345678"), "");
    EXPECT_EQ(names.find("+447700900123"), "Uk");  // still found after that add
}

TEST(ContactNames, AppendedNamesComeAfterThoseAddedBefore) {
    ContactNames first;
    first.add("+44 7700 900123", "Uk");
    ContactNames later;
    later.add("07700 900123", "National");
    later.add("+447700900123", "Later");
    later.add("555 0100", "Bob");
    first.append(std::move(later));
    EXPECT_EQ(first.find("+447700900123"), "Uk");
    EXPECT_EQ(first.find("07700900123"), "National");
    EXPECT_EQ(first.find("5550100"), "Bob");
}

TEST(MarkupText, EscapesMarkupAndLeavesOutWhatXmlCannotHold) {
    struct Case {
        std::string_view in;
        bool attribute;
        std::string_view out;
    };
    const Case cases[] = {
        {"<a href=\"x\">'&'</a>", false, "&lt;a href=&quot;x&quot;&gt;&#39;&amp;&#39;&lt;/a&gt;"},
        {"a\tb\nc\rd", false, "a\tb\nc\rd"},
        {"a\tb\nc\rd", true, "a&#9;b&#10;c&#13;d"},
        {std::string_view("\x01\x0b\x1b\x7f\0z", 6), true, "z"},
        {"\xEF\xBF\xBE\xEF\xBF\xBF\xEF\xBF\xBD", false, "\xEF\xBF\xBD"},  // U+FFFE, U+FFFF go
        {"\xC3\xA9 \xD9\x85 \xF0\x9F\x98\x80", true, "\xC3\xA9 \xD9\x85 \xF0\x9F\x98\x80"},
        {"\xFF\xC3", false, "\xEF\xBF\xBD\xEF\xBF\xBD"},  // bytes outside UTF-8
    };
    for (const Case& c : cases) {
        std::string out;
        AppendMarkupText(out, c.in, c.attribute);
        EXPECT_EQ(out, c.out) << c.in;
    }
}

TEST(MarkupText, EscapesWhereverInALongText) {
    struct Case {
        std::string_view in;
        std::string_view out;
    };
    const Case cases[] = {{"&", "&amp;"},
                          {"<", "&lt;"},
                          {">", "&gt;"},
                          {"\"", "&quot;"},
                          {"'", "&#39;"},
                          {" ", " "},
                          {"\x1f", ""},
                          {"\x7f", ""},
                          {"\t", "&#9;"},
                          {"\xC3\xA9", "\xC3\xA9"},
                          {"\xFF", "\xEF\xBF\xBD"}};
    for (const Case& c : cases) {
        // Texts are scanned sixteen and eight bytes at a time: every place in two blocks.
        for (std::size_t at = 0; at <= 40; ++at) {
            const std::string before(at, 'a');
            const std::string after(40 - at, 'B');
            std::string out;
            AppendMarkupText(out, before + std::string(c.in) + after, true);
            EXPECT_EQ(out, before + std::string(c.out) + after) << c.in << " at " << at;
        }
    }
}

TEST(MarkupText, ReadableTimesAndZones) {
    const DateStyle us;
    EXPECT_EQ(ReadableTime(1256592300, 0, us), "10/26/2009 9:25:00 PM");
    EXPECT_EQ(ReadableTime(1256592300, 3, us), "10/27/2009 12:25:00 AM");
    EXPECT_EQ(ReadableTime(1256601600, 0, us), "10/27/2009 12:00:00 AM");  // midnight
    EXPECT_EQ(ReadableTime(1256592300, -5.5, us), "10/26/2009 3:55:00 PM");
    EXPECT_EQ(ReadableTime(1256592300, 1e9, us), "10/26/2009 9:25:00 PM");  // no such zone
    EXPECT_EQ(ReadableTime(253402300800, 0, us), "");                       // past 9999
    EXPECT_EQ(ZoneName(0), "UTC");
    EXPECT_EQ(ZoneName(3), "UTC+3");
    EXPECT_EQ(ZoneName(-5.5), "UTC-5:30");
    EXPECT_EQ(ZoneName(5.75), "UTC+5:45");
}

TEST(MarkupText, ReadableTimesWriteWhatReadableTimeWrites) {
    DateStyle german;
    german.datePattern = "dd.MM.yyyy";
    german.timePattern = "HH:mm:ss";
    DateStyle odd;  // quotes, a quote, date letters and a lone letter in the time pattern
    odd.datePattern = "yy-M-d";
    odd.timePattern = "H'h'mm 'o''clock' '' s tt d/MM/yyyy/yy x";
    odd.am = "vorm.";
    odd.pm = "\xE5\x8D\x88\xE5\xBE\x8C";
    const DateStyle styles[] = {DateStyle{}, german, odd};
    const double zones[] = {0, 3, -5.5, 5.75, 1e9};
    const std::int64_t instants[] = {0,
                                     -1,
                                     1256592300,
                                     1256601600,
                                     1256601599,
                                     -2209161600,
                                     -2209161601,
                                     -62135596800,
                                     253402300799,
                                     253402300800,
                                     std::int64_t{1} << 41,
                                     -(std::int64_t{1} << 41)};
    for (const DateStyle& style : styles) {
        for (double zone : zones) {
            ReadableTimes times(zone, style);
            for (std::int64_t instant : instants) {
                EXPECT_EQ(times.text(instant), ReadableTime(instant, zone, style))
                    << instant << " " << zone << " " << style.timePattern;
            }
            for (std::int64_t instant = 1262300000; instant < 1262400000; instant += 997)
                ASSERT_EQ(times.text(instant), ReadableTime(instant, zone, style)) << instant;
        }
    }
}

}  // namespace
}  // namespace orrelin
