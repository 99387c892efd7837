// orrelin-cli servicebook: the same bytes and refusals as the editor's saves.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "ipd/ipd_builder.h"
#include "servicebook/servicebook_save.h"

namespace orrelin {
namespace {

namespace fs = std::filesystem;

struct Outcome {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class ServiceBookCli : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::path(::testing::TempDir()) /
               ("sbcli-" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        IpdBuilder builder;
        builder.database("Memos");
        const std::uint16_t book = builder.database("Service Book");
        builder.record(book, FieldList()
                                 .add(1, {7})
                                 .text(3, "First", true)
                                 .text(7, "U1")
                                 .text(8, "C1")
                                 .add(0x16, {0x01, 0x00, 0x0A, 0x03})
                                 .bytes());
        builder.record(0, FieldList().text(1, "memo", true).bytes());
        builder.record(
            book, FieldList().text(3, "Second", true).text(7, "U2").text(8, "C2").bytes(), 2, 0x22);
        const ByteVector bytes = builder.build();
        std::ofstream(file("a.ipd"), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string file(const std::string& name) const { return (dir_ / name).string(); }

    Outcome Run(const std::string& arguments) const {
        const std::string command = std::string("\"") + ORRELIN_CLI + "\" servicebook " +
                                    arguments + " >\"" + file("out.txt") + "\" 2>\"" +
                                    file("err.txt") + "\"";
        int status = std::system(command.c_str());
        Outcome outcome{WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadText(file("out.txt")),
                        ReadText(file("err.txt"))};
        fs::remove(file("out.txt"));
        fs::remove(file("err.txt"));
        return outcome;
    }

    // The backup's files other than itself.
    std::size_t written() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir_), {})) - 1;
    }

    fs::path dir_;
};

// The values of every entry in the saved file.
std::vector<ServiceBookFields> Decoded(const std::string& path) {
    auto tree = BackupTree::Open(path);
    std::vector<ServiceBookFields> out;
    if (!tree || tree->childCount(BackupTree::kRoot) != 1) return out;
    const NodeId database = tree->databaseNode(0);
    for (std::size_t row = 0; row < tree->childCount(database); ++row) {
        out.push_back(DecodeServiceBook(tree->image(), *tree->span(tree->child(database, row))));
    }
    return out;
}

TEST_F(ServiceBookCli, EntryOnlySavesTheEditedEntryUnderANewNameNextToTheBackup) {
    Outcome outcome = Run("\"" + file("a.ipd") +
                          "\" --record 2 --set 17=Renamed --set \"20=300\" "
                          "--set 2=\xD8\xA8 --entry-only");
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    const std::string prefix = "File saved as " + file("Orrelin_Export_");
    ASSERT_EQ(outcome.out.rfind(prefix, 0), 0u) << outcome.out;
    const std::string path = outcome.out.substr(14, outcome.out.size() - 15);
    EXPECT_EQ(path.size(), file("Orrelin_Export_07040509.ipd").size());
    EXPECT_EQ(outcome.out.back(), '\n');

    auto entries = Decoded(path);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0][17], "Renamed");
    EXPECT_EQ(entries[0][18], "U2") << "values not given stay as decoded";
    EXPECT_EQ(entries[0][20], "300");
    EXPECT_EQ(entries[0][2], "\xC8") << "U+0628 is byte C8 of the Arabic code page";
}

TEST_F(ServiceBookCli, AllWritesEveryEntryToTheChosenPath) {
    Outcome outcome = Run("\"" + file("a.ipd") + "\" --record 1 --set 1=300 --all --output \"" +
                          file("all.ipd") + "\"");
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_EQ(outcome.out, "File saved as " + file("all.ipd") + "\n");
    auto entries = Decoded(file("all.ipd"));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0][17], "First");
    EXPECT_EQ(entries[0][1], "300");
    EXPECT_EQ(entries[1][17], "Second");
}

TEST_F(ServiceBookCli, RefusesWhatTheWindowRefusesAndWritesNothing) {
    const std::string backup = "\"" + file("a.ipd") + "\" --record 1 ";
    struct Case {
        std::string arguments;
        std::string message;
    };
    const Case cases[] = {
        {"--set 17= --entry-only", "Service-book name, UID, CID, UserID cannot be blank"},
        {"--set 20=abc --all",
         "\"User ID\" must be a whole number from -2147483648 to 2147483647."},
        {"--set 9=70000 --set 10=80 --entry-only",
         "\"Ports\" must be a whole number from 0 to 65535."},
        {"--set 4=1.2.3 --entry-only",
         "\"QoS\" must be five whole numbers from 0 to 255 joined by \".\"."},
        {"--set 13=" + std::string(255, 'x') + " --entry-only",
         "\"Data Source UID\" cannot be longer than 254 characters."},
        {"--set 21=\xC3\xB1 --entry-only",
         "\"Description\" holds a character that a service book cannot store."},
        // An overlong form of "A" is no UTF-8 at all.
        {"--set 17=\xC1\x81 --entry-only",
         "\"Name\" holds a character that a service book cannot store."},
    };
    for (const Case& c : cases) {
        Outcome outcome = Run(backup + c.arguments);
        EXPECT_EQ(outcome.exitCode, 2) << c.arguments;
        EXPECT_EQ(outcome.err, "orrelin-cli: " + c.message + "\n") << c.arguments;
        EXPECT_EQ(outcome.out, "");
    }
    EXPECT_EQ(written(), 0u);
}

TEST_F(ServiceBookCli, RefusesARequestItCannotCarryOut) {
    const std::string backup = "\"" + file("a.ipd") + "\" ";
    const std::string original = ReadText(file("a.ipd"));
    for (const std::string& arguments :
         {backup + "--record 3 --entry-only", backup + "--record 0 --all", backup + "--record 1",
          backup + "--record 1 --all --entry-only", backup + "--record 1 --set 22=x --all",
          backup + "--record 1 --set x --all", "\"" + file("missing.ipd") + "\" --record 1 --all",
          backup + "--record 1 --all --output \"" + file("a.ipd") + "\""}) {
        Outcome outcome = Run(arguments);
        EXPECT_EQ(outcome.exitCode, 2) << arguments;
        EXPECT_FALSE(outcome.err.empty()) << arguments;
    }
    EXPECT_EQ(written(), 0u);
    EXPECT_EQ(ReadText(file("a.ipd")), original) << "the backup itself is never changed";
}

TEST_F(ServiceBookCli, ARealEntrySavedUnchangedDecodesTheSame) {
    const std::string real = std::string(ORRELIN_CORPUS_DIR) + "/servicebook-wptcp.ipd";
    if (!fs::exists(real)) GTEST_SKIP() << "no real backups at " << ORRELIN_CORPUS_DIR;
    Outcome outcome =
        Run("\"" + real + "\" --record 1 --entry-only --output \"" + file("real.ipd") + "\"");
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err;
    auto saved = Decoded(file("real.ipd"));
    auto original = Decoded(real);
    ASSERT_EQ(saved.size(), 1u);
    ASSERT_EQ(original.size(), 1u);
    EXPECT_EQ(saved[0].values, original[0].values);
}

}  // namespace
}  // namespace orrelin
