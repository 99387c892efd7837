#include "io/platform.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "io/file_output.h"
#include "ipd/ipd_image.h"

// The system calls behind reading and writing, as every system must make them behave: the same
// on POSIX systems and on Windows (where these tests run under the cross build).
namespace orrelin {
namespace {

namespace fs = std::filesystem;

std::string Utf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

fs::path FromUtf8(const std::string& text) {
    return fs::path(std::u8string(text.begin(), text.end()));
}

std::string Read(const std::string& path) {
    std::ifstream in(FromUtf8(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::span<const std::uint8_t> BytesOf(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

class PlatformTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // A folder named in Arabic and Chinese, as backups of the program's users often are.
        dir_ = fs::temp_directory_path() /
               FromUtf8("orrelin-platform-" + std::to_string(platform::RandomBits()) +
                        "-\xd9\x86\xd8\xb3\xd8\xae-\xe5\xa4\x87\xe4\xbb\xbd");
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string path(const std::string& name) const { return Utf8(dir_) + "/" + name; }

    fs::path dir_;
};

TEST_F(PlatformTest, NamesInAnyScriptAreWrittenAndReadBack) {
    const std::string name = path("\xd8\xb1\xd8\xb3\xd8\xa7\xd8\xa6\xd9\x84.ipd");  // Arabic
    ASSERT_TRUE(WriteNewFile(name, BytesOf("backup"), IfTaken::Replace));
    EXPECT_TRUE(fs::exists(FromUtf8(name)));
    const auto image = IpdImage::Read(name);
    ASSERT_TRUE(image) << image.error();
    EXPECT_EQ(std::string(image->fileBytes().begin(), image->fileBytes().end()), "backup");
}

TEST_F(PlatformTest, ReadingFailsWithTheSameReasonEverywhere) {
    const struct {
        std::string path;
        int reason;
    } cases[] = {{path("missing.ipd"), ENOENT}, {Utf8(dir_), EISDIR}};
    for (const auto& c : cases) {
        const auto image = IpdImage::Read(c.path);
        ASSERT_FALSE(image) << c.path;
        EXPECT_EQ(image.error(), "cannot read " + c.path + ": " + std::strerror(c.reason));
    }
}

TEST_F(PlatformTest, ATakenNameIsReplacedOnlyWhereTheContractSaysSo) {
    const struct {
        IfTaken ifTaken;
        std::string firstHolds;
        std::string tookName;
    } cases[] = {{IfTaken::Replace, "second", "out.txt"},
                 {IfTaken::NextName, "first", "out_2.txt"}};
    for (const auto& c : cases) {
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        ASSERT_TRUE(WriteNewFile(path("out.txt"), BytesOf("first"), c.ifTaken));
        const auto second = WriteNewFile(path("out.txt"), BytesOf("second"), c.ifTaken);
        ASSERT_TRUE(second);
        EXPECT_EQ(*second, path(c.tookName));
        EXPECT_EQ(Read(path("out.txt")), c.firstHolds);
        EXPECT_EQ(Read(*second), "second");
    }
}

TEST_F(PlatformTest, NoReplacingCallsRefuseATakenName) {
    ASSERT_TRUE(WriteNewFile(path("a"), BytesOf("a"), IfTaken::Replace));
    ASSERT_TRUE(WriteNewFile(path("b"), BytesOf("b"), IfTaken::Replace));
    EXPECT_EQ(platform::RenameWithoutReplacing(path("a"), path("b")), EEXIST);
    platform::FileHandle file = platform::kNoFile;
    EXPECT_EQ(platform::CreateNew(path("b"), file), EEXIST);
    EXPECT_EQ(Read(path("a")), "a");
    EXPECT_EQ(Read(path("b")), "b");
    EXPECT_TRUE(platform::SameFile(path("a"), path("a")));
    EXPECT_FALSE(platform::SameFile(path("a"), path("b")));
}

TEST_F(PlatformTest, GatheredPiecesArriveWholeAndInOrder) {
    std::string a = "head-", empty, b(3u << 20, 'x'), c = "-tail";
    const std::vector<WritePiece> pieces = {
        {a.data(), a.size()}, {empty.data(), 0}, {b.data(), b.size()}, {c.data(), c.size()}};
    AtomicFile file(path("gathered.bin"));
    ASSERT_TRUE(file.open());
    ASSERT_TRUE(file.write(std::span<const WritePiece>(pieces)));
    ASSERT_TRUE(file.commit());
    EXPECT_EQ(Read(path("gathered.bin")), a + b + c);
}

}  // namespace
}  // namespace orrelin
