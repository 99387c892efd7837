// The bundled sample as the detail pane shows it: a few values of every kind of record, in the
// program's single-byte text (16-bit texts reduced to code page 1256), with offset 0 and the
// US English date style.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "decoders/contact_decoder.h"
#include "ipd/ipd_image.h"
#include "ipd/loader.h"
#include "kinds/decode_any.h"

namespace orrelin {
namespace {

struct Expected {
    KnownDb db;
    std::size_t record;  // position among the database's records
    std::size_t slot;
    std::string value;
};

const std::vector<Expected> kValues{
    {KnownDb::Sms, 0, 0, "Sent"},
    {KnownDb::Sms, 0, 1, "Outbox"},
    {KnownDb::Sms, 0, 2, "3/15/2010 11:35:00 AM"},
    {KnownDb::Sms, 1, 0, "Received"},
    {KnownDb::Sms, 1, 3, "3/15/2010 11:38:00 AM"},
    {KnownDb::Sms, 2, 4, "+962795550147"},
    {KnownDb::Sms, 2, 5, "\xE3\xD1\xCD\xC8\xC7\xA1 \xDF\xED\xDD \xCD\xC7\xE1\xDF\xBF"},
    {KnownDb::Sms, 3, 5, "Your parcel 4471 is ready for pickup.\nDesk hours 9-17, bring ID."},
    {KnownDb::AddressBook, 0, 15, "Hamra Street 48\r\nBuilding C, 3rd floor"},
    {KnownDb::AddressBook, 1, 13, "+34915550199"},
    {KnownDb::AddressBookAll, 0, 1, "\xE1\xED\xE1\xEC"},
    {KnownDb::AddressBookAll, 0, 23, "\xDA\xE3\xC7\xE4"},
    {KnownDb::AddressBookAll, 1, 14, "2A4F7C19"},
    {KnownDb::AddressBookAll, 2, 2, ""},
    {KnownDb::Calendar, 0, 2, "3/18/2010 12:00:00 PM"},
    {KnownDb::Calendar, 0, 3, "3/18/2010 1:30:00 PM"},
    {KnownDb::CalendarAll, 0, 0, "Flight BEY-LHR"},
    {KnownDb::CalendarAll, 0, 2, "3/27/2010 11:30:00 AM"},
    {KnownDb::CalendarAll, 1, 1, "\xC8\xED\xCA \xC7\xE1\xCC\xCF\xC9"},
    {KnownDb::Tasks, 3, 1, "Waiting"},
    {KnownDb::Tasks, 4, 1, "Deferred"},
    {KnownDb::Tasks, 4, 2, "Low"},
    {KnownDb::Memos, 0, 1, "Milk\r\nBread\r\nOlive oil\r\nLemons\r\nZa'atar"},
    {KnownDb::PhoneCallLogs, 1, 0, "+441632960881"},
    {KnownDb::PhoneCallLogs, 2, 4, "Missed Call"},
    {KnownDb::PhoneCallLogs, 3, 5, "Busy"},
    {KnownDb::PhoneCallLogs, 4, 3, "60:1"},
    // Configuration in layout A, then in layout B.
    {KnownDb::ServiceBook, 0, 4, "1.2.3.4.5"},
    {KnownDb::ServiceBook, 0, 10, "80"},
    {KnownDb::ServiceBook, 0, 14, "10.12.0.1:8080"},
    {KnownDb::ServiceBook, 0, 20, "-1"},
    {KnownDb::ServiceBook, 1, 11, "http://wap.cedarmobile.example/"},
    {KnownDb::ServiceBook, 1, 16, "TCP transport"},
    {KnownDb::ServiceBook, 1, 20, "44"},
    {KnownDb::ServiceBook, 2, 15, "Desktop"},
    {KnownDb::ServiceBook, 2, 3, ""},
};

class SampleValuesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        auto read = IpdImage::Read(std::string(ORRELIN_SOURCE_DIR) + "/samples/sample.ipd");
        ASSERT_TRUE(read) << "samples/sample.ipd is missing";
        image_ = *read;
        index_ = BuildDatabaseNodes(image_, "sample.ipd");
        context_.timeZoneText = "0";
        context_.dateStyle = DateStyle::UsEnglish();
    }
    RecordSpan span(KnownDb db, std::size_t n) const {
        return index_.records[index_.databaseNamed(NameOf(db))->records.at(n)].span;
    }

    IpdImage image_;
    RecordIndex index_;
    DecodeContext context_;
};

TEST_F(SampleValuesTest, RecordsDecodeToWhatThePaneShows) {
    for (const auto& want : kValues) {
        SCOPED_TRACE(std::string(NameOf(want.db)) + " record " + std::to_string(want.record) +
                     " slot " + std::to_string(want.slot));
        auto rows = DecodeValues(image_, want.db, span(want.db, want.record), context_);
        ASSERT_LT(want.slot, rows.size());
        EXPECT_EQ(rows[want.slot].value, want.value);
    }
}

TEST_F(SampleValuesTest, ContactPhotoIsTheWholeJpeg) {
    ContactRecord nadia = DecodeContact(image_, span(KnownDb::AddressBook, 0), false, context_);
    ASSERT_EQ(nadia.photo.size(), 929u);
    EXPECT_EQ(nadia.photo[0], 0xFF);
    EXPECT_EQ(nadia.photo[1], 0xD8);
    EXPECT_EQ(nadia.photo[927], 0xFF);  // the JPEG end marker FF D9
    EXPECT_EQ(nadia.photo[928], 0xD9);
    EXPECT_TRUE(
        DecodeContact(image_, span(KnownDb::AddressBook, 1), false, context_).photo.empty());
}

}  // namespace
}  // namespace orrelin
