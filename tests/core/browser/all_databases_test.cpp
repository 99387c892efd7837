#include <gtest/gtest.h>

#include "browser/backup_tree.h"
#include "ipd/ipd_builder.h"
#include "ipd/loader.h"
#include "kinds/labels.h"
#include "kinds/raw_fields.h"
#include "search/text_index.h"

namespace orrelin {
namespace {

ByteVector Body(const ByteVector& fields, std::uint16_t handle = 7) {
    ByteVector body{static_cast<std::uint8_t>(handle & 0xFF),
                    static_cast<std::uint8_t>(handle >> 8),
                    1,
                    2,
                    3,
                    4};
    body.insert(body.end(), fields.begin(), fields.end());
    return body;
}

TEST(RawFields, ReadsEachFieldAndKeepsWhatACutOneHolds) {
    struct Case {
        const char* what;
        ByteVector fields;
        std::vector<std::string> rows;  // "type length hex|text"
    };
    const Case cases[] = {
        {"none", {}, {}},
        {"two fields",
         FieldList().text(3, "Hi", true).le(9, 0x0102, 2).bytes(),
         {"3 3 48 69 00|Hi.", "9 2 02 01|.."}},
        {"empty data", FieldList().add(5, {}).bytes(), {"5 0 |"}},
        {"length past the end", ByteVector{4, 0, 1, 0x41, 0x42}, {"1 4 41 42|AB"}},
        {"a tail of two bytes", ByteVector{1, 0, 2, 0x7F, 0xAA, 0xBB}, {"2 1 7F|."}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> rows;
        const ByteVector body = Body(c.fields);
        for (const RawField& field : ReadRawFields(body)) {
            rows.push_back(std::to_string(field.type) + " " + std::to_string(field.length) + " " +
                           RawHex(field.data) + "|" + RawText(field.data));
        }
        EXPECT_EQ(rows, c.rows) << c.what;
    }
    const ByteVector cut = Body(ByteVector{4, 0, 1, 0x41});
    EXPECT_TRUE(ReadRawFields(cut)[0].cut());
    EXPECT_TRUE(ReadRawFields(ByteVector{1, 2, 3}).empty());  // shorter than handle and id
}

TEST(RawFields, LabelIsTheFirstPrintableTextElseTheHandle) {
    const std::string longText(70, 'x');
    struct Case {
        ByteVector body;
        std::string label;
    };
    const Case cases[] = {
        {Body(FieldList().le(1, 5, 4).text(2, "Inbox", true).text(3, "later").bytes()), "Inbox"},
        {Body(FieldList().text(2, "A").text(3, "ok").bytes()), "ok"},  // one character is no text
        {Body(FieldList().text(2, longText).bytes()), std::string(60, 'x')},
        {Body(FieldList().add(2, {0x41, 0x00, 0x42}).bytes(), 258), "Record 258"},
        {ByteVector{9}, "Record"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RawLabel(c.body), c.label);
}

ByteVector MixedBackup() {
    IpdBuilder b;
    const auto folders = b.database("Folders");
    const auto memos = b.database("Memos");
    b.database("Empty Options");
    b.record(folders, FieldList().text(2, "Work", true).bytes(), 1);
    b.record(memos, FieldList().text(1, "Groceries").bytes(), 1);
    b.record(folders, FieldList().le(1, 3, 4).bytes(), 2);
    b.record(9, FieldList().text(2, "no such database").bytes());  // past the name table
    return b.build();
}

TEST(AllDatabases, EveryNameTableEntryIsANodeWithItsRecords) {
    const IpdImage image(MixedBackup());
    const RecordIndex decoded = BuildDatabaseNodes(image, "a.ipd");
    ASSERT_EQ(decoded.databases.size(), 1u);
    EXPECT_EQ(decoded.records.size(), 1u);

    const RecordIndex all = BuildDatabaseNodes(image, "a.ipd", {}, Databases::All);
    ASSERT_EQ(all.databases.size(), 3u);
    EXPECT_EQ(all.databases[0].name(), "Folders");
    EXPECT_FALSE(all.databases[0].decoded());
    EXPECT_EQ(all.databases[1].name(), "Memos");
    EXPECT_TRUE(all.databases[1].decoded());
    EXPECT_EQ(all.databases[2].name(), "Empty Options");
    EXPECT_EQ(all.databases[0].records, (std::vector<std::uint32_t>{0, 2}));
    EXPECT_EQ(all.databases[1].records, (std::vector<std::uint32_t>{1}));
    EXPECT_TRUE(all.databases[2].records.empty());
    // The counts line counts the decoded databases alone, as before.
    EXPECT_EQ(all.counts, decoded.counts);
    EXPECT_TRUE(all.complete());

    BackupTree tree(image, all);
    const NodeId work = tree.child(tree.databaseNode(0), 0);
    EXPECT_EQ(tree.text(work), "Work");
    EXPECT_EQ(tree.image(work), ImageKey::db);
    EXPECT_EQ(tree.text(tree.child(tree.databaseNode(0), 1)), "Record 2");
    EXPECT_FALSE(tree.databaseByParentText(work).has_value());
    EXPECT_EQ(tree.databaseOf(work), &tree.index().databases[0]);
}

// The records of a database the program does not decode are labelled and found by their raw
// fields in full Unicode too, never read as another kind.
TEST(AllDatabases, OtherRecordsHaveUnicodeLabelsAndAreFoundByTheirRawText) {
    const IpdImage image(MixedBackup());
    const BackupTree tree(image, BuildDatabaseNodes(image, "a.ipd", {}, Databases::All));
    const NodeId work = tree.child(tree.databaseNode(0), 0);
    EXPECT_EQ(tree.unicodeText(work, TextOptions{true}), "Work");
    EXPECT_EQ(tree.unicodeText(tree.child(tree.databaseNode(0), 1), TextOptions{true}), "Record 2");

    const TextIndex index = TextIndex::Build(tree.image(), tree.index());
    EXPECT_EQ(index.search("work"), (std::vector<SearchMatch>{{0, 0}}));
    EXPECT_EQ(index.search("record 2"), (std::vector<SearchMatch>{{2, kLabelField}}));
}

TEST(AllDatabases, ARecordRunningPastTheEndStopsTheWalkNamingItsDatabase) {
    IpdBuilder b;
    const auto folders = b.database("Folders");
    b.record(folders, FieldList().text(2, "Work").bytes());
    ByteVector bytes = b.build();
    bytes.resize(bytes.size() - 2);
    const RecordIndex all = BuildDatabaseNodes(IpdImage(bytes), "a.ipd", {}, Databases::All);
    ASSERT_TRUE(all.stop.has_value());
    EXPECT_EQ(all.stop->reason, "a record of \"Folders\" runs past the end of the file");
    EXPECT_TRUE(all.databases[0].records.empty());
}

}  // namespace
}  // namespace orrelin
