// The vCard, iCalendar and JSON exports: which records each scope gives, the JSON document
// byte for byte and through Python's parsers, non-Latin text, and the file they go to.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/export/export_fixture.h"
#include "core/export/python_run.h"
#include "decoders/record_fields.h"
#include "export/export_engine.h"
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

// The keys a record of `db` may hold in its "values" object, in their order there.
std::vector<std::string_view> DocumentedKeys(KnownDb db) {
    std::vector<std::string_view> keys;
    const KindInfo& kind = KindInfoOf(db);
    for (const FieldRow& field : JsonTexts(kind.kind))
        keys.push_back(field.jsonKey);
    for (const ExtraRow& extra : kind.extras)
        keys.push_back(extra.jsonKey);
    return keys;
}

std::size_t Count(const std::string& text, std::string_view what) {
    std::size_t n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

class StandardExport : public ::testing::Test {
  protected:
    NodeId Record(FixtureDb db, std::size_t row) const {
        return tree.child(tree.databaseNode(db), row);
    }
    ExportRun Run(ExportFormat format, ExportScope scope, std::optional<NodeId> node,
                  std::string* out) const {
        ExportRequest request;
        request.format = format;
        request.scope = scope;
        request.node = node;
        request.stampUtc = 0;
        return RenderExport(tree, request, [out](std::string_view bytes) {
            out->append(bytes);
            return true;
        });
    }
    std::string Render(ExportFormat format, ExportScope scope,
                       std::optional<NodeId> node = std::nullopt) const {
        std::string out;
        Run(format, scope, node, &out);
        return out;
    }

    BackupTree tree = TreeOf(FixtureBackup());
};

TEST_F(StandardExport, OneJsonRecordByteForByte) {
    NodeId sms = Record(kSms, 0);
    RecordSpan span = *tree.span(sms);
    Bytes body = *RecordBody(tree.image(), span);
    const auto handle = std::to_string(body[0] | body[1] << 8);
    const auto uniqueId = std::to_string(LittleEndianValue(Slice(body, 2, 4)));
    // Times are the stored instants, whatever offset the window would add.
    EXPECT_EQ(Render(ExportFormat::Json, ExportScope::Record, sms),
              "{\"file\":\"/backups/a.ipd\",\"databases\":[\n"
              "{\"name\":\"SMS Messages\",\"records\":[\n"
              "{\"index\":1,\"tag\":\"" +
                  span.tag() + "\",\"handle\":" + handle + ",\"uniqueId\":" + uniqueId +
                  ",\"label\":\"+15551234\",\"values\":{\"direction\":\"Received\","
                  "\"folder\":\"Inbox\",\"number\":\"+15551234\","
                  "\"text\":\"Hello, \\\"world\\\"\\r\\nsecond line\","
                  "\"sent_time\":\"2009-10-26T21:26:00Z\","
                  "\"received_time\":\"2009-10-26T21:25:00Z\"}}]}]}\n");
}

TEST_F(StandardExport, EachFormatTakesItsOwnKindsFromEachScope) {
    std::string out;
    // The whole file: both address books, the calendars and tasks, every database.
    EXPECT_EQ(Run(ExportFormat::VCard, ExportScope::File, std::nullopt, &out).records, 2u);
    out.clear();
    EXPECT_EQ(Run(ExportFormat::ICalendar, ExportScope::File, std::nullopt, &out).records, 2u);
    out.clear();
    EXPECT_EQ(Run(ExportFormat::Json, ExportScope::File, std::nullopt, &out).records, 10u);
    EXPECT_EQ(Count(out, "\n{\"name\":"), 9u);  // every database, the empty ones too

    // One database and one record of a kind the format takes.
    out.clear();
    EXPECT_EQ(Run(ExportFormat::Json, ExportScope::Database, tree.databaseNode(kSms), &out).records,
              2u);
    out.clear();
    EXPECT_EQ(Run(ExportFormat::Json, ExportScope::Record, Record(kServiceBook, 0), &out).records,
              1u);
    EXPECT_NE(out.find("\"name\":\"Browser\""), std::string::npos);
    out.clear();
    EXPECT_EQ(Run(ExportFormat::VCard, ExportScope::Record, Record(kAddress, 0), &out).records, 1u);

    // A scope with nothing of the format's kind still gives a whole, empty document.
    EXPECT_EQ(Render(ExportFormat::VCard, ExportScope::Record, Record(kMemos, 0)), "");
    std::string calendar =
        Render(ExportFormat::ICalendar, ExportScope::Database, tree.databaseNode(kMemos));
    EXPECT_TRUE(calendar.starts_with("BEGIN:VCALENDAR\r\n")) << calendar;
    EXPECT_TRUE(calendar.ends_with("END:VCALENDAR\r\n")) << calendar;
    EXPECT_EQ(Count(calendar, "BEGIN:V"), 1u);
    const std::string emptyJson = "{\"file\":\"/backups/a.ipd\",\"databases\":[]}\n";
    EXPECT_EQ(Render(ExportFormat::Json, ExportScope::Record, std::nullopt), emptyJson);
    // A database node for one record, a record node for one database, a node out of range.
    EXPECT_EQ(Render(ExportFormat::Json, ExportScope::Record, tree.databaseNode(kSms)), emptyJson);
    EXPECT_EQ(Render(ExportFormat::Json, ExportScope::Database, Record(kSms, 0)), emptyJson);
    EXPECT_EQ(Render(ExportFormat::Json, ExportScope::File, NodeId{9999}).size() > 1000, true);
    EXPECT_EQ(Render(ExportFormat::Json, ExportScope::Record, NodeId{9999}), emptyJson);
    // An empty database gives its name and no records.
    EXPECT_NE(Render(ExportFormat::Json, ExportScope::Database, tree.databaseNode(kCalendarAll))
                  .find("{\"name\":\"Calendar - All\",\"records\":[]}"),
              std::string::npos);
}

// Python's json module reads the whole-file document; every record's keys are keys the schema
// names for its database, in its order, and none of them holds an empty text.
TEST_F(StandardExport, TheWholeFileIsValidJsonWithTheDocumentedKeys) {
    if (!PythonHas("json")) FAIL() << "python3 is not available (scripts/install-deps.sh)";
    std::string document = Render(ExportFormat::Json, ExportScope::File);
    auto seen = RunPython(
        "import json, sys\n"
        "doc = json.load(open(sys.argv[1], encoding='utf-8'))\n"
        "for db in doc['databases']:\n"
        "    for r in db['records']:\n"
        "        assert '' not in r['values'].values(), r\n"
        "        print(db['name'] + '|' + ','.join(r['values'].keys()))\n",
        document);
    ASSERT_TRUE(seen) << document;
    std::size_t lines = 0;
    for (std::size_t from = 0; from < seen->size(); ++lines) {
        const std::size_t end = seen->find('\n', from);
        const std::string line = seen->substr(from, end - from);
        from = end + 1;
        const std::size_t bar = line.find('|');
        auto db = KnownDbByName(line.substr(0, bar));
        ASSERT_TRUE(db) << line;
        const std::vector<std::string_view> documented = DocumentedKeys(*db);
        auto next = documented.begin();
        std::string_view rest = std::string_view(line).substr(bar + 1);
        while (!rest.empty()) {
            std::string_view key = rest.substr(0, rest.find(','));
            rest.remove_prefix(std::min(rest.size(), key.size() + 1));
            next = std::find(next, documented.end(), key);
            ASSERT_NE(next, documented.end()) << key << " out of place in " << line;
        }
    }
    EXPECT_EQ(lines, 10u);
}

// README.md's "JSON export" section names every key the export writes.
TEST(JsonSchema, TheReadmeDocumentsEveryKey) {
    std::ifstream in(std::string(ORRELIN_SOURCE_DIR) + "/README.md", std::ios::binary);
    std::string readme{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const auto section = readme.find("### JSON export");
    ASSERT_NE(section, std::string::npos);
    const std::string text = readme.substr(section, readme.find("\n## ", section) - section);
    for (const auto& info : kKnownDatabases) {
        EXPECT_NE(text.find(info.name), std::string::npos) << info.name;
        for (std::string_view key : DocumentedKeys(info.db))
            EXPECT_NE(text.find("`" + std::string(key) + "`"), std::string::npos) << key;
    }
}

TEST_F(StandardExport, SixteenBitTextKeepsEveryScriptAndEightBitTextFollowsTheCodePage) {
    IpdBuilder b;
    auto memos = b.database("Memos");
    auto calls = b.database("Phone Call Logs");
    b.record(memos, FieldList()
                        .utf16(129, u"Привет 你好 \U0001F600")
                        .text(2, "\xCF\xF0\xE8\xE2\xE5\xF2 \"q\"\\")
                        .bytes());
    b.record(calls, FieldList().utf16(159, u"Ωμέγα").text(12, "+30").bytes());
    BackupTree unicode = TreeOf(b.build());
    ExportRequest request;
    request.format = ExportFormat::Json;
    request.eightBitPage = CodePage::Cp1251;
    std::string out;
    RenderExport(unicode, request, [&](std::string_view bytes) {
        out.append(bytes);
        return true;
    });
    EXPECT_NE(out.find("\"title\":\"Привет 你好 \U0001F600\",\"body\":\"Привет \\\"q\\\"\\\\\""),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("\"name\":\"Ωμέγα\""), std::string::npos) << out;
    // The labels too, where the tree has code page 1256 and question marks.
    EXPECT_NE(out.find("\"label\":\"Привет 你好 \U0001F600\""), std::string::npos) << out;
    EXPECT_NE(out.find("\"label\":\"Ωμέγα\""), std::string::npos) << out;
    // No time field: no time, but a duration of 0.
    EXPECT_NE(out.find("\"direction\":\"Received Call\",\"duration_seconds\":0}"),
              std::string::npos)
        << out;

    // Read as 1252 the same bytes are Latin letters.
    request.eightBitPage = CodePage::Cp1252;
    out.clear();
    RenderExport(unicode, request, [&](std::string_view bytes) {
        out.append(bytes);
        return true;
    });
    EXPECT_NE(out.find("\"body\":\"\u00CF\u00F0\u00E8\u00E2\u00E5\u00F2 "), std::string::npos);
}

class StandardFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("orrelin-standard-" +
                  std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    fs::path folder;
};

TEST_F(StandardFiles, NamedWithTheFormatsExtensionAndNeverOverAnEarlierExport) {
    BackupTree tree = TreeOf(FixtureBackup(), (folder / "a.ipd").string());
    std::tm when{};
    when.tm_mday = 7;
    when.tm_hour = 4;
    when.tm_min = 5;
    when.tm_sec = 9;
    for (ExportFormat format :
         {ExportFormat::Json, ExportFormat::Json, ExportFormat::VCard, ExportFormat::ICalendar}) {
        ExportRequest request;
        request.format = format;
        ExportResult result =
            ExportToFile(tree, request, ExportFileName(tree.path(), format, when));
        ASSERT_EQ(result.status, ExportStatus::Written) << result.error;
        EXPECT_GT(result.records, 0u);
    }
    EXPECT_EQ(Names(), (std::vector<std::string>{
                           "Orrelin_Export_07040509.ics", "Orrelin_Export_07040509.json",
                           "Orrelin_Export_07040509.vcf", "Orrelin_Export_07040509_2.json"}));
}

TEST_F(StandardFiles, ACancelledOrFailedExportLeavesNothingBehind) {
    IpdBuilder b;
    auto memos = b.database("Memos");
    for (int i = 0; i < 3000; ++i)
        b.record(memos, FieldList().text(1, "memo " + std::to_string(i)).bytes());
    BackupTree tree = TreeOf(b.build());
    ExportRequest request;
    request.format = ExportFormat::Json;
    const std::string path = (folder / "out.json").string();
    ExportResult cancelled =
        ExportToFile(tree, request, path, [](std::uint64_t done, std::uint64_t total) {
            EXPECT_EQ(total, 3000u);
            return done < 1000;
        });
    EXPECT_EQ(cancelled.status, ExportStatus::Cancelled);
    EXPECT_TRUE(Names().empty());

    ExportResult failed = ExportToFile(tree, request, (folder / "gone" / "out.json").string());
    EXPECT_EQ(failed.status, ExportStatus::Failed);
    EXPECT_FALSE(failed.error.empty());
    EXPECT_TRUE(Names().empty());

    ExportResult written = ExportToFile(tree, request, path);
    EXPECT_EQ(written.status, ExportStatus::Written);
    EXPECT_EQ(written.records, 3000u);
    EXPECT_EQ(Names(), std::vector<std::string>{"out.json"});
}

// What the window (counting every format) and the page and the command line (counting the
// Unicode ones) say.
TEST(ClosingMessage, CountsAndWarnsAsEachFrontEndSays) {
    struct Case {
        ExportFormat format;
        std::uint64_t records;
        bool countEveryFormat;
        const char* tail;
        bool warns;
    };
    const Case cases[] = {
        {ExportFormat::Csv, 0, false, "", false},
        {ExportFormat::Text, 1, true, "\n1 record written.", false},
        {ExportFormat::Json, 2, false, "\n2 records written.", false},
        {ExportFormat::Mbox, 0, false,
         "\n0 records written.\nThe chosen records hold nothing for mbox: the file holds an "
         "empty document.",
         true},
    };
    for (const Case& c : cases) {
        const ExportClosing closing =
            ClosingMessage("a.out", c.format, c.records, c.countEveryFormat);
        EXPECT_EQ(closing.text(), std::string("Export to: a.out is complete.") + c.tail);
        EXPECT_EQ(closing.warns(), c.warns);
    }
}

}  // namespace
}  // namespace orrelin
