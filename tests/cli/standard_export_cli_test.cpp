// `orrelin-cli export --format vcard|ics|json`: the files, their names, the record count, the
// code page option and its refusals.

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>
#include <vector>

#include "cli/cli_run.h"
#include "core/export/export_fixture.h"
#include "core/export/python_run.h"

namespace orrelin {
namespace {

using namespace orrelin::testing;
using clitest::ReadText;
namespace fs = std::filesystem;

class StandardExportCli : public clitest::CliTest {
  protected:
    void SetUp() override {
        CliTest::SetUp();
        fs::create_directories(dir_ / "backups");
        backup = (dir_ / "backups" / "a.ipd").string();
        clitest::WriteBytes(backup, FixtureBackup());
    }
    clitest::CliRun Export(const std::string& from, std::vector<std::string> args) const {
        args.insert(args.begin(), {"export", from});
        return run(args);
    }
    std::vector<std::string> Backups() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_ / "backups"))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string backup;
};

TEST_F(StandardExportCli, WritesEachFormatAndSaysHowManyRecords) {
    const std::string json = file("all.json");
    auto whole = Export(backup, {"--format", "json", "--output", json});
    ASSERT_EQ(whole.exitCode, 0) << whole.err;
    EXPECT_EQ(whole.out, "Export to: " + json + " is complete.\n10 records written.\n");
    EXPECT_EQ(whole.err, "");
    if (PythonHas("json")) {
        auto names = RunPython(
            "import json, sys\n"
            "doc = json.load(open(sys.argv[1], encoding='utf-8'))\n"
            "print(doc['file'], len(doc['databases']))\n",
            ReadText(json));
        ASSERT_TRUE(names) << ReadText(json);
        EXPECT_EQ(*names, backup + " 9\n");
    }

    auto one = Export(backup, {"--format", "json", "--database", "Service Book", "--record", "1",
                               "--output", file("sb.json")});
    ASSERT_EQ(one.exitCode, 0) << one.err;
    EXPECT_EQ(one.out, "Export to: " + file("sb.json") + " is complete.\n1 record written.\n");
    EXPECT_NE(ReadText(file("sb.json")).find("\"name\":\"Browser\""), std::string::npos);

    auto cards = Export(backup, {"--format", "vcard", "--output", file("all.vcf")});
    ASSERT_EQ(cards.exitCode, 0) << cards.err;
    EXPECT_NE(cards.out.find("\n2 records written.\n"), std::string::npos) << cards.out;
    auto calendar = Export(backup, {"--format", "ics", "--output", file("all.ics")});
    ASSERT_EQ(calendar.exitCode, 0) << calendar.err;
    EXPECT_NE(calendar.out.find("\n2 records written.\n"), std::string::npos) << calendar.out;
}

TEST_F(StandardExportCli, AScopeWithNothingOfTheFormatGivesAnEmptyDocumentAndAWarning) {
    auto none =
        Export(backup, {"--format", "ics", "--database", "Memos", "--output", file("memos.ics")});
    ASSERT_EQ(none.exitCode, 0) << none.err;
    EXPECT_NE(none.out.find("\n0 records written.\n"), std::string::npos) << none.out;
    EXPECT_NE(none.err.find("warning"), std::string::npos) << none.err;
    EXPECT_TRUE(fs::exists(file("memos.ics")));
}

TEST_F(StandardExportCli, WithoutOutputNamesTheFileWithTheFormatsExtension) {
    for (const char* format : {"json", "json", "vcard", "ics"})
        ASSERT_EQ(Export(backup, {"--format", format}).exitCode, 0) << format;
    std::vector<std::string> names = Backups();
    ASSERT_EQ(names.size(), 5u);
    auto count = [&](const char* pattern) {
        const std::regex generated(pattern);
        return std::count_if(names.begin(), names.end(), [&](const std::string& name) {
            return std::regex_match(name, generated);
        });
    };
    EXPECT_EQ(count(R"(Orrelin_Export_\d{8}(_2)?\.json)"), 2);
    EXPECT_EQ(count(R"(Orrelin_Export_\d{8}\.vcf)"), 1);
    EXPECT_EQ(count(R"(Orrelin_Export_\d{8}\.ics)"), 1);
}

TEST_F(StandardExportCli, TheCodePageReadsEightBitText) {
    IpdBuilder b;
    auto memos = b.database("Memos");
    b.record(memos, FieldList().text(1, "\xCF\xF0\xE8\xE2\xE5\xF2").bytes());
    const std::string cyrillic = write("cyrillic.ipd", b.build());
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{}, "\u00CF\u00F0\u00E8\u00E2\u00E5\u00F2"},
        {{"--codepage", "1251"}, "\u041F\u0440\u0438\u0432\u0435\u0442"},
        {{"--codepage", "windows-1251"}, "\u041F\u0440\u0438\u0432\u0435\u0442"},
        {{"--codepage", "cp1250"}, "\u010E\u0111\u010D\u00E2\u013A\u0148"},
    };
    for (const auto& [page, title] : cases) {
        std::vector<std::string> args{"--format", "json", "--output", file("m.json")};
        args.insert(args.end(), page.begin(), page.end());
        auto result = Export(cyrillic, args);
        ASSERT_EQ(result.exitCode, 0) << result.err;
        EXPECT_NE(ReadText(file("m.json")).find("\"title\":\"" + title + "\""), std::string::npos)
            << ReadText(file("m.json"));
    }
}

TEST_F(StandardExportCli, RefusesAnUnknownCodePageAndOneForTextOrCsv) {
    auto unknown = Export(backup, {"--format", "json", "--codepage", "1254"});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_EQ(unknown.out, "");
    EXPECT_NE(unknown.err.find("unknown code page: 1254"), std::string::npos) << unknown.err;

    auto text = Export(backup, {"--format", "txt", "--codepage", "1251"});
    EXPECT_EQ(text.exitCode, 2);
    EXPECT_NE(text.err.find("--codepage"), std::string::npos) << text.err;

    auto format = Export(backup, {"--format", "odt"});
    EXPECT_EQ(format.exitCode, 2);
    auto database = Export(backup, {"--format", "vcard", "--database", "Notes"});
    EXPECT_EQ(database.exitCode, 2);
    EXPECT_NE(database.err.find("unknown database: Notes"), std::string::npos) << database.err;
    auto record = Export(backup, {"--format", "json", "--database", "Memos", "--record", "3"});
    EXPECT_EQ(record.exitCode, 2);
    EXPECT_EQ(Backups(), std::vector<std::string>{"a.ipd"});
}

}  // namespace
}  // namespace orrelin
