#include "decoders/time_format.h"

#include <cctype>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "io/platform.h"

namespace orrelin {
namespace {

// 1970-01-01 00:00 on the day-count scale, and the 3 hours every conversion has always added.
constexpr double kUnixEpochDays = 25569.0;
constexpr double kBaseLead = 0.125;

// The representable range: 100-01-01 and 9999-12-31 as day counts.
constexpr std::int64_t kFirstDay = -657434;
constexpr std::int64_t kLastDay = 2958465;
constexpr std::int64_t kSecondsPerDay = 86400;

struct CivilDate {
    std::int64_t year;
    unsigned month;
    unsigned day;
};

// The proleptic Gregorian date of a day count (days since 1899-12-30).
CivilDate DateOfDay(std::int64_t dayCount) {
    // Days since 0000-03-01, counted in 400-year eras of 146097 days.
    std::int64_t z = dayCount - static_cast<std::int64_t>(kUnixEpochDays) + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<std::uint64_t>(z - era * 146097);
    const std::uint64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::uint64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::uint64_t mp = (5 * doy + 2) / 153;
    const auto day = static_cast<unsigned>(doy - (153 * mp + 2) / 5 + 1);
    const auto month = static_cast<unsigned>(mp < 10 ? mp + 3 : mp - 9);
    std::int64_t year = static_cast<std::int64_t>(yoe) + era * 400 + (month <= 2 ? 1 : 0);
    return {year, month, day};
}

// Appends value in decimal, behind as many zeros as make it `width` characters (a minus sign
// counts as one of them).
void AppendPadded(std::string& out, std::int64_t value, std::size_t width) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    const auto size = static_cast<std::size_t>(end - digits);
    if (size < width) out.append(width - size, '0');
    out.append(digits, size);
}

// Writes one pattern: runs of the same pattern letter are one token, text in single quotes is
// literal ('' is a quote), every other character stands as it is.
std::string ApplyPattern(std::string_view pattern, const CivilDate& date, int hour, int minute,
                         int second, const DateStyle& style) {
    std::string out;
    const int hour12 = hour % 12 == 0 ? 12 : hour % 12;
    ReadPattern(
        pattern, [&](std::string_view text) { out += text; },
        [&](char c, std::size_t run) {
            const std::size_t width = run >= 2 ? 2 : 1;
            switch (c) {
                case 'd':
                    AppendPadded(out, date.day, width);
                    break;
                case 'M':
                    AppendPadded(out, date.month, width);
                    break;
                case 'y':
                    if (run >= 3) {
                        AppendPadded(out, date.year, 4);
                    } else {
                        AppendPadded(out, date.year % 100, width);
                    }
                    break;
                case 'h':
                    AppendPadded(out, hour12, width);
                    break;
                case 'H':
                    AppendPadded(out, hour, width);
                    break;
                case 'm':
                    AppendPadded(out, minute, width);
                    break;
                case 's':
                    AppendPadded(out, second, width);
                    break;
                case 't':
                    out += hour < 12 ? style.am : style.pm;
                    break;
                default:
                    out.append(run, c);
                    break;
            }
        });
    return out;
}

// The pattern token of a strftime conversion letter, or nullptr for one we have no token for.
const char* TokenFor(char conversion, bool unpadded) {
    switch (conversion) {
        case 'd':
            return unpadded ? "d" : "dd";
        case 'e':
            return "d";
        case 'm':
            return unpadded ? "M" : "MM";
        case 'Y':
            return "yyyy";
        case 'y':
            return "yy";
        case 'H':
            return unpadded ? "H" : "HH";
        case 'k':
            return "H";
        case 'I':
            return unpadded ? "h" : "hh";
        case 'l':
            return "h";
        case 'M':
            return "mm";
        case 'S':
            return "ss";
        case 'p':
        case 'P':
            return "tt";
        case 'T':
            return "HH:mm:ss";
        case 'R':
            return "HH:mm";
        case 'r':
            return "hh:mm:ss tt";
        case 'D':
            return "MM/dd/yy";
        case 'F':
            return "yyyy-MM-dd";
        default:
            return nullptr;
    }
}

// Appends the literal text gathered so far and empties it, quoted when it holds a letter (a
// quote inside doubled).
void FlushLiteral(std::string& out, std::string& literal) {
    if (literal.empty()) return;
    bool letters = false;
    for (char c : literal)
        letters = letters || std::isalpha(static_cast<unsigned char>(c));
    if (letters) {
        out += '\'';
        for (char c : literal)
            out += c == '\'' ? std::string("''") : std::string(1, c);
        out += '\'';
    } else {
        out += literal;
    }
    literal.clear();
}

// Our pattern for a C time format of the locale (nl_langinfo's D_FMT / T_FMT). Letters that
// would read as pattern letters are quoted; conversions we have no token for are left out.
std::string PatternFromStrftime(std::string_view format) {
    std::string out;
    std::string literal;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 >= format.size()) {
            literal.push_back(format[i]);
            continue;
        }
        char c = format[++i];
        bool unpadded = false;
        while ((c == '-' || c == '_' || c == '0' || c == '^' || c == '#' || c == 'E' || c == 'O') &&
               i + 1 < format.size()) {
            unpadded = unpadded || c == '-';
            c = format[++i];
        }
        if (c == '%') {
            literal.push_back('%');
            continue;
        }
        const char* token = TokenFor(c, unpadded);
        if (token == nullptr) continue;
        FlushLiteral(out, literal);
        out += token;
    }
    FlushLiteral(out, literal);
    return out;
}

