#include <gtest/gtest.h>

#include <filesystem>

#include "splitmerge/merge.h"
#include "splitmerge_fixture.h"

namespace orrelin {
namespace {

using namespace orrelin::testing;

constexpr std::string_view kMergePrefix =
    "496E746572406374697665205061676572204261636B75702F526573746F72652046696C650A02";

// Service Book (index 0, two records) and Memos (index 1, two records).
ByteVector FirstBackup() {
    IpdBuilder b;
    auto book = b.database("Service Book");
    auto memos = b.database("Memos");
    b.record(memos, FieldList().text(1, "first memo", true).bytes(), 0x1234, 0x44332211, 5);
    b.record(book, FieldList().text(2, "entry", true).bytes(), 0x0009, 0x99);
    b.record(memos, FieldList().text(1, "second memo", true).bytes(), 0x0040, 0x55);
    b.record(book, FieldList().text(2, "entry 2", true).bytes(), 0x000A, 0x9A);
    return b.build();
}

// Memos (index 0, one record), SMS Messages (index 1, two records).
ByteVector SecondBackup() {
    IpdBuilder b;
    auto memos = b.database("Memos");
    auto sms = b.database("SMS Messages");
    b.record(sms, FieldList().le(1, 0, 1).bytes(), 0x0700, 0x70);
    b.record(memos, FieldList().text(1, "other memo", true).bytes(), 0x0001, 0x66);
    b.record(sms, FieldList().le(1, 1, 1).bytes(), 0x0701, 0x71);
    return b.build();
}

// A record with a new index and handle.
ByteVector Renumbered(const BackupTree& tree, NodeId record, std::uint16_t index,
                      std::uint16_t handle) {
    ByteVector bytes = RecordBytes(tree, record);
    bytes[0] = static_cast<std::uint8_t>(index & 0xFF);
    bytes[1] = static_cast<std::uint8_t>(index >> 8);
    bytes[7] = static_cast<std::uint8_t>(handle & 0xFF);
    bytes[8] = static_cast<std::uint8_t>(handle >> 8);
    return bytes;
}

struct Pair {
    ScratchFolder folder;
    CheckTree first{SaveAndOpen(folder, "first.ipd", FirstBackup())};
    CheckTree second{SaveAndOpen(folder, "second.ipd", SecondBackup())};
};

TEST(RenumberRecord, ChangesOnlyTheIndexAndTheHandle) {
    Pair p;
    std::string out;
    RenumberRecord(p.first.tree().image(), *p.first.tree().span(RecordAt(p.first, 1, 0)), 3, 2,
                   out);
    // index 3, length 21, version 5, handle 2 (was 0x1234), unique id 11 22 33 44, the field.
    EXPECT_EQ(BytesToHex(Bytes(reinterpret_cast<const std::uint8_t*>(out.data()), out.size())),
              "0300"
              "15000000"
              "05"
              "0200"
              "11223344"
              "0B0001"
              "6669727374206D656D6F00");
}

TEST(Merge, NothingMarkedGivesTheBareHeader) {
    Pair p;
    WriteOutcome outcome = WriteMerge(p.first, &p.second, p.folder.file("out.ipd"));
    ASSERT_EQ(outcome.status, WriteStatus::Saved) << outcome.message;
    EXPECT_EQ(outcome.message, "File saved as " + p.folder.file("out.ipd"));
    EXPECT_EQ(ReadBytes(p.folder.file("out.ipd")), Concat({Hex(kMergePrefix), Hex("000000")}));
}

TEST(Merge, RecordsOfBothFilesAreNumberedInTheFixedDatabaseOrder) {
    Pair p;
    p.first.toggleCheck(DatabaseAt(p.first, 1));     // both memos of the first file
    p.first.toggleCheck(RecordAt(p.first, 0, 1));    // the second service book entry
    p.second.toggleCheck(RecordAt(p.second, 0, 0));  // the memo of the second file
    p.second.toggleCheck(DatabaseAt(p.second, 1));   // every SMS of the second file
    ASSERT_TRUE(WriteMerge(p.first, &p.second, p.folder.file("out.ipd")).saved());

    const auto& f = p.first.tree();
    const auto& s = p.second.tree();
    ByteVector expected = Concat(
        {Hex(kMergePrefix), Hex("0003") /* count, big-endian */, Hex("00"),
         Hex("0D00534D53204D6573736167657300"), Hex("06004D656D6F7300"),
         Hex("0D005365727669636520426F6F6B00"), Renumbered(s, RecordAt(p.second, 1, 0), 0, 1),
         Renumbered(s, RecordAt(p.second, 1, 1), 0, 2),
         Renumbered(f, RecordAt(p.first, 1, 0), 1, 1), Renumbered(f, RecordAt(p.first, 1, 1), 1, 2),
         Renumbered(s, RecordAt(p.second, 0, 0), 1, 3),
         Renumbered(f, RecordAt(p.first, 0, 1), 2, 1)});
    EXPECT_EQ(ReadBytes(p.folder.file("out.ipd")), expected);
    ByteVector memos = Concat({Renumbered(f, RecordAt(p.first, 1, 0), 1, 1),
                               Renumbered(f, RecordAt(p.first, 1, 1), 1, 2),
                               Renumbered(s, RecordAt(p.second, 0, 0), 1, 3)});
    std::string collected = CollectMergeRecords(p.first, &p.second, KnownDb::Memos, 1);
    EXPECT_EQ(ByteVector(collected.begin(), collected.end()), memos);
}

TEST(Merge, AddressBookComesBeforeAddressBookAll) {
    ScratchFolder folder;
    IpdBuilder b;
    auto all = b.database("Address Book - All");
    auto book = b.database("Address Book");
    b.record(all, FieldList().text(1, "a", true).bytes());
    b.record(book, FieldList().text(1, "b", true).bytes());
    CheckTree first(SaveAndOpen(folder, "first.ipd", b.build()));
    first.toggleCheck(BackupTree::kRoot);
    auto plan = PlanMerge(first, nullptr);
    ASSERT_EQ(plan.size(), 2u);
    EXPECT_EQ(plan[0].db, KnownDb::AddressBook);
    EXPECT_EQ(plan[1].db, KnownDb::AddressBookAll);
}

TEST(Merge, TheSameFileTwiceGivesItsRecordsTwiceWithDistinctHandles) {
    Pair p;
    auto again = LoadSecondIpd(p.folder.file("first.ipd"));
    ASSERT_TRUE(again) << again.error();
    p.first.toggleCheck(DatabaseAt(p.first, 1));
    again->toggleCheck(DatabaseAt(*again, 1));
    ASSERT_TRUE(WriteMerge(p.first, &*again, p.folder.file("out.ipd")).saved());

    auto back = BackupTree::Open(p.folder.file("out.ipd"));
    ASSERT_TRUE(back && back->index().complete());
    ASSERT_EQ(back->childCount(1), 4u);
    const auto& f = p.first.tree();
    for (std::uint16_t r = 0; r < 4; ++r) {
        EXPECT_EQ(RecordBytes(*back, back->child(1, r)),
                  Renumbered(f, RecordAt(p.first, 1, r % 2), 0, static_cast<std::uint16_t>(r + 1)));
    }
}

TEST(Merge, WithoutASecondFileWritesTheMarkedRecordsOfTheFirst) {
    Pair p;
    p.first.toggleCheck(RecordAt(p.first, 1, 1));
    ASSERT_TRUE(WriteMerge(p.first, nullptr, p.folder.file("out.ipd")).saved());
    EXPECT_EQ(ReadBytes(p.folder.file("out.ipd")),
              Concat({Hex(kMergePrefix), Hex("000100"), Hex("06004D656D6F7300"),
                      Renumbered(p.first.tree(), RecordAt(p.first, 1, 1), 0, 1)}));
}

TEST(Merge, RecordsTooShortForAHandleKeepTheirLength) {
    ScratchFolder folder;
    IpdBuilder b;
    auto memos = b.database("Memos");
    b.raw(
        Hex("0000"
            "00000000"));  // length 0
    b.raw(
        Hex("0000"
            "02000000"
            "0777"));  // length 2: version and half a handle
    b.record(memos, FieldList().text(1, "m", true).bytes(), 0x0505);
    CheckTree first(SaveAndOpen(folder, "first.ipd", b.build()));
    ASSERT_EQ(first.tree().childCount(1), 3u);
    first.toggleCheck(BackupTree::kRoot);
    ASSERT_TRUE(WriteMerge(first, nullptr, folder.file("out.ipd")).saved());

    auto back = BackupTree::Open(folder.file("out.ipd"));
    ASSERT_TRUE(back && back->index().complete());
    ASSERT_EQ(back->childCount(1), 3u);
    EXPECT_EQ(RecordBytes(*back, back->child(1, 0)), Hex("000000000000"));
    EXPECT_EQ(RecordBytes(*back, back->child(1, 1)), Hex("0000020000000777"));
    EXPECT_EQ(RecordBytes(*back, back->child(1, 2)),
              Renumbered(first.tree(), RecordAt(first, 0, 2), 0, 3));
}

TEST(Merge, RefusesToWriteOverEitherOpenedFile) {
    Pair p;
    p.first.toggleCheck(BackupTree::kRoot);
    const ByteVector second = ReadBytes(p.folder.file("second.ipd"));
    for (const char* name : {"first.ipd", "second.ipd"}) {
        WriteOutcome outcome = WriteMerge(p.first, &p.second, p.folder.file(name));
        EXPECT_EQ(outcome.status, WriteStatus::Refused) << name;
    }
    EXPECT_EQ(
        WriteMerge(p.first, &p.second, p.folder.file("x.ipd"), {}, {p.folder.file("x.ipd")}).status,
        WriteStatus::Saved);  // x.ipd did not exist yet
    EXPECT_EQ(
        WriteMerge(p.first, &p.second, p.folder.file("x.ipd"), {}, {p.folder.file("x.ipd")}).status,
        WriteStatus::Refused);
    EXPECT_EQ(ReadBytes(p.folder.file("first.ipd")), FirstBackup());
    EXPECT_EQ(ReadBytes(p.folder.file("second.ipd")), second);
}

TEST(Merge, MoreRecordsThanHandlesCanNumberAreRefused) {
    ScratchFolder folder;
    IpdBuilder b;
    auto memos = b.database("Memos");
    for (int i = 0; i < 65535; ++i)
        b.record(memos, {});
    CheckTree first(SaveAndOpen(folder, "first.ipd", b.build()));
    IpdBuilder one;
    one.record(one.database("Memos"), {});
    CheckTree second(SaveAndOpen(folder, "second.ipd", one.build()));
    first.toggleCheck(BackupTree::kRoot);

    // 65535 records still number.
    ASSERT_TRUE(WriteMerge(first, &second, folder.file("ok.ipd")).saved());
    ByteVector ok = ReadBytes(folder.file("ok.ipd"));
    EXPECT_EQ(ok[ok.size() - 6], 0xFF);  // the last handle: FF FF
    EXPECT_EQ(ok[ok.size() - 5], 0xFF);

    second.toggleCheck(BackupTree::kRoot);
    WriteOutcome outcome = WriteMerge(first, &second, folder.file("out.ipd"));
    EXPECT_EQ(outcome.status, WriteStatus::Refused);
    EXPECT_NE(outcome.message.find("65536"), std::string::npos);
    EXPECT_NE(outcome.message.find("Memos"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder.file("out.ipd")));
    EXPECT_FALSE(CheckMergedRecordCounts(PlanMerge(first, &second)));
}

TEST(Merge, CancellingLeavesNothing) {
    Pair p;
    p.first.toggleCheck(BackupTree::kRoot);
    auto cancel = [](std::uint64_t, std::uint64_t) { return false; };
    EXPECT_EQ(WriteMerge(p.first, &p.second, p.folder.file("out.ipd"), cancel).status,
              WriteStatus::Cancelled);
    EXPECT_EQ(p.folder.entries().size(), 2u);
}

TEST(Merge, RealBackupsMergeWithThemselves) {
    const std::filesystem::path corpus = ORRELIN_CORPUS_DIR;
    if (!std::filesystem::is_directory(corpus)) GTEST_SKIP() << "no corpus at " << corpus;
    ScratchFolder folder;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        if (entry.path().extension() != ".ipd") continue;
        auto source = BackupTree::Open(entry.path().string());
        ASSERT_TRUE(source) << source.error();
        CheckTree first(*source);
        auto second = LoadSecondIpd(entry.path().string());
        ASSERT_TRUE(second) << second.error();
        first.toggleCheck(BackupTree::kRoot);
        second->toggleCheck(BackupTree::kRoot);
        const std::string target = folder.file(entry.path().filename().string());
        ASSERT_TRUE(WriteMerge(first, &*second, target).saved()) << entry.path();

        auto back = BackupTree::Open(target);
        ASSERT_TRUE(back && back->index().complete()) << entry.path();
        const std::size_t n = source->index().records.size();
        ASSERT_EQ(back->index().records.size(), 2 * n);
        for (std::size_t r = 0; r < 2 * n; ++r) {
            ByteVector a = RecordBytes(*source, source->recordNode(r % n));
            ByteVector b2 = RecordBytes(*back, back->recordNode(r));
            ASSERT_EQ(a.size(), b2.size());
            EXPECT_EQ(b2[7] | b2[8] << 8, static_cast<int>(r + 1));
            for (std::size_t i : {0u, 1u, 7u, 8u})
                a[i] = b2[i];
            EXPECT_EQ(a, b2) << entry.path();
        }
    }
}

}  // namespace
}  // namespace orrelin
