#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/export/export_fixture.h"
#include "export/export_engine.h"
#include "io/file_output.h"
#include "ipd/loader.h"
#include "kinds/record_kinds.h"

namespace orrelin {
namespace {

using namespace orrelin::testing;
namespace fs = std::filesystem;

BackupTree TreeOf(const ByteVector& bytes, const std::string& path = "/backups/a.ipd") {
    IpdImage image(bytes);
    RecordIndex index = BuildDatabaseNodes(image, path);
    return BackupTree(std::move(image), std::move(index));
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ExportFixture : public ::testing::Test {
  protected:
    NodeId Record(FixtureDb db, std::size_t row) const {
        return tree.child(tree.databaseNode(db), row);
    }
    ExportRequest Request(ExportFormat format, ExportScope scope,
                          std::optional<NodeId> node) const {
        ExportRequest request;
        request.format = format;
        request.scope = scope;
        request.node = node;
        request.context = context;
        return request;
    }
    // What the panel writes with `selected` chosen.
    std::string Panel(ExportScope scope, ExportFormat format, NodeId selected) const {
        return RenderExportToString(tree, Request(format, scope, ScopeNode(tree, scope, selected)));
    }
    std::string Database(ExportFormat format, FixtureDb db) const {
        return RenderExportToString(tree,
                                    Request(format, ExportScope::Database, tree.databaseNode(db)));
    }

    BackupTree tree = TreeOf(FixtureBackup());
    DecodeContext context;
};

struct RecordCase {
    FixtureDb db;
    std::size_t row;
    std::string_view title;
    const std::string& text;
    const std::string& csv;
};

TEST_F(ExportFixture, OneRecordGivesItsBannerAndItsRenderingInBothFormats) {
    const RecordCase cases[] = {
        {kSms, 0, "SMS Message", kSms1Text, kSms1Csv},
        {kSms, 1, "SMS Message", kSms2Text, kSms2Csv},
        {kAddressAll, 0, "Address Book", kAdaText, kAdaCsv},
        {kAddress, 0, "Address Book", kGraceText, kGraceCsv},
        {kTasks, 0, "Task", kTaskText, kTaskCsv},
        {kCalendar, 0, "Calendar", kMeetingText, kMeetingCsv},
        {kMemos, 0, "Memo", kShoppingText, kShoppingCsv},
        {kMemos, 1, "Memo", kArabicMemoText, kArabicMemoCsv},
        {kCalls, 0, "Phone Calls", kCallText, kCallCsv},
    };
    for (const RecordCase& c : cases) {
        SCOPED_TRACE(std::string(c.title) + " " + std::to_string(c.row));
        NodeId node = Record(c.db, c.row);
        EXPECT_EQ(Panel(ExportScope::Record, ExportFormat::Text, node),
                  Banner(27, c.title) + Flat(c.text));
        EXPECT_EQ(Panel(ExportScope::Record, ExportFormat::Csv, node),
                  Banner(27, c.title) + Flat(c.csv));
    }
}

TEST_F(ExportFixture, OneDatabaseGivesBannerHeaderAndEveryRecordInTreeOrder) {
    // The panel takes the database from the selected record's parent.
    EXPECT_EQ(Panel(ExportScope::Database, ExportFormat::Text, Record(kSms, 1)),
              Banner(27, "SMS Message") + Flat(kSms1Text) + Flat(kSms2Text));
    EXPECT_EQ(Panel(ExportScope::Database, ExportFormat::Csv, Record(kSms, 0)),
              Banner(27, "SMS Message") + Lines({"Status,Sent Date,Received Date,Number,Message"}) +
                  Flat(kSms1Csv) + Flat(kSms2Csv));
    EXPECT_EQ(Panel(ExportScope::Database, ExportFormat::Text, Record(kMemos, 0)),
              Banner(27, "Memos") + Flat(kShoppingText) + Flat(kArabicMemoText));
    EXPECT_EQ(
        Panel(ExportScope::Database, ExportFormat::Csv, Record(kMemos, 0)),
        Banner(27, "Memos") + Lines({"Title,Memo"}) + Flat(kShoppingCsv) + Flat(kArabicMemoCsv));
    EXPECT_EQ(Panel(ExportScope::Database, ExportFormat::Text, Record(kTasks, 0)),
              Banner(27, "Tasks") + Flat(kTaskText));
    EXPECT_EQ(Panel(ExportScope::Database, ExportFormat::Csv, Record(kTasks, 0)),
              Banner(27, "Tasks") + Lines({"Task,Status,Priority,Notes"}) + Flat(kTaskCsv));
    EXPECT_EQ(Panel(ExportScope::Database, ExportFormat::Csv, Record(kCalendar, 0)),
              Banner(27, "Calendar") + Lines({"Subject,Location,Start,End,Duration,Notes"}) +
                  Flat(kMeetingCsv));
    EXPECT_EQ(Panel(ExportScope::Database, ExportFormat::Csv, Record(kCalls, 0)),
              Banner(27, "Phone Calls") + Lines({"Name,Number,Date,Duration,Direction,Status"}) +
                  Flat(kCallCsv));
    // An address block ends with CR LF: an empty line follows it and the file ends with two
    // line breaks.
    EXPECT_EQ(Panel(ExportScope::Database, ExportFormat::Text, Record(kAddressAll, 0)),
              Banner(27, "Address Book") + Flat(kAdaText));
    EXPECT_EQ(Panel(ExportScope::Database, ExportFormat::Csv, Record(kAddress, 0)),
              Banner(27, "Address Book") +
                  Lines({"Title,First Name,Last Name,Company,Job,Email,Work Phone 1,Work Phone 2,"
                         "Home Phone 1,Home Phone 2,Mobile,Pager,Fax,PIN,Home Address 1,"
                         "Home Address 2,Home City,Home State,Home ZIP,Home Country,Work Address 1,"
                         "Work Address 2,Work City,Work State,Work ZIP,Work Country,Birthday,"
                         "Anniversary,Category,Web Page,Notes"}) +
                  Flat(kGraceCsv));
}

TEST_F(ExportFixture, AnEmptyDatabaseGivesItsBannerAndHeaderOnly) {
    EXPECT_EQ(Database(ExportFormat::Text, kCalendarAll), Banner(27, "Calendar"));
    EXPECT_EQ(Database(ExportFormat::Csv, kCalendarAll),
              Banner(27, "Calendar") + Lines({"Subject,Location,Start,End,Duration,Notes"}));
}

TEST_F(ExportFixture, WholeFileVisitsEveryExportableDatabaseWithEightSpacesPerRecord) {
    EXPECT_EQ(RenderExportToString(tree, Request(ExportFormat::Text, ExportScope::File, {})),
              WholeFileText());
    EXPECT_EQ(RenderExportToString(tree, Request(ExportFormat::Csv, ExportScope::File, {})),
              WholeFileCsv());
    // Nothing carries over: a one-record export afterwards has no leading spaces.
    EXPECT_EQ(Panel(ExportScope::Record, ExportFormat::Csv, Record(kCalls, 0)),
              Banner(27, "Phone Calls") + Flat(kCallCsv));
}

TEST_F(ExportFixture, ARenamedDatabaseNodeKeepsItsRecords) {
    const std::string before =
        RenderExportToString(tree, Request(ExportFormat::Text, ExportScope::File, {}));
    const std::string memos = Database(ExportFormat::Csv, kMemos);
    tree.setText(tree.databaseNode(kMemos), "Notes");
    EXPECT_EQ(RenderExportToString(tree, Request(ExportFormat::Text, ExportScope::File, {})),
              before);
    EXPECT_EQ(Database(ExportFormat::Csv, kMemos), memos);
    EXPECT_NE(memos.find("Shopping"), std::string::npos);
}

TEST_F(ExportFixture, ScopesThatNameNoRecordsWriteOnlyWhatTheyName) {
    // The banner and the rendering follow the record's own database.
    EXPECT_EQ(Panel(ExportScope::Record, ExportFormat::Text, Record(kMemos, 0)),
              Banner(27, "Memo") + Flat(kShoppingText));
    // A database node is no record: the banner alone. The root has no database.
    EXPECT_EQ(RenderExportToString(tree, Request(ExportFormat::Text, ExportScope::Record,
                                                 tree.databaseNode(kMemos))),
              Banner(27, "Memo"));
    EXPECT_EQ(RenderExportToString(
                  tree, Request(ExportFormat::Csv, ExportScope::Database, BackupTree::kRoot)),
              "");
    // With a database node selected, "all records" means that database.
    EXPECT_EQ(Panel(ExportScope::Database, ExportFormat::Csv, tree.databaseNode(kMemos)),
              Database(ExportFormat::Csv, kMemos));
    // Records of a database that is not exported give nothing, nor does a node the tree lacks.
    EXPECT_EQ(Panel(ExportScope::Record, ExportFormat::Text, Record(kServiceBook, 0)), "");
    EXPECT_EQ(RenderExportToString(
                  tree, Request(ExportFormat::Text, ExportScope::Database, NodeId{100000})),
              "");
}

TEST(ExportCaptions, FollowTheDatabaseKind) {
    struct Case {
        KnownDb db;
        std::string_view selected, all;
    };
    const Case cases[] = {
        {KnownDb::Sms, "Export Selected SMS Message", "Export All SMS Messages"},
        {KnownDb::AddressBookAll, "Export Selected Address", "Export All Addresses"},
        {KnownDb::AddressBook, "Export Selected Address", "Export All Addresses"},
        {KnownDb::Tasks, "Export Selected Task", "Export All Tasks"},
        {KnownDb::CalendarAll, "Export Selected Calendar", "Export All Calendar"},
        {KnownDb::Calendar, "Export Selected Calendar", "Export All Calendar"},
        {KnownDb::Memos, "Export Selected Memo", "Export All Memos"},
        {KnownDb::PhoneCallLogs, "Export Selected Phone Call", "Export All Phone Calls"},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(FormatTakes(ExportFormat::Text, c.db));
        EXPECT_EQ(KindInfoOf(c.db).text.selectedCaption, c.selected);
        EXPECT_EQ(KindInfoOf(c.db).text.allCaption, c.all);
    }
    EXPECT_FALSE(FormatTakes(ExportFormat::Csv, KnownDb::ServiceBook));
}

class ExportFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        folder =
            fs::temp_directory_path() /
            ("orrelin-export-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path folder;
    DecodeContext context;
};

TEST_F(ExportFiles, NamesTheFileAfterDayAndTimeAndNeverReplacesAnEarlierExport) {
    BackupTree tree = TreeOf(FixtureBackup(), (folder / "a.ipd").string());
    std::tm when{};
    when.tm_mday = 7;
    when.tm_hour = 4;
    when.tm_min = 5;
    when.tm_sec = 9;
    ExportRequest request;
    request.context = context;
    for (int i = 0; i < 3; ++i) {
        std::string path = ExportFileName(tree.path(), ExportFormat::Text, when);
        ExportResult result = ExportToFile(tree, request, path);
        ASSERT_EQ(result.status, ExportStatus::Written) << result.error;
        EXPECT_EQ(result.bytes, WholeFileText().size());
    }
    request.format = ExportFormat::Csv;
    ASSERT_EQ(
        ExportToFile(tree, request, ExportFileName(tree.path(), ExportFormat::Csv, when)).status,
        ExportStatus::Written);
    EXPECT_EQ(Names(), (std::vector<std::string>{
                           "Orrelin_Export_07040509.csv", "Orrelin_Export_07040509.txt",
                           "Orrelin_Export_07040509_2.txt", "Orrelin_Export_07040509_3.txt"}));
    EXPECT_EQ(ReadAll(folder / "Orrelin_Export_07040509_2.txt"), WholeFileText());
    EXPECT_EQ(ReadAll(folder / "Orrelin_Export_07040509.csv"), WholeFileCsv());
    // A path without a folder gives a name in the current folder.
    EXPECT_EQ(ExportFileName("a.ipd", ExportFormat::Csv, when), "Orrelin_Export_07040509.csv");
}

TEST_F(ExportFiles, AFileThatCannotBeCreatedIsReportedWithItsReason) {
    BackupTree tree = TreeOf(FixtureBackup());
    ExportRequest request;
    request.context = context;
    // A folder that is gone, and a "folder" that is a file.
    std::ofstream(folder / "plain") << "x";
    for (fs::path path : {folder / "gone" / "x.txt", folder / "plain" / "x.txt"}) {
        ExportResult result = ExportToFile(tree, request, path.string());
        EXPECT_EQ(result.status, ExportStatus::Failed);
        EXPECT_FALSE(result.error.empty());
        EXPECT_EQ(result.path, path.string());
    }
    EXPECT_EQ(Names(), std::vector<std::string>{"plain"});
}

TEST_F(ExportFiles, ACancelledExportLeavesNothingBehind) {
    IpdBuilder b;
    auto memos = b.database("Memos");
    for (int i = 0; i < 3000; ++i) {
        b.record(memos, FieldList().text(1, "memo " + std::to_string(i)).text(2, "body").bytes());
    }
    BackupTree tree = TreeOf(b.build());
    ExportRequest request;
    request.context = context;
    std::string path = (folder / "out.txt").string();

    std::vector<std::uint64_t> seen;
    ExportResult cancelled =
        ExportToFile(tree, request, path, [&](std::uint64_t done, std::uint64_t total) {
            EXPECT_EQ(total, 3000u);
            seen.push_back(done);
            return done < 2000;
        });
    EXPECT_EQ(cancelled.status, ExportStatus::Cancelled);
    ASSERT_FALSE(seen.empty());
    EXPECT_GE(seen.back(), 2000u);
    EXPECT_LT(seen.back(), 3000u);
    EXPECT_TRUE(Names().empty());

    // Refusing only at the very end still cancels.
    ExportResult late = ExportToFile(
        tree, request, path, [](std::uint64_t done, std::uint64_t total) { return done < total; });
    EXPECT_EQ(late.status, ExportStatus::Cancelled);
    EXPECT_TRUE(Names().empty());

    seen.clear();
    ExportResult whole = ExportToFile(tree, request, path, [&](std::uint64_t done, std::uint64_t) {
        seen.push_back(done);
        return true;
    });
    EXPECT_EQ(whole.status, ExportStatus::Written);
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(seen.back(), 3000u);
    EXPECT_EQ(Names(), std::vector<std::string>{"out.txt"});
}

// Six chunks of records: rendered on every core, written in tree order, and stopped as asked.
TEST(ExportSink, ALargeExportKeepsTreeOrderOnEveryCore) {
    IpdBuilder b;
    const std::uint16_t memos = b.database("Memos");
    for (int i = 0; i < 6000; ++i)
        b.record(memos, FieldList().text(1, "memo " + std::to_string(i)).bytes());
    BackupTree tree = TreeOf(b.build());
    ExportRequest request;
    request.format = ExportFormat::Json;
    const std::string json = RenderExportToString(tree, request);
    std::size_t at = 0;
    for (int i = 0; i < 6000; ++i) {
        const std::string line = "{\"index\":" + std::to_string(i + 1) + ",";
        at = json.find(line, at);
        ASSERT_NE(at, std::string::npos) << line;
        const std::string values = "\"values\":{\"title\":\"memo " + std::to_string(i) + "\"";
        ASSERT_EQ(json.compare(json.find("\"values\"", at), values.size(), values), 0);
    }
    const ExportRun cancelled = RenderExport(
        tree, request, [](std::string_view) { return true; },
        [](std::uint64_t done, std::uint64_t) { return done < 2000; });
    EXPECT_EQ(cancelled.status, ExportStatus::Cancelled);
}

TEST(ExportSink, ARefusedWriteFailsTheRun) {
    BackupTree tree = TreeOf(FixtureBackup());
    ExportRequest request;
    request.format = ExportFormat::Csv;
    EXPECT_EQ(RenderExport(tree, request, [](std::string_view) { return false; }).status,
              ExportStatus::Failed);
}

}  // namespace
}  // namespace orrelin
