// orrelin-cli find: one line per matching record, and grep's exit codes.

#include <ostream>

#include "cli/cli_run.h"

namespace orrelin::clitest {
namespace {

struct FindCase {
    const char* name;
    std::vector<std::string> args;  // after FILE
    int exitCode;
    std::string out;
    std::string err;
};
// Test names carry the case's name; its bytes would carry addresses.
void PrintTo(const FindCase& c, std::ostream* out) {
    *out << c.name;
}

class FindTest : public CliTest, public ::testing::WithParamInterface<FindCase> {
  protected:
    std::string backup() const {
        IpdBuilder b;
        const auto memos = b.database("Memos");            // 0DBTop
        const auto contacts = b.database("Address Book");  // 1DBTop
        b.record(memos, FieldList().text(1, "Shopping").text(2, "Buy MILK").bytes());
        b.record(
            contacts,
            FieldList().text(32, "Anne").text(32, "Ebert").text(8, "+1 (555) 010-4477").bytes());
        b.record(memos,
                 FieldList().text(1, "Trip").utf16(130, u"Caf\u00E9 in Z\u00FCrich").bytes());
        const auto options = b.database("Browser Options");  // not decoded
        b.record(options, FieldList().le(1, 2, 4).text(3, "http://example.com", true).bytes());
        return write("find.ipd", b.build());
    }
};

TEST_P(FindTest, PrintsTheMatchingRecords) {
    std::vector<std::string> args{"find", backup()};
    args.insert(args.end(), GetParam().args.begin(), GetParam().args.end());
    const CliRun r = run(args);
    EXPECT_EQ(r.exitCode, GetParam().exitCode);
    EXPECT_EQ(r.out, GetParam().out);
    EXPECT_EQ(r.err, GetParam().err);
}

INSTANTIATE_TEST_SUITE_P(
    Queries, FindTest,
    ::testing::Values(
        FindCase{"Value", {"milk"}, 0, "Memos\t1\tShopping\tMemo\n", ""},
        FindCase{"AccentsFolded", {"CAFE IN ZURICH"}, 0, "Memos\t2\tTrip\tMemo\n", ""},
        FindCase{"PhoneDigits", {"5550104477"}, 0, "Address Book\t1\tAnne Ebert\tMobile\n", ""},
        FindCase{"Label", {"anne eb"}, 0, "Address Book\t1\tAnne Ebert\tLabel\n", ""},
        FindCase{"EveryDatabaseInTreeOrder",
                 {"n"},
                 0,
                 "Memos\t1\tShopping\tTitle\nMemos\t2\tTrip\tMemo\n"
                 "Address Book\t1\tAnne Ebert\tFirst\n",
                 ""},
        FindCase{"DatabaseByName",
                 {"n", "--database", "Address Book"},
                 0,
                 "Address Book\t1\tAnne Ebert\tFirst\n",
                 ""},
        FindCase{
            "DatabaseByKey", {"milk", "--database", "0DBTop"}, 0, "Memos\t1\tShopping\tMemo\n", ""},
        FindCase{"NotInThatDatabase", {"milk", "--database", "Address Book"}, 1, "", ""},
        FindCase{"OtherDatabaseByName",
                 {"example", "--database", "Browser Options"},
                 0,
                 "Browser Options\t1\thttp://example.com\tRaw Field 2\n",
                 ""},
        FindCase{"OtherDatabasesWithTheOption",
                 {"example", "--all-databases"},
                 0,
                 "Browser Options\t1\thttp://example.com\tRaw Field 2\n",
                 ""},
        FindCase{"OtherDatabasesOnlyWithTheOption", {"example"}, 1, "", ""},
        FindCase{"NoMatch", {"absent"}, 1, "", ""}, FindCase{"EmptyText", {""}, 1, "", ""},
        FindCase{"UnknownDatabase",
                 {"milk", "--database", "Nope"},
                 2,
                 "",
                 "orrelin-cli: unknown database: Nope\n"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(CliTest, FindInAMissingFileIsAnError) {
    const CliRun r = run({"find", file("missing.ipd"), "milk"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("cannot read"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace orrelin::clitest
