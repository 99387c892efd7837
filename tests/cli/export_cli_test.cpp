// `orrelin-cli export`: the same bytes as the window's export for each scope, the generated
// name, and refusals that write nothing.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>

#include "core/export/export_fixture.h"

namespace orrelin {
namespace {

using namespace orrelin::testing;
namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct Run {
    int code = -1;
    std::string out;
    std::string err;
};

class ExportCli : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::path(::testing::TempDir()) /
              ("export-cli-" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir / "backups");
        backup = dir / "backups" / "a.ipd";
        ByteVector bytes = FixtureBackup();
        std::ofstream(backup, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    void TearDown() override { fs::remove_all(dir); }

    // Runs `orrelin-cli export BACKUP ARGUMENTS` in the US English date style.
    Run Export(const std::string& arguments) const {
        std::string command = "LC_ALL=C \"" + std::string(ORRELIN_CLI) + "\" export \"" +
                              backup.string() + "\" " + arguments + " >\"" +
                              (dir / "stdout").string() + "\" 2>\"" + (dir / "stderr").string() +
                              "\"";
        int status = std::system(command.c_str());
        Run run;
        run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.out = ReadAll(dir / "stdout");
        run.err = ReadAll(dir / "stderr");
        return run;
    }
    std::string Output(const std::string& name) const { return (dir / name).string(); }
    std::vector<std::string> Backups() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir / "backups")) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path dir;
    fs::path backup;
};

TEST_F(ExportCli, WritesEachScopeAsTheWindowDoes) {
    std::string out = Output("whole.txt");
    Run whole = Export("--format txt --tz GMT --output \"" + out + "\"");
    ASSERT_EQ(whole.code, 0) << whole.err;
    EXPECT_EQ(whole.out, "Export to: " + out + " is complete.\n");
    EXPECT_EQ(ReadAll(out), WholeFileText());

    ASSERT_EQ(Export("--format csv --tz GMT --output \"" + Output("whole.csv") + "\"").code, 0);
    EXPECT_EQ(ReadAll(Output("whole.csv")), WholeFileCsv());

    // A database by its name or its node key.
    for (std::string database : {"Memos", "4DBTop"}) {
        ASSERT_EQ(Export("--format csv --database " + database + " --output \"" +
                         Output("memos.csv") + "\"")
                      .code,
                  0);
        EXPECT_EQ(ReadAll(Output("memos.csv")), Banner(27, "Memos") + Lines({"Title,Memo"}) +
                                                    Flat(kShoppingCsv) + Flat(kArabicMemoCsv));
    }
    ASSERT_EQ(Export("--format txt --database \"Calendar - All\" --output \"" +
                     Output("empty.txt") + "\"")
                  .code,
              0);
    EXPECT_EQ(ReadAll(Output("empty.txt")), Banner(27, "Calendar"));

    ASSERT_EQ(Export("--format txt --tz GMT --database \"SMS Messages\" --record 2 --output \"" +
                     Output("sms.txt") + "\"")
                  .code,
              0);
    EXPECT_EQ(ReadAll(Output("sms.txt")), Banner(27, "SMS Message") + Flat(kSms2Text));
    EXPECT_EQ(Backups(), std::vector<std::string>{"a.ipd"});
}

TEST_F(ExportCli, TheTimeZoneShiftsEveryTime) {
    ASSERT_EQ(Export("--format csv --tz +1 --database \"Phone Call Logs\" --record 1 --output \"" +
                     Output("call.csv") + "\"")
                  .code,
              0);
    EXPECT_EQ(ReadAll(Output("call.csv")),
              Banner(27, "Phone Calls") +
                  Flat("\"Bob\",\"5550100\",\"10/27/2009 1:25:00 AM\",\"2:5\",\"Placed Call\","
                       "\"Busy\""));
}

TEST_F(ExportCli, WithoutOutputNamesTheFileNextToTheBackupAndNeverReplacesOne) {
    Run first = Export("--format csv --tz GMT");
    Run second = Export("--format csv --tz GMT");
    ASSERT_EQ(first.code, 0) << first.err;
    ASSERT_EQ(second.code, 0) << second.err;
    std::vector<std::string> names = Backups();
    ASSERT_EQ(names.size(), 3u);
    std::regex generated(R"(Orrelin_Export_\d{8}(_2)?\.csv)");
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_TRUE(std::regex_match(names[i], generated)) << names[i];
        EXPECT_EQ(ReadAll(dir / "backups" / names[i]), WholeFileCsv());
    }
    EXPECT_NE(first.out, second.out);
    EXPECT_EQ(first.out.rfind("Export to: " + (dir / "backups").string() + "/Orrelin_Export_", 0),
              0u)
        << first.out;
}

TEST_F(ExportCli, RefusesWhatItCannotExportAndWritesNothing) {
    const char* refused[] = {
        "--format txt --database \"Service Book\"",
        "--format txt --database Notes",
        "--format txt --database Memos --record 3",
        "--format txt --database Memos --record 0",
        "--format txt --record 1",
        "--format vcard",
        "--database Memos",
    };
    for (const char* arguments : refused) {
        Run run = Export(arguments);
        EXPECT_EQ(run.code, 2) << arguments;
        EXPECT_EQ(run.out, "") << arguments;
        EXPECT_NE(run.err, "") << arguments;
    }
    std::string missing = Output("gone/x.txt");
    Run unwritable = Export("--format txt --output \"" + missing + "\"");
    EXPECT_EQ(unwritable.code, 2);
    EXPECT_EQ(unwritable.out, "");
    EXPECT_NE(unwritable.err.find(missing), std::string::npos) << unwritable.err;
    EXPECT_EQ(Backups(), std::vector<std::string>{"a.ipd"});
}

}  // namespace
}  // namespace orrelin
