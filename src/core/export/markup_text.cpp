#include "export/markup_text.h"

#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "text/utf8.h"

namespace orrelin {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD
constexpr std::int64_t kSecondsPerDay = 86400;
constexpr double kUnixEpochDay = 25569;  // 1970-01-01 on the day-count scale
// The offsets a zone can take, in hours either side of UTC.
constexpr double kLargestOffset = 24;

// Bytes written as they are: printable ASCII but the five that markup escapes.
constexpr std::array<bool, 256> MakePlain() {
    std::array<bool, 256> plain{};
    for (unsigned b = 0x20; b < 0x7F; ++b)
        plain[b] = b != '&' && b != '<' && b != '>' && b != '"' && b != '\'';
    return plain;
}
constexpr std::array<bool, 256> kPlain = MakePlain();

constexpr std::uint64_t kOnes = 0x0101010101010101;
constexpr std::uint64_t kHighBits = 0x8080808080808080;

// Whether eight bytes are all plain, tested at once: none of them has its high bit set, lies
// below 0x20, or equals 0x7F or one of the five that markup escapes.
inline bool EightPlain(std::uint64_t x) {
    auto zeroByte = [](std::uint64_t v) { return (v - kOnes) & ~v & kHighBits; };
    std::uint64_t bad = (x & kHighBits) | ((x - 0x20 * kOnes) & ~x & kHighBits);
    for (char c : {'\x7F', '&', '<', '>', '"', '\''})
        bad |= zeroByte(x ^ (static_cast<unsigned char>(c) * kOnes));
    return bad == 0;
}

// The end of the plain bytes from `i` on, sixteen at a time while sixteen remain: the first
// byte that is not plain in the first block holding one, or the start of the last, shorter
// block. Where the processor has no such instructions, `i` itself.
inline std::size_t PlainBlocks(std::string_view utf8, std::size_t i) {
#if defined(__SSE2__)
    const __m128i space = _mm_set1_epi8(0x20);
    const __m128i del = _mm_set1_epi8(0x7F);
    const __m128i amp = _mm_set1_epi8('&');
    const __m128i lt = _mm_set1_epi8('<');
    const __m128i gt = _mm_set1_epi8('>');
    const __m128i quot = _mm_set1_epi8('"');
    const __m128i apos = _mm_set1_epi8('\'');
    for (; i + 16 <= utf8.size(); i += 16) {
        const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(utf8.data() + i));
        // Compared as signed bytes, those from 0x80 lie below 0x20 too.
        __m128i bad = _mm_or_si128(_mm_cmplt_epi8(x, space), _mm_cmpeq_epi8(x, del));
        bad = _mm_or_si128(bad, _mm_or_si128(_mm_cmpeq_epi8(x, amp), _mm_cmpeq_epi8(x, lt)));
        bad = _mm_or_si128(bad, _mm_or_si128(_mm_cmpeq_epi8(x, gt), _mm_cmpeq_epi8(x, quot)));
        bad = _mm_or_si128(bad, _mm_cmpeq_epi8(x, apos));
        if (const int mask = _mm_movemask_epi8(bad); mask != 0)
            return i + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
    }
#else
    (void)utf8;
#endif
    return i;
}

}  // namespace

void AppendMarkupText(std::string& out, std::string_view utf8, bool attribute) {
    std::size_t i = 0;
    while (i < utf8.size()) {
        // A run of printable ASCII that needs no reference goes in one piece.
        std::size_t run = PlainBlocks(utf8, i);
        for (std::uint64_t eight; run + 8 <= utf8.size(); run += 8) {
            std::memcpy(&eight, utf8.data() + run, 8);
            if (!EightPlain(eight)) break;
        }
        while (run < utf8.size() && kPlain[static_cast<unsigned char>(utf8[run])])
            ++run;
        if (run > i) {
            out.append(utf8.substr(i, run - i));
            i = run;
            if (i == utf8.size()) break;
        }
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b >= 0x80) {
            const std::size_t n = Utf8SequenceLength(utf8.substr(i));
            if (n == 0) {
                out += kReplacement;
                ++i;
                continue;
            }
            // U+FFFE and U+FFFF: EF BF BE, EF BF BF.
            const bool nonCharacter = n == 3 && b == 0xEF &&
                                      static_cast<unsigned char>(utf8[i + 1]) == 0xBF &&
                                      static_cast<unsigned char>(utf8[i + 2]) >= 0xBE;
            if (!nonCharacter) out.append(utf8.substr(i, n));
            i += n;
            continue;
        }
        switch (b) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            case '\t':
                out += attribute ? "&#9;" : "\t";
                break;
            case '\n':
                out += attribute ? "&#10;" : "\n";
                break;
            case '\r':
                out += attribute ? "&#13;" : "\r";
                break;
            default:
                if (b >= 0x20 && b != 0x7F) out.push_back(static_cast<char>(b));
                break;
        }
        ++i;
    }
}

