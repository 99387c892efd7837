#pragma once

// Text from a backup written into XML and HTML documents, and times as their readers see them.

#include <cstdint>
#include <string>
#include <string_view>

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

// The zone of `offsetHours`: "UTC", "UTC+3", "UTC-5:30".
std::string ZoneName(double offsetHours);

}  // namespace orrelin
