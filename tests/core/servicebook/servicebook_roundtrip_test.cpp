#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "ipd/ipd_builder.h"
#include "servicebook/servicebook_save.h"

namespace orrelin {
namespace {

namespace fs = std::filesystem;

class TempFolder {
  public:
    TempFolder() {
        std::string pattern = (fs::temp_directory_path() / "orrelin-sbrt-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempFolder() { fs::remove_all(path_); }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

void WriteBytes(const std::string& path, const ByteVector& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// The values of every entry of the file's first "Service Book" database, in tree order.
std::vector<ServiceBookFields> DecodeAll(const std::string& path) {
    auto tree = BackupTree::Open(path);
    EXPECT_TRUE(tree) << tree.error();
    std::vector<ServiceBookFields> out;
    if (!tree || tree->childCount(BackupTree::kRoot) == 0) return out;
    const NodeId database = tree->databaseNode(0);
    EXPECT_EQ(tree->text(database), "Service Book");
    for (std::size_t row = 0; row < tree->childCount(database); ++row) {
        out.push_back(DecodeServiceBook(tree->image(), *tree->span(tree->child(database, row))));
    }
    return out;
}

ServiceBookEntry EntryOf(const std::string& path, std::size_t row) {
    auto tree = BackupTree::Open(path);
    const NodeId database = tree->databaseNode(tree->childCount(BackupTree::kRoot) - 1);
    return *ServiceBookEntry::Of(*tree, tree->child(database, row));
}

// Edit, save, reopen, decode: the values typed come back, also where they need more than
// one byte.
TEST(ServiceBookRoundTrip, DecodingTheSavedEntryShowsTheEditedValues) {
    TempFolder folder;
    IpdBuilder builder;
    builder.database("Memos");
    const std::uint16_t book = builder.database("Service Book");
    builder.record(book,
                   FieldList()
                       .add(1, {1, 0, 0, 0})
                       .text(3, "Old", true)
                       .text(7, "u")
                       .text(8, "c")
                       .add(0x18, {9})
                       .bytes(),
                   5, 0x01020304);
    builder.record(book, FieldList().text(3, "Other", true).text(7, "U9").text(8, "C9").bytes());
    WriteBytes(folder.file("a.ipd"), builder.build());
    ServiceBookEntry entry = EntryOf(folder.file("a.ipd"), 0);

    const std::vector<std::array<std::string, 22>> edits = {
        {"10",        "3",
         "HRT",       "pp.example.net",
         "1.2.3.4.5", "192",
         "168",       "1",
         "1",         "8080",
         "80",        "http://home",
         "ds",        "dsuid",
         "gw:8799",   "web name",
         "web desc",  "Name",
         "UID",       "CID",
         "-1",        "Description\r\nline two"},
        {"70000", "300", "", "", "0.0.0.0.0", "0", "0",     "0", "0", "0",   "65535",
         "",      "",    "", "", "",          "",  "N\xE9", "U", "C", "300", ""},
        {"-2",
         "-5",
         "n",
         "a",
         "255.254.253.252.251",
         "255",
         "255",
         "255",
         "255",
         "1",
         "2",
         std::string(254, 'h'),
         "",
         "",
         "",
         "",
         "",
         "x",
         "y",
         "z",
         "255",
         ""},
        {"", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "x", "y", "z", "", ""},
    };
    for (const auto& edit : edits) {
        ServiceBookFields values{edit};
        for (auto kind : {ServiceBookSaveKind::EntryOnly, ServiceBookSaveKind::AllEntries}) {
            auto result = SaveServiceBook(entry, values, kind, folder.file("out.ipd"), {});
            ASSERT_TRUE(result.saved());
            auto decoded = DecodeAll(result.path);
            ASSERT_EQ(decoded.size(), kind == ServiceBookSaveKind::EntryOnly ? 1u : 2u);
            EXPECT_EQ(decoded[0].values, values.values);
            if (decoded.size() == 2) {
                EXPECT_EQ(decoded[1][17], "Other");
            }
        }
    }
}

// A real entry (a WPTCP transport): decoding, rebuilding with the decoded values and decoding
// again gives the same values.
TEST(ServiceBookRoundTrip, ARealEntryRebuildsToTheSameValues) {
    const std::string path = std::string(ORRELIN_CORPUS_DIR) + "/servicebook-wptcp.ipd";
    if (!fs::exists(path)) GTEST_SKIP() << "no real backups at " << ORRELIN_CORPUS_DIR;
    TempFolder folder;
    auto original = DecodeAll(path);
    ASSERT_EQ(original.size(), 1u);
    EXPECT_EQ(original[0][17], "WAP2 Transport 01");
    ServiceBookEntry entry = EntryOf(path, 0);
    for (auto kind : {ServiceBookSaveKind::EntryOnly, ServiceBookSaveKind::AllEntries}) {
        auto result = SaveServiceBook(entry, original[0], kind, folder.file("out.ipd"), {});
        ASSERT_TRUE(result.saved());
        auto again = DecodeAll(result.path);
        ASSERT_EQ(again.size(), 1u);
        EXPECT_EQ(again[0].values, original[0].values);
    }
}

}  // namespace
}  // namespace orrelin
