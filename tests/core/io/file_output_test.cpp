#include "io/file_output.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace orrelin {
namespace {

namespace fs = std::filesystem;

class AtomicFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("orrelin-atomic-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    std::size_t entries() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
    }
    static std::string Read(const std::string& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    fs::path dir_;
};

// Buffered text and gathered pieces come out in the order they were given, even across many
// batches of the system's gather limit.
TEST_F(AtomicFileTest, BufferedAndGatheredPiecesKeepTheirOrder) {
    AtomicFile file(path("out.bin"));
    ASSERT_FALSE(file.open());
    std::string expected;
    std::vector<std::string> pieces;
    for (int i = 0; i < 5000; ++i)
        pieces.push_back(std::to_string(i) + ",");
    std::vector<iovec> gather;
    for (auto& piece : pieces)
        gather.push_back(iovec{piece.data(), piece.size()});

    ASSERT_TRUE(file.write(std::string_view("head|")));
    expected += "head|";
    ASSERT_TRUE(file.write(std::span<const iovec>(gather)));
    for (const auto& piece : pieces)
        expected += piece;
    ASSERT_TRUE(file.write(std::string_view("|tail")));
    expected += "|tail";

    EXPECT_FALSE(fs::exists(path("out.bin")));  // nothing under the name before the commit
    ASSERT_FALSE(file.commit());
    EXPECT_EQ(Read(path("out.bin")), expected);
    EXPECT_EQ(entries(), 1u);  // no temporary file left beside it
}

TEST_F(AtomicFileTest, AnUncommittedFileLeavesNothingAndKeepsTheOldOne) {
    {
        std::ofstream(path("kept.bin")) << "old";
        AtomicFile file(path("kept.bin"));
        ASSERT_FALSE(file.open());
        ASSERT_TRUE(file.write(std::string_view("new bytes")));
    }
    EXPECT_EQ(Read(path("kept.bin")), "old");
    EXPECT_EQ(entries(), 1u);
}

TEST_F(AtomicFileTest, AFolderThatCannotBeWrittenIsReportedAtOpen) {
    AtomicFile file(path("missing/out.bin"));
    auto error = file.open();
    ASSERT_TRUE(error);
    EXPECT_EQ(*error, "No such file or directory");
    EXPECT_FALSE(file.write(std::string_view("x")));
}

}  // namespace
}  // namespace orrelin
