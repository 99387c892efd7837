#pragma once

// Text from a backup written into XML and HTML documents, and times as their readers see them.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "decoders/time_format.h"

namespace orrelin {

// Appends `utf8` escaped for markup: & < > " ' as character references; tab, line feed and
// carriage return kept (written as references inside an attribute, whose value a parser would
// otherwise fold to blanks); every other control character, U+FFFE and U+FFFF left out, for
// XML 1.0 cannot hold them at all; every byte outside a well-formed UTF-8 sequence replaced by
// U+FFFD. The result is well-formed whatever the input.
void AppendMarkupText(std::string& out, std::string_view utf8, bool attribute);

// An instant (seconds since 1970 UTC) as the date and time in the time zone `offsetHours`
// east of UTC, in `style`, always with the time of day; empty outside the years 100 to 9999.
std::string ReadableTime(std::int64_t unixSeconds, double offsetHours, const DateStyle& style);

// ReadableTime of instant after instant in one zone and style, without its cost a call: the
// date of the last day asked is kept, and the time of day is written from the time pattern
// read once.
class ReadableTimes {
  public:
    ReadableTimes(double offsetHours, const DateStyle& style);
    // ReadableTime(unixSeconds, offsetHours, style); valid until the next call.
    std::string_view text(std::int64_t unixSeconds);

  private:
    struct Piece {
        char letter;  // h, H, m, s or t; 0 for `literal`
        bool twoDigits;
        std::string literal;
    };
    static constexpr std::size_t kMostShortPieces = 16;
    // A text of at most eight bytes, kept so that it is copied as one word.
    struct ShortText {
        std::array<char, 8> bytes{};
        std::size_t size = 0;
    };
    void appendTimeOfDay(int hour, int minute, int second);
    // The same for pieces whose texts are all short (most time patterns): written into a
    // buffer on the stack, a word at a time, and added in one piece.
    void appendShortTimeOfDay(int hour, int minute, int second);

    double offsetHours_;
    std::int64_t offsetSeconds_;
    DateStyle style_;
    std::vector<Piece> timePieces_;
    // The literals of timePieces_, and AM and PM, as short texts; `shortTexts_` tells whether
    // every one of them fits.
    std::vector<ShortText> shortLiterals_;
    ShortText am_;
    ShortText pm_;
    bool shortTexts_ = false;
    std::int64_t day_;
    std::string date_;  // the date of day_
    std::string text_;
};

// The zone of `offsetHours`: "UTC", "UTC+3", "UTC-5:30".
std::string ZoneName(double offsetHours);

}  // namespace orrelin
