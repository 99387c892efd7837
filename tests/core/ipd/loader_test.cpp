#include <gtest/gtest.h>

#include <filesystem>

#include "ipd/ipd_builder.h"
#include "ipd/loader.h"

namespace orrelin {
namespace {

RecordIndex Load(const ByteVector& bytes) {
    return BuildDatabaseNodes(IpdImage(bytes), "/t/a.ipd");
}

// The name-table positions of the recognised databases.
std::vector<std::uint16_t> Positions(const RecordIndex& index) {
    std::vector<std::uint16_t> positions;
    for (const auto& db : index.databases)
        positions.push_back(db.index);
    return positions;
}

TEST(Image, HoldsOneExtraZeroByte) {
    IpdImage empty;
    EXPECT_EQ(empty.size(), 1u);
    EXPECT_EQ(empty.fileLength(), 0u);
    IpdImage image(ByteVector{1, 2, 3});
    EXPECT_EQ(image.size(), 4u);
    EXPECT_EQ(image[3], 0);
    EXPECT_TRUE(image.range(2, 3).has_value());  // the extra byte is readable
    EXPECT_TRUE(image.range(5, 4).has_value());  // an empty range reads nothing
    EXPECT_FALSE(image.range(0, 4).has_value());
}

TEST(Image, ReadReportsWhyItCannotRead) {
    EXPECT_FALSE(IpdImage::Read("/nonexistent/x.ipd"));
    const auto folder = IpdImage::Read(std::filesystem::temp_directory_path().string());
    ASSERT_FALSE(folder);
    EXPECT_NE(folder.error().find("directory"), std::string::npos);
}

TEST(Loader, NamesRecognisedDatabasesByTheirIndex) {
    IpdBuilder b;
    b.database("SMS Messages");
    b.database("Browser Options");
    b.database("Phone Call Logs");
    auto memos = b.database("Memos");
    b.record(memos, FieldList().text(1, "Groceries").bytes());
    b.record(1, FieldList().text(1, "hidden").bytes());
    b.record(1, FieldList().text(1, "hidden").bytes());
    auto index = Load(b.build());
    EXPECT_TRUE(index.complete());
    EXPECT_EQ(Positions(index), (std::vector<std::uint16_t>{0, 2, 3}));
    EXPECT_EQ(index.slots[static_cast<std::size_t>(KnownDb::Memos)], 3);
    EXPECT_EQ(index.slots[static_cast<std::size_t>(KnownDb::Tasks)], -1);
    ASSERT_EQ(index.records.size(), 1u);
    EXPECT_EQ(index.databases[2].records, std::vector<std::uint32_t>{0});
    EXPECT_EQ(index.count(KnownDb::Memos), 1u);
    EXPECT_EQ(index.count(KnownDb::Sms), 0u);
}

TEST(Loader, RecordSpanTagCoversHandleToLastByte) {
    IpdBuilder b;
    auto memos = b.database("Memos");
    b.record(memos, FieldList().text(1, "A").bytes());
    auto bytes = b.build();
    auto index = Load(bytes);
    ASSERT_EQ(index.records.size(), 1u);
    const std::uint64_t recordOffset = 42 + 2 + 6;
    EXPECT_EQ(index.records[0].span.start, recordOffset + 7);
    EXPECT_EQ(index.records[0].span.end, bytes.size() - 1);
    EXPECT_EQ(index.records[0].span.tag(),
              std::to_string(recordOffset + 7) + ":" + std::to_string(bytes.size() - 1));
    EXPECT_EQ(RecordSpan::Parse("107:155"), (RecordSpan{107, 155}));
    EXPECT_FALSE(RecordSpan::Parse("107-155"));
    EXPECT_FALSE(RecordSpan::Parse(":1"));
}

TEST(Loader, NamesAreComparedWithControlCharactersRemoved) {
    IpdBuilder b;
    b.rawDatabase(ByteVector{'M', 'e', '\t', 'm', 'o', 's', 0});
    b.rawDatabase(ByteVector{'T', 'a', 's', 'k', 's', '\n', 0});
    b.rawDatabase(ByteVector{0});
    auto index = Load(b.build());
    EXPECT_EQ(Positions(index), std::vector<std::uint16_t>{0});
}

TEST(Loader, RepeatedNameTakesTheLaterIndex) {
    IpdBuilder b;
    auto first = b.database("Calendar");
    auto second = b.database("Calendar");
    b.record(first, FieldList().text(2, "early").bytes());
    b.record(second, FieldList().text(2, "late").bytes());
    auto index = Load(b.build());
    ASSERT_EQ(index.databases.size(), 2u);
    EXPECT_TRUE(index.databases[0].records.empty());
    EXPECT_EQ(index.databases[1].records.size(), 1u);
    EXPECT_EQ(index.databaseNamed("Calendar"), &index.databases[1]);
    EXPECT_EQ(index.databaseNamed("Tasks"), nullptr);
}

TEST(Loader, SkipsFillerBlocksBetweenRecordsOnly) {
    IpdBuilder b;
    auto memos = b.database("Memos");
    b.filler(1, 9);  // where the first record stands: read as a record header
    b.record(memos, FieldList().text(1, "A").bytes());
    b.filler(0, 0x33);
    b.record(memos, FieldList().text(1, "B").bytes());
    auto index = Load(b.build());
    // FF FF 02 00 00 01 as a header: database 0xFFFF, length 0x01000002 runs past the end.
    EXPECT_TRUE(index.complete());
    EXPECT_TRUE(index.records.empty());

    IpdBuilder c;
    memos = c.database("Memos");
    c.record(memos, FieldList().text(1, "A").bytes());
    c.filler(1, 0x33);
    c.record(memos, FieldList().text(1, "B").bytes());
    index = Load(c.build());
    EXPECT_TRUE(index.complete());
    EXPECT_EQ(index.records.size(), 2u);
}

TEST(Loader, CountIsBigEndianAndNameTableIsReadWhateverItsSize) {
    IpdBuilder b;
    for (int i = 0; i < 300; ++i)
        b.database("Unknown " + std::to_string(i));
    auto tasks = b.database("Tasks");
    for (int i = 0; i < 3000; ++i)
        b.database("Padding database with a rather long name " + std::to_string(i));
    b.record(tasks, FieldList().text(2, "Call Joe").bytes());
    auto bytes = b.build();
    ASSERT_GT(bytes.size(), 70000u);
    auto index = Load(bytes);
    EXPECT_TRUE(index.complete());
    ASSERT_EQ(Positions(index), std::vector<std::uint16_t>{300});
    EXPECT_EQ(index.count(KnownDb::Tasks), 1u);
}

TEST(Loader, EmptyRecordAdvancesBySixBytes) {
    IpdBuilder b;
    auto memos = b.database("Memos");
    b.raw({static_cast<std::uint8_t>(memos), 0, 0, 0, 0, 0});
    b.record(memos, FieldList().text(1, "B").bytes());
    auto index = Load(b.build());
    EXPECT_TRUE(index.complete());
    ASSERT_EQ(index.records.size(), 2u);
    EXPECT_EQ(index.records[0].span.start, index.records[0].span.end + 2);
}

// Damaged files: each gives the part read before the damage and says where it stopped.
struct DamageCase {
    const char* name;
    ByteVector bytes;
    std::size_t databases;
    std::size_t records;
    bool complete;
};

ByteVector TwoMemos() {
    IpdBuilder b;
    auto memos = b.database("Memos");
    b.record(memos, FieldList().text(1, "A").bytes());
    b.record(memos, FieldList().text(1, "B").bytes());
    return b.build();
}

ByteVector Truncated(ByteVector bytes, std::size_t drop) {
    bytes.resize(bytes.size() - drop);
    return bytes;
}

ByteVector WithTail(ByteVector bytes, ByteVector tail) {
    bytes.insert(bytes.end(), tail.begin(), tail.end());
    return bytes;
}

ByteVector UnknownRecordPastTheEnd() {
    IpdBuilder b;
    auto memos = b.database("Memos");
    b.database("Other");
    b.record(memos, FieldList().text(1, "A").bytes());
    b.raw({1, 0, 0xFF, 0xFF, 0, 0, 0});
    return b.build();
}

TEST(Loader, DamagedFilesGiveAPartialIndex) {
    const std::vector<DamageCase> cases{
        {"empty file", {}, 0, 0, false},
        {"not an ipd file", ByteVector(100, 'x'), 0, 0, false},
        {"header only, count 0", IpdBuilder().build(), 0, 0, true},
        {"name table cut short", Truncated(IpdBuilder().declaredCount(2).build(), 0), 0, 0, false},
        {"last record one byte short (reads the extra zero)", Truncated(TwoMemos(), 1), 1, 2, true},
        {"last record two bytes short", Truncated(TwoMemos(), 2), 1, 1, false},
        {"stray bytes after the last record", WithTail(TwoMemos(), {1, 2, 3}), 1, 2, false},
        {"unrecognised record running past the end", UnknownRecordPastTheEnd(), 1, 1, true},
    };
    for (const auto& c : cases) {
        auto index = Load(c.bytes);
        EXPECT_EQ(index.databases.size(), c.databases) << c.name;
        EXPECT_EQ(index.records.size(), c.records) << c.name;
        EXPECT_EQ(index.complete(), c.complete) << c.name;
        if (!c.complete) {
            EXPECT_FALSE(index.stop->reason.empty()) << c.name;
        }
    }
}

TEST(Loader, HugeLengthsDoNotWrapAround) {
    IpdBuilder b;
    auto memos = b.database("Memos");
    b.raw({static_cast<std::uint8_t>(memos), 0, 0xFF, 0xFF, 0xFF, 0xFF, 0, 1, 0});
    auto index = Load(b.build());
    EXPECT_FALSE(index.complete());
    EXPECT_TRUE(index.records.empty());
    EXPECT_EQ(index.stop->offset, 44u + 6u);
}

}  // namespace
}  // namespace orrelin
