#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "ipd/ipd_image.h"

namespace orrelin {
namespace {

namespace fs = std::filesystem;

// What the file undergoes once it is open and before it is read.
std::string g_path;
void (*g_change)(const std::string& path) = nullptr;
void ChangeIt() {
    g_change(g_path);
}

// Bytes that show where each lies, so that a large file read in parts is seen put together
// in order.
std::string Patterned(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i * 7 % 251);
    return bytes;
}

// A backup that another program truncates, extends or rewrites while it is read is refused
// with one message rather than read as a mix of old and new bytes; a small file is read in one
// go, a large one in parts on several threads.
TEST(ReadWhileChangedTest, AFileChangedWhileItIsReadIsRefused) {
    struct Case {
        const char* what;
        void (*change)(const std::string& path);
    } cases[] = {
        {"truncated", [](const std::string& p) { ASSERT_EQ(::truncate(p.c_str(), 100), 0); }},
        {"extended", [](const std::string& p) { std::ofstream(p, std::ios::app) << "more"; }},
        {"rewritten in place",
         [](const std::string& p) {
             const int fd = ::open(p.c_str(), O_WRONLY);
             ASSERT_GE(fd, 0);
             ASSERT_EQ(::pwrite(fd, "Z", 1, 10), 1);
             ::close(fd);
         }},
    };
    g_path = (fs::path(::testing::TempDir()) /
              ("orrelin-changed-" + std::to_string(::getpid()) + ".ipd"))
                 .string();
    for (const std::size_t size : {std::size_t{4096}, (std::size_t{17} << 20) + 3}) {
        SCOPED_TRACE(size);
        const std::string bytes = Patterned(size);
        for (const Case& c : cases) {
            SCOPED_TRACE(c.what);
            std::ofstream(g_path, std::ios::binary) << bytes;
            // An old time, so that a rewrite within the file system's clock tick still shows.
            const timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
            ASSERT_EQ(::utimensat(AT_FDCWD, g_path.c_str(), old, 0), 0);
            g_change = c.change;

            auto image = IpdImage::Read(g_path, ChangeIt);
            ASSERT_FALSE(image);
            EXPECT_EQ(image.error(), g_path + " changed while it was being read");
        }
        // Left alone, the same file reads whole.
        std::ofstream(g_path, std::ios::binary) << bytes;
        auto image = IpdImage::Read(g_path, nullptr);
        ASSERT_TRUE(image);
        const Bytes read = image->fileBytes();
        EXPECT_EQ(std::string_view(reinterpret_cast<const char*>(read.data()), read.size()), bytes);
    }
    EXPECT_EQ(IpdImage::Read(g_path + ".missing").error(),
              "cannot read " + g_path + ".missing: No such file or directory");
    fs::remove(g_path);
}

}  // namespace
}  // namespace orrelin
