#include "export/icalendar_writer.h"

#include <gtest/gtest.h>

#include "content_lines.h"
#include "core/decoders/record_image.h"

namespace orrelin {
namespace {

using testing::ContentLines;
using testing::FieldsImage;
using testing::PhysicalLines;
using testing::RecordImage;
using testing::Unescape;
using testing::Utf16Data;
using testing::ValueOf;

constexpr std::int64_t kStamp = 1234567890;  // 2009-02-13 23:31:30 UTC

DecodeContext Unicode(std::string timeZone = "0") {
    DecodeContext context;
    context.timeZoneText = std::move(timeZone);
    context.text.unicode = true;
    return context;
}

CalendarRecord Appointment(const FieldList& fields, const DecodeContext& context = Unicode()) {
    RecordImage r = FieldsImage(fields);
    return DecodeCalendar(r.image, r.span, false, context);
}

std::string Event(const CalendarRecord& record) {
    std::string out;
    AppendEvent(record, "uid-1", kStamp, out);
    return out;
}

TEST(ICalendarEvent, TimesAreTheStoredInstantsInUtc) {
    FieldList fields;
    fields.text(2, "Lunch").add(6, {0xA0, 0x8C, 0x11, 0x01}).add(7, {0xDC, 0x8C, 0x11, 0x01});
    // The time zone setting moves the shown times, never the instants.
    for (const char* zone : {"0", "+11", "-3"}) {
        CalendarRecord c = Appointment(fields, Unicode(zone));
        EXPECT_EQ(c.startUtc, 1075639680);  // 17927328 minutes: 2004-02-01 12:48 UTC
        EXPECT_EQ(c.endUtc, 1075639680 + 3600);
        EXPECT_EQ(ContentLines(Event(c)),
                  (std::vector<std::string>{"BEGIN:VEVENT", "UID:uid-1", "DTSTAMP:20090213T233130Z",
                                            "SUMMARY:Lunch", "DTSTART:20040201T124800Z",
                                            "DTEND:20040201T134800Z", "END:VEVENT"}));
    }

    FieldList edges;
    edges.add(6, {0xFF, 0xFF, 0xFF, 0xFF}).add(7, {0x3C, 0x00});  // -1 minute; 60 minutes
    CalendarRecord e = Appointment(edges);
    EXPECT_EQ(e.startUtc, -60);
    EXPECT_EQ(ValueOf(Event(e), "DTSTART"), "19691231T235900Z");
    EXPECT_EQ(ValueOf(Event(e), "DTEND"), "19700101T010000Z");

    // The largest count lies in the year 6053, past what libical can write: no time rather
    // than its null time.
    FieldList far;
    far.add(6, {0xFF, 0xFF, 0xFF, 0x7F});
    CalendarRecord f = Appointment(far);
    EXPECT_EQ(f.startUtc, std::int64_t{0x7FFFFFFF} * 60);
    EXPECT_EQ(Event(f).find("DTSTART"), std::string::npos);
    f.startUtc = 32503680000 - 60;  // 2999-12-31 23:59 UTC
    EXPECT_EQ(ValueOf(Event(f), "DTSTART"), "29991231T235900Z");
}

TEST(ICalendarEvent, MissingOrBackwardTimesAreLeftOut) {
    FieldList none;
    none.text(2, "No times");
    CalendarRecord n = Appointment(none);
    EXPECT_FALSE(n.startUtc);
    EXPECT_FALSE(n.endUtc);
    EXPECT_EQ(n[CalendarRecord::Start], "1/1/1970 3:00:00 AM");  // the shown text is unchanged
    std::string text = Event(n);
    EXPECT_EQ(text.find("DTSTART"), std::string::npos);
    EXPECT_EQ(text.find("DTEND"), std::string::npos);

    FieldList backward;
    backward.add(6, {0x3C}).add(7, {0x1E});
    text = Event(Appointment(backward));
    EXPECT_EQ(ValueOf(text, "DTSTART"), "19700101T010000Z");
    EXPECT_EQ(text.find("DTEND"), std::string::npos);

    CalendarRecord outOfRange;
    outOfRange.startUtc = -70'000'000'000;  // before year 1
    EXPECT_EQ(Event(outOfRange).find("DTSTART"), std::string::npos);
}

TEST(ICalendarEvent, TextsEscapedAndFoldedWholeCharacters) {
    std::u16string subject;
    for (int i = 0; i < 20; ++i)
        subject += u"会议 Встреча 😀, ";
    FieldList fields;
    fields.add(130, Utf16Data(subject)).text(3, "Room; 1\x01").text(4, "a\\b\r\nc\td");
    std::string text = Event(Appointment(fields));
    for (const std::string& line : PhysicalLines(text)) {
        EXPECT_LE(line.size(), 75u) << line;
        EXPECT_TRUE(testing::IsWholeUtf8(line)) << line;
    }
    std::string expected;
    for (int i = 0; i < 20; ++i)
        expected += "会议 Встреча 😀, ";
    EXPECT_EQ(Unescape(ValueOf(text, "SUMMARY")), expected);
    EXPECT_EQ(ValueOf(text, "LOCATION"), "Room\\; 1");  // the control character is dropped
    EXPECT_EQ(ValueOf(text, "DESCRIPTION"), "a\\\\b\\nc\td");
}

TEST(ICalendarTodo, StatusPriorityAndDue) {
    struct Case {
        std::uint8_t status, priority;
        const char *ical, *level;
    };
    for (const Case& k : {Case{0, 0, "NEEDS-ACTION", "1"}, Case{1, 1, "IN-PROCESS", "5"},
                          Case{2, 2, "COMPLETED", "9"}, Case{3, 1, "NEEDS-ACTION", "5"},
                          Case{4, 1, "NEEDS-ACTION", "5"}}) {
        FieldList fields;
        fields.text(2, "Call Bob").add(9, {k.status}).add(10, {k.priority});
        RecordImage r = FieldsImage(fields);
        TaskRecord task = DecodeTask(r.image, r.span, Unicode());
        std::string out;
        AppendTodo(task, "t-1", kStamp, out);
        EXPECT_EQ(ValueOf(out, "STATUS"), k.ical);
        EXPECT_EQ(ValueOf(out, "PRIORITY"), k.level);
        EXPECT_EQ(ValueOf(out, "SUMMARY"), "Call Bob");
        EXPECT_EQ(out.find("DUE"), std::string::npos);
    }

    TaskRecord unknown;
    unknown.values = {"T", "", "", "n"};
    unknown.dueUtc = 1075639680;
    std::string out;
    AppendTodo(unknown, "t-2", kStamp, out);
    EXPECT_EQ(
        ContentLines(out),
        (std::vector<std::string>{"BEGIN:VTODO", "UID:t-2", "DTSTAMP:20090213T233130Z", "SUMMARY:T",
                                  "DUE:20040201T124800Z", "DESCRIPTION:n", "END:VTODO"}));
}

TEST(RecordUid, StableAndMadeOfTheRecordsOwnIds) {
    FieldList fields;
    fields.text(2, "x");
    RecordImage r = FieldsImage(fields);  // handle 1, unique id 0x11223344
    EXPECT_EQ(RecordUid("Calendar - All", r.image, r.span), "11223344-1-calendar-all@orrelin");
    EXPECT_EQ(RecordUid("Calendar - All", r.image, r.span),
              RecordUid("Calendar - All", r.image, r.span));
    EXPECT_NE(RecordUid("Tasks", r.image, r.span), RecordUid("Calendar", r.image, r.span));

    IpdBuilder builder;
    std::uint16_t db = builder.database("Tasks");
    builder.record(db, fields.bytes(), 7, 0xABCDEF01).record(db, fields.bytes(), 8, 0xABCDEF01);
    IpdImage image(builder.build());
    const std::size_t first = image.fileLength() - 2 * (7 + 6 + fields.bytes().size()) + 7;
    const RecordSpan a{first, first + 5 + fields.bytes().size()};
    const RecordSpan b{a.end + 8, a.end + 8 + 5 + fields.bytes().size()};
    EXPECT_EQ(RecordUid("Tasks", image, a), "ABCDEF01-7-tasks@orrelin");
    EXPECT_EQ(RecordUid("Tasks", image, b), "ABCDEF01-8-tasks@orrelin");
    EXPECT_EQ(RecordUid("Tasks", image, {image.size() + 1, image.size() + 9}),
              "at" + std::to_string(image.size() + 1) + "-tasks@orrelin");
}

TEST(ICalendar, PythonIcalendarReadsTheCalendar) {
    std::string python = testing::PythonWith("icalendar");
    if (python.empty()) GTEST_SKIP() << "no Python with icalendar";
    FieldList fields;
    fields.add(130, Utf16Data(u"会议 Встреча 😀; a,b\\c")).add(6, {0xA0, 0x8C, 0x11, 0x01});
    std::string text(ICalendarHeader());
    for (int i = 0; i < 3; ++i)
        AppendEvent(Appointment(fields), "e-" + std::to_string(i), text);
    TaskRecord task;
    task.values = {"Task 😀", "Completed", "Low", "line\r\nline"};
    AppendTodo(task, "t-1", text);
    text += ICalendarFooter();
    const char* script = R"(
import sys, datetime, icalendar
cal = icalendar.Calendar.from_ical(open(sys.argv[1], 'rb').read())
events = [c for c in cal.walk('VEVENT')]
assert len(events) == 3
e = events[0]
assert str(e['SUMMARY']) == '会议 Встреча 😀; a,b\\c', repr(e['SUMMARY'])
assert e.decoded('DTSTART') == datetime.datetime(2004, 2, 1, 12, 48, tzinfo=datetime.timezone.utc)
assert str(e['UID']) == 'e-0'
t = cal.walk('VTODO')[0]
assert str(t['STATUS']) == 'COMPLETED' and int(t['PRIORITY']) == 9
assert str(t['DESCRIPTION']) == 'line\nline'
print('ok')
)";
    std::string output;
    EXPECT_EQ(testing::RunPython(python, script, text, output), 0) << output;
}

}  // namespace
}  // namespace orrelin
