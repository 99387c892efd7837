// orrelin-cli show: the decoded values of one record, with the time-zone setting from the
// option, the settings file or the default, the contact photo, and the refusals.

#include "cli/cli_run.h"

namespace orrelin::clitest {
namespace {

// 2009-03-14 14:07:09 UTC in milliseconds: shown 3 hours later with offset 0.
constexpr std::uint64_t kMillis = 1237039629000ULL;

const ByteVector kJpeg{0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0x00, 0xFF, 0xD9};

// An SMS body: handle and unique id, a first field whose first data byte is the direction,
// the handheld's time at byte 22 (a received message's receive time) and the other at byte 30,
// zeros up to byte 73, then the fields.
ByteVector SmsBody(std::uint8_t direction, std::uint64_t at22, std::uint64_t at30,
                   const ByteVector& further) {
    ByteVector body{1, 0, 0, 0, 0, 0};
    ByteVector first = FieldList().add(1, ByteVector(64, 0)).bytes();
    body.insert(body.end(), first.begin(), first.end());
    body[9] = direction;
    for (std::size_t i = 0; i < 6; ++i) {
        body[22 + i] = static_cast<std::uint8_t>(at22 >> (8 * i));
        body[30 + i] = static_cast<std::uint8_t>(at30 >> (8 * i));
    }
    body.resize(73, 0);
    body.insert(body.end(), further.begin(), further.end());
    return body;
}

class ShowTest : public CliTest {
  protected:
    void SetUp() override {
        CliTest::SetUp();
        IpdBuilder b;
        const auto calls = b.database("Phone Call Logs");  // 0DBTop
        const auto contacts = b.database("Address Book");  // 1DBTop
        const auto book = b.database("Service Book");      // 2DBTop
        const auto memos = b.database("Memos");            // 3DBTop
        const auto sms = b.database("SMS Messages");       // 4DBTop
        b.record(calls, FieldList()
                            .le(2, 1, 2)
                            .le(3, 125, 4)
                            .le(4, kMillis, 8)
                            .text(12, "+15551234")
                            .text(31, "Bob")
                            .bytes());
        b.record(calls, FieldList().le(2, 2, 2).le(4, kMillis + 3600000, 8).bytes());
        b.record(contacts, FieldList()
                               .text(32, "Ann")
                               .text(32, "Lee")
                               .text(1, "ann@example.org")
                               .text(64, "line1\r\nline2")
                               .add(77, kJpeg)
                               .bytes());
        b.record(contacts, FieldList().text(32, "No").text(32, "Photo").bytes());
        b.record(book, FieldList().text(3, "My Book").bytes());
        b.record(memos,
                 FieldList().utf16(129, u"\u0633\u0644\u0627\u0645").text(2, "a\\b").bytes());
        b.body(sms, SmsBody(1, kMillis, kMillis + 1000,
                            FieldList().text(4, "hello").text(2, "+447700").bytes()));
        path_ = write("backup.ipd", b.build());
    }

    CliRun show(const std::string& database, const std::string& record,
                std::vector<std::string> extra = {}, std::vector<std::string> env = {}) const {
        std::vector<std::string> args{"show", path_, "--database", database, "--record", record};
        args.insert(args.end(), extra.begin(), extra.end());
        return run(args, std::move(env));
    }

    void storeSetting(const std::string& iniText) const {
        WriteBytes(fs::path(configDir()) / "orrelin_beta.conf",
                   ByteVector(iniText.begin(), iniText.end()));
    }

