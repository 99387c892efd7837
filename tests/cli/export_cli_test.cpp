// `orrelin-cli export`: the same bytes as the window's export for each scope, the generated
// name, and refusals that write nothing.

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>
#include <vector>

#include "cli/cli_run.h"
#include "core/export/export_fixture.h"

namespace orrelin {
namespace {

using namespace orrelin::testing;
using clitest::ReadText;
namespace fs = std::filesystem;

class ExportCli : public clitest::CliTest {
  protected:
    void SetUp() override {
        CliTest::SetUp();
        fs::create_directories(dir_ / "backups");
        backup = (dir_ / "backups" / "a.ipd").string();
        clitest::WriteBytes(backup, FixtureBackup());
    }
    clitest::CliRun Export(std::vector<std::string> args) const {
        args.insert(args.begin(), {"export", backup});
        return run(args);
    }
    std::vector<std::string> Backups() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_ / "backups")) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string backup;
};

TEST_F(ExportCli, WritesEachScopeAsTheWindowDoes) {
    std::string out = file("whole.txt");
    auto whole = Export({"--format", "txt", "--output", out});
    ASSERT_EQ(whole.exitCode, 0) << whole.err;
    EXPECT_EQ(whole.out, "Export to: " + out + " is complete.\n");
    EXPECT_EQ(ReadText(out), WholeFileText());

    ASSERT_EQ(Export({"--format", "csv", "--output", file("whole.csv")}).exitCode, 0);
    EXPECT_EQ(ReadText(file("whole.csv")), WholeFileCsv());

    // A database by its name or its node key.
    for (std::string database : {"Memos", "4DBTop"}) {
        ASSERT_EQ(Export({"--format", "csv", "--database", database, "--output", file("memos.csv")})
                      .exitCode,
                  0);
        EXPECT_EQ(ReadText(file("memos.csv")), Banner(27, "Memos") + Lines({"Title,Memo"}) +
                                                   Flat(kShoppingCsv) + Flat(kArabicMemoCsv));
    }
    ASSERT_EQ(
        Export({"--format", "txt", "--database", "Calendar - All", "--output", file("empty.txt")})
            .exitCode,
        0);
    EXPECT_EQ(ReadText(file("empty.txt")), Banner(27, "Calendar"));

    ASSERT_EQ(Export({"--format", "txt", "--database", "SMS Messages", "--record", "2", "--output",
                      file("sms.txt")})
                  .exitCode,
              0);
    EXPECT_EQ(ReadText(file("sms.txt")), Banner(27, "SMS Message") + Flat(kSms2Text));
    EXPECT_EQ(Backups(), std::vector<std::string>{"a.ipd"});
}

TEST_F(ExportCli, TheTimeZoneShiftsEveryTime) {
    ASSERT_EQ(Export({"--format", "csv", "--tz", "+1", "--database", "Phone Call Logs", "--record",
                      "1", "--output", file("call.csv")})
                  .exitCode,
              0);
    EXPECT_EQ(ReadText(file("call.csv")),
              Banner(27, "Phone Calls") +
                  Flat("\"Bob\",\"5550100\",\"10/27/2009 1:25:00 AM\",\"2:5\",\"Placed Call\","
                       "\"Busy\""));
}

TEST_F(ExportCli, WithoutOutputNamesTheFileNextToTheBackupAndNeverReplacesOne) {
    auto first = Export({"--format", "csv"});
    auto second = Export({"--format", "csv"});
    ASSERT_EQ(first.exitCode, 0) << first.err;
    ASSERT_EQ(second.exitCode, 0) << second.err;
    std::vector<std::string> names = Backups();
    ASSERT_EQ(names.size(), 3u);
    std::regex generated(R"(Orrelin_Export_\d{8}(_2)?\.csv)");
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_TRUE(std::regex_match(names[i], generated)) << names[i];
        EXPECT_EQ(ReadText(dir_ / "backups" / names[i]), WholeFileCsv());
    }
    EXPECT_NE(first.out, second.out);
    EXPECT_EQ(first.out.rfind("Export to: " + (dir_ / "backups").string() + "/Orrelin_Export_", 0),
              0u)
        << first.out;
}

TEST_F(ExportCli, RefusesWhatItCannotExportAndWritesNothing) {
    const std::vector<std::string> refused[] = {
        {"--format", "txt", "--database", "Service Book"},
        {"--format", "txt", "--database", "Notes"},
        {"--format", "txt", "--database", "Memos", "--record", "3"},
        {"--format", "txt", "--database", "Memos", "--record", "0"},
        {"--format", "txt", "--record", "1"},
        {"--format", "odt"},
        {"--database", "Memos"},
    };
    for (const auto& arguments : refused) {
        auto result = Export(arguments);
        EXPECT_EQ(result.exitCode, 2) << arguments.back();
        EXPECT_EQ(result.out, "") << arguments.back();
        EXPECT_NE(result.err, "") << arguments.back();
    }
    std::string missing = file("gone/x.txt");
    auto unwritable = Export({"--format", "txt", "--output", missing});
    EXPECT_EQ(unwritable.exitCode, 2);
    EXPECT_EQ(unwritable.out, "");
    EXPECT_NE(unwritable.err.find(missing), std::string::npos) << unwritable.err;
    EXPECT_EQ(Backups(), std::vector<std::string>{"a.ipd"});
}

}  // namespace
}  // namespace orrelin
