#include "export/icalendar_writer.h"

#ifndef ORRELIN_WITHOUT_LIBICAL
#include <libical/ical.h>
#endif

#include <chrono>
#include <cstdio>
#include <memory>

#include "decoders/record_fields.h"
#include "export/standard_text.h"

namespace orrelin {
namespace {

#ifndef ORRELIN_WITHOUT_LIBICAL
// The times the writer states: 0001-01-01 00:00:00 UTC up to the end of the year 3000, the
// last year libical writes (it turns a later time into the null time 00000000T000000).
constexpr std::int64_t kFirstSecond = -62135596800;
constexpr std::int64_t kAfterLastSecond = 32535216000;

// libical keeps its error state in globals; a value it rejects must only leave a property
// out, never abort the program, whatever the library was built to do by default.
void QuietLibical() {
    static const bool once = [] {
        icalerror_set_errors_are_fatal(0);
        return true;
    }();
    (void)once;
}

struct ComponentFree {
    void operator()(icalcomponent* c) const { icalcomponent_free(c); }
};
using Component = std::unique_ptr<icalcomponent, ComponentFree>;

// A text property of the cleaned text; nothing for an empty text. libical escapes the value
// when it writes it.
void AddText(icalcomponent* c, icalproperty* (*make)(const char*), std::string_view text) {
    std::string clean = CleanText(text);
    if (clean.empty()) return;
    if (icalproperty* p = make(clean.c_str())) icalcomponent_add_property(c, p);
}

// The UTC date-time of a count of seconds since 1970-01-01 00:00 UTC; nothing outside the
// years 1 to 3000: a time libical cannot write is left out rather than written wrong.
std::optional<icaltimetype> UtcTime(std::int64_t seconds) {
    using namespace std::chrono;
    if (seconds < kFirstSecond || seconds >= kAfterLastSecond) return std::nullopt;
    const std::int64_t day = seconds >= 0 ? seconds / 86400 : (seconds - 86399) / 86400;
    const std::int64_t inDay = seconds - day * 86400;
    const year_month_day date{sys_days{days{day}}};
    icaltimetype t = icaltime_null_time();
    t.year = static_cast<int>(date.year());
    t.month = static_cast<int>(static_cast<unsigned>(date.month()));
    t.day = static_cast<int>(static_cast<unsigned>(date.day()));
    t.hour = static_cast<int>(inDay / 3600);
    t.minute = static_cast<int>(inDay / 60 % 60);
    t.second = static_cast<int>(inDay % 60);
    t.is_date = 0;
    t.zone = icaltimezone_get_utc_timezone();
    return t;
}

void AddTime(icalcomponent* c, icalproperty* (*make)(icaltimetype), std::int64_t seconds) {
    if (auto t = UtcTime(seconds))
        if (icalproperty* p = make(*t)) icalcomponent_add_property(c, p);
}

Component NewComponent(icalcomponent_kind kind, std::string_view uid, std::int64_t stampUtc) {
    QuietLibical();
    Component c(icalcomponent_new(kind));
    if (!c) return c;
    AddText(c.get(), icalproperty_new_uid, uid);
    AddTime(c.get(), icalproperty_new_dtstamp, stampUtc);
    return c;
}

// Serialises the component and appends it, re-folded so that no line exceeds 75 octets and
// no UTF-8 sequence is split whatever libical's own folding does: its lines are unfolded
// (libical escapes every line break inside a value, so CR LF and a blank only ever mark a
// fold) and folded again.
void AppendComponent(icalcomponent* c, std::string& out) {
    if (!c) return;
    char* text = icalcomponent_as_ical_string_r(c);
    if (!text) return;
    std::string_view rest(text);
    std::string line;
    while (!rest.empty()) {
        std::size_t end = rest.find('\n');
        std::string_view piece = rest.substr(0, end);
        if (!piece.empty() && piece.back() == '\r') piece.remove_suffix(1);
        const bool continuation = !piece.empty() && (piece[0] == ' ' || piece[0] == '\t');
        if (continuation) {
            line.append(piece.substr(1));
        } else {
            if (!line.empty()) AppendFoldedLine(line, out);
            line.assign(piece);
        }
        rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
    }
    if (!line.empty()) AppendFoldedLine(line, out);
    icalmemory_free_buffer(text);
}

// The handheld's status words in iCalendar terms. iCalendar knows no waiting or deferred
// task: those have not been done and stay NEEDS-ACTION. An unknown status writes none.
std::optional<icalproperty_status> TodoStatus(std::string_view word) {
    if (word == kTaskStatusWords[0]) return ICAL_STATUS_NEEDSACTION;  // Not Started
    if (word == kTaskStatusWords[1]) return ICAL_STATUS_INPROCESS;    // In Progress
    if (word == kTaskStatusWords[2]) return ICAL_STATUS_COMPLETED;    // Completed
    if (word == kTaskStatusWords[3]) return ICAL_STATUS_NEEDSACTION;  // Waiting
    if (word == kTaskStatusWords[4]) return ICAL_STATUS_NEEDSACTION;  // Deferred
    return std::nullopt;
}

// iCalendar priorities run from 1 (highest) to 9 (lowest), 0 meaning none; the handheld's
// three levels take the values RFC 5545 names for them: High 1, Normal 5, Low 9. An unknown
// priority writes none.
std::optional<int> TodoPriority(std::string_view word) {
    if (word == kTaskPriorityWords[0]) return 1;  // High
    if (word == kTaskPriorityWords[1]) return 5;  // Normal
    if (word == kTaskPriorityWords[2]) return 9;  // Low
    return std::nullopt;
}
#endif  // ORRELIN_WITHOUT_LIBICAL

// The database name in lower case, each run of other characters one hyphen:
// "Calendar - All" gives "calendar-all".
std::string Slug(std::string_view name) {
    std::string slug;
    bool gap = false;
    for (char ch : name) {
        auto u = static_cast<unsigned char>(ch);
        const bool alnum =
            (u >= '0' && u <= '9') || (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z');
        if (!alnum) {
            gap = true;
            continue;
        }
        if (gap && !slug.empty()) slug += '-';
        gap = false;
        slug += static_cast<char>(u >= 'A' && u <= 'Z' ? u - 'A' + 'a' : u);
    }
    return slug.empty() ? std::string("record") : slug;
}

}  // namespace

std::string RecordUid(std::string_view databaseName, const IpdImage& image, RecordSpan span) {
    // A record body begins [handle LE16][unique id LE32]; a body too short for them is named
    // by where it lies instead.
    char head[40];
    const Bytes body = RecordBody(image, span).value_or(Bytes{});
    if (body.size() >= kBodyFieldsAt) {
        ByteReader reader(body);
        const std::uint16_t handle = reader.le16().value_or(0);
        const std::uint32_t uniqueId = reader.le32().value_or(0);
        std::snprintf(head, sizeof head, "%08X-%u", uniqueId, static_cast<unsigned>(handle));
    } else {
        std::snprintf(head, sizeof head, "at%llu", static_cast<unsigned long long>(span.start));
    }
    return std::string(head) + "-" + Slug(databaseName) + "@orrelin";
}

std::string_view ICalendarHeader() {
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Orrelin//Orrelin IPD Reader//EN\r\n";
}

std::string_view ICalendarFooter() {
    return "END:VCALENDAR\r\n";
}

#ifdef ORRELIN_WITHOUT_LIBICAL
// A build without libical (the Windows command line) offers no iCalendar export: the command
// line refuses the format before anything is written, so nothing ever comes here.
void AppendEvent(const CalendarRecord&, std::string_view, std::int64_t, std::string&) {}
void AppendTodo(const TaskRecord&, std::string_view, std::int64_t, std::string&) {}
#else
void AppendEvent(const CalendarRecord& record, std::string_view uid, std::int64_t stampUtc,
                 std::string& out) {
    Component c = NewComponent(ICAL_VEVENT_COMPONENT, uid, stampUtc);
    if (!c) return;
    AddText(c.get(), icalproperty_new_summary, record[CalendarRecord::Subject]);
    AddText(c.get(), icalproperty_new_location, record[CalendarRecord::Location]);
    // DTEND must lie after DTSTART: an end at the start says no more than no end at all, and
    // an end before it is left out rather than written as an event calendars reject. Without
    // a start the end means nothing.
    if (record.startUtc) {
        AddTime(c.get(), icalproperty_new_dtstart, *record.startUtc);
        if (record.endUtc && *record.endUtc > *record.startUtc)
            AddTime(c.get(), icalproperty_new_dtend, *record.endUtc);
    }
    AddText(c.get(), icalproperty_new_description, record[CalendarRecord::Notes]);
    AppendComponent(c.get(), out);
}

void AppendTodo(const TaskRecord& record, std::string_view uid, std::int64_t stampUtc,
                std::string& out) {
    Component c = NewComponent(ICAL_VTODO_COMPONENT, uid, stampUtc);
    if (!c) return;
    AddText(c.get(), icalproperty_new_summary, record[TaskRecord::Title]);
    if (auto status = TodoStatus(record[TaskRecord::Status]))
        icalcomponent_add_property(c.get(), icalproperty_new_status(*status));
    if (auto priority = TodoPriority(record[TaskRecord::Priority]))
        icalcomponent_add_property(c.get(), icalproperty_new_priority(*priority));
    AddText(c.get(), icalproperty_new_description, record[TaskRecord::Notes]);
    AppendComponent(c.get(), out);
}
#endif  // ORRELIN_WITHOUT_LIBICAL

}  // namespace orrelin
