#include "io/file_output.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
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
    ASSERT_TRUE(file.open());
    std::string expected;
    std::vector<std::string> pieces;
    for (int i = 0; i < 5000; ++i)
        pieces.push_back(std::to_string(i) + ",");
    std::vector<WritePiece> gather;
    for (auto& piece : pieces)
        gather.push_back(WritePiece{piece.data(), piece.size()});

    ASSERT_TRUE(file.write(std::string_view("head|")));
    expected += "head|";
    ASSERT_TRUE(file.write(std::span<const WritePiece>(gather)));
    for (const auto& piece : pieces)
        expected += piece;
    ASSERT_TRUE(file.write(std::string_view("|tail")));
    expected += "|tail";

    EXPECT_FALSE(fs::exists(path("out.bin")));  // nothing under the name before the commit
    ASSERT_TRUE(file.commit());
    EXPECT_EQ(Read(path("out.bin")), expected);
    EXPECT_EQ(entries(), 1u);  // no temporary file left beside it
}

TEST_F(AtomicFileTest, AnUncommittedFileLeavesNothingAndKeepsTheOldOne) {
    {
        std::ofstream(path("kept.bin")) << "old";
        AtomicFile file(path("kept.bin"));
        ASSERT_TRUE(file.open());
        ASSERT_TRUE(file.write(std::string_view("new bytes")));
    }
    EXPECT_EQ(Read(path("kept.bin")), "old");
    EXPECT_EQ(entries(), 1u);
}

TEST_F(AtomicFileTest, AFolderThatCannotBeWrittenIsReportedAtOpen) {
    AtomicFile file(path("missing/out.bin"));
    const Status opened = file.open();
    ASSERT_FALSE(opened);
    EXPECT_EQ(opened.error(), "No such file or directory");
    EXPECT_FALSE(file.write(std::string_view("x")));
}

std::set<std::string> Names(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.insert(entry.path().filename().string());
    return names;
}

// A link planted where the writer creates or names its file is never written through: a link
// at a name the user gave is replaced, one at a name the program made is passed over, and one
// at the temporary name older versions used (".NAME.part-PID") is left alone.
TEST_F(AtomicFileTest, APlantedLinkIsNeverFollowed) {
    const std::string made = "Orrelin_Export_01020304.txt";
    const std::string oldTemp = ".out.txt.part-" + std::to_string(::getpid());
    struct Case {
        const char* what;
        std::string target;
        std::string linkAt;
        IfTaken ifTaken;
        std::string written;  // where the bytes end up
        bool linkStays;
    } cases[] = {
        {"at a chosen name", "out.txt", "out.txt", IfTaken::Replace, "out.txt", false},
        {"at a made name", made, made, IfTaken::NextName, "Orrelin_Export_01020304_2.txt", true},
        {"at the old temporary name", "out.txt", oldTemp, IfTaken::Replace, "out.txt", true},
        {"at the old temporary name of a made name", "out.txt", oldTemp, IfTaken::NextName,
         "out.txt", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "out");
        std::ofstream(path("victim")) << "secret";
        fs::create_symlink(path("victim"), dir_ / "out" / c.linkAt);

        AtomicFile file(path("out/" + c.target), true, c.ifTaken);
        ASSERT_TRUE(file.open());
        ASSERT_TRUE(file.write(std::string_view("new")));
        ASSERT_TRUE(file.commit());

        EXPECT_EQ(file.path(), path("out/" + c.written));
        EXPECT_EQ(Read(path("victim")), "secret");
        EXPECT_EQ(Read(path("out/" + c.written)), "new");
        EXPECT_FALSE(fs::is_symlink(path("out/" + c.written)));
        EXPECT_EQ(fs::is_symlink(dir_ / "out" / c.linkAt), c.linkStays);
        EXPECT_EQ(Names(dir_ / "out").size(), c.linkStays ? 2u : 1u);
    }
}

