#include <gtest/gtest.h>

#include <random>

#include "ipd/loader.h"
#include "splitmerge/check_tree.h"
#include "splitmerge_fixture.h"

namespace orrelin {
namespace {

using testing::DatabaseAt;
using testing::RecordAt;
constexpr auto None = CheckState::None;
constexpr auto Some = CheckState::Some;
constexpr auto All = CheckState::All;

// A backup whose databases have the given numbers of records, named from `names` in order.
CheckTree TreeOf(std::initializer_list<std::pair<std::string_view, int>> databases) {
    IpdBuilder builder;
    std::vector<std::uint16_t> indexes;
    for (const auto& [name, records] : databases)
        indexes.push_back(builder.database(name));
    std::size_t i = 0;
    for (const auto& [name, records] : databases) {
        for (int r = 0; r < records; ++r) {
            builder.record(indexes[i], FieldList().text(1, "x", true).bytes());
        }
        ++i;
    }
    IpdImage image(builder.build());
    RecordIndex index = BuildDatabaseNodes(image, "/backup.ipd");
    return CheckTree(BackupTree(std::move(image), std::move(index)));
}

TEST(CheckTree, StartsWithEveryNodeUnchecked) {
    CheckTree tree = TreeOf({{"Memos", 2}, {"Tasks", 0}});
    ASSERT_EQ(tree.nodeCount(), 5u);
    for (NodeId node = 0; node < tree.nodeCount(); ++node)
        EXPECT_EQ(tree.state(node), None);
    EXPECT_EQ(tree.tree().key(BackupTree::kRoot), "Top");
    EXPECT_EQ(tree.tree().text(DatabaseAt(tree, 0)), "Memos");
    EXPECT_EQ(CheckStateKey(Some), "Some");
}

TEST(CheckTree, RecordsPropagateUpToTheirDatabaseAndTheRoot) {
    CheckTree tree = TreeOf({{"Memos", 3}});
    NodeId db = DatabaseAt(tree, 0);
    tree.toggleCheck(RecordAt(tree, 0, 1));
    EXPECT_EQ(tree.state(RecordAt(tree, 0, 1)), All);
    EXPECT_EQ(tree.state(db), Some);
    EXPECT_EQ(tree.state(BackupTree::kRoot), Some);

    tree.toggleCheck(RecordAt(tree, 0, 0));
    tree.toggleCheck(RecordAt(tree, 0, 2));
    EXPECT_EQ(tree.state(db), All);
    EXPECT_EQ(tree.state(BackupTree::kRoot), All);

    tree.toggleCheck(RecordAt(tree, 0, 2));
    EXPECT_EQ(tree.state(RecordAt(tree, 0, 2)), None);
    EXPECT_EQ(tree.state(db), Some);
    EXPECT_EQ(tree.state(BackupTree::kRoot), Some);
}

TEST(CheckTree, DatabasesPushTheirStateDownAndAPartlyCheckedOneBecomesChecked) {
    CheckTree tree = TreeOf({{"Memos", 3}, {"Tasks", 2}});
    NodeId memos = DatabaseAt(tree, 0);
    tree.toggleCheck(RecordAt(tree, 0, 0));
    ASSERT_EQ(tree.state(memos), Some);

    tree.toggleCheck(memos);
    EXPECT_EQ(tree.state(memos), All);
    for (std::size_t r = 0; r < 3; ++r)
        EXPECT_EQ(tree.state(RecordAt(tree, 0, r)), All);
    EXPECT_EQ(tree.state(BackupTree::kRoot), Some);

    tree.toggleCheck(memos);
    for (std::size_t r = 0; r < 3; ++r)
        EXPECT_EQ(tree.state(RecordAt(tree, 0, r)), None);
    EXPECT_EQ(tree.state(memos), None);
    EXPECT_EQ(tree.state(BackupTree::kRoot), None);
}

TEST(CheckTree, AnEmptyDatabaseIsNeverCheckedAndTheRootIsNeverForced) {
    CheckTree tree = TreeOf({{"Memos", 2}, {"Tasks", 0}});
    NodeId memos = DatabaseAt(tree, 0);
    NodeId tasks = DatabaseAt(tree, 1);

    tree.toggleCheck(tasks);
    EXPECT_EQ(tree.state(tasks), None);
    EXPECT_EQ(tree.state(BackupTree::kRoot), None);

    tree.toggleCheck(memos);
    EXPECT_EQ(tree.state(BackupTree::kRoot), Some);  // one checked, one empty database

    // "Some" at the root checks everything that can be checked and leaves the root checked.
    tree.toggleCheck(BackupTree::kRoot);
    EXPECT_EQ(tree.state(BackupTree::kRoot), All);
    EXPECT_EQ(tree.state(memos), All);
    EXPECT_EQ(tree.state(tasks), None);

    tree.toggleCheck(BackupTree::kRoot);
    for (NodeId node = 0; node < tree.nodeCount(); ++node)
        EXPECT_EQ(tree.state(node), None);
}

TEST(CheckTree, EveryDatabaseAgreesWithItsRecordsAfterAnyToggles) {
    CheckTree tree = TreeOf({{"Memos", 4}, {"Tasks", 0}, {"Calendar", 3}, {"SMS Messages", 1}});
    std::mt19937 random(7);
    for (int step = 0; step < 2000; ++step) {
        tree.toggleCheck(static_cast<NodeId>(random() % tree.nodeCount()));
        std::size_t checkedDatabases = 0, noneDatabases = 0, someDatabases = 0;
        for (std::size_t row = 0; row < 4; ++row) {
            NodeId db = DatabaseAt(tree, row);
            const auto& t = tree.tree();
            std::size_t all = 0, none = 0;
            for (std::size_t r = 0; r < t.childCount(db); ++r) {
                auto s = tree.state(t.child(db, r));
                ASSERT_NE(s, Some);
                (s == All ? all : none) += 1;
            }
            CheckState expected = all == 0 ? None : none == 0 ? All : Some;
            ASSERT_EQ(tree.state(db), expected) << "step " << step << " database " << row;
            (expected == All    ? checkedDatabases
             : expected == None ? noneDatabases
                                : someDatabases)++;
        }
        // The root follows its databases except right after it was toggled itself.
        if (tree.state(BackupTree::kRoot) == None) {
            ASSERT_EQ(noneDatabases, 4u);
        }
        if (tree.state(BackupTree::kRoot) == Some) {
            ASSERT_TRUE(someDatabases > 0 || checkedDatabases > 0);
        }
    }
}

TEST(CheckTree, TogglingEveryRecordOfAHugeDatabaseOneByOneStaysFast) {
    constexpr int kRecords = 200000;
    CheckTree tree = TreeOf({{"Memos", kRecords}});
    NodeId memos = DatabaseAt(tree, 0);
    for (int r = 0; r < kRecords; ++r) {
        tree.toggleCheck(RecordAt(tree, 0, static_cast<std::size_t>(r)));
        if (r == 0) {
            ASSERT_EQ(tree.state(memos), Some);
        }
    }
    EXPECT_EQ(tree.state(memos), All);
    EXPECT_EQ(tree.state(BackupTree::kRoot), All);
}

TEST(CheckTree, KeepsTheTextsTheUserEditedAndANodeTellsItsDatabase) {
    IpdBuilder builder;
    builder.database("Memos");
    builder.database("Tasks");
    IpdImage image(builder.build());
    RecordIndex index = BuildDatabaseNodes(image, "/b.ipd");
    BackupTree source(std::move(image), std::move(index));
    source.setText(1, "my notes");
    source.setText(2, "Memos");
    CheckTree tree(source);
    EXPECT_EQ(tree.tree().text(1), "my notes");
    // A text naming no database leaves the node its own database; one naming another wins.
    EXPECT_EQ(DatabaseOfNode(tree.tree(), 1), KnownDb::Memos);
    EXPECT_EQ(DatabaseOfNode(tree.tree(), 2), KnownDb::Memos);
}

TEST(LoadSecondIpd, OpensIntoItsOwnUncheckedTreeOrSaysWhyNot) {
    testing::ScratchFolder folder;
    IpdBuilder builder;
    builder.record(builder.database("Tasks"), FieldList().text(2, "t", true).bytes());
    testing::SaveBytes(folder.file("second.ipd"), builder.build());

    auto tree = LoadSecondIpd(folder.file("second.ipd"));
    ASSERT_TRUE(tree.ok()) << tree.error();
    EXPECT_EQ(tree->tree().text(BackupTree::kRoot), folder.file("second.ipd"));
    EXPECT_EQ(tree->nodeCount(), 3u);
    EXPECT_EQ(tree->state(2), None);

    auto missing = LoadSecondIpd(folder.file("missing.ipd"));
    ASSERT_FALSE(missing.ok());
    EXPECT_FALSE(missing.error().empty());
}

}  // namespace
}  // namespace orrelin
