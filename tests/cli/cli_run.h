#pragma once

// Runs the real orrelin-cli in a clean environment and collects what it writes.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ipd/ipd_builder.h"

namespace orrelin::clitest {

namespace fs = std::filesystem;

struct CliRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

inline std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void WriteBytes(const fs::path& path, const ByteVector& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

inline std::string ShellQuote(const std::string& s) {
    std::string q = "'";
    for (char c : s) {
        if (c == '\'') {
            q += "'\\''";
        } else {
            q.push_back(c);
        }
    }
    return q + "'";
}

inline std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t from = 0;
    while (from < text.size()) {
        auto nl = text.find('\n', from);
        if (nl == std::string::npos) nl = text.size();
        lines.push_back(text.substr(from, nl - from));
        from = nl + 1;
    }
    return lines;
}

// A temporary folder per test and process (runs of the suite from several checkouts at once
// keep apart), which is also the settings folder of every run (so the
// user's own stored setting never leaks into a test).
class CliTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::path(::testing::TempDir()) /
               ("orrelin-cli-" + std::string(info->test_suite_name()) + "-" + info->name() + "-" +
                std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "config");
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string file(const std::string& name) const { return (dir_ / name).string(); }
    std::string write(const std::string& name, const ByteVector& bytes) const {
        WriteBytes(dir_ / name, bytes);
        return file(name);
    }
    std::string configDir() const { return (dir_ / "config").string(); }

    // Runs orrelin-cli with the arguments; `env` holds extra NAME=VALUE settings (LC_ALL=C
    // unless one is given).
    CliRun run(const std::vector<std::string>& args, std::vector<std::string> env = {}) const {
        bool locale = false;
        for (const auto& e : env)
            locale |= e.rfind("LC_ALL=", 0) == 0;
        if (!locale) env.push_back("LC_ALL=C");
        std::string command =
            "env -u LANG -u LC_TIME -u LC_ALL XDG_CONFIG_HOME=" + ShellQuote(configDir());
        for (const auto& e : env)
            command += " " + ShellQuote(e);
        command += " " + ShellQuote(ORRELIN_CLI);
        for (const auto& a : args)
            command += " " + ShellQuote(a);
        command += " >" + ShellQuote(file("stdout")) + " 2>" + ShellQuote(file("stderr"));
        int status = std::system(command.c_str());
        CliRun result;
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.out = ReadText(dir_ / "stdout");
        result.err = ReadText(dir_ / "stderr");
        return result;
    }

    fs::path dir_;
};

}  // namespace orrelin::clitest