std::string ReadableTime(std::int64_t unixSeconds, double offsetHours, const DateStyle& style) {
    if (!std::isfinite(offsetHours) || std::fabs(offsetHours) > kLargestOffset) offsetHours = 0;
    const std::int64_t local = unixSeconds + std::llround(offsetHours * 3600);
    std::int64_t day = local / kSecondsPerDay;
    std::int64_t second = local % kSecondsPerDay;
    if (second < 0) {
        second += kSecondsPerDay;
        --day;
    }
    // The date alone at midnight of its day, the time alone on day 0 of the scale.
    std::string date = FormatDayCount(kUnixEpochDay + static_cast<double>(day), style);
    if (date.empty()) return {};
    return date + " " +
           FormatDayCount(static_cast<double>(second) / static_cast<double>(kSecondsPerDay), style);
}

namespace {

// Instants further from 1970 than this (some 30,000 years) are left to ReadableTime, whose
// range checks they meet; nearer ones stay clear of overflow when the zone is added.
constexpr std::int64_t kNearInstants = std::int64_t{1} << 40;

double UsableOffset(double offsetHours) {
    return !std::isfinite(offsetHours) || std::fabs(offsetHours) > kLargestOffset ? 0 : offsetHours;
}

void AppendTwoDigits(std::string& out, int value, bool twoDigits) {
    if (value >= 10 || twoDigits) out.push_back(static_cast<char>('0' + value / 10));
    out.push_back(static_cast<char>('0' + value % 10));
}

}  // namespace

ReadableTimes::ReadableTimes(double offsetHours, const DateStyle& style)
    : offsetHours_(offsetHours),
      offsetSeconds_(std::llround(UsableOffset(offsetHours) * 3600)),
      style_(style),
      day_(std::numeric_limits<std::int64_t>::min()) {
    // The time pattern read as the date formatter reads it: runs of one letter are a token,
    // text in single quotes is literal ('' is a quote), other characters stand as they are.
    // A time of day is formatted on day 0 of the day-count scale, 1899-12-30, which is what
    // a date token in the time pattern shows.
    const std::string_view pattern = style_.timePattern;
    auto literal = [&](std::string_view text) {
        if (timePieces_.empty() || timePieces_.back().letter != 0)
            timePieces_.push_back({0, false, {}});
        timePieces_.back().literal += text;
    };
    ReadPattern(pattern, literal, [&](char c, std::size_t run) {
        switch (c) {
            case 'd':
                literal("30");
                break;
            case 'M':
                literal("12");
                break;
            case 'y':
                literal(run >= 3 ? "1899" : "99");
                break;
            case 'h':
            case 'H':
            case 'm':
            case 's':
            case 't':
                timePieces_.push_back({c, run >= 2, {}});
                break;
            default:
                literal(std::string(run, c));
                break;
        }
    });
    // The quick way when every text is short and the pieces few.
    auto toShort = [](std::string_view text, ShortText& out) {
        if (text.size() > out.bytes.size()) return false;
        std::memcpy(out.bytes.data(), text.data(), text.size());
        out.size = text.size();
        return true;
    };
    shortTexts_ = timePieces_.size() <= kMostShortPieces && toShort(style_.am, am_) &&
                  toShort(style_.pm, pm_);
    for (const Piece& piece : timePieces_) {
        if (!shortTexts_ || piece.letter != 0) continue;
        shortLiterals_.emplace_back();
        shortTexts_ = toShort(piece.literal, shortLiterals_.back());
    }
}

