// orrelin-cli list: the tree, exactly, on backups built here, on damaged ones and on the real
// backups of the corpus.

#include <unistd.h>

#include "cli/cli_run.h"

namespace orrelin::clitest {
namespace {

// Where records land: the walk's first record follows the header and the name table, and a
// record at offset a with length L has the span (a + 7):(a + 5 + L).
class Layout {
  public:
    explicit Layout(std::initializer_list<std::string_view> names) {
        for (auto name : names)
            offset_ += 2 + name.size() + 1;
    }
    // The tag of the next record made with IpdBuilder::record from these fields.
    std::string next(const ByteVector& fields) {
        const std::uint64_t length = 1 + 6 + fields.size();
        std::string tag = std::to_string(offset_ + 7) + ":" + std::to_string(offset_ + 5 + length);
        offset_ += 6 + length;
        return tag;
    }
    // The same for a body given whole.
    std::string nextBody(const ByteVector& body) {
        return next(ByteVector(body.begin() + 6, body.end()));
    }

  private:
    std::uint64_t offset_ = 42;
};

// An SMS body: handle and unique id, a first field whose first data byte is the direction,
// zeros up to byte 73, then the further fields.
ByteVector SmsBody(std::uint8_t direction, const std::string& number) {
    ByteVector body{1, 0, 0, 0, 0, 0};
    ByteVector first = FieldList().add(1, ByteVector(64, 0)).bytes();
    body.insert(body.end(), first.begin(), first.end());
    body[9] = direction;
    body.resize(73, 0);
    ByteVector further = FieldList().text(4, "hi").text(2, number).bytes();
    body.insert(body.end(), further.begin(), further.end());
    return body;
}

TEST_F(CliTest, ListPrintsTheTreeInPreOrderWithLabelsImagesAndCounts) {
    IpdBuilder b;
    Layout at({"SMS Messages", "Browser Data", "Memos", "Address Book - All", "Phone Call Logs",
               "Tasks"});
    const auto sms = b.database("SMS Messages");
    const auto other = b.database("Browser Data");
    const auto memos = b.database("Memos");
    const auto contacts = b.database("Address Book - All");
    const auto calls = b.database("Phone Call Logs");
    b.database("Tasks");  // listed, without records

    const ByteVector received = SmsBody(1, "+15551234");
    b.body(sms, received);
    const std::string receivedTag = at.nextBody(received);

    const ByteVector shopping = FieldList().text(1, "Shop\\list\r\nmilk\x01").bytes();
    b.record(memos, shopping);
    const std::string shoppingTag = at.next(shopping);

    const ByteVector skipped = FieldList().text(1, "not listed").bytes();
    b.record(other, skipped);
    at.next(skipped);

    const ByteVector salam =
        FieldList()
            .add(10, FieldList().utf16(160, u"\u0633\u0644\u0627\u0645").utf16(160, u"X").bytes())
            .bytes();
    b.record(contacts, salam);
    const std::string salamTag = at.next(salam);

    const ByteVector placed = FieldList().le(2, 1, 2).text(31, "Bob").bytes();
    b.record(calls, placed);
    const std::string placedTag = at.next(placed);

    const ByteVector sent = SmsBody(0, "+447700");
    b.body(sms, sent);
    const std::string sentTag = at.nextBody(sent);

    const ByteVector eightBitArabic = FieldList().add(1, {0xC7, 0xE1, ' ', 'a'}).bytes();
    b.record(memos, eightBitArabic);
    const std::string arabicTag = at.next(eightBitArabic);

    const ByteVector missed = FieldList().le(2, 2, 2).bytes();
    b.record(calls, missed);
    const std::string missedTag = at.next(missed);

    const std::string path = write("odd\tname.ipd", b.build());
    const CliRun r = run({"list", path});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const std::string escapedPath = (dir_ / "odd\\tname.ipd").string();
    EXPECT_EQ(r.out, escapedPath + "\n" +
                         "0DBTop\tSMS Messages\n"
                         "\t" +
                         receivedTag +
                         "\treceivedsms\t+15551234\n"
                         "\t" +
                         sentTag +
                         "\tsent\t+447700\n"
                         "2DBTop\tMemos\n"
                         "\t" +
                         shoppingTag +
                         "\tmemos\tShop\\\\list\\r\\nmilk\n"
                         "\t" +
                         arabicTag +
                         "\tmemos\t\u0627\u0644 a\n"
                         "3DBTop\tAddress Book - All\n"
                         "\t" +
                         salamTag +
                         "\taddressbook\t\u0633\u0644\u0627\u0645 X\n"
                         "4DBTop\tPhone Call Logs\n"
                         "\t" +
                         placedTag +
                         "\tplaced\tBob\n"
                         "\t" +
                         missedTag +
                         "\tmissed\tUnknown Number\n"
                         "5DBTop\tTasks\n"
                         "\n"
                         "odd\\tname.ipd\n"
                         "2 SMS Messages, 1 Address Book (All), 0 Tasks, 2 Memos, 0 Calendar, "
                         "2 Phone Calls, 0 Service Book\n");
}

TEST_F(CliTest, ListOfAnEmptyTableGivesTheRootAndZeroCounts) {
    const std::string path = write("empty.ipd", IpdBuilder().build());
    const CliRun r = run({"list", path});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, path +
                         "\n\nempty.ipd\n0 SMS Messages, 0 Address Book (All), 0 Tasks, 0 Memos, "
                         "0 Calendar, 0 Phone Calls, 0 Service Book\n");
}

// Damage: the nodes made before the damage are listed, no counts line follows, one warning
// says where the walk stopped and why, and the command still succeeds.
TEST_F(CliTest, ListOfADamagedFileWarnsOnceAndSucceeds) {
    IpdBuilder b;
    const auto memos = b.database("Memos");
    b.record(memos, FieldList().text(1, "kept").bytes());
    ByteVector bytes = b.build();
    const std::size_t second = bytes.size();
    // A second record that claims 100 bytes where 9 follow.
    ByteVector truncated{0, 0, 100, 0, 0, 0, 0, 1, 0};
    bytes.insert(bytes.end(), truncated.begin(), truncated.end());
    const std::string path = write("cut.ipd", bytes);

    const CliRun r = run({"list", path});
    EXPECT_EQ(r.exitCode, 0);
    const auto lines = SplitLines(r.out);
    ASSERT_EQ(lines.size(), 3u) << r.out;
    EXPECT_EQ(lines[0], path);
    EXPECT_EQ(lines[1], "0DBTop\tMemos");
    EXPECT_EQ(lines[2].substr(lines[2].rfind('\t')), "\tkept");
    EXPECT_EQ(SplitLines(r.err).size(), 1u);
    EXPECT_NE(r.err.find("warning"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("byte offset " + std::to_string(second)), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("runs past the end of the file"), std::string::npos) << r.err;
}

TEST_F(CliTest, ListOfAFileTooShortForAHeaderIsRefused) {
    const std::string path = write("short.ipd", ByteVector{'I', 'n'});
    const CliRun r = run({"list", path});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "orrelin-cli: " + path + ": not a BlackBerry backup\n");
}

TEST_F(CliTest, ListRefusesWhatCannotBeRead) {
    const std::string missing = file("missing.ipd");
    CliRun r = run({"list", missing});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "orrelin-cli: cannot read " + missing + ": No such file or directory\n");

