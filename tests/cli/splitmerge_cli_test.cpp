// orrelin-cli split and merge: the bytes written are those of the window's writers for the same
// checks, the toggles apply in the order given, and refusals write nothing.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ipd/ipd_builder.h"
#include "splitmerge/merge.h"
#include "splitmerge/split.h"

namespace orrelin {
namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class SplitMergeCli : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::path(::testing::TempDir()) /
               ("splitmerge-cli-" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string file(const std::string& name) const { return (dir_ / name).string(); }

    // Runs orrelin-cli; keeps what it wrote to standard output and error.
    int Run(const std::string& arguments) {
        std::string command = std::string("\"") + ORRELIN_CLI + "\" " + arguments + " >\"" +
                              file("stdout") + "\" 2>\"" + file("stderr") + "\"";
        int status = std::system(command.c_str());
        out_ = ReadText(file("stdout"));
        err_ = ReadText(file("stderr"));
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    // A generated backup with every database the program reads and one it does not.
    std::string Generated(const std::string& name, int seed) {
        std::string command = std::string("\"") + ORRELIN_IPDGEN + "\" large \"" + file(name) +
                              "\" --records 3000 --seed " + std::to_string(seed);
        EXPECT_EQ(std::system(command.c_str()), 0);
        return file(name);
    }
    static CheckTree Open(const std::string& path) {
        auto tree = LoadSecondIpd(path);
        EXPECT_TRUE(tree) << tree.error();
        return tree ? std::move(*tree) : CheckTree();
    }

    fs::path dir_;
    std::string out_;
    std::string err_;
};

TEST_F(SplitMergeCli, SplitWritesWhatTheWindowWritesForTheSameChecks) {
    const std::string source = Generated("source.ipd", 3);
    ASSERT_EQ(
        Run("split \"" + source + "\" --output \"" + file("cli.ipd") +
            "\" --database Memos --record Memos:2 --record Tasks:1 --database 'SMS Messages'"),
        0)
        << err_;
    EXPECT_EQ(out_, "File saved as " + file("cli.ipd") + "\n");

    CheckTree tree = Open(source);
    const auto& t = tree.tree();
    const auto& index = t.index();
    const auto* memos = index.databaseNamed("Memos");
    const auto* tasks = index.databaseNamed("Tasks");
    const auto* sms = index.databaseNamed("SMS Messages");
    ASSERT_TRUE(memos && tasks && sms);
    tree.toggleCheck(t.databaseNode(static_cast<std::size_t>(memos - index.databases.data())));
    tree.toggleCheck(t.recordNode(memos->records[1]));
    tree.toggleCheck(t.recordNode(tasks->records[0]));
    tree.toggleCheck(t.databaseNode(static_cast<std::size_t>(sms - index.databases.data())));
    ASSERT_TRUE(WriteSplit(tree, file("core.ipd")).saved());
    EXPECT_TRUE(ReadText(file("cli.ipd")) == ReadText(file("core.ipd")));

    // The same toggles in another order give other checks.
    ASSERT_EQ(Run("split \"" + source + "\" -o \"" + file("other.ipd") +
                  "\" --record Memos:2 --database Memos"),
              0);
    auto back = BackupTree::Open(file("other.ipd"));
    ASSERT_TRUE(back && back->index().complete());
    ASSERT_EQ(back->index().databases.size(), 1u);
    EXPECT_EQ(back->childCount(1), memos->records.size());
}

TEST_F(SplitMergeCli, MergeWritesWhatTheWindowWritesForTheSameChecks) {
    const std::string first = Generated("first.ipd", 3);
    const std::string second = Generated("second.ipd", 4);
    ASSERT_EQ(Run("merge \"" + first + "\" --second \"" + second + "\" -o \"" + file("cli.ipd") +
                  "\" --first 'Phone Call Logs' --from-second Memos:3 --from-second 'Service Book'"
                  " --first Memos:1"),
              0)
        << err_;
    EXPECT_EQ(out_, "File saved as " + file("cli.ipd") + "\n");

    CheckTree a = Open(first);
    CheckTree b = Open(second);
    auto toggle = [](CheckTree& tree, std::string_view name, std::optional<std::size_t> record) {
        const auto& index = tree.tree().index();
        const auto* db = index.databaseNamed(name);
        ASSERT_TRUE(db);
        if (record) {
            tree.toggleCheck(tree.tree().recordNode(db->records[*record - 1]));
        } else {
            tree.toggleCheck(
                tree.tree().databaseNode(static_cast<std::size_t>(db - index.databases.data())));
        }
    };
    toggle(a, "Phone Call Logs", std::nullopt);
    toggle(b, "Memos", 3);
    toggle(b, "Service Book", std::nullopt);
    toggle(a, "Memos", 1);
    ASSERT_TRUE(WriteMerge(a, &b, file("core.ipd")).saved());
    EXPECT_TRUE(ReadText(file("cli.ipd")) == ReadText(file("core.ipd")));

    auto back = BackupTree::Open(file("cli.ipd"));
    ASSERT_TRUE(back && back->index().complete());
    ASSERT_EQ(back->index().databases.size(), 3u);
    EXPECT_EQ(back->text(1), "Memos");
    EXPECT_EQ(back->childCount(1), 2u);
}

TEST_F(SplitMergeCli, OneFileAsBothTreesGivesItsRecordsTwice) {
    const std::string source = Generated("source.ipd", 5);
    ASSERT_EQ(Run("merge \"" + source + "\" --second \"" + source + "\" -o \"" + file("cli.ipd") +
                  "\" --first Tasks --from-second Tasks --from-second Memos:1"),
              0)
        << err_;
    CheckTree a = Open(source);
    CheckTree b = Open(source);
    const auto& index = a.tree().index();
    const auto* tasks = index.databaseNamed("Tasks");
    const auto* memos = index.databaseNamed("Memos");
    ASSERT_TRUE(tasks && memos);
    a.toggleCheck(a.tree().databaseNode(static_cast<std::size_t>(tasks - index.databases.data())));
    b.toggleCheck(b.tree().databaseNode(static_cast<std::size_t>(tasks - index.databases.data())));
    b.toggleCheck(b.tree().recordNode(memos->records[0]));
    ASSERT_TRUE(WriteMerge(a, &b, file("core.ipd")).saved());
    EXPECT_TRUE(ReadText(file("cli.ipd")) == ReadText(file("core.ipd")));
}

TEST_F(SplitMergeCli, RefusalsWriteNothingAndExitWithTwo) {
    IpdBuilder builder;
    builder.record(builder.database("Memos"), FieldList().text(1, "m", true).bytes());
    const ByteVector bytes = builder.build();
    {
        std::ofstream out(file("a.ipd"), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    const std::string a = "\"" + file("a.ipd") + "\"";

    EXPECT_EQ(Run("split " + a + " -o " + a + " --database Memos"), 2);
    EXPECT_NE(err_.find("never changes a file it opened"), std::string::npos) << err_;
    EXPECT_EQ(Run("merge " + a + " --second " + a + " -o " + a), 2);
    EXPECT_TRUE(ReadText(file("a.ipd")) == std::string(bytes.begin(), bytes.end()));

    EXPECT_EQ(Run("split " + a + " -o \"" + file("x.ipd") + "\" --database Tasks"), 2);
    EXPECT_NE(err_.find("no database \"Tasks\""), std::string::npos) << err_;
    EXPECT_EQ(Run("split " + a + " -o \"" + file("x.ipd") + "\" --record Memos:2"), 2);
    EXPECT_NE(err_.find("no record 2"), std::string::npos) << err_;
    EXPECT_EQ(Run("merge " + a + " -o \"" + file("x.ipd") + "\" --from-second Memos"), 2);
    EXPECT_EQ(Run("split \"" + file("missing.ipd") + "\" -o \"" + file("x.ipd") + "\""), 2);
    EXPECT_NE(err_.find("cannot read"), std::string::npos) << err_;
    EXPECT_EQ(Run("split " + a + " -o \"" + file("no/such/dir.ipd") + "\" --database Memos"), 2);
    EXPECT_NE(err_.find(file("no/such/dir.ipd")), std::string::npos) << err_;
    EXPECT_FALSE(fs::exists(file("x.ipd")));
    EXPECT_TRUE(out_.empty());
}

}  // namespace
}  // namespace orrelin
