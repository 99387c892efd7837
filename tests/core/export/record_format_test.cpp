#include <gtest/gtest.h>

#include "decoders/calendar_decoder.h"
#include "decoders/call_decoder.h"
#include "decoders/contact_decoder.h"
#include "decoders/memo_decoder.h"
#include "decoders/sms_decoder.h"
#include "decoders/task_decoder.h"
#include "export/export_engine.h"
#include "export/record_format.h"

namespace orrelin {
namespace {

template <typename Record>
std::string Render(const Record& record, ExportFormat format, RecordKind kind) {
    std::string out;
    FormatValues(kind, record.values, format == ExportFormat::Csv, out);
    return out;
}

TEST(CsvLine, QuotesEveryValueAndDoublesQuotesInside) {
    MemoRecord memo{{"Plan", "a \"b\", c\r\nd\"\""}};
    EXPECT_EQ(Render(memo, ExportFormat::Csv, RecordKind::Memo),
              "\"Plan\",\"a \"\"b\"\", c\r\nd\"\"\"\"\"");
    CalendarRecord subjectOnly{{"Lunch", "", "", "", "", ""}};
    EXPECT_EQ(Render(subjectOnly, ExportFormat::Csv, RecordKind::Calendar),
              "\"Lunch\",\"\",\"\",\"\",\"\",\"\"");
    // Bytes above 127 pass as they are.
    MemoRecord high{{"\xC7\xE1", "\xFF"}};
    EXPECT_EQ(Render(high, ExportFormat::Csv, RecordKind::Memo), "\"\xC7\xE1\",\"\xFF\"");
}

TEST(TextBlock, LeavesValuesAsDecodedAndEndsAfterTheLastOne) {
    TaskRecord task;
    task.values = {" padded ", "Waiting", "High", "a\tb"};
    EXPECT_EQ(Render(task, ExportFormat::Text, RecordKind::Task),
              "\r\n--------------------------------------------\r\n\tTask:  padded \r\n"
              "\tStatus: Waiting\r\n\tPriority: High\r\n\tNotes: a\tb");
}

// The formatters' own tests of emptiness (no number, no title, no name...) do not drop the
// record: its values are written like any other record's.
TEST(EmptyRecords, RenderTheirValuesLikeAnyOther) {
    SmsRecord noNumber;
    noNumber.values = {"Received", "Inbox", "", "", "", "still worth keeping"};
    EXPECT_EQ(Render(noNumber, ExportFormat::Csv, RecordKind::Sms),
              "\"Received\",\"\",\"\",\"\",\"still worth keeping\"");
    EXPECT_EQ(Render(CallRecord{}, ExportFormat::Csv, RecordKind::PhoneCall),
              "\"\",\"\",\"\",\"\",\"\",\"\"");
    EXPECT_EQ(Render(MemoRecord{}, ExportFormat::Text, RecordKind::Memo),
              "\r\n--------------------------------------------\r\n\tTitle: \r\n\tMemo: ");
    std::string address = Render(ContactRecord{}, ExportFormat::Text, RecordKind::Address);
    EXPECT_EQ(std::count(address.begin(), address.end(), '\t'), 31);
    EXPECT_TRUE(address.ends_with("\tNotes: \r\n"));
}

TEST(CsvHeader, NamesTheColumnsOfEachKind) {
    EXPECT_EQ(CsvHeader(RecordKind::Sms), "Status,Sent Date,Received Date,Number,Message");
    EXPECT_EQ(CsvHeader(RecordKind::Task), "Task,Status,Priority,Notes");
    EXPECT_EQ(CsvHeader(RecordKind::Memo), "Title,Memo");
    EXPECT_EQ(CsvHeader(RecordKind::Calendar), "Subject,Location,Start,End,Duration,Notes");
    EXPECT_EQ(CsvHeader(RecordKind::PhoneCall), "Name,Number,Date,Duration,Direction,Status");
    EXPECT_EQ(CsvHeader(RecordKind::Address),
              "Title,First Name,Last Name,Company,Job,Email,Work Phone 1,Work Phone 2,"
              "Home Phone 1,Home Phone 2,Mobile,Pager,Fax,PIN,Home Address 1,Home Address 2,"
              "Home City,Home State,Home ZIP,Home Country,Work Address 1,Work Address 2,"
              "Work City,Work State,Work ZIP,Work Country,Birthday,Anniversary,Category,"
              "Web Page,Notes");
}

TEST(AddressColumns, PutTheHomeAddressBeforeTheWorkAddress) {
    ContactRecord contact;
    contact.values[ContactRecord::WorkCity] = "W";
    contact.values[ContactRecord::HomeCity] = "H";
    contact.values[ContactRecord::OtherNumber] = "other";
    contact.values[ContactRecord::Facebook] = "fb";
    std::string csv = Render(contact, ExportFormat::Csv, RecordKind::Address);
    EXPECT_LT(csv.find("\"H\""), csv.find("\"W\""));
    EXPECT_EQ(csv.find("other"), std::string::npos);
    EXPECT_EQ(csv.find("fb"), std::string::npos);
}

}  // namespace
}  // namespace orrelin