// A made name taken by another file after it was chosen moves on to the next free name; the
// other files keep what they hold.
TEST_F(AtomicFileTest, AMadeNameTakenBeforeTheCommitMovesOn) {
    std::tm when{};
    when.tm_mday = 8;
    when.tm_hour = 10;
    when.tm_min = 30;
    when.tm_sec = 5;
    const std::string first = "Orrelin_Export_08103005.csv";
    const std::string second = "Orrelin_Export_08103005_2.csv";
    struct Case {
        std::vector<std::string> takenMeanwhile;
        std::string expected;
    } cases[] = {
        {{}, first},
        {{first}, second},
        {{first, second}, "Orrelin_Export_08103005_3.csv"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        const std::string chosen = GeneratedExportName(dir_.string() + "/", when, ".csv");
        ASSERT_EQ(chosen, path(first));
        AtomicFile file(chosen, false, IfTaken::NextName);
        ASSERT_TRUE(file.open());
        ASSERT_TRUE(file.write(std::string_view("export")));
        for (const auto& name : c.takenMeanwhile)
            std::ofstream(path(name)) << "earlier";

        ASSERT_TRUE(file.commit());
        EXPECT_EQ(file.path(), path(c.expected));
        EXPECT_EQ(Read(path(c.expected)), "export");
        for (const auto& name : c.takenMeanwhile)
            EXPECT_EQ(Read(path(name)), "earlier");
        EXPECT_EQ(entries(), c.takenMeanwhile.size() + 1);
    }
}

TEST(NextExportNameTest, CountsOnFromTheNameGiven) {
    struct Case {
        const char* path;
        const char* next;
    } cases[] = {
        {"/b/Orrelin_Export_08103005.txt", "/b/Orrelin_Export_08103005_2.txt"},
        {"/b/Orrelin_Export_15103005_2.txt", "/b/Orrelin_Export_15103005_3.txt"},
        {"/b/Orrelin_Export_15103005_19.ipd", "/b/Orrelin_Export_15103005_20.ipd"},
        {"Orrelin_Export_31235959.json", "Orrelin_Export_31235959_2.json"},
        {"/b.d/out", "/b.d/out_2"},
        {"/b/out_7.txt", "/b/out_8.txt"},
        {"/b/out_07.txt", "/b/out_07_2.txt"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NextExportName(c.path), c.next) << c.path;
}

// The new file gets the permissions the user's umask leaves of read and write for all.
TEST_F(AtomicFileTest, TheModeIsWhatTheUmaskGives) {
    for (mode_t mask : {mode_t{022}, mode_t{027}, mode_t{077}}) {
        const mode_t before = ::umask(mask);
        auto written = WriteNewFile(path("f" + std::to_string(mask)), {}, IfTaken::Replace);
        ::umask(before);
        ASSERT_TRUE(written);
        struct stat st {};
        ASSERT_EQ(::stat(written->c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask) << std::oct << mask;
    }
}

TEST_F(AtomicFileTest, AFolderWithoutWritePermissionLeavesNothing) {
    fs::create_directories(dir_ / "locked");
    fs::permissions(dir_ / "locked", fs::perms::owner_read | fs::perms::owner_exec);
    if (::access((dir_ / "locked").c_str(), W_OK) == 0) {
        fs::permissions(dir_ / "locked", fs::perms::owner_all);
        GTEST_SKIP() << "the folder stays writable for this user (root)";
    }
    for (IfTaken ifTaken : {IfTaken::Replace, IfTaken::NextName}) {
        auto written = WriteNewFile(path("locked/out.ipd"), {}, ifTaken);
        ASSERT_FALSE(written);
        EXPECT_EQ(written.error(), "Permission denied");
    }
    fs::permissions(dir_ / "locked", fs::perms::owner_all);
    EXPECT_TRUE(Names(dir_ / "locked").empty());
}

// A disk that fills up while the file is written: the write fails and nothing is left. Run in
// a child process, which may limit itself or mount a small file system of its own.
TEST_F(AtomicFileTest, AFullDiskFailsTheWriteAndLeavesNothing) {
    constexpr int kSkip = 77;
    struct Case {
        const char* what;
        int (*limit)(const char* dir);
        const char* error;
    } cases[] = {
        {"a small file system that fills up",
         [](const char* dir) {
             if (::unshare(CLONE_NEWNS) != 0 ||
                 ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
                 ::mount("tmpfs", dir, "tmpfs", 0, "size=64k") != 0) {
                 return kSkip;
             }
             return 0;
         },
         "No space left on device"},
        {"a file size limit",
         [](const char*) {
             ::signal(SIGXFSZ, SIG_IGN);
             const rlimit small{64 * 1024, 64 * 1024};
             return ::setrlimit(RLIMIT_FSIZE, &small) == 0 ? 0 : kSkip;
         },
         "File too large"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::create_directories(dir_ / "disk");
        const std::string dir = (dir_ / "disk").string();
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (int skip = c.limit(dir.c_str())) ::_exit(skip);
            const std::string bytes(3u << 20, 'x');
            AtomicFile file(dir + "/big.ipd");
            if (!file.open()) ::_exit(2);
            file.write(std::string_view(bytes));
            const Status committed = file.commit();
            const bool empty = fs::directory_iterator(dir) == fs::directory_iterator();
            ::_exit(!committed && committed.error() == c.error && empty ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        if (WEXITSTATUS(status) == kSkip) continue;  // not allowed to limit itself here
        EXPECT_EQ(WEXITSTATUS(status), 0);
        EXPECT_TRUE(Names(dir_ / "disk").empty());
    }
}

}  // namespace
}  // namespace orrelin
