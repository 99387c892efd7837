// --all-databases: the databases the program does not decode, listed, shown, exported to JSON,
// split and merged; without the option every command keeps to the decoded ones.

#include "cli/cli_run.h"

namespace orrelin::clitest {
namespace {

class AllDatabasesCli : public CliTest {
  protected:
    // "Folders" (not decoded, two records), "Memos" (one), "Options" (not decoded, none).
    std::string backup(const std::string& name = "a.ipd") const {
        IpdBuilder b;
        const auto folders = b.database("Folders");
        const auto memos = b.database("Memos");
        b.database("Options");
        b.record(folders, FieldList().text(2, "Work", true).le(5, 0x0102, 2).bytes(), 4);
        b.record(memos, FieldList().text(1, "Groceries").bytes());
        b.record(folders, FieldList().add(7, {0x00, 0xFF}).bytes(), 9);
        return write(name, b.build());
    }
};

TEST_F(AllDatabasesCli, ListShowsTheOtherDatabasesOnlyWithTheOption) {
    const std::string path = backup();
    const std::string counts =
        "0 SMS Messages, 0 Address Book (All), 0 Tasks, 1 Memos, 0 Calendar, 0 Phone Calls, 0 "
        "Service Book\n";
    CliRun plain = run({"list", path});
    ASSERT_EQ(plain.exitCode, 0) << plain.err;
    EXPECT_EQ(plain.out, path + "\n1DBTop\tMemos\n\t103:120\tmemos\tGroceries\n\na.ipd\n" + counts);

    CliRun all = run({"list", path, "--all-databases"});
    ASSERT_EQ(all.exitCode, 0) << all.err;
    EXPECT_EQ(all.out,
              path +
                  "\n0DBTop\tFolders\n\t77:95\tdb\tWork\n\t128:138\tdb\tRecord 9\n"
                  "1DBTop\tMemos\n\t103:120\tmemos\tGroceries\n2DBTop\tOptions\n\na.ipd\n" +
                  counts);
    EXPECT_EQ(all.err, "");
}

TEST_F(AllDatabasesCli, ShowPrintsTheRawFieldsOfAnyDatabaseWithoutAnOption) {
    const std::string path = backup();
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::string out;
    };
    const Case cases[] = {
        {{"--database", "Folders", "--record", "1"},
         0,
         "2\t5\t57 6F 72 6B 00\tWork.\n5\t2\t02 01\t..\n"},
        {{"--database", "0DBTop", "--record", "2"}, 0, "7\t2\t00 FF\t..\n"},
        {{"--database", "Memos", "--record", "1"}, 0, "0\tTitle\tGroceries\n1\t\t\n"},
        {{"--database", "Options", "--record", "1"}, 2, ""},
        {{"--database", "Folders", "--record", "1", "--photo", "p.jpg"}, 2, ""},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args{"show", path};
        args.insert(args.end(), c.args.begin(), c.args.end());
        CliRun r = run(args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args[1] << r.err;
        EXPECT_EQ(r.out, c.out) << c.args[1];
    }
}

TEST_F(AllDatabasesCli, JsonTakesTheOtherDatabasesAsRawFieldsOnlyWithTheOption) {
    const std::string path = backup();
    CliRun plain = run({"export", path, "--format", "json", "--output", file("plain.json")});
    ASSERT_EQ(plain.exitCode, 0) << plain.err;
    EXPECT_EQ(ReadText(file("plain.json")).find("Folders"), std::string::npos);

    CliRun all =
        run({"export", path, "--format", "json", "--all-databases", "--output", file("all.json")});
    ASSERT_EQ(all.exitCode, 0) << all.err;
    EXPECT_NE(all.out.find("3 records written."), std::string::npos);
    const std::string json = ReadText(file("all.json"));
    EXPECT_NE(json.find("{\"name\":\"Folders\",\"records\":[\n{\"index\":1,\"tag\":\"77:95\","
                        "\"handle\":4,\"uniqueId\":0,\"label\":\"Work\",\"fields\":[{\"type\":2,"
                        "\"length\":5,\"hex\":\"57 6F 72 6B 00\",\"text\":\"Work.\"},{\"type\":5,"
                        "\"length\":2,\"hex\":\"02 01\",\"text\":\"..\"}]},"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("{\"name\":\"Options\",\"records\":[]}"), std::string::npos);
    // The decoded databases read as they do without the option.
    const std::string plainJson = ReadText(file("plain.json"));
    const std::string memos = plainJson.substr(plainJson.find("{\"name\":\"Memos\""));
    EXPECT_NE(json.find(memos.substr(0, memos.find("]}") + 2)), std::string::npos);

    CliRun text =
        run({"export", path, "--format", "txt", "--all-databases", "--output", file("all.txt")});
    EXPECT_EQ(text.exitCode, 2);
    EXPECT_EQ(text.err, "orrelin-cli: --all-databases applies to the json format only\n");
    EXPECT_FALSE(fs::exists(file("all.txt")));
}

TEST_F(AllDatabasesCli, SplitAndMergeKeepTheOtherDatabasesByName) {
    const std::string path = backup();
    CliRun refused = run({"split", path, "--output", file("s.ipd"), "--database", "Folders"});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_EQ(refused.err, "orrelin-cli: no database \"Folders\" in " + path + "\n");

    CliRun split = run({"split", path, "--all-databases", "--output", file("s.ipd"), "--record",
                        "Folders:2", "--database", "Memos"});
    ASSERT_EQ(split.exitCode, 0) << split.err;
    CliRun listed = run({"list", file("s.ipd"), "--all-databases"});
    EXPECT_NE(listed.out.find("0DBTop\tFolders\n\t"), std::string::npos) << listed.out;
    EXPECT_EQ(run({"show", file("s.ipd"), "--database", "Folders", "--record", "1"}).out,
              "7\t2\t00 FF\t..\n");

    // Every database of both files: the merge lists the decoded ones first, then the others by
    // name, each holding the records of both files.
    CliRun merged =
        run({"merge", path, "--second", file("s.ipd"), "--all-databases", "--output", file("m.ipd"),
             "--first", "Folders", "--first", "Memos", "--from-second", "Folders"});
    ASSERT_EQ(merged.exitCode, 0) << merged.err;
    CliRun back = run({"list", file("m.ipd"), "--all-databases"});
    const auto lines = SplitLines(back.out);
    ASSERT_GE(lines.size(), 7u);
    EXPECT_EQ(lines[1], "0DBTop\tMemos");
    EXPECT_EQ(lines[3], "1DBTop\tFolders");
    EXPECT_EQ(lines[4].substr(lines[4].rfind('\t')), "\tWork");
    EXPECT_EQ(lines[5].substr(lines[5].rfind('\t')), "\tRecord 2");  // handles renumbered
    EXPECT_EQ(lines[6].substr(lines[6].rfind('\t')), "\tRecord 3");
}

}  // namespace
}  // namespace orrelin::clitest
