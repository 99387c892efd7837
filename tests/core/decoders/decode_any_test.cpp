#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "decoders/servicebook_decoder.h"
#include "decoders/sms_decoder.h"
#include "ipd/ipd_builder.h"
#include "ipd/loader.h"
#include "kinds/decode_any.h"
#include "kinds/labels.h"
#include "kinds/record_kinds.h"

namespace orrelin {
namespace {

const DecodeContext kContext{};

// The values of every record of a backup, by database name.
std::multimap<std::string, std::vector<ValueRow>> DecodeAll(const IpdImage& image,
                                                            const RecordIndex& index) {
    std::multimap<std::string, std::vector<ValueRow>> out;
    for (const RecordEntry& record : index.records) {
        const DatabaseNode& node = index.databases[record.database];
        out.emplace(std::string(node.name()), DecodeValues(image, *node.db, record.span, kContext));
    }
    return out;
}

std::string ValueOf(const std::vector<ValueRow>& rows, std::string_view label) {
    for (const ValueRow& row : rows) {
        if (row.label == label) return row.value;
    }
    return "<no such row>";
}

TEST(DecodeValues, EveryDatabaseGivesItsRowsInSlotOrder) {
    IpdBuilder b;
    ByteVector sms(73, 0);
    sms[9] = 1;
    FieldList smsFields;
    smsFields.text(2, "+441").text(4, "hello");
    sms.insert(sms.end(), smsFields.bytes().begin(), smsFields.bytes().end());
    FieldList nested;
    nested.text(32, "Ann").text(32, "Lee").text(64, "notes");
    FieldList calendarNested;
    calendarNested.text(2, "Standup");
    ByteVector calendarAll{0, 0, 0, 0};
    calendarAll.insert(calendarAll.end(), calendarNested.bytes().begin(),
                       calendarNested.bytes().end());

    b.body(b.database("SMS Messages"), sms);
    b.record(b.database("Address Book - All"), FieldList{}.add(10, nested.bytes()).bytes());
    b.record(b.database("Address Book"), nested.bytes());
    b.record(b.database("Memos"), FieldList{}.text(1, "memo title").bytes());
    b.record(b.database("Tasks"), FieldList{}.text(2, "task").add(9, {2}).bytes());
    b.record(b.database("Calendar"), FieldList{}.text(2, "Lunch").bytes());
    b.record(b.database("Calendar - All"), FieldList{}.add(10, calendarAll).bytes());
    b.record(b.database("Service Book"), FieldList{}.text(3, "WAP2", true).bytes());
    b.record(b.database("Phone Call Logs"), FieldList{}.text(12, "+442").le(3, 61, 4).bytes());
    IpdImage image(b.build());
    RecordIndex index = BuildDatabaseNodes(image, "test.ipd");
    ASSERT_EQ(index.records.size(), 9u);
    auto all = DecodeAll(image, index);

    const std::pair<const char*, std::size_t> counts[] = {
        {"SMS Messages", 6},    {"Address Book - All", 34},
        {"Address Book", 34},   {"Memos", 2},
        {"Tasks", 4},           {"Calendar", 6},
        {"Calendar - All", 6},  {"Service Book", 22},
        {"Phone Call Logs", 6},
    };
    for (const auto& [name, count] : counts) {
        ASSERT_EQ(all.count(name), 1u) << name;
        const auto& rows = all.find(name)->second;
        ASSERT_EQ(rows.size(), count) << name;
        for (std::size_t i = 0; i < rows.size(); ++i)
            EXPECT_EQ(rows[i].index, i);
    }

    EXPECT_EQ(ValueOf(all.find("SMS Messages")->second, "Direction"), "Received");
    EXPECT_EQ(ValueOf(all.find("SMS Messages")->second, "Message"), "hello");
    for (const char* book : {"Address Book - All", "Address Book"}) {
        const auto& rows = all.find(book)->second;
        EXPECT_EQ(ValueOf(rows, "Last"), "Lee") << book;
        EXPECT_EQ(rows[33].label, "");  // the notes
        EXPECT_EQ(rows[33].value, "notes") << book;
    }
    EXPECT_EQ(ValueOf(all.find("Memos")->second, "Title"), "memo title");
    EXPECT_EQ(ValueOf(all.find("Tasks")->second, "Status"), "Completed");
    EXPECT_EQ(ValueOf(all.find("Calendar")->second, "Subject"), "Lunch");
    EXPECT_EQ(ValueOf(all.find("Calendar - All")->second, "Subject"), "Standup");
    const auto& sb = all.find("Service Book")->second;
    EXPECT_EQ(sb[17].label, "Name");
    EXPECT_EQ(sb[17].value, "WAP2");
    EXPECT_EQ(ValueOf(all.find("Phone Call Logs")->second, "Name"), "+442");
    EXPECT_EQ(ValueOf(all.find("Phone Call Logs")->second, "Duration"), "1:1");
}

ByteVector Address(std::string_view name, std::string_view address) {
    ByteVector data(8, 0xAA);
    data.insert(data.end(), name.begin(), name.end());
    data.push_back(0);
    data.insert(data.end(), address.begin(), address.end());
    data.push_back(0);
    return data;
}

// The mail, browser and time zone databases: the tree label and the values the pane shows, one
// case per rule of theirs (single-byte text, as the window shows it).
TEST(DecodeValues, MailBrowserAndTimeZoneRecords) {
    ByteVector html(100, 0);
    const std::string page = "<p>caf&#233;</p>";
    html.insert(html.end(), page.begin(), page.end());
    struct Case {
        const char* db;
        ByteVector fields;
        std::string label;
        std::vector<std::pair<std::string_view, std::string>> values;
    };
    const Case cases[] = {
        {"Messages",
         FieldList{}
             .add(4, Address("Bo", "bo@x.org"))
             .add(1, Address("x@y.org", "x@y.org"))
             .add(1, Address("", "z@y.org"))
             .add(11, ByteVector{'H', 'i', 0, 'j', 'u', 'n', 'k'})
             .text(12, "body")
             .add(22, {1})
             .add(22, {2})
             .le(75, 7, 4)
             .bytes(),
         "Hi",
         {{"From", "Bo <bo@x.org>"},
          {"To", "x@y.org, z@y.org"},
          {"Subject", "Hi"},
          {"Attachments", "2"},
          {"Message ID", "7"},
          {"", "body"}}},
        {"PIN Messages",
         FieldList{}.add(24, html).bytes(),
         "(no subject)",
         {{"Subject", ""}, {"", "caf\xE9"}}},
        {"Saved Email Messages",
         FieldList{}.utf16(139, u"Re: \u00E9").bytes(),
         "Re: \xE9",
         {{"Subject", "Re: \xE9"}}},
        {"Browser Bookmarks",
         FieldList{}.add(17, {0, 0, 0}).add(18, {0, 3, 'a', '.', 'b'}).le(1, 2, 1).bytes(),
         "a.b",
         {{"Name", ""}, {"URL", "a.b"}, {"Type", "2"}}},
        {"Browser History",
         FieldList{}.add(25, {9, 9, 9, 'h', 't'}).bytes(),
         "ht",
         {{"URL", "ht"}}},
        {"Time Zones",
         FieldList{}.utf16(130, u"India").le(3, 330, 2).bytes(),
         "India",
         {{"Name", "India"}, {"UTC Offset", "+05:30"}, {"Index", ""}}},
    };
    for (const Case& c : cases) {
        IpdBuilder b;
        b.record(b.database(c.db), c.fields);
        IpdImage image(b.build());
        RecordIndex index = BuildDatabaseNodes(image, "test.ipd");
        ASSERT_EQ(index.records.size(), 1u) << c.db;
        const DatabaseNode& node = index.databases[0];
        ASSERT_TRUE(node.decoded()) << c.db;
        const RecordSpan span = index.records[0].span;
        EXPECT_EQ(RecordLabel(*node.db, *image.range(span.start, span.end)), c.label) << c.db;
        const auto rows = DecodeValues(image, *node.db, span, kContext);
        for (const auto& [label, value] : c.values)
            EXPECT_EQ(ValueOf(rows, label), value) << c.db << " " << label;
    }
}

// Real backups from outside the project.
class Corpus : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!std::filesystem::is_directory(ORRELIN_CORPUS_DIR)) {
            GTEST_SKIP() << "no corpus folder at " << ORRELIN_CORPUS_DIR;
        }
    }
    static Result<IpdImage> Open(const std::string& name) {
        return IpdImage::Read(std::string(ORRELIN_CORPUS_DIR) + "/" + name);
    }
};