namespace {

// Copies a short text as one word into a buffer with room for eight more bytes.
char* PutShort(char* out, const std::array<char, 8>& bytes, std::size_t size) {
    std::memcpy(out, bytes.data(), bytes.size());
    return out + size;
}

char* PutNumber(char* out, int value, bool twoDigits) {
    if (value >= 10 || twoDigits) *out++ = static_cast<char>('0' + value / 10);
    *out++ = static_cast<char>('0' + value % 10);
    return out;
}

}  // namespace

void ReadableTimes::appendShortTimeOfDay(int hour, int minute, int second) {
    // At most eight bytes a piece, and eight of room behind the last.
    std::array<char, 8 * (kMostShortPieces + 1)> buffer;
    char* out = buffer.data();
    const ShortText* literal = shortLiterals_.data();
    for (const Piece& piece : timePieces_) {
        switch (piece.letter) {
            case 0:
                out = PutShort(out, literal->bytes, literal->size);
                ++literal;
                break;
            case 'h':
                out = PutNumber(out, hour % 12 == 0 ? 12 : hour % 12, piece.twoDigits);
                break;
            case 'H':
                out = PutNumber(out, hour, piece.twoDigits);
                break;
            case 'm':
                out = PutNumber(out, minute, piece.twoDigits);
                break;
            case 's':
                out = PutNumber(out, second, piece.twoDigits);
                break;
            default: {
                const ShortText& word = hour < 12 ? am_ : pm_;
                out = PutShort(out, word.bytes, word.size);
                break;
            }
        }
    }
    text_.append(buffer.data(), static_cast<std::size_t>(out - buffer.data()));
}

void ReadableTimes::appendTimeOfDay(int hour, int minute, int second) {
    if (shortTexts_) {
        appendShortTimeOfDay(hour, minute, second);
        return;
    }
    for (const Piece& piece : timePieces_) {
        switch (piece.letter) {
            case 0:
                text_ += piece.literal;
                break;
            case 'h':
                AppendTwoDigits(text_, hour % 12 == 0 ? 12 : hour % 12, piece.twoDigits);
                break;
            case 'H':
                AppendTwoDigits(text_, hour, piece.twoDigits);
                break;
            case 'm':
                AppendTwoDigits(text_, minute, piece.twoDigits);
                break;
            case 's':
                AppendTwoDigits(text_, second, piece.twoDigits);
                break;
            default:
                text_ += hour < 12 ? style_.am : style_.pm;
                break;
        }
    }
}

std::string_view ReadableTimes::text(std::int64_t unixSeconds) {
    if (unixSeconds <= -kNearInstants || unixSeconds >= kNearInstants) {
        text_ = ReadableTime(unixSeconds, offsetHours_, style_);
        return text_;
    }
    const std::int64_t local = unixSeconds + offsetSeconds_;
    std::int64_t day = local / kSecondsPerDay;
    std::int64_t second = local % kSecondsPerDay;
    if (second < 0) {
        second += kSecondsPerDay;
        --day;
    }
    if (day != day_) {
        date_ = FormatDayCount(kUnixEpochDay + static_cast<double>(day), style_);
        day_ = day;
    }
    text_.clear();
    if (date_.empty()) return text_;
    text_ += date_;
    text_ += ' ';
    const auto s = static_cast<int>(second);
    appendTimeOfDay(s / 3600, s / 60 % 60, s % 60);
    return text_;
}

std::string ZoneName(double offsetHours) {
    if (!std::isfinite(offsetHours) || std::fabs(offsetHours) > kLargestOffset) offsetHours = 0;
    const long minutes = std::lround(offsetHours * 60);
    if (minutes == 0) return "UTC";
    std::string name = minutes < 0 ? "UTC-" : "UTC+";
    const long whole = std::labs(minutes);
    name += std::to_string(whole / 60);
    if (whole % 60 != 0) {
        name += ':';
        if (whole % 60 < 10) name += '0';
        name += std::to_string(whole % 60);
    }
    return name;
}

}  // namespace orrelin
