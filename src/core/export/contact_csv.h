#pragma once

// What the contact CSV files for other programs' importers share: the fields of one line,
// quoted where the value needs it, and a contact's values in the forms those importers read.

#include <span>
#include <string>
#include <string_view>

#include "decoders/contact_decoder.h"

namespace orrelin {

// Appends `fields` as one CSV line ended by CR LF: a field holding a comma, a double quote, a
// line break or a blank at either end is quoted (its double quotes doubled). Values are made
// fit first as CleanText does (standard_text.h): valid UTF-8, line breaks LF, no controls.
void AppendCsvLine(std::span<const std::string_view> fields, std::string& out);

// Two street lines as one value, joined by a line break.
std::string StreetLines(std::string_view first, std::string_view second);

// A birthday or anniversary as "YYYY-MM-DD" when it reads as a date, else the text itself.
std::string CsvDate(std::string_view text);

}  // namespace orrelin
