#include "export/icalendar_writer.h"

#include <gtest/gtest.h>

#include "content_lines.h"
#include "core/decoders/record_image.h"

namespace orrelin {
namespace {

using testing::ContentLines;
using testing::FieldsImage;
using testing::RecordImage;
using testing::Utf16Data;
using testing::ValueOf;
using Lines = std::vector<std::string>;

constexpr std::int64_t kStamp = 1234567890;  // 2009-02-13 23:31:30 UTC

CalendarRecord Appointment(const FieldList& fields, std::string zone = "0") {
    DecodeContext context;
    context.timeZoneText = std::move(zone);
    context.text.unicode = true;
    RecordImage r = FieldsImage(fields);
    return DecodeCalendar(r.image, r.span, false, context);
}

std::string Event(const CalendarRecord& record) {
    std::string out;
    AppendEvent(record, "u", kStamp, out);
    return out;
}

TEST(ICalendarEvent, TimesAreTheStoredInstantsInUtc) {
    FieldList fields;
    fields.text(2, "Lunch").add(6, {0xA0, 0x8C, 0x11, 0x01}).add(7, {0xDC, 0x8C, 0x11, 0x01});
    // The time zone setting moves the shown times, never the instants.
    for (const char* zone : {"0", "+11", "-3"}) {
        CalendarRecord c = Appointment(fields, zone);
        EXPECT_EQ(c.startUtc, 1075639680);  // 17927328 minutes: 2004-02-01 12:48 UTC
        EXPECT_EQ(ContentLines(Event(c)),
                  (Lines{"BEGIN:VEVENT", "UID:u", "DTSTAMP:20090213T233130Z", "SUMMARY:Lunch",
                         "DTSTART:20040201T124800Z", "DTEND:20040201T134800Z", "END:VEVENT"}));
    }

    FieldList edges;
    edges.add(6, {0xFF, 0xFF, 0xFF, 0xFF}).add(7, {0x3C, 0x00});  // -1 minute; 60 minutes
    std::string e = Event(Appointment(edges));
    EXPECT_EQ(ValueOf(e, "DTSTART"), "19691231T235900Z");
    EXPECT_EQ(ValueOf(e, "DTEND"), "19700101T010000Z");

    // The largest count lies in the year 6053, past what libical can write: no time rather
    // than its null time.
    FieldList far;
    far.add(6, {0xFF, 0xFF, 0xFF, 0x7F});
    CalendarRecord f = Appointment(far);
    EXPECT_EQ(f.startUtc, std::int64_t{0x7FFFFFFF} * 60);
    EXPECT_EQ(Event(f).find("DTSTART"), std::string::npos);
    f.startUtc = 32535216000 - 1;
    EXPECT_EQ(ValueOf(Event(f), "DTSTART"), "30001231T235959Z");
    for (std::int64_t outside :
         {std::int64_t{32535216000}, std::int64_t{-62135596801}, INT64_MIN}) {
        f.startUtc = outside;
        EXPECT_EQ(Event(f).find("DTSTART"), std::string::npos);
    }
    f.startUtc = -62135596800;
    EXPECT_EQ(ValueOf(Event(f), "DTSTART"), "00010101T000000Z");
}

TEST(ICalendarEvent, MissingOrBackwardTimesAreLeftOut) {
    CalendarRecord none = Appointment(FieldList{});
    EXPECT_FALSE(none.startUtc || none.endUtc);
    EXPECT_EQ(none[CalendarRecord::Start], "1/1/1970 3:00:00 AM");  // the shown text as before
    EXPECT_EQ(Event(none).find("DTSTART"), std::string::npos);

    FieldList backward;
    backward.add(6, {0x3C}).add(7, {0x1E});
    std::string text = Event(Appointment(backward));
    EXPECT_EQ(ValueOf(text, "DTSTART"), "19700101T010000Z");
    EXPECT_EQ(text.find("DTEND"), std::string::npos);
}

TEST(ICalendarEvent, TextsEscapedAndFoldedWholeCharacters) {
    std::u16string subject;
    for (int i = 0; i < 20; ++i)
        subject += u"会议 Встреча 😀, ";
    FieldList fields;
    fields.add(130, Utf16Data(subject)).text(3, "Room; 1\x01").text(4, "a\\b\r\nc\td");
    std::string text = Event(Appointment(fields));
    EXPECT_TRUE(testing::FoldedWhole(text));
    std::string expected;
    for (int i = 0; i < 20; ++i)
        expected += "会议 Встреча 😀, ";
    EXPECT_EQ(testing::Unescape(ValueOf(text, "SUMMARY")), expected);
    EXPECT_EQ(ValueOf(text, "LOCATION"), "Room\\; 1");  // the control character dropped
    EXPECT_EQ(ValueOf(text, "DESCRIPTION"), "a\\\\b\\nc\td");
}

TEST(ICalendarTodo, StatusPriorityAndDue) {
    const std::pair<std::uint8_t, const char*> statuses[] = {{0, "NEEDS-ACTION"},
                                                             {1, "IN-PROCESS"},
                                                             {2, "COMPLETED"},
                                                             {3, "NEEDS-ACTION"},
                                                             {4, "NEEDS-ACTION"}};
    for (const auto& [status, word] : statuses) {
        const std::uint8_t priority = status % 3;  // High, Normal, Low
        FieldList fields;
        fields.text(2, "Call Bob").add(9, {status}).add(10, {priority});
        RecordImage r = FieldsImage(fields);
        std::string out;
        AppendTodo(DecodeTask(r.image, r.span, {}), "t", kStamp, out);
        EXPECT_EQ(ValueOf(out, "STATUS"), word);
        EXPECT_EQ(ValueOf(out, "PRIORITY"), std::to_string(1 + 4 * priority));
    }

    TaskRecord unknown;  // status and priority words the tables do not hold
    unknown.values = {"T", "", "", "n"};
    std::string out;
    AppendTodo(unknown, "t", kStamp, out);
    EXPECT_EQ(ContentLines(out), (Lines{"BEGIN:VTODO", "UID:t", "DTSTAMP:20090213T233130Z",
                                        "SUMMARY:T", "DESCRIPTION:n", "END:VTODO"}));
}

TEST(RecordUid, StableAndMadeOfTheRecordsOwnIds) {
    FieldList fields;
    fields.text(2, "x");
    RecordImage r = FieldsImage(fields);  // handle 1, unique id 0x11223344
    EXPECT_EQ(RecordUid("Calendar - All", r.image, r.span), "11223344-1-calendar-all@orrelin");
    EXPECT_EQ(RecordUid("Tasks", r.image, r.span), "11223344-1-tasks@orrelin");
    EXPECT_EQ(RecordUid("Tasks", r.image, {2, r.image.size() + 9}), "at2-tasks@orrelin");
}

}  // namespace
}  // namespace orrelin
