#include "export/markup_text.h"

#include <array>
#include <cmath>
#include <cstdlib>

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

}  // namespace

void AppendMarkupText(std::string& out, std::string_view utf8, bool attribute) {
    std::size_t i = 0;
    while (i < utf8.size()) {
        // A run of printable ASCII that needs no reference goes in one piece.
        std::size_t run = i;
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
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&#39;"; break;
            case '\t': out += attribute ? "&#9;" : "\t"; break;
            case '\n': out += attribute ? "&#10;" : "\n"; break;
            case '\r': out += attribute ? "&#13;" : "\r"; break;
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
           FormatDayCount(static_cast<double>(second) / static_cast<double>(kSecondsPerDay),
                          style);
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
