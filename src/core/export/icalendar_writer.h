#pragma once

// iCalendar (RFC 5545) text of appointments and tasks, one component at a time.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "decoders/calendar_decoder.h"
#include "decoders/task_decoder.h"
#include "ipd/ipd_image.h"
#include "ipd/record_index.h"

namespace orrelin {

// A stable UID for a record: the same record of the same backup gives the same UID on every
// run, "<unique id hex>-<handle>-<database slug>@orrelin".
std::string RecordUid(std::string_view databaseName, const IpdImage& image, RecordSpan span);

std::string_view ICalendarHeader();  // BEGIN:VCALENDAR, VERSION:2.0, PRODID, each with CR LF
std::string_view ICalendarFooter();  // END:VCALENDAR with CR LF

// One VEVENT / VTODO of a record decoded with TextOptions{unicode = true}, folded with CR LF
// line ends, its DTSTAMP the caller's (Unix seconds, UTC).
void AppendEvent(const CalendarRecord& record, std::string_view uid, std::int64_t stampUtc,
                 std::string& out);
void AppendTodo(const TaskRecord& record, std::string_view uid, std::int64_t stampUtc,
                std::string& out);

}  // namespace orrelin