    std::string path_;
};

TEST_F(ShowTest, CallValuesInSlotOrderWithTheDefaultTimeZone) {
    const CliRun r = show("Phone Call Logs", "1");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out,
              "0\tName\tBob\n"
              "1\tNumber\t+15551234\n"
              "2\tDate\t3/14/2009 5:07:09 PM\n"
              "3\tDuration\t2:5\n"
              "4\tDirection\tPlaced Call\n"
              "5\tStatus\t\n");
    // The same record by its node key.
    EXPECT_EQ(show("0DBTop", "1").out, r.out);
}

TEST_F(ShowTest, TimeZoneFromTheOptionElseTheStoredSettingElseGmt) {
    auto dateLine = [](const CliRun& r) {
        auto lines = SplitLines(r.out);
        return lines.size() > 2 ? lines[2] : std::string("(no date line) ") + r.err;
    };
    EXPECT_EQ(dateLine(show("Phone Call Logs", "1", {"--tz", "+3"})),
              "2\tDate\t3/14/2009 8:07:09 PM");
    EXPECT_EQ(dateLine(show("Phone Call Logs", "1", {"--tz", "-5"})),
              "2\tDate\t3/14/2009 12:07:09 PM");
    EXPECT_EQ(dateLine(show("Phone Call Logs", "1", {"--tz", "GMT"})),
              "2\tDate\t3/14/2009 5:07:09 PM");
    // "GMT+2" becomes "0+2": the number stops at the sign, so the offset is 0.
    EXPECT_EQ(dateLine(show("Phone Call Logs", "1", {"--tz", "GMT+2"})),
              "2\tDate\t3/14/2009 5:07:09 PM");
    EXPECT_EQ(dateLine(show("Phone Call Logs", "1", {"--tz", "east"})),
              "2\tDate\t3/14/2009 5:07:09 PM");

    storeSetting("[TZ]\ntzd=\"+1\"\n");
    EXPECT_EQ(dateLine(show("Phone Call Logs", "1")), "2\tDate\t3/14/2009 6:07:09 PM");
    EXPECT_EQ(dateLine(show("Phone Call Logs", "1", {"--tz", "GMT"})),
              "2\tDate\t3/14/2009 5:07:09 PM");
    storeSetting("[TZ]\ntzd=GMT\n");
    EXPECT_EQ(dateLine(show("Phone Call Logs", "1")), "2\tDate\t3/14/2009 5:07:09 PM");
}

TEST_F(ShowTest, DatesReadAlikeUnderCAndPosix) {
    const std::string c = show("Phone Call Logs", "2").out;
    EXPECT_NE(c.find("2\tDate\t3/14/2009 6:07:09 PM\n"), std::string::npos) << c;
    EXPECT_NE(c.find("4\tDirection\tMissed Call\n"), std::string::npos) << c;
    EXPECT_NE(c.find("0\tName\t\n"), std::string::npos) << c;
    EXPECT_EQ(show("Phone Call Logs", "2", {}, {"LC_ALL=POSIX"}).out, c);
}

TEST_F(ShowTest, SmsTimesNumberAndText) {
    const CliRun r = show("SMS Messages", "1", {"--tz", "+2"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out,
              "0\tDirection\tReceived\n"
              "1\tFolder\tInbox\n"
              "2\tSent on\t3/14/2009 7:07:10 PM\n"
              "3\tRecv. On\t3/14/2009 7:07:09 PM\n"
              "4\tNumber\t+447700\n"
              "5\tMessage\thello\n");
}

TEST_F(ShowTest, ContactGivesSlotsZeroToThirtyThreeAndThePhotoOnRequest) {
    const std::string photo = file("ann.jpg");
    const CliRun r = show("Address Book", "1", {"--photo", photo});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto lines = SplitLines(r.out);
    ASSERT_EQ(lines.size(), 34u) << r.out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].substr(0, lines[i].find('\t')), std::to_string(i));
    }
    EXPECT_EQ(lines[1], "1\tFirst\tAnn");
    EXPECT_EQ(lines[2], "2\tLast\tLee");
    EXPECT_EQ(lines[5], "5\tEmail\tann@example.org");
    EXPECT_EQ(lines[27], "27\tBirthday\t");
    EXPECT_EQ(lines[33], "33\t\tline1\\r\\nline2");  // the notes have no pane label
    const std::string written = ReadText(photo);
    EXPECT_EQ(ByteVector(written.begin(), written.end()), kJpeg);

    // Without --photo nothing is written.
    fs::remove(photo);
    EXPECT_EQ(show("Address Book", "1").out, r.out);
    EXPECT_FALSE(fs::exists(photo));
}