TEST_F(Corpus, ServiceBookEntry) {
    auto image = Open("servicebook-wptcp.ipd");
    ASSERT_TRUE(image);
    RecordIndex index = BuildDatabaseNodes(*image, "servicebook-wptcp.ipd");
    ASSERT_EQ(index.records.size(), 1u);
    ServiceBookFields f = DecodeServiceBook(*image, index.records[0].span);
    EXPECT_EQ(f[17], "WAP2 Transport 01");
    EXPECT_EQ(f[18], "WAP2 trans01");
    EXPECT_EQ(f[19], "WPTCP");
    EXPECT_EQ(f[20], "-1");
    EXPECT_EQ(f[21], "WPTCP Trans Vodafone UK (136163)");
    EXPECT_EQ(f[2], "HRT");
    EXPECT_EQ(f[3], "pp.vodafone.co.uk");
    EXPECT_EQ(f[4], "0.0.0.0.0");
    EXPECT_EQ(f[11], "212.183.137.12:8799");  // a layout-B configuration block
}

TEST_F(Corpus, ThreeReceivedMessages) {
    for (const char* name : {"sms-three-received.ipd", "sms-three-received-greek.ipd"}) {
        auto image = Open(name);
        ASSERT_TRUE(image) << name;
        RecordIndex index = BuildDatabaseNodes(*image, name);
        ASSERT_EQ(index.records.size(), 3u) << name;
        for (const RecordEntry& record : index.records) {
            SmsRecord sms = DecodeSms(*image, record.span, kContext);
            EXPECT_EQ(sms[SmsRecord::Direction], "Received");
            EXPECT_EQ(sms[SmsRecord::Folder], "Inbox");
            EXPECT_EQ(sms[SmsRecord::Number], "+8613725573137");
            // The handheld's receive time (bytes 22-27), the service centre's sent time (30-35).
            EXPECT_TRUE(sms[SmsRecord::ReceivedDate].starts_with("3/9/2006 9:3"))
                << sms[SmsRecord::ReceivedDate];
            EXPECT_TRUE(sms[SmsRecord::SentDate].starts_with("6/14/2006 4:"))
                << sms[SmsRecord::SentDate];
        }
        EXPECT_EQ(DecodeSms(*image, index.records[0].span, kContext)[SmsRecord::Text], "qwerty111");
    }
    // The hand-edited third text: single-byte Greek letters, kept byte for byte.
    auto greek = Open("sms-three-received-greek.ipd");
    ASSERT_TRUE(greek);
    RecordIndex index = BuildDatabaseNodes(*greek, "greek");
    ASSERT_EQ(index.records.size(), 3u);
    EXPECT_EQ(DecodeSms(*greek, index.records[2].span, kContext)[SmsRecord::Text],
              "\xE1\xE2\xE3\xE4\xE5\xE6\xE7"
              "12");
}

}  // namespace
}  // namespace orrelin
