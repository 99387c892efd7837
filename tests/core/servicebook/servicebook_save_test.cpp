#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/support/hex_text.h"
#include "ipd/ipd_builder.h"
#include "ipd/loader.h"
#include "servicebook/servicebook_save.h"

namespace orrelin {
namespace {

namespace fs = std::filesystem;

const std::string kFileHeaderHex =
    "496E746572406374697665205061676572204261636B75702F526573746F72652046696C650A02"
    "0001"
    "00"
    "0D00"
    "5365727669636520426F6F6B00";

class TempFolder {
  public:
    TempFolder() {
        std::string pattern = (fs::temp_directory_path() / "orrelin-sb-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempFolder() { fs::remove_all(path_); }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    std::size_t entries() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(path_), {}));
    }

  private:
    std::string path_;
};

std::string FileHex(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    return TextToHex(bytes);
}

std::tm At(int day, int hour, int minute, int second) {
    std::tm when{};
    when.tm_mday = day;
    when.tm_hour = hour;
    when.tm_min = minute;
    when.tm_sec = second;
    return when;
}

// A backup whose "Service Book" is its fifth database (index 4), with three entries and a memo
// between the first and the second:
//   entry 1: 04 00 | 0B 00 00 00 | 01 | 01 00 | 11 11 11 11 | 01 00 03 00
//   entry 2: 04 00 | 28 00 00 00 | 02 | 02 00 | 22 22 22 22 | the fields of kSecondFields
//   entry 3: 04 00 | 0C 00 00 00 | 03 | 03 00 | 33 33 33 33 | 02 00 07 55 33
const std::string kFirstRecordHex =
    "04000B00000001010011111111"
    "01000300";
const std::string kSecondFields =
    "0200010A0B"
    "0400035477 6F00"
    "0200075532"
    "0200084332"
    "0100110F"
    "0400160100 0A07";
const std::string kThirdRecordHex =
    "04000C00000003030033333333"
    "0200075533";

std::string NoSpaces(std::string s) {
    std::erase(s, ' ');
    return s;
}

struct Backup {
    BackupTree tree;
    NodeId second = 0;
};

Backup MakeBackup(const std::string& path) {
    IpdBuilder builder;
    builder.database("Memos");
    builder.database("Tasks");
    builder.database("SMS Messages");
    builder.database("Phone Call Logs");
    const std::uint16_t book = builder.database("Service Book");
    builder.raw(*HexToBytes(kFirstRecordHex));
    builder.record(0, FieldList().text(1, "memo", true).bytes(), 9);
    builder.record(book, *HexToBytes(NoSpaces(kSecondFields)), 2, 0x22222222, 2);
    builder.raw(*HexToBytes(kThirdRecordHex));
    IpdImage image(builder.build());
    RecordIndex index = BuildDatabaseNodes(image, path);
    BackupTree tree(image, std::move(index));
    const NodeId database = tree.databaseNode(4);
    EXPECT_EQ(tree.childCount(database), 3u);
    return {tree, tree.child(database, 1)};
}

ServiceBookFields EditedValues() {
    ServiceBookFields v;
    v.values[17] = "Edited";
    v.values[18] = "U2";
    v.values[19] = "C2";
    v.values[20] = "-1";
    v.values[1] = "7";
    return v;
}

// The second entry rebuilt from EditedValues(): type 1 kept, name, UID, CID, User ID, the empty
// configuration, type 0x11 kept, the network block with the wireless network 7.
const std::string kRebuiltSecond = NoSpaces(
    "0000 4E000000 02 0200 22222222"
    "0200010A0B"
    "070003456469746564 00"
    "0200075532"
    "0200084332"
    "040006FFFFFFFF"
    "190009 0200 010100 00 010300 00 010400 00 010900 00 010A00 00 010B00"
    "0100110F"
    "040016 01000A07");

TEST(ServiceBookSave, FileHeaderNamesTheOneDatabase) {
    EXPECT_EQ(BytesToHex(ServiceBookFileHeader()), kFileHeaderHex);
    EXPECT_EQ(ServiceBookFileHeader().size(), 57u);
}

TEST(ServiceBookSave, EntryOnlyWritesTheRebuiltRecordAlone) {
    Backup backup = MakeBackup("/nowhere/a.ipd");
    auto entry = ServiceBookEntry::Of(backup.tree, backup.second);
    ASSERT_TRUE(entry);
    EXPECT_EQ(BytesToHex(entry->code), NoSpaces("0400 28000000 02 0200 22222222" + kSecondFields));
    auto rebuilt = std::get<ByteVector>(BuildServiceBookRecord(entry->code, EditedValues()));
    EXPECT_EQ(BytesToHex(rebuilt), kRebuiltSecond);
    EXPECT_EQ(BytesToHex(AssembleServiceBookFile(*entry, rebuilt, ServiceBookSaveKind::EntryOnly)),
              kFileHeaderHex + kRebuiltSecond);
}

TEST(ServiceBookSave, AllEntriesWritesTheDatabaseInTreeOrderWithIndexZero) {
    Backup backup = MakeBackup("/nowhere/a.ipd");
    auto entry = ServiceBookEntry::Of(backup.tree, backup.second);
    ASSERT_TRUE(entry);
    auto rebuilt = std::get<ByteVector>(BuildServiceBookRecord(entry->code, EditedValues()));
    EXPECT_EQ(BytesToHex(AssembleServiceBookFile(*entry, rebuilt, ServiceBookSaveKind::AllEntries)),
              kFileHeaderHex + "0000" + kFirstRecordHex.substr(4) + kRebuiltSecond + "0000" +
                  kThirdRecordHex.substr(4));
}

TEST(ServiceBookSave, OnlyRecordNodesAreEntries) {
    Backup backup = MakeBackup("/nowhere/a.ipd");
    EXPECT_FALSE(ServiceBookEntry::Of(backup.tree, BackupTree::kRoot));
    EXPECT_FALSE(ServiceBookEntry::Of(backup.tree, backup.tree.databaseNode(4)));
    EXPECT_FALSE(ServiceBookEntry::Of(backup.tree, static_cast<NodeId>(backup.tree.nodeCount())));
}

TEST(ServiceBookSave, WritesUnderAGeneratedNameNextToTheBackupAndNeverOverAnEarlierFile) {
    TempFolder folder;
    Backup backup = MakeBackup(folder.file("a.ipd"));
    auto entry = ServiceBookEntry::Of(backup.tree, backup.second);
    ASSERT_TRUE(entry);

    auto first = SaveServiceBook(*entry, EditedValues(), ServiceBookSaveKind::EntryOnly,
                                 std::nullopt, At(7, 4, 5, 9));
    ASSERT_TRUE(first.saved()) << first.writeError.value_or("");
    EXPECT_EQ(first.path, folder.file("Orrelin_Export_07040509.ipd"));
    EXPECT_EQ(first.confirmation(), "File saved as " + first.path);
    EXPECT_EQ(FileHex(first.path), kFileHeaderHex + kRebuiltSecond);

    auto second = SaveServiceBook(*entry, EditedValues(), ServiceBookSaveKind::AllEntries,
                                  std::nullopt, At(7, 4, 5, 9));
    ASSERT_TRUE(second.saved());
    EXPECT_EQ(second.path, folder.file("Orrelin_Export_07040509_2.ipd"));
    EXPECT_EQ(FileHex(first.path), kFileHeaderHex + kRebuiltSecond) << "the first file stays";
    EXPECT_EQ(folder.entries(), 2u) << "no temporary file is left behind";

    auto chosen = SaveServiceBook(*entry, EditedValues(), ServiceBookSaveKind::EntryOnly,
                                  folder.file("out.ipd"), At(8, 0, 0, 0));
    ASSERT_TRUE(chosen.saved());
    EXPECT_EQ(chosen.path, folder.file("out.ipd"));
    EXPECT_EQ(FileHex(chosen.path), kFileHeaderHex + kRebuiltSecond);
}

TEST(ServiceBookSave, RefusedValuesWriteNothing) {
    TempFolder folder;
    Backup backup = MakeBackup(folder.file("a.ipd"));
    auto entry = ServiceBookEntry::Of(backup.tree, backup.second);
    ASSERT_TRUE(entry);
    for (auto kind : {ServiceBookSaveKind::EntryOnly, ServiceBookSaveKind::AllEntries}) {
        ServiceBookFields blank = EditedValues();
        blank.values[19].clear();
        auto result = SaveServiceBook(*entry, blank, kind, std::nullopt, At(1, 2, 3, 4));
        ASSERT_TRUE(result.refusal);
        EXPECT_EQ(result.refusal->kind, EditRefusal::Kind::Blank);
        EXPECT_FALSE(result.saved());

        ServiceBookFields badPort = EditedValues();
        badPort.values[9] = "70000";
        badPort.values[10] = "80";
        result = SaveServiceBook(*entry, badPort, kind, std::nullopt, At(1, 2, 3, 4));
        ASSERT_TRUE(result.refusal);
        EXPECT_EQ(result.refusal->field, 9u);
    }
    EXPECT_EQ(folder.entries(), 0u);
}

TEST(ServiceBookSave, AFailedWriteIsReportedNotConfirmed) {
    TempFolder folder;
    Backup backup = MakeBackup(folder.file("missing/a.ipd"));
    auto entry = ServiceBookEntry::Of(backup.tree, backup.second);
    ASSERT_TRUE(entry);
    auto result = SaveServiceBook(*entry, EditedValues(), ServiceBookSaveKind::EntryOnly,
                                  std::nullopt, At(1, 2, 3, 4));
    EXPECT_FALSE(result.refusal);
    EXPECT_TRUE(result.writeError);
    EXPECT_FALSE(result.saved());
    EXPECT_EQ(folder.entries(), 0u);
}

}  // namespace
}  // namespace orrelin
