#include "export/icalendar_writer.h"

namespace orrelin {

std::string RecordUid(std::string_view, const IpdImage&, RecordSpan) {
    return {};
}

std::string_view ICalendarHeader() {
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Orrelin//Orrelin IPD Reader//EN\r\n";
}

std::string_view ICalendarFooter() {
    return "END:VCALENDAR\r\n";
}

void AppendEvent(const CalendarRecord& record, std::string_view uid, std::string& out) {
    AppendEvent(record, uid, 0, out);
}
void AppendTodo(const TaskRecord& record, std::string_view uid, std::string& out) {
    AppendTodo(record, uid, 0, out);
}
void AppendEvent(const CalendarRecord&, std::string_view, std::int64_t, std::string&) {}
void AppendTodo(const TaskRecord&, std::string_view, std::int64_t, std::string&) {}

}  // namespace orrelin
