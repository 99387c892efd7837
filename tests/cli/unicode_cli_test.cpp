// --unicode on list, show and the text and CSV exports: texts in full Unicode, 8-bit ones read
// in the --codepage page (1252 by default); without it, code page 1256 as always.

#include "cli/cli_run.h"

namespace orrelin::clitest {
namespace {

class UnicodeCliTest : public CliTest {
  protected:
    void SetUp() override {
        CliTest::SetUp();
        IpdBuilder b;
        const auto memos = b.database("Memos");
        // A 16-bit title in Chinese; an 8-bit body whose bytes are Greek in 1253.
        b.record(memos, FieldList().utf16(129, u"\u4E2D\u6587").text(2, "\xE1\xE2").bytes());
        path_ = write("m.ipd", b.build());
    }
    std::string path_;
};

TEST_F(UnicodeCliTest, ListShowAndExportsKeepEveryCharacter) {
    const struct {
        const char* name;
        std::vector<std::string> args;
        std::string wanted;  // in standard output
    } cases[] = {
        {"list", {"list", path_}, "\tmemos\t??\n"},
        {"list --unicode", {"list", path_, "--unicode"}, "\tmemos\t\u4E2D\u6587\n"},
        {"show", {"show", path_, "--database", "Memos", "--record", "1"}, "\t\u0644\u00E2\n"},
        {"show --unicode (1252)",
         {"show", path_, "--database", "Memos", "--record", "1", "--unicode"},
         "\t\u00E1\u00E2\n"},
        {"show --unicode --codepage 1253",
         {"show", path_, "--database", "Memos", "--record", "1", "--unicode", "--codepage", "1253"},
         "\t\u03B1\u03B2\n"},
    };
    for (const auto& c : cases) {
        const CliRun r = run(c.args);
        EXPECT_EQ(r.exitCode, 0) << c.name << ": " << r.err;
        EXPECT_NE(r.out.find(c.wanted), std::string::npos) << c.name << ": " << r.out;
    }
}

TEST_F(UnicodeCliTest, TextAndCsvFilesAreUtf8AndTheCsvHasAByteOrderMark) {
    const std::string bom = "\xEF\xBB\xBF";
    for (const std::string format : {"txt", "csv"}) {
        const std::string out = file("out." + format);
        CliRun r = run({"export", path_, "--format", format, "--unicode", "--codepage", "cp1253",
                        "--output", out});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        const std::string text = ReadText(out);
        EXPECT_EQ(text.rfind(bom, 0) == 0, format == "csv") << format;
        EXPECT_NE(text.find("\u4E2D\u6587"), std::string::npos) << format;
        EXPECT_NE(text.find("\u03B1\u03B2"), std::string::npos) << format;

        r = run({"export", path_, "--format", format, "--output", out});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(ReadText(out).find(bom), std::string::npos) << format;
        EXPECT_NE(ReadText(out).find("??"), std::string::npos) << format;
    }
    // A page is read only with --unicode, or by the formats that always keep every character.
    EXPECT_EQ(run({"list", path_, "--codepage", "1253"}).exitCode, 2);
    EXPECT_EQ(run({"show", path_, "--database", "Memos", "--record", "1", "--unicode", "--codepage",
                   "437"})
                  .exitCode,
              2);
}

}  // namespace
}  // namespace orrelin::clitest
