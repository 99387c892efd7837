#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "archive/backup_file.h"
#include "archive/bbb_builder.h"
#include "archive/manifest.h"
#include "browser/open_backup.h"
#include "decoders/contact_decoder.h"
#include "ipd/ipd_builder.h"
#include "ipd/loader.h"
#include "kinds/labels.h"

namespace orrelin {
namespace {

// Two memos, a task and an unread database, their records grouped by database: the archive
// of its databases opens as exactly these bytes.
ByteVector Grouped() {
    IpdBuilder b;
    auto memos = b.database("Memos");
    auto tasks = b.database("Tasks");
    auto other = b.database("Folders");
    b.record(memos, FieldList().text(1, "First").bytes(), 1, 11);
    b.record(memos, FieldList().text(1, "Second").bytes(), 2, 12);
    b.record(tasks, FieldList().text(2, "Do it").bytes(), 3, 13);
    b.record(other, FieldList().text(1, "x").bytes(), 4, 14);
    return b.build();
}

ByteVector Zip(const std::vector<ArchiveEntry>& entries, bool deflate = true) {
    auto zip = WriteZip(entries, deflate);
    EXPECT_TRUE(zip) << zip.error();
    return zip ? *zip : ByteVector{};
}

ByteVector Bytes(std::string_view text) {
    return ByteVector(text.begin(), text.end());
}

ByteVector Desktop(const ByteVector& ipd) {
    return Zip(DesktopSoftwareEntries(SplitByDatabase(ipd)));
}

Result<OpenedImage> Open(const ByteVector& file, std::uint64_t limit = MemoryLimit()) {
    return OpenBackupImage(IpdImage(file), limit);
}

ByteVector FileOf(const OpenedImage& opened) {
    const auto bytes = opened.image.fileBytes();
    return ByteVector(bytes.begin(), bytes.end());
}

ByteVector Scrambled(std::size_t n) {
    ByteVector bytes(n);
    for (std::size_t i = 0; i < n; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 37 + 5);
    return bytes;
}

ByteVector EncryptedIpd() {
    ByteVector bytes = Grouped();
    bytes[kIpdHeaderText.size()] = 0x20;
    return bytes;
}

TEST(BackupFile, ArchivesOpenAsTheBackupTheirDatabasesMake) {
    const ByteVector ipd = Grouped();
    const ByteVector whole = Bytes("<BlackBerry_Backup/>");
    const struct {
        const char* name;
        ByteVector file;
    } cases[] = {
        {"an IPD file as it is", ipd},
        {"desktop layout, deflated", Desktop(ipd)},
        {"desktop layout, stored", Zip(DesktopSoftwareEntries(SplitByDatabase(ipd)), false)},
        {"desktop layout without a manifest", Zip([&] {
             auto entries = DesktopSoftwareEntries(SplitByDatabase(ipd));
             entries.erase(entries.begin());
             return entries;
         }())},
        {"mac layout", Zip({{"BlackBerry_Backup.xml", whole}, {"Databases/Databases.ipd", ipd}})},
    };
    for (const auto& c : cases) {
        auto opened = Open(c.file);
        ASSERT_TRUE(opened) << c.name << ": " << opened.error();
        EXPECT_EQ(FileOf(*opened), ipd) << c.name;
        EXPECT_TRUE(opened->warnings.empty()) << c.name;
    }
}

TEST(BackupFile, WhatCannotBeOpenedSaysWhy) {
    const ByteVector ipd = Grouped();
    auto databases = DesktopSoftwareEntries(SplitByDatabase(ipd));
    auto allScrambled = databases;
    for (std::size_t i = 1; i < allScrambled.size(); ++i)
        allScrambled[i].bytes = Scrambled(allScrambled[i].bytes.size());
    auto bb10 = databases;
    bb10[0].bytes = Bytes(ManifestXml({}, "QnxOSDevice"));
    auto badManifest = databases;
    badManifest[0].bytes = Bytes("<BlackBerry_Backup><Databases></BlackBerry_Backup>");
    auto entities = databases;
    entities[0].bytes =
        Bytes("<!DOCTYPE a [<!ENTITY x \"xxxxxxxx\"><!ENTITY y \"&x;&x;&x;&x;\">]><a>&y;</a>");
    const ByteVector archive = Desktop(ipd);
    const struct {
        const char* name;
        ByteVector file;
        std::string reason;
    } cases[] = {
        {"an empty file", {}, std::string(kNotABackup)},
        {"text", Bytes("hello, world\n"), std::string(kNotABackup)},
        {"a header cut inside the signature", Bytes("Inter@ctive Pager"), std::string(kNotABackup)},
        {"an encrypted IPD file", EncryptedIpd(), std::string(kEncryptedBackup)},
        {"an archive of something else", Zip({{"notes.txt", Bytes("hi")}}),
         std::string(kNotABackup)},
        {"every database entry encrypted", Zip(allScrambled), std::string(kEncryptedBackup)},
        {"mac layout, encrypted", Zip({{"Databases/Databases.ipd", EncryptedIpd()}}),
         std::string(kEncryptedBackup)},
        {"a BlackBerry 10 manifest", Zip(bb10), std::string(kBlackBerry10Backup)},
        {"an archive cut short", ByteVector(archive.begin(), archive.begin() + 200),
         "the archive is damaged: "},
        {"a manifest that is not well-formed", Zip(badManifest),
         "the archive is damaged: Manifest.xml: line 1: mismatched tag"},
        {"a manifest defining entities", Zip(entities),
         "the archive is damaged: Manifest.xml: it defines entities"},
    };
    for (const auto& c : cases) {
        auto opened = Open(c.file);
        ASSERT_FALSE(opened) << c.name;
        EXPECT_EQ(opened.error().substr(0, c.reason.size()), c.reason)
            << c.name << ": " << opened.error();
    }
}

// Offsets of the size fields of a ZIP's first entry: its local header and its central one.
constexpr std::size_t kLocalSizeAt = 22;

void SetDeclaredSize(ByteVector& zip, std::uint32_t size) {
    auto put = [&](std::size_t at) {
        for (int i = 0; i < 4; ++i)
            zip[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(size >> (8 * i));
    };
    put(kLocalSizeAt);
    const std::uint8_t central[] = {'P', 'K', 1, 2};
    auto it = std::search(zip.begin(), zip.end(), std::begin(central), std::end(central));
    ASSERT_NE(it, zip.end());
    put(static_cast<std::size_t>(it - zip.begin()) + 24);
}

TEST(BackupFile, InflatingStopsAtTheLimitAndTheDeclaredSize) {
    const ByteVector ipd = Grouped();
    // A large, very compressible database: a few hundred bytes in the archive.
    IpdBuilder big;
    auto memos = big.database("Memos");
    for (int i = 0; i < 2000; ++i)
        big.record(memos, FieldList().text(1, std::string(500, 'a')).bytes());
    const ByteVector bomb = Zip({{"Databases/1.dat", big.build()}});
    ByteVector understated = bomb;
    SetDeclaredSize(understated, 1000);
    ByteVector corrupt = Desktop(ipd);
    const std::string_view first = "Databases/1.dat";
    auto name = std::search(corrupt.begin(), corrupt.end(), first.begin(), first.end());
    ASSERT_NE(name, corrupt.end());
    name[static_cast<std::ptrdiff_t>(first.size()) + 3] ^= 0x55;  // inside its deflated bytes
    auto unlisted = DesktopSoftwareEntries(SplitByDatabase(ipd));
    unlisted.erase(unlisted.begin());
    std::uint64_t largest = 0;
    for (const auto& entry : unlisted)
        largest = std::max<std::uint64_t>(largest, entry.bytes.size());

    const struct {
        const char* name;
        ByteVector file;
        std::uint64_t limit;
        std::string reason;
    } cases[] = {
        {"an entry declaring more than the limit", bomb, 100000,
         "Databases/1.dat is too large to open: it unpacks to "},
        {"entries that together pass the limit", Zip(unlisted), largest + 1,
         "the archive's databases are too large to open: they unpack to "},
        {"an entry holding more than it declares", understated, MemoryLimit(),
         "the archive is damaged: "},
        {"a corrupted entry", corrupt, MemoryLimit(), "the archive is damaged: "},
        {"a ZIP bomb declaring 6 GB",
         ZipOfDeflatedZeros("Databases/101.dat", 6442451001, 6442451001), MemoryLimit(),
         "the archive is damaged: Databases/101.dat: it unpacks to 6442451001 bytes, more than the "
         "4294967296 a backup can hold"},
        {"an entry unpacking to 1000 times its size",
         ZipOfDeflatedZeros("Databases/Databases.ipd", 200 << 20, 200 << 20), MemoryLimit(),
         "the archive is damaged: Databases/Databases.ipd: it unpacks to 209715200 bytes from "},
        {"the same, its packed bytes padded to pass for a backup's",
         ZipOfDeflatedZeros("Databases/Databases.ipd", 200 << 20, 200 << 20, 3 << 20),
         MemoryLimit(),
         "the archive is damaged: Databases/Databases.ipd: it unpacks to more than 100 times the "},
    };
    for (const auto& c : cases) {
        auto opened = Open(c.file, c.limit);
        ASSERT_FALSE(opened) << c.name;
        EXPECT_EQ(opened.error().substr(0, c.reason.size()), c.reason)
            << c.name << ": " << opened.error();
    }
}

// A progress callback that says no stops an archive's unpacking and a file's walk alike.
TEST(OpenBackup, AProgressThatSaysNoCancels) {
    IpdBuilder b;
    auto memos = b.database("Memos");
    for (int i = 0; i < 5000; ++i)
        b.record(memos, FieldList().text(1, "Memo").bytes());
    const ByteVector ipd = b.build();
    const ByteVector files[] = {ipd, Desktop(ipd)};
    for (const ByteVector& file : files) {
        OpenOptions options;
        options.progress = [](std::uint64_t, std::uint64_t) { return false; };
        auto opened = OpenBackupBytes(IpdImage(file), "a.bbb", options);
        ASSERT_FALSE(opened);
        EXPECT_EQ(opened.error(), "a.bbb: " + std::string(kOpenCancelled));
    }
}

TEST(BackupFile, ArchiveWarningsNameWhatWasLeftOut) {
    const ByteVector ipd = Grouped();
    auto entries = DesktopSoftwareEntries(SplitByDatabase(ipd));
    // Databases/1.dat holds the memos, 2 the task, 3 the unread database.
    auto partly = entries;
    partly[1].bytes = Scrambled(partly[1].bytes.size());
    auto miscounted = entries;
    miscounted[0].bytes = Bytes(
        ManifestXml({{"1", "Memos", 5}, {"2", "Tasks", 1}, {"3", "Folders", 1}, {"9", "Gone", 4}}));
    auto skipped = entries;
    // A record of database index 0xFFFF in the middle of the memos: tools leave it out.
    IpdBuilder memos;
    memos.database("Memos");
    memos.record(0, FieldList().text(1, "First").bytes(), 1, 11);
    memos.record(0xFFFF, FieldList().text(1, "??").bytes());
    memos.record(0, FieldList().text(1, "Second").bytes(), 2, 12);
    skipped[1].bytes = memos.build();

    const struct {
        const char* name;
        std::vector<ArchiveEntry> entries;
        std::size_t records;
        std::vector<std::string> warnings;
    } cases[] = {
        {"one database encrypted",
         partly,
         2,
         {"Databases/1.dat (\"Memos\") is encrypted: its records are left out"}},
        {"manifest counts that differ",
         miscounted,
         4,
         {"Manifest.xml counts 4 records in \"Gone\" but the archive holds no Databases/9.dat",
          "Manifest.xml counts 5 records in \"Memos\" but Databases/1.dat holds 2"}},
        {"records of index 0xFFFF", skipped, 4, {}},
    };
    for (const auto& c : cases) {
        auto opened = Open(Zip(c.entries));
        ASSERT_TRUE(opened) << c.name << ": " << opened.error();
        EXPECT_EQ(opened->warnings, c.warnings) << c.name;
        std::size_t records = 0;
        for (const auto& database : SplitByDatabase(opened->image.fileBytes()))
            records += database.records;
        EXPECT_EQ(records, c.records) << c.name;
    }
}

TEST(BackupFile, EqualNamesInTwoEntriesShareOneDatabase) {
    IpdBuilder first;
    first.database("Memos");
    first.record(0, FieldList().text(1, "A").bytes());
    IpdBuilder second;
    second.database("Memos");
    second.record(0, FieldList().text(1, "B").bytes());
    auto opened =
        Open(Zip({{"Databases/1.dat", first.build()}, {"Databases/2.dat", second.build()}}));
    ASSERT_TRUE(opened) << opened.error();
    const RecordIndex index = BuildDatabaseNodes(opened->image, "a.bbb");
    ASSERT_EQ(index.databases.size(), 1u);
    EXPECT_EQ(index.databases[0].records.size(), 2u);
    EXPECT_TRUE(index.complete());
}

// Contacts saved by Desktop Software 7 store 16-bit texts as a zero byte and UTF-8: read so in
// a backup from an archive, as UTF-16 in the same bytes as a bare IPD file.
TEST(BackupFile, SixteenBitUtf8TextsAreReadSoFromArchivesOnly) {
    auto zeroThen = [](std::string_view utf8) {
        ByteVector data{0};
        data.insert(data.end(), utf8.begin(), utf8.end());
        return data;
    };
    IpdBuilder b;
    b.database("Address Book");
    b.record(0, FieldList()
                    .add(160, zeroThen("Zo\u00EB"))
                    .add(160, zeroThen("\u0395\u03BB\u03AD\u03BD\u03B7"))
                    .utf16(161, u"ACME")
                    .bytes());
    const ByteVector ipd = b.build();
    DecodeContext unicode;
    unicode.text.unicode = true;
    for (const bool archive : {false, true}) {
        auto opened = Open(archive ? Desktop(ipd) : ipd);
        ASSERT_TRUE(opened) << opened.error();
        EXPECT_EQ(opened->image.fromArchive(), archive);
        const RecordIndex index = BuildDatabaseNodes(opened->image, "a");
        ASSERT_EQ(index.records.size(), 1u);
        const RecordSpan span = index.records[0].span;
        const ContactRecord contact = DecodeContact(opened->image, span, false, unicode);
        EXPECT_EQ(contact.values[ContactRecord::FirstName] == "Zo\u00EB", archive);
        EXPECT_EQ(contact.values[ContactRecord::LastName] == "\u0395\u03BB\u03AD\u03BD\u03B7",
                  archive);
        EXPECT_EQ(contact.values[ContactRecord::Company], "ACME");
        auto body = opened->image.range(span.start, span.end);
        ASSERT_TRUE(body);
        const std::string label = archive ? ArchiveRecordLabel(KnownDb::AddressBook, *body)
                                          : RecordLabel(KnownDb::AddressBook, *body);
        EXPECT_EQ(label == "Zo\xEB ?????", archive);
    }
}

TEST(Manifest, ReadsTheDatabasesAndTheDevice) {
    auto manifest = ParseManifest(ManifestXml(
        {{"125", "Address Book - All", 509}, {"7", "Caf\xC3\xA9 & <Notes>", std::nullopt}}));
    ASSERT_TRUE(manifest) << manifest.error();
    EXPECT_FALSE(manifest->blackBerry10);
    ASSERT_EQ(manifest->databases.size(), 2u);
    EXPECT_EQ(manifest->databases[0].uid, "125");
    EXPECT_EQ(manifest->databases[0].recordCount, std::optional<std::uint64_t>(509));
    EXPECT_EQ(manifest->databases[0].name, "Address Book - All");
    EXPECT_EQ(manifest->databases[1].name, "Caf\xC3\xA9 & <Notes>");
    EXPECT_EQ(manifest->databases[1].recordCount, std::nullopt);
    auto bb10 = ParseManifest(ManifestXml({}, "QnxOSDevice"));
    ASSERT_TRUE(bb10);
    EXPECT_TRUE(bb10->blackBerry10);
}

}  // namespace
}  // namespace orrelin
