#include <gtest/gtest.h>

#include "ipd/ipd_builder.h"
#include "kinds/labels.h"

namespace orrelin {
namespace {

// A record body: handle, unique id, then the fields.
ByteVector Body(const ByteVector& fields) {
    ByteVector body{1, 0, 0x11, 0x22, 0x33, 0x44};
    body.insert(body.end(), fields.begin(), fields.end());
    return body;
}

// An SMS body: a first field whose first data byte is the direction, a fixed part up to byte
// 73, then the further fields.
ByteVector SmsBody(std::uint8_t direction, const ByteVector& further) {
    ByteVector body = Body(FieldList().add(1, ByteVector(64, 0)).bytes());
    body[9] = direction;
    body.resize(73, 0);
    body.insert(body.end(), further.begin(), further.end());
    return body;
}

TEST(SmsLabel, NumberFromTheFieldsAfterTheFixedPart) {
    auto body = SmsBody(1, FieldList().text(4, "hello").text(2, "+15551234").bytes());
    EXPECT_EQ(RecordLabel(KnownDb::Sms, body), "+15551234");
    EXPECT_FALSE(SmsIsSent(body));
    EXPECT_EQ(RecordImage(KnownDb::Sms, body), ImageKey::receivedsms);
    EXPECT_EQ(RecordImage(KnownDb::Sms, SmsBody(0, {})), ImageKey::sent);
    ByteVector shortBody = SmsBody(1, {});
    shortBody.resize(73);
    EXPECT_EQ(RecordLabel(KnownDb::Sms, shortBody), "");
    EXPECT_TRUE(SmsIsSent(ByteVector{1, 2, 3}));  // no direction byte reads as 0
}

TEST(ContactLabel, SixteenBitNamesWinAndTheSpaceIsAlwaysThere) {
    auto wide = Body(FieldList().utf16(160, u"Ann").text(32, "Bob").text(32, "Lee").bytes());
    EXPECT_EQ(RecordLabel(KnownDb::AddressBook, wide), "Ann ");
    auto narrow = Body(FieldList().text(32, "Ann").text(32, "Lee").bytes());
    EXPECT_EQ(RecordLabel(KnownDb::AddressBook, narrow), "Ann Lee");
    auto emptyWide = Body(FieldList().add(160, {}).text(32, "Ann").bytes());
    EXPECT_EQ(RecordLabel(KnownDb::AddressBook, emptyWide), "Ann ");
    EXPECT_EQ(RecordLabel(KnownDb::AddressBook, Body({})), " ");
    EXPECT_EQ(RecordLabel(KnownDb::AddressBookAll, narrow), " ");  // no type-10 field
    auto nested =
        Body(FieldList().add(10, FieldList().text(32, "Ann").text(32, "Lee").bytes()).bytes());
    EXPECT_EQ(RecordLabel(KnownDb::AddressBookAll, nested), "Ann Lee");
    auto arabic =
        Body(FieldList().utf16(160, u"\u0644\u064A\u0644\u0649").utf16(160, u"X").bytes());
    EXPECT_EQ(RecordLabel(KnownDb::AddressBook, arabic), "\xE1\xED\xE1\xEC X");
}

TEST(TitleLabels, TasksMemosCalendarsAndServiceBooks) {
    EXPECT_EQ(RecordLabel(KnownDb::Tasks,
                          Body(FieldList().text(2, "Pay\trent\r\n").add(130, {}).bytes())),
              "Payrent\r\n");
    EXPECT_EQ(RecordLabel(KnownDb::Tasks, Body(FieldList().text(2, "old").utf16(130, u"").bytes())),
              "");
    EXPECT_EQ(
        RecordLabel(KnownDb::Tasks, Body(FieldList().text(2, "old").utf16(130, u"new").bytes())),
        "new");
    EXPECT_EQ(
        RecordLabel(KnownDb::Memos, Body(FieldList().text(1, "Title").text(2, "Body").bytes())),
        "Title");
    EXPECT_EQ(RecordLabel(KnownDb::Memos, Body(FieldList().text(2, "Body").bytes())), "");
    EXPECT_EQ(RecordLabel(KnownDb::ServiceBook, Body(FieldList().text(3, "WPTCP", true).bytes())),
              "WPTCP");
    // "Calendar - All": the search starts at the first byte of the type-10 data.
    auto nested = FieldList().add(7, {0}).text(2, "Dentist").bytes();
    EXPECT_EQ(RecordLabel(KnownDb::CalendarAll, Body(FieldList().add(10, nested).bytes())),
              "Dentist");
    auto swallowing = FieldList().raw({0x20, 0x00, 0x07, 0x00}).raw(nested).bytes();
    EXPECT_EQ(RecordLabel(KnownDb::CalendarAll, Body(FieldList().add(10, swallowing).bytes())), "");
    EXPECT_EQ(RecordLabel(KnownDb::Calendar, Body(FieldList().text(2, "Plain").bytes())), "Plain");
}

TEST(CallLabel, FallsBackFromNameToNumberToUnknown) {
    EXPECT_EQ(RecordLabel(KnownDb::PhoneCallLogs,
                          Body(FieldList().utf16(159, u"Ann").text(31, "Bob").bytes())),
              "Ann");
    EXPECT_EQ(RecordLabel(KnownDb::PhoneCallLogs,
                          Body(FieldList().utf16(159, u"\t").text(31, "Bob").bytes())),
              "Bob");
    EXPECT_EQ(RecordLabel(KnownDb::PhoneCallLogs,
                          Body(FieldList().add(159, {}).text(12, "5551234").bytes())),
              "5551234");
    EXPECT_EQ(RecordLabel(KnownDb::PhoneCallLogs, Body({})), "Unknown Number");
}

TEST(CallIcon, DirectionNumberPicksTheImage) {
    EXPECT_EQ(CallIcon(Body(FieldList().add(2, {1, 0}).bytes())), ImageKey::placed);
    EXPECT_EQ(CallIcon(Body(FieldList().add(2, {2, 0}).bytes())), ImageKey::missed);
    EXPECT_EQ(CallIcon(Body(FieldList().add(2, {0, 0, 0, 0, 1}).bytes())), ImageKey::received);
    EXPECT_EQ(CallIcon(Body({})), ImageKey::received);
    EXPECT_EQ(RecordImage(KnownDb::PhoneCallLogs, Body(FieldList().add(2, {0xFF}).bytes())),
              ImageKey::missed);
}

}  // namespace
}  // namespace orrelin
