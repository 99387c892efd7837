#pragma once

// The renderings of one record in an export file. A text block is an empty line, a row of 44
// hyphens, then one line per value: TAB, the label ("Number: ") and the value as decoded, the
// lines joined by CR LF (an address block also ends with CR LF). A CSV line is every value in
// double quotes, joined by commas. Values go in as the decoders give them (one byte per
// character); the one change is that a double quote inside a CSV value is doubled, so that
// CSV readers get the value back whole.
//
// The formatters append to `out` and never fail: a record with empty values renders its empty
// values like any other.

#include <span>
#include <string>

#include "decoders/decode_context.h"
#include "export/export_tables.h"
#include "ipd/ipd_image.h"
#include "ipd/record_index.h"

namespace orrelin {

void FormatSms(const SmsRecord& record, ExportFormat format, std::string& out);
void FormatAddress(const ContactRecord& record, ExportFormat format, std::string& out);
void FormatTask(const TaskRecord& record, ExportFormat format, std::string& out);
void FormatMemo(const MemoRecord& record, ExportFormat format, std::string& out);
void FormatCalendar(const CalendarRecord& record, ExportFormat format, std::string& out);
void FormatPhoneCall(const CallRecord& record, ExportFormat format, std::string& out);

// Renders values of one kind of record, `values[column.slot]` for each of its columns.
void FormatValues(RecordKind kind, std::span<const std::string> values, ExportFormat format,
                  std::string& out);

// Decodes the record at `span` as a record of the exportable database `database` and appends
// its rendering. A contact's photo is not written anywhere.
void FormatRecord(const IpdImage& image, RecordSpan span, const ExportDatabaseInfo& database,
                  const DecodeContext& context, ExportFormat format, std::string& out);

// The CSV header of a kind: its column names joined by commas.
std::string CsvHeader(RecordKind kind);

}  // namespace orrelin