    fs::create_directories(dir_ / "folder.ipd");
    r = run({"list", file("folder.ipd")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "orrelin-cli: cannot read " + file("folder.ipd") + ": Is a directory\n");

    if (::geteuid() != 0) {  // root reads every file
        const std::string locked = write("locked.ipd", IpdBuilder().build());
        fs::permissions(locked, fs::perms::none);
        r = run({"list", locked});
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "orrelin-cli: cannot read " + locked + ": Permission denied\n");
    }
}

TEST_F(CliTest, ListOpensTheRealBackupsWithoutAWarning) {
    const fs::path corpus = ORRELIN_CORPUS_DIR;
    if (!fs::is_directory(corpus)) GTEST_SKIP() << "no corpus folder at " << corpus;
    int seen = 0;
    for (const auto& entry : fs::directory_iterator(corpus)) {
        if (entry.path().extension() != ".ipd") continue;
        ++seen;
        const CliRun r = run({"list", entry.path().string()});
        EXPECT_EQ(r.exitCode, 0) << entry.path();
        EXPECT_EQ(r.err, "") << entry.path();
        const auto lines = SplitLines(r.out);
        ASSERT_GE(lines.size(), 5u) << entry.path();
        EXPECT_EQ(lines[lines.size() - 2], entry.path().filename().string());
        EXPECT_NE(lines.back().find(" Service Book"), std::string::npos);
        EXPECT_GE(lines.size(), 6u) << "no record listed in " << entry.path();
    }
    if (seen == 0) GTEST_SKIP() << "no backups in " << corpus;
}

TEST_F(CliTest, ListOfTheCorpusServiceBookNamesItsEntry) {
    const fs::path backup = fs::path(ORRELIN_CORPUS_DIR) / "servicebook-wptcp.ipd";
    if (!fs::exists(backup)) GTEST_SKIP() << "no " << backup;
    const CliRun r = run({"list", backup.string()});
    EXPECT_EQ(r.out, backup.string() +
                         "\n0DBTop\tService Book\n\t64:352\tservicebook\tWAP2 Transport 01\n\n"
                         "servicebook-wptcp.ipd\n0 SMS Messages, 0 Address Book (All), 0 Tasks, "
                         "0 Memos, 0 Calendar, 0 Phone Calls, 1 Service Book\n");
}

}  // namespace
}  // namespace orrelin::clitest
