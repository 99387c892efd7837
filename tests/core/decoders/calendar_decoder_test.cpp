#include <gtest/gtest.h>

#include "decoders/calendar_decoder.h"
#include "record_image.h"

namespace orrelin {
namespace {

using testing::FieldsImage;
using testing::RecordImage;
using testing::Utf16Data;

const DecodeContext kContext{};

CalendarRecord Decode(const FieldList& fields, bool allForm = false,
                      const DecodeContext& context = kContext) {
    RecordImage r = FieldsImage(fields);
    return DecodeCalendar(r.image, r.span, allForm, context);
}

TEST(DecodeCalendar, SignedMinuteTimes) {
    FieldList fields;
    fields.add(6, {0xA0, 0x8C, 0x11, 0x01}).add(7, {0x3C, 0x00});
    CalendarRecord c = Decode(fields);
    EXPECT_EQ(c[CalendarRecord::Start], "2/1/2004 3:48:00 PM");
    EXPECT_EQ(c[CalendarRecord::End], "1/1/1970 4:00:00 AM");  // missing high bytes are 0

    FieldList extremes;
    extremes.add(6, {0xFF, 0xFF, 0xFF, 0x7F}).add(7, {0xFF, 0xFF, 0xFF, 0xFF, 0x12});
    CalendarRecord e = Decode(extremes);
    EXPECT_EQ(e[CalendarRecord::Start], "1/23/6053 5:07:00 AM");
    EXPECT_EQ(e[CalendarRecord::End], "1/1/1970 2:59:00 AM");  // -1 minute; byte 5 not read

    // Missing times read as the count 0: the base itself, moved by the offset.
    DecodeContext west;
    west.timeZoneText = "-3";
    CalendarRecord none = Decode(FieldList{}, false, west);
    EXPECT_EQ(none[CalendarRecord::Start], "1/1/1970");
    EXPECT_EQ(none[CalendarRecord::End], "1/1/1970");
    EXPECT_EQ(none[CalendarRecord::Duration], "");
}

TEST(DecodeCalendar, EightBitTextsKeepControlCharacters) {
    FieldList eight;
    eight.text(2, "Stand\tup").text(3, "Room 1").text(4, "a\x01z\r\n");
    CalendarRecord c = Decode(eight);
    EXPECT_EQ(c[CalendarRecord::Subject], "Stand\tup");
    EXPECT_EQ(c[CalendarRecord::Location], "Room 1");
    EXPECT_EQ(c[CalendarRecord::Notes], "a\x01z\r\n");

    FieldList wide;
    wide.text(2, "eight").add(130, Utf16Data(u"Stand\tup"));
    EXPECT_EQ(Decode(wide)[CalendarRecord::Subject], "Standup");
}

TEST(DecodeCalendar, LocationIs132AndNotesIs131InTheirSixteenBitForms) {
    FieldList fields;
    fields.text(3, "Room 1").add(131, Utf16Data(u"wide notes")).text(4, "narrow notes");
    CalendarRecord c = Decode(fields);
    EXPECT_EQ(c[CalendarRecord::Location], "Room 1");
    EXPECT_EQ(c[CalendarRecord::Notes], "wide notes");

    FieldList location;
    location.text(3, "Room 1").add(132, Utf16Data(u"Hall")).text(4, "notes");
    CalendarRecord l = Decode(location);
    EXPECT_EQ(l[CalendarRecord::Location], "Hall");
    EXPECT_EQ(l[CalendarRecord::Notes], "notes");
}

TEST(DecodeCalendar, AllFormReadsBehindTheFirstFourBytesOfTheNestedField) {
    FieldList nested;
    nested.text(2, "inner").add(6, {0x3C});
    ByteVector data{0xAA, 0xBB, 0xCC, 0xDD};
    data.insert(data.end(), nested.bytes().begin(), nested.bytes().end());
    FieldList outer;
    outer.text(2, "outer").add(10, data);
    CalendarRecord all = Decode(outer, true);
    EXPECT_EQ(all[CalendarRecord::Subject], "inner");
    EXPECT_EQ(all[CalendarRecord::Start], "1/1/1970 4:00:00 AM");
    EXPECT_EQ(Decode(outer, false)[CalendarRecord::Subject], "outer");

    // A nested field shorter than its 4 lead bytes holds nothing.
    FieldList shortNested;
    shortNested.text(2, "outer").add(10, {0x01, 0x02});
    CalendarRecord s = Decode(shortNested, true);
    EXPECT_EQ(s[CalendarRecord::Subject], "");
    EXPECT_EQ(s[CalendarRecord::Start], "1/1/1970 3:00:00 AM");
}

TEST(DecodeCalendar, SpanOutsideTheImageDecodesNothing) {
    FieldList fields;
    fields.text(2, "x");
    RecordImage r = FieldsImage(fields);
    CalendarRecord c = DecodeCalendar(r.image, testing::PastTheEnd(r), false, kContext);
    for (const auto& value : c.values)
        EXPECT_EQ(value, "");
}

TEST(DecodeCalendar, UnicodeForm) {
    DecodeContext unicode;
    unicode.text.unicode = true;
    FieldList fields;
    fields.add(130, Utf16Data(u"\u4F1A\u8BAE \U0001F4C5")).text(3, "Z\xFCrich");
    CalendarRecord c = Decode(fields, false, unicode);
    EXPECT_EQ(c[CalendarRecord::Subject], "\u4F1A\u8BAE \U0001F4C5");
    EXPECT_EQ(c[CalendarRecord::Location], "Z\u00FCrich");
}

}  // namespace
}  // namespace orrelin
