// The generator: the bundled sample must be exactly what it writes, and its large backups must
// load whole.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ipd/ipd_image.h"
#include "ipd/loader.h"

namespace orrelin {
namespace {

namespace fs = std::filesystem;

std::vector<char> ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs ipdgen with the arguments and returns its exit code.
int RunIpdgen(const std::string& arguments) {
    std::string command = std::string("\"") + ORRELIN_IPDGEN + "\" " + arguments + " 2>/dev/null";
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class IpdgenTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::path(::testing::TempDir()) /
               ("ipdgen-" +
                std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string file(const std::string& name) const { return (dir_ / name).string(); }

    fs::path dir_;
};

TEST_F(IpdgenTest, SampleIsTheBundledFile) {
    ASSERT_EQ(RunIpdgen("sample \"" + file("sample.ipd") + "\""), 0);
    const auto bundled = ReadAll(fs::path(ORRELIN_SOURCE_DIR) / "samples" / "sample.ipd");
    ASSERT_FALSE(bundled.empty()) << "samples/sample.ipd is missing";
    EXPECT_TRUE(ReadAll(file("sample.ipd")) == bundled)
        << "samples/sample.ipd differs from what ipdgen writes: regenerate it with "
           "`ipdgen sample samples/sample.ipd` and commit it together with the generator";
}

constexpr std::size_t kLargeDatabases = static_cast<std::size_t>(KnownDb::PhoneCallLogs) + 1;

TEST_F(IpdgenTest, LargeBackupLoadsWholeAndRepeatsForTheSameSeed) {
    ASSERT_EQ(RunIpdgen("large \"" + file("a.ipd") + "\" --records 12000 --seed 5"), 0);
    ASSERT_EQ(RunIpdgen("large \"" + file("b.ipd") + "\" --records 12000 --seed 5"), 0);
    ASSERT_EQ(RunIpdgen("large \"" + file("c.ipd") + "\" --records 12000 --seed 6"), 0);
    const auto a = ReadAll(file("a.ipd"));
    EXPECT_TRUE(a == ReadAll(file("b.ipd")));
    EXPECT_FALSE(a == ReadAll(file("c.ipd")));
    // About 150 bytes a record.
    EXPECT_GT(a.size(), 12000u * 120);
    EXPECT_LT(a.size(), 12000u * 180);

    auto image = IpdImage::Read(file("a.ipd"));
    ASSERT_TRUE(image);
    RecordIndex index = BuildDatabaseNodes(*image, file("a.ipd"));
    ASSERT_TRUE(index.complete()) << index.stop->reason << " at " << index.stop->offset;
    // Every database up to the call log; the mail and browser ones are `ipdgen mail`'s.
    EXPECT_EQ(index.databases.size(), kLargeDatabases);
    for (std::size_t i = 0; i < kLargeDatabases; ++i) {
        EXPECT_GT(index.count(kKnownDatabases[i].db), 0u) << kKnownDatabases[i].name;
    }
    // Records of "Browser Options", which the program does not read, make up the rest.
    EXPECT_LT(index.records.size(), 12000u);
    EXPECT_GT(index.records.size(), 11500u);
}

TEST_F(IpdgenTest, ZeroRecordsGiveHeaderAndNamesOnly) {
    ASSERT_EQ(RunIpdgen("large \"" + file("empty.ipd") + "\" --records 0"), 0);
    auto image = IpdImage::Read(file("empty.ipd"));
    ASSERT_TRUE(image);
    RecordIndex index = BuildDatabaseNodes(*image, "empty.ipd");
    EXPECT_TRUE(index.complete());
    EXPECT_EQ(index.databases.size(), kLargeDatabases);
    EXPECT_TRUE(index.records.empty());
}

TEST_F(IpdgenTest, BadArgumentsAreRefused) {
    EXPECT_EQ(RunIpdgen(""), 2);
    EXPECT_EQ(RunIpdgen("sample"), 2);
    EXPECT_EQ(RunIpdgen("large \"" + file("x.ipd") + "\""), 2);
    EXPECT_EQ(RunIpdgen("large \"" + file("x.ipd") + "\" --records ten"), 2);
    EXPECT_EQ(RunIpdgen("large \"" + file("x.ipd") + "\" --records 5 --colour red"), 2);
    EXPECT_EQ(RunIpdgen("shuffle \"" + file("x.ipd") + "\""), 2);
    EXPECT_FALSE(fs::exists(file("x.ipd")));
    EXPECT_EQ(RunIpdgen("sample \"" + file("no-such-folder/x.ipd") + "\""), 1);
}

}  // namespace
}  // namespace orrelin