bool IsUsEnglishOrC(std::string_view name) {
    return name.empty() || name == "C" || name == "POSIX" || name.starts_with("C.") ||
           name.starts_with("en_US");
}

}  // namespace

DateStyle DateStyle::FromEnvironment() {
    std::string name;
    for (const char* variable : {"LC_ALL", "LC_TIME", "LANG"}) {
        name = platform::Environment(variable);
        if (!name.empty()) break;
    }
    if (IsUsEnglishOrC(name)) return UsEnglish();
    auto formats = platform::TimeFormatsOfLocale(name);
    if (!formats) return UsEnglish();
    return FromCFormats(formats->date, formats->time, std::move(formats->am),
                        std::move(formats->pm));
}

DateStyle DateStyle::FromCFormats(std::string_view dateFormat, std::string_view timeFormat,
                                  std::string am, std::string pm) {
    DateStyle style;
    std::string date = PatternFromStrftime(dateFormat);
    std::string time = PatternFromStrftime(timeFormat);
    if (!date.empty()) style.datePattern = date;
    if (!time.empty()) style.timePattern = time;
    style.am = std::move(am);
    style.pm = std::move(pm);
    return style;
}

std::string TimeZoneTextFromSetting(std::string_view stored) {
    std::string out;
    std::size_t i = 0;
    while (i < stored.size()) {
        if (stored.substr(i, 3) == "GMT") {
            out.push_back('0');
            i += 3;
        } else {
            out.push_back(stored[i++]);
        }
    }
    return out;
}

double OffsetHours(std::string_view timeZoneText) {
    double value = 0;
    double scale = 0;  // 0 before the decimal point, then the weight of the next digit
    bool negative = false;
    bool started = false;  // a sign or digit has been read
    bool point = false;
    for (char c : timeZoneText) {
        if (c == ' ' || c == '\t' || c == '\n') continue;
        if ((c == '+' || c == '-') && !started) {
            negative = c == '-';
            started = true;
        } else if (c >= '0' && c <= '9') {
            started = true;
            if (point) {
                value += (c - '0') * scale;
                scale /= 10;
            } else {
                value = value * 10 + (c - '0');
            }
        } else if (c == '.' && !point) {
            started = true;
            point = true;
            scale = 0.1;
        } else {
            break;
        }
    }
    return negative ? -value : value;
}

std::string FormatDayCount(double dayCount, const DateStyle& style) {
    if (!std::isfinite(dayCount)) return {};
    if (dayCount < static_cast<double>(kFirstDay) - 1 ||
        dayCount > static_cast<double>(kLastDay) + 1) {
        return {};
    }
    // The integer part is the day and the fraction's absolute value the time of day, so
    // -1.25 is 1899-12-29 06:00.
    const double wholeDays = std::trunc(dayCount);
    auto day = static_cast<std::int64_t>(wholeDays);
    auto seconds = static_cast<std::int64_t>(
        std::llround(std::fabs(dayCount - wholeDays) * static_cast<double>(kSecondsPerDay)));
    if (seconds >= kSecondsPerDay) {
        // Rounded up into the next calendar day: the day after, at midnight.
        seconds = 0;
        day += 1;
    }
    if (day < kFirstDay || day > kLastDay) return {};

    const CivilDate date = DateOfDay(day);
    const int hour = static_cast<int>(seconds / 3600);
    const int minute = static_cast<int>(seconds / 60 % 60);
    const int second = static_cast<int>(seconds % 60);
    std::string time = ApplyPattern(style.timePattern, date, hour, minute, second, style);
    if (day == 0) return time;
    std::string text = ApplyPattern(style.datePattern, date, hour, minute, second, style);
    if (seconds != 0) {
        text += ' ';
        text += time;
    }
    return text;
}

std::string MillisToDate(double millis, std::string_view timeZoneText, const DateStyle& style) {
    const double base = kUnixEpochDays + kBaseLead + OffsetHours(timeZoneText) / 24;
    return FormatDayCount(base + millis / 86400000.0, style);
}

std::string MinutesToDate(std::int32_t minutes, std::string_view timeZoneText,
                          const DateStyle& style) {
    const double base = kUnixEpochDays + kBaseLead + OffsetHours(timeZoneText) / 24;
    return FormatDayCount(base + static_cast<double>(minutes) / 1440.0, style);
}

}  // namespace orrelin
