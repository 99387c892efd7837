#include "export/json_writer.h"

#include "base/bytes.h"
#include "text/ascii_run.h"
#include "text/codepage.h"

#include <array>
#include <charconv>
#include <chrono>
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
    using namespace std::chrono;
    const year_month_day date{sys_days{std::chrono::days{days}}};
    std::memcpy(at, "0000-00-00T00:00:00Z", kInstantSize);
    PutDigits(at, static_cast<int>(date.year()), 4);
    PutDigits(at + 5, static_cast<unsigned>(date.month()), 2);
    PutDigits(at + 8, static_cast<unsigned>(date.day()), 2);
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
                    at[3] = LowerHexDigit(b >> 4);
                    at[4] = LowerHexDigit(b);
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

void JsonWriter::restartElements(bool afterOthers) {
    afterKey_ = false;
    if (depth_ == 0) {
        if (afterOthers) put(',');
        return;
    }
    const std::uint64_t bit = std::uint64_t{1} << ((depth_ - 1) % 64);
    hasItem_ = afterOthers ? hasItem_ | bit : hasItem_ & ~bit;
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
