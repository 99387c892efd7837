#include "export/json_writer.h"

#include <array>
#include <charconv>

namespace orrelin {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// The length of the well-formed UTF-8 sequence at the start of `s` (whose first byte is 0x80
// or above), or 0 when it is not one (RFC 3629: no overlong forms, no surrogates, nothing
// above U+10FFFF).
std::size_t Utf8SequenceLength(std::string_view s) {
    auto at = [&](std::size_t i) { return static_cast<std::uint8_t>(s[i]); };
    auto continuation = [&](std::size_t i, std::uint8_t low = 0x80, std::uint8_t high = 0xBF) {
        return i < s.size() && at(i) >= low && at(i) <= high;
    };
    const std::uint8_t b = at(0);
    if (b >= 0xC2 && b <= 0xDF) return continuation(1) ? 2 : 0;
    if (b >= 0xE0 && b <= 0xEF) {
        const std::uint8_t low = b == 0xE0 ? 0xA0 : 0x80;
        const std::uint8_t high = b == 0xED ? 0x9F : 0xBF;
        return continuation(1, low, high) && continuation(2) ? 3 : 0;
    }
    if (b >= 0xF0 && b <= 0xF4) {
        const std::uint8_t low = b == 0xF0 ? 0x90 : 0x80;
        const std::uint8_t high = b == 0xF4 ? 0x8F : 0xBF;
        return continuation(1, low, high) && continuation(2) && continuation(3) ? 4 : 0;
    }
    return 0;
}

// Days since 1970-01-01 to a civil date (the proleptic Gregorian calendar).
void CivilFromDays(std::int64_t days, std::int64_t& year, unsigned& month, unsigned& day) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const auto dayOfEra = static_cast<unsigned>(days - era * 146097);
    const unsigned yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const unsigned dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const unsigned monthIndex = (5 * dayOfYear + 2) / 153;
    day = dayOfYear - (153 * monthIndex + 2) / 5 + 1;
    month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
    year = static_cast<std::int64_t>(yearOfEra) + era * 400 + (month <= 2 ? 1 : 0);
}

void AppendDigits(std::string& out, std::int64_t value, int width) {
    std::array<char, 8> digits{};
    for (int i = width - 1; i >= 0; --i) {
        digits[static_cast<std::size_t>(i)] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    out.append(digits.data(), static_cast<std::size_t>(width));
}

}  // namespace

void AppendJsonString(std::string& out, std::string_view utf8) {
    static constexpr char kHex[] = "0123456789abcdef";
    out.push_back('"');
    std::size_t plain = 0;  // start of the run of bytes that pass unchanged
    std::size_t i = 0;
    auto flush = [&] { out.append(utf8.substr(plain, i - plain)); };
    while (i < utf8.size()) {
        const auto b = static_cast<std::uint8_t>(utf8[i]);
        if (b >= 0x20 && b != '"' && b != '\\' && b < 0x80) {
            ++i;
            continue;
        }
        if (b >= 0x80) {
            if (std::size_t n = Utf8SequenceLength(utf8.substr(i)); n > 0) {
                i += n;
                continue;
            }
            flush();
            out.append(kReplacement);
            plain = ++i;
            continue;
        }
        flush();
        out.push_back('\\');
        switch (b) {
            case '"':
            case '\\':
                out.push_back(static_cast<char>(b));
                break;
            case '\n':
                out.push_back('n');
                break;
            case '\r':
                out.push_back('r');
                break;
            case '\t':
                out.push_back('t');
                break;
            case '\b':
                out.push_back('b');
                break;
            case '\f':
                out.push_back('f');
                break;
            default:
                out.append("u00");
                out.push_back(kHex[b >> 4]);
                out.push_back(kHex[b & 0xF]);
                break;
        }
        plain = ++i;
    }
    flush();
    out.push_back('"');
}

std::optional<std::string> IsoUtc(std::int64_t unixSeconds) {
    // 0000-01-01T00:00:00Z and 9999-12-31T23:59:59Z.
    constexpr std::int64_t kFirst = -62167219200;
    constexpr std::int64_t kLast = 253402300799;
    if (unixSeconds < kFirst || unixSeconds > kLast) return std::nullopt;
    constexpr std::int64_t kDay = 86400;
    std::int64_t days = unixSeconds / kDay;
    std::int64_t secondOfDay = unixSeconds % kDay;
    if (secondOfDay < 0) {
        secondOfDay += kDay;
        --days;
    }
    std::int64_t year = 0;
    unsigned month = 0;
    unsigned day = 0;
    CivilFromDays(days, year, month, day);
    std::string text;
    text.reserve(20);
    AppendDigits(text, year, 4);
    text.push_back('-');
    AppendDigits(text, month, 2);
    text.push_back('-');
    AppendDigits(text, day, 2);
    text.push_back('T');
    AppendDigits(text, secondOfDay / 3600, 2);
    text.push_back(':');
    AppendDigits(text, secondOfDay / 60 % 60, 2);
    text.push_back(':');
    AppendDigits(text, secondOfDay % 60, 2);
    text.push_back('Z');
    return text;
}

void JsonWriter::beforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!hasItem_.empty()) {
        if (hasItem_.back()) out_.push_back(',');
        hasItem_.back() = true;
    }
    if (newlinePending_) {
        out_.push_back('\n');
        newlinePending_ = false;
    }
}

void JsonWriter::beginObject() {
    beforeValue();
    out_.push_back('{');
    hasItem_.push_back(false);
}

void JsonWriter::endObject() {
    newlinePending_ = false;
    if (!hasItem_.empty()) hasItem_.pop_back();
    out_.push_back('}');
}

void JsonWriter::beginArray() {
    beforeValue();
    out_.push_back('[');
    hasItem_.push_back(false);
}

void JsonWriter::endArray() {
    newlinePending_ = false;
    if (!hasItem_.empty()) hasItem_.pop_back();
    out_.push_back(']');
}

void JsonWriter::key(std::string_view name) {
    beforeValue();
    AppendJsonString(out_, name);
    out_.push_back(':');
    afterKey_ = true;
}

void JsonWriter::string(std::string_view utf8) {
    beforeValue();
    AppendJsonString(out_, utf8);
}

void JsonWriter::number(std::int64_t value) {
    beforeValue();
    std::array<char, 24> digits{};
    auto result = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    out_.append(digits.data(), result.ptr);
}

void JsonWriter::boolean(bool value) {
    beforeValue();
    out_.append(value ? "true" : "false");
}

void JsonWriter::null() {
    beforeValue();
    out_.append("null");
}

void JsonWriter::instant(std::optional<std::int64_t> unixSeconds) {
    std::optional<std::string> text;
    if (unixSeconds) text = IsoUtc(*unixSeconds);
    if (text) {
        string(*text);
    } else {
        null();
    }
}

}  // namespace orrelin
