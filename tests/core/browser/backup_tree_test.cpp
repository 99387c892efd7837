#include <gtest/gtest.h>

#include "browser/backup_tree.h"
#include "browser/tree_keys.h"
#include "ipd/ipd_builder.h"
#include "ipd/loader.h"

namespace orrelin {
namespace {

BackupTree Tree(const ByteVector& bytes) {
    IpdImage image(bytes);
    auto index = BuildDatabaseNodes(image, "/backups/phone.ipd");
    return BackupTree(std::move(image), std::move(index));
}

TEST(BackupTree, BeforeAnyOpenHoldsTheRootAlone) {
    BackupTree tree;
    EXPECT_EQ(tree.nodeCount(), 1u);
    EXPECT_EQ(tree.text(BackupTree::kRoot), "IPD Databases");
    EXPECT_EQ(tree.key(BackupTree::kRoot), "Top");
    EXPECT_EQ(tree.image(BackupTree::kRoot), ImageKey::sheet);
}

TEST(BackupTree, RecordsOfInterleavedDatabasesSitUnderTheirOwnNode) {
    IpdBuilder b;
    auto tasks = b.database("Tasks");
    auto memos = b.database("Memos");
    b.record(memos, FieldList().text(1, "M1").bytes());
    b.record(tasks, FieldList().text(2, "T1").bytes());
    b.record(memos, FieldList().text(1, "M2").bytes());
    auto tree = Tree(b.build());
    ASSERT_EQ(tree.nodeCount(), 6u);
    EXPECT_EQ(tree.text(BackupTree::kRoot), "/backups/phone.ipd");
    NodeId memosNode = tree.child(BackupTree::kRoot, 1);
    EXPECT_EQ(tree.key(memosNode), "1DBTop");
    EXPECT_EQ(tree.text(memosNode), "Memos");
    ASSERT_EQ(tree.childCount(memosNode), 2u);
    NodeId second = tree.child(memosNode, 1);
    EXPECT_EQ(tree.text(second), "M2");
    EXPECT_EQ(tree.row(second), 1u);
    EXPECT_EQ(tree.parent(second), memosNode);
    EXPECT_EQ(tree.image(second), ImageKey::memos);
    EXPECT_EQ(tree.kind(second), NodeKind::Record);
    EXPECT_EQ(tree.collectionIndex(second), 6u);  // root, 2 databases, then records in file order
    EXPECT_EQ(tree.databaseByParentText(second), KnownDb::Memos);
    EXPECT_TRUE(tree.key(second).empty());
    EXPECT_EQ(tree.tag(second), tree.span(second)->tag());
}

TEST(TreeKeys, DatabasesAreFoundByKeyOrNameAndCounted) {
    IpdBuilder b;
    auto first = b.database("Calendar");
    auto second = b.database("Calendar");
    b.database("Tasks");
    b.record(first, FieldList().text(2, "early").bytes());
    b.record(second, FieldList().text(2, "late").bytes());
    b.record(second, FieldList().text(2, "later").bytes());
    auto index = BuildDatabaseNodes(IpdImage(b.build()), "a.ipd");
    // The later of a repeated name holds its records; the earlier is found by its key.
    EXPECT_EQ(FindDatabase(index, "0DBTop"), &index.databases[0]);
    EXPECT_EQ(FindDatabase(index, "Calendar"), &index.databases[1]);
    EXPECT_EQ(FindDatabase(index, "2DBTop"), &index.databases[2]);
    EXPECT_EQ(FindDatabase(index, "Tasks"), &index.databases[2]);
    EXPECT_EQ(FindDatabase(index, "5DBTop"), nullptr);
    EXPECT_EQ(FindDatabase(index, "Memos"), nullptr);
    EXPECT_EQ(CountsLine(index),
              "0 SMS Messages, 0 Address Book (All), 0 Tasks, 0 Memos, 0 Calendar, 0 Phone Calls, "
              "0 Service Book");
}

TEST(BackupTree, EditedTextsAreWhatOthersRead) {
    IpdBuilder b;
    auto memos = b.database("Memos");
    b.record(memos, FieldList().text(1, "M1").bytes());
    auto tree = Tree(b.build());
    NodeId record = tree.child(tree.child(BackupTree::kRoot, 0), 0);
    tree.setText(record, "Shopping");
    EXPECT_EQ(tree.text(record), "Shopping");
    BackupTree copy = tree;
    copy.setText(tree.child(BackupTree::kRoot, 0), "Notes");
    EXPECT_FALSE(copy.databaseByParentText(record).has_value());
    EXPECT_EQ(tree.databaseByParentText(record), KnownDb::Memos);  // copies keep their own texts
}

TEST(BackupTree, OpenReportsUnreadableFiles) {
    auto opened = BackupTree::Open("/nonexistent/phone.ipd");
    ASSERT_FALSE(opened);
    EXPECT_FALSE(opened.error().empty());
}

}  // namespace
}  // namespace orrelin
