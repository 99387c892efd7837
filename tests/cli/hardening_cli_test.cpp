// The command line while other programs change its files: a backup changed while it is read, a
// made output name taken while the export runs. The test stops orrelin-cli at the moment that
// matters (ORRELIN_TEST_STOP), makes the change, and lets it go on.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "cli_run.h"

namespace orrelin::clitest {
namespace {

// Runs `args` with ORRELIN_TEST_STOP=`stop`, calls `change` once the process has stopped, and
// lets it finish.
CliRun RunStopped(const fs::path& dir, const std::string& stop,
                  const std::vector<std::string>& args, const std::function<void()>& change) {
    const std::string out = (dir / "stdout").string();
    const std::string err = (dir / "stderr").string();
    const pid_t child = ::fork();
    if (child == 0) {
        const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(o, 1);
        ::dup2(e, 2);
        ::setenv("ORRELIN_TEST_STOP", stop.c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
        ::setenv("LC_ALL", "C", 1);
        std::vector<char*> argv{const_cast<char*>(ORRELIN_CLI)};
        for (const auto& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        ::execv(ORRELIN_CLI, argv.data());
        ::_exit(127);
    }
    CliRun result;
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, WUNTRACED) != child || !WIFSTOPPED(status)) {
        return result;
    }
    change();
    ::kill(child, SIGCONT);
    while (::waitpid(child, &status, 0) == child && !WIFEXITED(status) && !WIFSIGNALED(status)) {
    }
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.out = ReadText(out);
    result.err = ReadText(err);
    return result;
}

class HardeningCliTest : public CliTest {
  protected:
    std::string largeBackup() const {
        const std::string path = file("large.ipd");
        const std::string command =
            std::string(ORRELIN_IPDGEN) + " large " + ShellQuote(path) + " --records 3000 --seed 1";
        EXPECT_EQ(std::system(command.c_str()), 0);
        return path;
    }
};

// A backup truncated or extended after the job opened it and before it read it: exit 2, the
// one message, and no export file (nor a temporary one) left.
TEST_F(HardeningCliTest, ABackupChangedWhileReadStopsTheJobWithExit2) {
    struct Case {
        const char* what;
        void (*change)(const std::string& path);
    } cases[] = {
        {"truncated", [](const std::string& p) { fs::resize_file(p, fs::file_size(p) / 2); }},
        {"extended", [](const std::string& p) { fs::resize_file(p, fs::file_size(p) + 4096); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string backup = largeBackup();
        fs::create_directories(dir_ / "out");
        CliRun stopped = RunStopped(
            dir_, "read", {"export", backup, "--format", "csv", "--output", file("out/export.csv")},
            [&] { c.change(backup); });
        EXPECT_EQ(stopped.exitCode, 2);
        EXPECT_EQ(stopped.err, "orrelin-cli: " + backup + " changed while it was being read\n");
        EXPECT_EQ(stopped.out, "");
        EXPECT_TRUE(fs::is_empty(dir_ / "out"));
    }
}

// The made name of an export is taken by another file while the export runs: the export takes
// the next name and says so; the other file keeps its bytes.
TEST_F(HardeningCliTest, AMadeNameTakenWhileTheExportRunsMovesOn) {
    fs::create_directories(dir_ / "b");
    const std::string backup = (dir_ / "b" / "large.ipd").string();
    fs::rename(largeBackup(), backup);
    const CliRun expected =
        run({"export", backup, "--format", "csv", "--output", file("expected.csv")});
    ASSERT_EQ(expected.exitCode, 0);

    std::string taken;
    CliRun stopped = RunStopped(dir_, "commit", {"export", backup, "--format", "csv"}, [&] {
        // The finished temporary file shows the name the export is about to take.
        for (const auto& entry : fs::directory_iterator(dir_ / "b")) {
            const std::string name = entry.path().filename().string();
            const auto part = name.find(".part-");
            if (name[0] == '.' && part != std::string::npos) taken = name.substr(1, part - 1);
        }
        std::ofstream(dir_ / "b" / taken) << "earlier";
    });
    ASSERT_FALSE(taken.empty());
    const std::string next = taken.substr(0, taken.size() - 4) + "_2.csv";
    EXPECT_EQ(stopped.exitCode, 0) << stopped.err;
    EXPECT_EQ(stopped.out, "Export to: " + (dir_ / "b" / next).string() + " is complete.\n");
    EXPECT_EQ(ReadText(dir_ / "b" / taken), "earlier");
    EXPECT_EQ(ReadText(dir_ / "b" / next), ReadText(file("expected.csv")));
}

}  // namespace
}  // namespace orrelin::clitest
