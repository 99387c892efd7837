// The command line's shared helpers: one-line text forms and finding a record by number.

#include <gtest/gtest.h>

#include "browser/tree_keys.h"
#include "cli/cli_support.h"
#include "ipd/ipd_builder.h"
#include "ipd/loader.h"

namespace orrelin::cli {
namespace {

TEST(SingleByteLine, MapsThroughCodePage1256AndEscapesWhatWouldBreakTheLine) {
    EXPECT_EQ(SingleByteLine("plain text"), "plain text");
    EXPECT_EQ(SingleByteLine("a\r\nb\tc\\d"), "a\\r\\nb\\tc\\\\d");
    EXPECT_EQ(SingleByteLine(std::string("\x00\x01\x1F\x7F", 4)), "\\x00\\x01\\x1F\\x7F");
    // Arabic letters, the euro sign and a Latin letter of the page's upper half.
    EXPECT_EQ(SingleByteLine("\xC7\xE1\xD3\xE1\xC7\xE3"), "\u0627\u0644\u0633\u0644\u0627\u0645");
    EXPECT_EQ(SingleByteLine("\x80\xE9\x81"), "\u20AC\u00E9\u067E");
    EXPECT_EQ(SingleByteLine(""), "");
}

TEST(Utf8Line, KeepsUtf8AndEscapesTheSameCharacters) {
    EXPECT_EQ(Utf8Line("/tmp/\u0633 x.ipd"), "/tmp/\u0633 x.ipd");
    EXPECT_EQ(Utf8Line("a\tb\nc\\"), "a\\tb\\nc\\\\");
    EXPECT_EQ(Utf8Line(std::string("\x1B", 1)), "\\x1B");
}

TEST(FindRecord, CountsFromOneInTreeOrderByNameOrKey) {
    IpdBuilder b;
    const auto memos = b.database("Memos");
    const auto tasks = b.database("Tasks");
    b.database("Memos");  // a second, empty "Memos": the slot moves to it
    b.record(memos, FieldList().text(1, "one").bytes());
    b.record(tasks, FieldList().text(2, "task").bytes());
    IpdImage image(b.build());
    RecordIndex index = BuildDatabaseNodes(image, "x.ipd");

    auto task = FindRecord(index, "Tasks", 1);
    ASSERT_TRUE(task) << task.error();
    EXPECT_EQ(DatabaseKey(*task->database), "1DBTop");
    EXPECT_EQ(task->span, index.records[index.databases[1].records[0]].span);
    EXPECT_TRUE(FindRecord(index, "1DBTop", 1));

    const struct {
        std::string_view database;
        std::uint64_t n;
        std::string_view error;
    } kRefused[] = {
        {"Tasks", 2, "no record 2 in \"Tasks\" (1DBTop), which has 1 record"},
        {"Tasks", 0, "no record 0 in \"Tasks\" (1DBTop), which has 1 record"},
        {"Memos", 1, "no record 1 in \"Memos\" (0DBTop), which has 0 records"},
        {"Calendar", 1, "unknown database: Calendar"},
        {"7DBTop", 1, "unknown database: 7DBTop"},
    };
    for (const auto& c : kRefused) {
        auto found = FindRecord(index, c.database, c.n);
        ASSERT_FALSE(found) << c.database << " " << c.n;
        EXPECT_EQ(found.error(), c.error);
    }
}

}  // namespace
}  // namespace orrelin::cli
