#pragma once

// Stored times become display text on a day-count scale: days since 1899-12-30 00:00, the
// fraction being the time of day. The base of every conversion is 25569.125 + H / 24, where H
// is the leading number of the time-zone text: 1970-01-01 03:00 plus H hours. That 3-hour lead
// is how the handheld's times have always been shown by this program, and is kept.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orrelin {

// How a date and a time of day are written: the locale's short date and long time.
struct DateStyle {
    // Patterns: d, dd, M, MM, yyyy for the date; h, hh (12-hour), H, HH, m, mm, s, ss, and
    // tt (the AM/PM designator) for the time, yy for a two-digit year. Text in single quotes
    // is literal ('' is a quote); other characters stand as they are.
    std::string datePattern = "M/d/yyyy";
    std::string timePattern = "h:mm:ss tt";
    std::string am = "AM";
    std::string pm = "PM";

    static DateStyle UsEnglish() { return {}; }
    // The style of the environment's LC_ALL / LC_TIME / LANG; C, POSIX and English (United
    // States) give UsEnglish().
    static DateStyle FromEnvironment();
    // The style of a locale's C formats (nl_langinfo's D_FMT and T_FMT, such as "%d.%m.%Y" and
    // "%H:%M:%S") and AM/PM words; conversions without a pattern letter are left out.
    static DateStyle FromCFormats(std::string_view dateFormat, std::string_view timeFormat,
                                  std::string am, std::string pm);
};

// Reads a pattern of DateStyle: hands each run of one character outside quotes to
// `token(character, run)` and each piece of literal text (quoted text, '' standing for a
// quote) to `literal(text)`, in order. Which characters are pattern letters is the caller's.
template <typename Literal, typename Token>
void ReadPattern(std::string_view pattern, Literal literal, Token token) {
    std::size_t i = 0;
    while (i < pattern.size()) {
        const char c = pattern[i];
        if (c == '\'') {
            ++i;
            if (i < pattern.size() && pattern[i] == '\'') {
                literal(std::string_view("'"));
                ++i;
                continue;
            }
            while (i < pattern.size()) {
                if (pattern[i] != '\'') {
                    literal(pattern.substr(i++, 1));
                } else if (i + 1 < pattern.size() && pattern[i + 1] == '\'') {
                    literal(std::string_view("'"));
                    i += 2;
                } else {
                    ++i;
                    break;
                }
            }
            continue;
        }
        std::size_t run = 1;
        while (i + run < pattern.size() && pattern[i + run] == c)
            ++run;
        token(c, run);
        i += run;
    }
}

// The stored setting as the program uses it: every "GMT" replaced by "0".
std::string TimeZoneTextFromSetting(std::string_view stored);

// The leading number of a time-zone text: blanks, tabs and line feeds are ignored anywhere, an
// optional sign, digits and an optional fraction are read; 0 when there is no number.
double OffsetHours(std::string_view timeZoneText);

// Display text of a day count; empty outside 100-01-01 .. 9999-12-31 23:59:59. The time of
// day is rounded to the second; 00:00:00 shows the date alone and day 0 the time alone.
std::string FormatDayCount(double dayCount, const DateStyle& style);

// The conversions of stored counts since 1970-01-01 00:00 UTC.
std::string MillisToDate(double millis, std::string_view timeZoneText, const DateStyle& style);
std::string MinutesToDate(std::int32_t minutes, std::string_view timeZoneText,
                          const DateStyle& style);

}  // namespace orrelin
