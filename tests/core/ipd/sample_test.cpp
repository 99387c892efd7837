// The bundled sample, read the way the window reads it: every database, every record with the
// label and image its tree node gets.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ipd/ipd_image.h"
#include "ipd/loader.h"
#include "kinds/labels.h"

namespace orrelin {
namespace {

struct ExpectedDatabase {
    KnownDb db;
    std::uint16_t index;
    std::vector<std::string> labels;  // single-byte text: 16-bit names in code page 1256
};

// "Browser Options", a database the program does not read, holds index 2.
const std::vector<ExpectedDatabase> kExpected{
    {KnownDb::AddressBook, 0, {"Nadia Haddad", "Tomas Reyes"}},
    {KnownDb::AddressBookAll,
     1,
     {"\xE1\xED\xE1\xEC \xE3\xE4\xD5\xE6\xD1", "Peter Okafor", "Grace "}},
    {KnownDb::Calendar, 3, {"Quarterly review", "Dentist"}},
    {KnownDb::CalendarAll,
     4,
     {"Flight BEY-LHR", "\xC7\xCC\xCA\xE3\xC7\xDA \xC7\xE1\xDA\xC7\xC6\xE1\xC9"}},
    {KnownDb::Memos, 5, {"Shopping list", "Office Wi-Fi", "\xE3\xE1\xC7\xCD\xD9\xC7\xCA"}},
    {KnownDb::PhoneCallLogs,
     6,
     {"Nadia Haddad", "+441632960881", "\xD3\xC7\xE3\xED", "Karim", "Layla Mansour"}},
    {KnownDb::Sms,
     7,
     {"+96171555012", "+96171555012", "+962795550147", "+447700900321", "+962795550147",
      "+9613555019"}},
    {KnownDb::ServiceBook, 8, {"Cedar Mobile Internet", "WPTCP Transport Cedar", "Desktop"}},
    {KnownDb::Tasks,
     9,
     {"Renew car insurance", "Send March invoices", "Book hotel in Amman",
      "\xD4\xD1\xC7\xC1 \xE5\xCF\xED\xC9", "Repaint the balcony"}},
};

class SampleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        auto read = IpdImage::Read(std::string(ORRELIN_SOURCE_DIR) + "/samples/sample.ipd");
        ASSERT_TRUE(read) << "samples/sample.ipd is missing";
        image_ = *read;
        index_ = BuildDatabaseNodes(image_, "sample.ipd");
    }

    Bytes body(const RecordEntry& entry) const {
        return *image_.range(entry.span.start, entry.span.end);
    }
    const DatabaseNode& node(KnownDb db) const { return *index_.databaseNamed(NameOf(db)); }
    Bytes body(KnownDb db, std::size_t n) const {
        return body(index_.records[node(db).records.at(n)]);
    }

    IpdImage image_;
    RecordIndex index_;
};

TEST_F(SampleTest, EveryDatabaseAndRecordIsReadWithItsLabel) {
    ASSERT_TRUE(index_.complete()) << index_.stop->reason;
    ASSERT_EQ(index_.databases.size(), kExpected.size());
    for (std::size_t i = 0; i < kExpected.size(); ++i) {
        const auto& want = kExpected[i];
        const auto& got = index_.databases[i];
        SCOPED_TRACE(std::string(NameOf(want.db)));
        EXPECT_EQ(got.db, want.db);
        EXPECT_EQ(got.index, want.index);
        ASSERT_EQ(got.records.size(), want.labels.size());
        EXPECT_EQ(index_.count(want.db), want.labels.size());
        for (std::size_t r = 0; r < want.labels.size(); ++r) {
            EXPECT_EQ(RecordLabel(want.db, body(index_.records[got.records[r]])), want.labels[r]);
        }
    }
}

TEST_F(SampleTest, MessagesAndCallsCarryTheirDirections) {
    std::vector<ImageKey> messages, calls;
    for (auto r : node(KnownDb::Sms).records)
        messages.push_back(RecordImage(KnownDb::Sms, body(index_.records[r])));
    for (auto r : node(KnownDb::PhoneCallLogs).records)
        calls.push_back(RecordImage(KnownDb::PhoneCallLogs, body(index_.records[r])));
    using enum ImageKey;
    EXPECT_EQ(messages, (std::vector<ImageKey>{sent, receivedsms, receivedsms, receivedsms, sent,
                                               receivedsms}));
    EXPECT_EQ(calls, (std::vector<ImageKey>{received, placed, missed, placed, received}));
}

TEST_F(SampleTest, HoldsTheFormsReadersMustHandle) {
    // The Arabic message: a 16-bit text whose first byte is 0x06.
    Bytes arabic = FindField(Tail(body(KnownDb::Sms, 2), 73), 4);
    ASSERT_GE(arabic.size(), 2u);
    EXPECT_EQ(arabic[0], 0x06);
    // Sent and received times at fixed body offsets: received 2 s after sending.
    Bytes message = body(KnownDb::Sms, 2);
    EXPECT_EQ(LittleEndianValue(message.subspan(30, 6)) - LittleEndianValue(message.subspan(22, 6)),
              2000u);
    // A JPEG photo.
    Bytes photo = FindField(Tail(body(KnownDb::AddressBook, 0), 6), 77);
    ASSERT_GE(photo.size(), 3u);
    EXPECT_EQ(photo[0], 0xFF);
    EXPECT_EQ(photo[1], 0xD8);
    EXPECT_EQ(photo[2], 0xFF);
    // "Calendar - All": 4 bytes before the nested fields.
    Bytes wrapped = FindField(Tail(body(KnownDb::CalendarAll, 0), 6), 10);
    ASSERT_GE(wrapped.size(), 4u);
    EXPECT_EQ(FindField(wrapped.subspan(4), 2).size(), std::string("Flight BEY-LHR").size());
    // A filler block after the second message.
    const auto& second = index_.records[node(KnownDb::Sms).records[1]];
    auto filler = image_.range(second.span.end + 1, second.span.end + 5);
    ASSERT_TRUE(filler);
    EXPECT_EQ((*filler)[0], 0xFF);
    EXPECT_EQ((*filler)[2], 0x02);
}

}  // namespace
}  // namespace orrelin
