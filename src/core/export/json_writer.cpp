#include "export/json_writer.h"

#include "ipd/ascii_run.h"

#include <array>
#include <charconv>
#include <cstring>

namespace orrelin {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD
constexpr std::size_t kFirstBuffer = std::size_t{1} << 16;
// "0000-01-01T00:00:00Z" and "9999-12-31T23:59:59Z".
constexpr std::int64_t kFirstInstant = -62167219200;
constexpr std::int64_t kLastInstant = 253402300799;
constexpr std::size_t kInstantSize = 20;

// Bytes that pass a JSON string unchanged on their own: printable ASCII but quote and
// backslash.
constexpr std::array<bool, 256> MakePlainBytes() {
    std::array<bool, 256> plain{};
    for (unsigned b = 0x20; b < 0x80; ++b)
        plain[b] = b != '"' && b != '\\';
    return plain;
}
constexpr std::array<bool, 256> kPlainBytes = MakePlainBytes();

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

void PutDigits(char* at, std::int64_t value, int width) {
    for (int i = width - 1; i >= 0; --i) {
        at[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
}

// Writes the 20 characters of an instant in the years 0000 to 9999.
void PutInstant(char* at, std::int64_t unixSeconds) {
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
    std::memcpy(at, "0000-00-00T00:00:00Z", kInstantSize);
    PutDigits(at, year, 4);
    PutDigits(at + 5, month, 2);
    PutDigits(at + 8, day, 2);
    PutDigits(at + 11, secondOfDay / 3600, 2);
    PutDigits(at + 14, secondOfDay / 60 % 60, 2);
    PutDigits(at + 17, secondOfDay % 60, 2);
}

bool InstantInRange(std::int64_t unixSeconds) {
    return unixSeconds >= kFirstInstant && unixSeconds <= kLastInstant;
}

}  // namespace

JsonWriter::JsonWriter(std::string& out)
    : out_(out), buffer_(new char[kFirstBuffer]), capacity_(kFirstBuffer) {}

JsonWriter::~JsonWriter() {
    flush();
}

void JsonWriter::flush() {
    out_.append(buffer_.get(), size_);
    size_ = 0;
}

void JsonWriter::grow(std::size_t n) {
    std::size_t capacity = capacity_ * 2;
    while (capacity - size_ < n)
        capacity *= 2;
    std::unique_ptr<char[]> bigger(new char[capacity]);
    std::memcpy(bigger.get(), buffer_.get(), size_);
    buffer_ = std::move(bigger);
    capacity_ = capacity;
}

void JsonWriter::put(std::string_view s) {
    std::memcpy(room(s.size()), s.data(), s.size());
    size_ += s.size();
}

void JsonWriter::quoted(std::string_view utf8) {
    static constexpr char kHex[] = "0123456789abcdef";
    if (utf8.empty()) {  // most values of a contact
        put(std::string_view("\"\""));
        return;
    }
    // The longest a byte can become: 6 characters (\u00XX), or 3 bytes (U+FFFD).
    char* at = room(utf8.size() * 6 + 2);
    char* const start = at;
    *at++ = '"';
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto b = static_cast<std::uint8_t>(utf8[i]);
        if (kPlainBytes[b]) {
            const std::size_t run =
                PrintableAsciiRunWithout(reinterpret_cast<const unsigned char*>(utf8.data()) + i,
                                         utf8.size() - i, '"', '\\');
            std::memcpy(at, utf8.data() + i, run);
            at += run;
            i += run;
        } else if (b >= 0x80) {
            if (std::size_t n = Utf8SequenceLength(utf8.substr(i)); n > 0) {
                std::memcpy(at, utf8.data() + i, n);
                at += n;
                i += n;
            } else {
                std::memcpy(at, kReplacement.data(), kReplacement.size());
                at += kReplacement.size();
                ++i;
            }
        } else {
            *at++ = '\\';
            switch (b) {
                case '"':
                case '\\':
                    *at++ = static_cast<char>(b);
                    break;
                case '\n':
                    *at++ = 'n';
                    break;
                case '\r':
                    *at++ = 'r';
                    break;
                case '\t':
                    *at++ = 't';
                    break;
                case '\b':
                    *at++ = 'b';
                    break;
                case '\f':
                    *at++ = 'f';
                    break;
                default:
                    std::memcpy(at, "u00", 3);
                    at[3] = kHex[b >> 4];
                    at[4] = kHex[b & 0xF];
                    at += 5;
                    break;
            }
            ++i;
        }
    }
    *at++ = '"';
    size_ += static_cast<std::size_t>(at - start);
}

void JsonWriter::separate() {
    if (depth_ > 0) {
        const std::uint64_t bit = std::uint64_t{1} << ((depth_ - 1) % 64);
        if (hasItem_ & bit) put(',');
        hasItem_ |= bit;
    }
    if (newlinePending_) {
        put('\n');
        newlinePending_ = false;
    }
}

void JsonWriter::open(char bracket) {
    beforeValue();
    put(bracket);
    ++depth_;
    hasItem_ &= ~(std::uint64_t{1} << ((depth_ - 1) % 64));
}

void JsonWriter::close(char bracket) {
    newlinePending_ = false;
    if (depth_ > 0) --depth_;
    put(bracket);
    if (depth_ == 0) flush();
}

void JsonWriter::beginObject() {
    open('{');
}

void JsonWriter::endObject() {
    close('}');
}

void JsonWriter::beginArray() {
    open('[');
}

void JsonWriter::endArray() {
    close(']');
}

void JsonWriter::key(std::string_view name) {
    beforeValue();
    char* at = room(name.size() + 3);
    at[0] = '"';
    std::memcpy(at + 1, name.data(), name.size());
    at[name.size() + 1] = '"';
    at[name.size() + 2] = ':';
    size_ += name.size() + 3;
    afterKey_ = true;
}

void JsonWriter::string(std::string_view utf8) {
    beforeValue();
    quoted(utf8);
}

void JsonWriter::number(std::int64_t value) {
    beforeValue();
    constexpr std::size_t kDigits = 20;  // "-9223372036854775808"
    char* at = room(kDigits);
    size_ += static_cast<std::size_t>(std::to_chars(at, at + kDigits, value).ptr - at);
}

void JsonWriter::boolean(bool value) {
    beforeValue();
    put(value ? std::string_view("true") : std::string_view("false"));
}

void JsonWriter::null() {
    beforeValue();
    put(std::string_view("null"));
}

void JsonWriter::instant(std::optional<std::int64_t> unixSeconds) {
    if (!unixSeconds || !InstantInRange(*unixSeconds)) {
        null();
        return;
    }
    beforeValue();
    char* at = room(kInstantSize + 2);
    at[0] = '"';
    PutInstant(at + 1, *unixSeconds);
    at[kInstantSize + 1] = '"';
    size_ += kInstantSize + 2;
}

void AppendJsonString(std::string& out, std::string_view utf8) {
    JsonWriter json(out);
    json.string(utf8);
}

std::optional<std::string> IsoUtc(std::int64_t unixSeconds) {
    if (!InstantInRange(unixSeconds)) return std::nullopt;
    std::string text(kInstantSize, '0');
    PutInstant(text.data(), unixSeconds);
    return text;
}

}  // namespace orrelin
