#include <gtest/gtest.h>

#include <filesystem>

#include "splitmerge/split.h"
#include "splitmerge_fixture.h"

namespace orrelin {
namespace {

using namespace orrelin::testing;

constexpr std::string_view kSplitPrefix =
    "496E746572406374697665205061676572204261636B75702F526573746F72652046696C650A0200";

// Tasks (index 0, two records), an unknown database (index 1), Memos (index 2, three records).
ByteVector ThreeDatabases() {
    IpdBuilder b;
    auto tasks = b.database("Tasks");
    auto other = b.database("Foo");
    auto memos = b.database("Memos");
    b.record(tasks, FieldList().text(1, "a", true).bytes(), 0x0011, 0xA1, 3);
    b.record(memos, FieldList().text(1, "m1", true).bytes(), 0x0101, 0xB1);
    b.record(other, FieldList().text(1, "zz", true).bytes());
    b.record(tasks, FieldList().text(1, "b", true).bytes(), 0x0022, 0xB2, 3);
    b.filler(1, 9);
    b.record(memos, FieldList().text(1, "m2", true).bytes(), 0x0102, 0xB2);
    b.record(memos, FieldList().text(1, "m3", true).bytes(), 0x0103, 0xB3);
    return b.build();
}

// A record with a new index: [index LE16] then the source record from its length on.
ByteVector Reindexed(const BackupTree& tree, NodeId record, std::uint16_t index) {
    ByteVector bytes = RecordBytes(tree, record);
    bytes[0] = static_cast<std::uint8_t>(index & 0xFF);
    bytes[1] = static_cast<std::uint8_t>(index >> 8);
    return bytes;
}

TEST(Split, WritesTheChosenDatabasesInTreeOrderWithRecordsRenumbered) {
    ScratchFolder folder;
    CheckTree tree(SaveAndOpen(folder, "source.ipd", ThreeDatabases()));
    ASSERT_EQ(tree.tree().childCount(BackupTree::kRoot), 2u);  // Tasks and Memos
    tree.toggleCheck(DatabaseAt(tree, 1));                     // all of Memos
    tree.toggleCheck(RecordAt(tree, 0, 1));                    // the second task

    const std::string target = folder.file("out.ipd");
    WriteOutcome outcome = WriteSplit(tree, target);
    ASSERT_EQ(outcome.status, WriteStatus::Saved) << outcome.message;
    EXPECT_EQ(outcome.message, "File saved as " + target);

    const auto& t = tree.tree();
    ByteVector expected =
        Concat({Hex(kSplitPrefix), Hex("0200"), Hex("06005461736B7300"), Hex("06004D656D6F7300"),
                Hex("0000"
                    "0C000000"
                    "03"
                    "2200"
                    "B2000000"
                    "0200016200"),
                Reindexed(t, RecordAt(tree, 1, 0), 1), Reindexed(t, RecordAt(tree, 1, 1), 1),
                Reindexed(t, RecordAt(tree, 1, 2), 1)});
    EXPECT_EQ(ReadBytes(target), expected);
}

TEST(Split, NothingCheckedGivesTheBareHeader) {
    ScratchFolder folder;
    CheckTree tree(SaveAndOpen(folder, "source.ipd", ThreeDatabases()));
    ASSERT_TRUE(WriteSplit(tree, folder.file("out.ipd")).saved());
    EXPECT_EQ(ReadBytes(folder.file("out.ipd")), Concat({Hex(kSplitPrefix), Hex("0000")}));
}

TEST(Split, RecordsOfTheSecondDatabaseAloneTakeIndexZero) {
    ScratchFolder folder;
    CheckTree tree(SaveAndOpen(folder, "source.ipd", ThreeDatabases()));
    tree.toggleCheck(RecordAt(tree, 1, 0));
    tree.toggleCheck(RecordAt(tree, 1, 2));
    ASSERT_TRUE(WriteSplit(tree, folder.file("out.ipd")).saved());
    const auto& t = tree.tree();
    EXPECT_EQ(
        ReadBytes(folder.file("out.ipd")),
        Concat({Hex(kSplitPrefix), Hex("0100"), Hex("06004D656D6F7300"),
                Reindexed(t, RecordAt(tree, 1, 0), 0), Reindexed(t, RecordAt(tree, 1, 2), 0)}));
}

TEST(Split, ReplacesALongerFileWhole) {
    ScratchFolder folder;
    CheckTree tree(SaveAndOpen(folder, "source.ipd", ThreeDatabases()));
    SaveBytes(folder.file("out.ipd"), ByteVector(5000, 0xEE));
    ASSERT_TRUE(WriteSplit(tree, folder.file("out.ipd")).saved());
    EXPECT_EQ(ReadBytes(folder.file("out.ipd")).size(), 42u);
}

TEST(Split, ReadsBackAsTheChosenDatabasesAndRecords) {
    ScratchFolder folder;
    CheckTree tree(SaveAndOpen(folder, "source.ipd", ThreeDatabases()));
    tree.toggleCheck(BackupTree::kRoot);
    tree.toggleCheck(RecordAt(tree, 1, 1));
    ASSERT_TRUE(WriteSplit(tree, folder.file("out.ipd")).saved());

    auto back = BackupTree::Open(folder.file("out.ipd"));
    ASSERT_TRUE(back) << back.error();
    ASSERT_TRUE(back->index().complete());
    ASSERT_EQ(back->childCount(BackupTree::kRoot), 2u);
    EXPECT_EQ(back->text(1), "Tasks");
    EXPECT_EQ(back->text(2), "Memos");
    const auto& source = tree.tree();
    std::vector<std::pair<std::size_t, std::size_t>> kept{{0, 0}, {0, 1}, {1, 0}, {1, 2}};
    std::size_t seen = 0;
    for (std::size_t row = 0; row < 2; ++row) {
        NodeId db = back->child(BackupTree::kRoot, row);
        for (std::size_t r = 0; r < back->childCount(db); ++r, ++seen) {
            ASSERT_LT(seen, kept.size());
            auto [srcRow, srcRecord] = kept[seen];
            EXPECT_EQ(RecordBytes(*back, back->child(db, r)),
                      Reindexed(source, RecordAt(tree, srcRow, srcRecord),
                                static_cast<std::uint16_t>(row)));
            EXPECT_EQ(back->text(back->child(db, r)),
                      source.text(RecordAt(tree, srcRow, srcRecord)));
        }
    }
    EXPECT_EQ(seen, kept.size());
}

TEST(Split, ASourceWithManyDatabasesGetsFullSixteenBitIndexes) {
    ScratchFolder folder;
    IpdBuilder b;
    for (int i = 0; i < 299; ++i)
        b.database("Other" + std::to_string(i));
    auto memos = b.database("Memos");  // index 299 = 0x012B
    b.record(memos, FieldList().text(1, "one", true).bytes(), 7, 70);
    b.record(memos, FieldList().text(1, "two", true).bytes(), 8, 80);
    CheckTree tree(SaveAndOpen(folder, "source.ipd", b.build()));
    tree.toggleCheck(BackupTree::kRoot);
    ASSERT_TRUE(WriteSplit(tree, folder.file("out.ipd")).saved());

    ByteVector out = ReadBytes(folder.file("out.ipd"));
    ASSERT_GT(out.size(), 52u);
    EXPECT_EQ(out[50], 0x00);  // the first record's index, after the 8-byte entry
    EXPECT_EQ(out[51], 0x00);
    auto back = BackupTree::Open(folder.file("out.ipd"));
    ASSERT_TRUE(back) << back.error();
    ASSERT_EQ(back->childCount(BackupTree::kRoot), 1u);
    EXPECT_EQ(back->childCount(1), 2u);
    EXPECT_EQ(back->text(back->child(1, 1)), tree.tree().text(RecordAt(tree, 0, 1)));
}

TEST(Split, AnEditedDatabaseNameStillWritesAWholeNameTable) {
    ScratchFolder folder;
    BackupTree source = SaveAndOpen(folder, "source.ipd", ThreeDatabases());
    source.setText(2, "my memos");
    CheckTree tree(source);
    tree.toggleCheck(DatabaseAt(tree, 1));
    ASSERT_TRUE(WriteSplit(tree, folder.file("out.ipd")).saved());
    auto back = BackupTree::Open(folder.file("out.ipd"));
    ASSERT_TRUE(back && back->index().complete());
    EXPECT_EQ(back->text(1), "Memos");
    EXPECT_EQ(back->childCount(1), 3u);
}

TEST(Split, RefusesToWriteOverTheOpenedFileByAnyName) {
    ScratchFolder folder;
    const ByteVector bytes = ThreeDatabases();
    CheckTree tree(SaveAndOpen(folder, "source.ipd", bytes));
    std::filesystem::create_symlink(folder.file("source.ipd"), folder.file("link.ipd"));
    std::filesystem::create_hard_link(folder.file("source.ipd"), folder.file("hard.ipd"));

    for (const char* name : {"source.ipd", "link.ipd", "hard.ipd"}) {
        WriteOutcome outcome = WriteSplit(tree, folder.file(name));
        EXPECT_EQ(outcome.status, WriteStatus::Refused) << name;
        EXPECT_NE(outcome.message.find(folder.file(name)), std::string::npos);
    }
    WriteOutcome viaDots = WriteSplit(tree, folder.path() + "/./source.ipd");
    EXPECT_EQ(viaDots.status, WriteStatus::Refused);
    EXPECT_EQ(ReadBytes(folder.file("source.ipd")), bytes);
    EXPECT_EQ(folder.entries().size(), 3u);
}

TEST(Split, AFailureNamesThePathAndTheReasonAndLeavesNothing) {
    ScratchFolder folder;
    CheckTree tree(SaveAndOpen(folder, "source.ipd", ThreeDatabases()));
    const std::string target = folder.file("no-such-folder/out.ipd");
    WriteOutcome outcome = WriteSplit(tree, target);
    EXPECT_EQ(outcome.status, WriteStatus::Failed);
    EXPECT_NE(outcome.message.find(target), std::string::npos);
    EXPECT_NE(outcome.message.find("No such file"), std::string::npos);
}

TEST(Split, CancellingLeavesNoFileAndKeepsAnEarlierOne) {
    ScratchFolder folder;
    CheckTree tree(SaveAndOpen(folder, "source.ipd", ThreeDatabases()));
    tree.toggleCheck(BackupTree::kRoot);
    std::uint64_t calls = 0;
    auto cancel = [&](std::uint64_t done, std::uint64_t total) {
        ++calls;
        EXPECT_LE(done, total);
        return false;
    };
    EXPECT_EQ(WriteSplit(tree, folder.file("out.ipd"), cancel).status, WriteStatus::Cancelled);
    EXPECT_GT(calls, 0u);
    EXPECT_EQ(folder.entries(), std::vector<std::string>{"source.ipd"});

    SaveBytes(folder.file("out.ipd"), {1, 2, 3});
    EXPECT_EQ(WriteSplit(tree, folder.file("out.ipd"), cancel).status, WriteStatus::Cancelled);
    EXPECT_EQ(ReadBytes(folder.file("out.ipd")), (ByteVector{1, 2, 3}));
    EXPECT_EQ(folder.entries().size(), 2u);
}

TEST(Split, RealBackupsSplitWhole) {
    const std::filesystem::path corpus = ORRELIN_CORPUS_DIR;
    if (!std::filesystem::is_directory(corpus)) GTEST_SKIP() << "no corpus at " << corpus;
    ScratchFolder folder;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        if (entry.path().extension() != ".ipd") continue;
        auto source = BackupTree::Open(entry.path().string());
        ASSERT_TRUE(source) << source.error();
        CheckTree tree(*source);
        tree.toggleCheck(BackupTree::kRoot);
        const std::string target = folder.file(entry.path().filename().string());
        ASSERT_TRUE(WriteSplit(tree, target).saved()) << entry.path();
        auto back = BackupTree::Open(target);
        ASSERT_TRUE(back && back->index().complete()) << entry.path();
        ASSERT_EQ(back->index().records.size(), source->index().records.size());
        for (std::size_t r = 0; r < source->index().records.size(); ++r) {
            ByteVector a = RecordBytes(*source, source->recordNode(r));
            ByteVector b2 = RecordBytes(*back, back->recordNode(r));
            EXPECT_TRUE(std::equal(a.begin() + 2, a.end(), b2.begin() + 2, b2.end()))
                << entry.path();
            EXPECT_EQ(back->text(back->recordNode(r)), source->text(source->recordNode(r)));
        }
    }
}

}  // namespace
}  // namespace orrelin