TEST_F(ShowTest, ServiceBookGivesItsTwentyTwoValues) {
    const CliRun r = show("Service Book", "1");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const auto lines = SplitLines(r.out);
    ASSERT_EQ(lines.size(), 22u) << r.out;
    EXPECT_EQ(lines[0].substr(0, lines[0].rfind('\t')), "0\tNetwork Provider Code");
    EXPECT_EQ(lines[17], "17\tName\tMy Book");
    EXPECT_EQ(lines[21].substr(0, 15), "21\tDescription\t");
}

TEST_F(ShowTest, SixteenBitTextThroughCodePage1256AndEscapes) {
    const CliRun r = show("Memos", "1");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "0\tTitle\t\u0633\u0644\u0627\u0645\n1\t\ta\\\\b\n");
}

// Refusals: one line on standard error naming the problem, status 2, nothing on standard
// output and no photo file.
TEST_F(ShowTest, RefusalsWriteNothing) {
    const std::string photo = file("p.jpg");
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const std::vector<Case> cases{
        {{"show", path_, "--database", "Calendar", "--record", "1"},
         "orrelin-cli: unknown database: Calendar\n"},
        {{"show", path_, "--database", "9DBTop", "--record", "1"},
         "orrelin-cli: unknown database: 9DBTop\n"},
        {{"show", path_, "--database", "Memos", "--record", "2"},
         "orrelin-cli: no record 2 in \"Memos\" (3DBTop), which has 1 record\n"},
        {{"show", path_, "--database", "Memos", "--record", "0"},
         "orrelin-cli: no record 0 in \"Memos\" (3DBTop), which has 1 record\n"},
        {{"show", file("none.ipd"), "--database", "Memos", "--record", "1"},
         "orrelin-cli: cannot read " + file("none.ipd") + ": No such file or directory\n"},
        {{"show", path_, "--database", "Memos", "--record", "1", "--photo", photo},
         "orrelin-cli: --photo needs a contact; \"Memos\" holds no contacts\n"},
        {{"show", path_, "--database", "Address Book", "--record", "2", "--photo", photo},
         "orrelin-cli: the contact has no photo\n"},
    };
    for (const auto& c : cases) {
        const CliRun r = run(c.args);
        EXPECT_EQ(r.exitCode, 2) << c.message;
        EXPECT_EQ(r.out, "") << c.message;
        EXPECT_EQ(r.err, c.message);
    }
    EXPECT_FALSE(fs::exists(photo));

    const CliRun unwritable = show("Address Book", "1", {"--photo", file("no/such/folder/p.jpg")});
    EXPECT_EQ(unwritable.exitCode, 2);
    EXPECT_EQ(unwritable.out, "");
    EXPECT_EQ(SplitLines(unwritable.err).size(), 1u);
    EXPECT_EQ(unwritable.err.rfind("orrelin-cli: cannot write " + file("no/such/folder/p.jpg"), 0),
              0u)
        << unwritable.err;

    const CliRun notANumber = show("Memos", "one");
    EXPECT_EQ(notANumber.exitCode, 2);
    EXPECT_EQ(notANumber.out, "");
}

TEST_F(CliTest, ShowDecodesEveryRecordOfTheRealBackups) {
    const fs::path corpus = ORRELIN_CORPUS_DIR;
    const fs::path sms = corpus / "sms-three-received.ipd";
    const fs::path book = corpus / "servicebook-wptcp.ipd";
    if (!fs::exists(sms) || !fs::exists(book)) GTEST_SKIP() << "no corpus at " << corpus;
    for (const char* n : {"1", "2", "3"}) {
        const CliRun r = run({"show", sms.string(), "--database", "SMS Messages", "--record", n});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.err, "");
        const auto lines = SplitLines(r.out);
        ASSERT_EQ(lines.size(), 6u) << r.out;
        EXPECT_EQ(lines[0], "0\tDirection\tReceived");
        EXPECT_EQ(lines[4], "4\tNumber\t+8613725573137");
    }
    const CliRun r = run({"show", book.string(), "--database", "Service Book", "--record", "1"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    const auto lines = SplitLines(r.out);
    ASSERT_EQ(lines.size(), 22u) << r.out;
    EXPECT_EQ(lines[17], "17\tName\tWAP2 Transport 01");
}

}  // namespace
}  // namespace orrelin::clitest
