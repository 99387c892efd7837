#pragma once

// The renderings of one record in a text or CSV export. A text block is an empty line, a row of
// 44 hyphens, then one line per value: TAB, the label ("Number: ") and the value as decoded,
// the lines joined by CR LF (an address block also ends with CR LF). A CSV line is every value
// in double quotes, joined by commas. Values go in as the decoders give them (one byte per
// character); the one change is that a double quote inside a CSV value is doubled, so that
// CSV readers get the value back whole.
//
// The formatters append to `out` and never fail: a record with empty values renders its empty
// values like any other.

#include <span>
#include <string>
#include <string_view>

#include "kinds/record_kinds.h"

namespace orrelin {

inline constexpr std::string_view kLineBreak = "\r\n";
// A banner is this row, a title line and this row again.
inline constexpr std::string_view kBannerRow =
    "***********************************************************************";
// The second line of every text block.
inline constexpr std::string_view kRecordRule = "--------------------------------------------";
static_assert(kBannerRow.size() == 71 && kRecordRule.size() == 44);
// Banner titles of one-record and one-database exports stand behind this many spaces.
inline constexpr std::size_t kOptionTitleIndent = 27;

// Renders values of one kind of record, `values[column.slot]` for each of its columns, as a
// text block (`csv` false) or a CSV line.
void FormatValues(RecordKind kind, std::span<const std::string> values, bool csv, std::string& out);

// The CSV header of a kind: its column names joined by commas.
std::string CsvHeader(RecordKind kind);

}  // namespace orrelin
