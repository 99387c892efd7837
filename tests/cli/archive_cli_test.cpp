// Archives and files that are no backup, through the command line: .bbb archives written by the
// generator open wherever a backup is opened, and what cannot be opened says why, exit 2.

#include <cstdlib>

#include "cli/cli_run.h"

namespace orrelin::clitest {
namespace {

class ArchiveCliTest : public CliTest {
  protected:
    // ipdgen bbb of the bundled sample; the archive's path.
    std::string bbb(const std::string& name, const std::string& options) const {
        const std::string sample = std::string(ORRELIN_SOURCE_DIR) + "/samples/sample.ipd";
        const std::string command = ShellQuote(ORRELIN_IPDGEN) + " bbb " + ShellQuote(sample) +
                                    " " + ShellQuote(file(name)) + " " + options;
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return file(name);
    }
    static std::string sample() { return std::string(ORRELIN_SOURCE_DIR) + "/samples/sample.ipd"; }
};

// The tree without what names the file (the root line, the file name line) or says where a
// record lies in it (the tags: an archive's records are laid out anew, without filler).
std::string WithoutRoot(const std::string& listing) {
    std::string out;
    const auto lines = SplitLines(listing);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        if (line.find('.') != std::string::npos && line.find('\t') == std::string::npos) continue;
        if (line.rfind('\t', 0) == 0) {
            const auto tagEnd = line.find('\t', 1);
            out += line.substr(tagEnd) + '\n';
        } else {
            out += line + '\n';
        }
    }
    return out;
}

TEST_F(ArchiveCliTest, EachKindOfArchiveOpensOrSaysWhy) {
    const std::string tree = WithoutRoot(run({"list", sample()}).out);
    const struct {
        const char* name;
        const char* options;
        int exitCode;
        std::string err;  // after "orrelin-cli: " and the path
    } cases[] = {
        {"desktop.bbb", "", 0, ""},
        {"stored.bbb", "--store", 0, ""},
        {"mac.bbb", "--layout mac", 0, ""},
        {"encrypted.bbb", "--kind encrypted", 2, ": the backup is encrypted\n"},
        {"encrypted-mac.bbb", "--kind encrypted --layout mac", 2, ": the backup is encrypted\n"},
        {"bb10.bbb", "--kind bb10", 2, ": BlackBerry 10 backups are not supported\n"},
    };
    for (const auto& c : cases) {
        const std::string path = bbb(c.name, c.options);
        CliRun listed = run({"list", path});
        EXPECT_EQ(listed.exitCode, c.exitCode) << c.name;
        if (c.exitCode == 0) {
            EXPECT_EQ(listed.err, "") << c.name;
            EXPECT_EQ(WithoutRoot(listed.out), tree) << c.name;
        } else {
            EXPECT_EQ(listed.err, "orrelin-cli: " + path + c.err) << c.name;
            EXPECT_EQ(listed.out, "") << c.name;
        }
    }
}

TEST_F(ArchiveCliTest, APartlyEncryptedArchiveOpensTheRestAndNamesTheOthers) {
    const std::string path = bbb("partly.bbb", "--kind partly-encrypted");
    CliRun listed = run({"list", path});
    EXPECT_EQ(listed.exitCode, 0);
    EXPECT_EQ(listed.err, "orrelin-cli: warning: " + path +
                              ": Databases/1.dat (\"Address Book\") is encrypted: its records "
                              "are left out\n");
    EXPECT_EQ(listed.out.find("Address Book\n"), std::string::npos);
    EXPECT_NE(listed.out.find("Address Book - All\n"), std::string::npos);
}

TEST_F(ArchiveCliTest, EveryCommandRefusesWhatIsNoBackup) {
    const std::string text = write("notes.ipd", ByteVector{'h', 'i', '\n'});
    const std::vector<std::vector<std::string>> commands{
        {"list", text},
        {"show", text, "--database", "Memos", "--record", "1"},
        {"export", text, "--format", "txt", "--output", file("out.txt")},
        {"split", text, "--output", file("out.ipd"), "--database", "Memos"},
        {"merge", sample(), "--second", text, "--output", file("out.ipd")},
        {"convert", text, "--output", file("out.ipd")},
    };
    for (const auto& command : commands) {
        CliRun refused = run(command);
        EXPECT_EQ(refused.exitCode, 2) << command[0];
        EXPECT_EQ(refused.err, "orrelin-cli: " + text + ": not a BlackBerry backup\n")
            << command[0];
        EXPECT_EQ(refused.out, "") << command[0];
        EXPECT_FALSE(fs::exists(file("out.ipd")) || fs::exists(file("out.txt"))) << command[0];
    }
}

TEST_F(ArchiveCliTest, ConvertWritesOneIpdFileOfTheBackup) {
    const std::string archive = bbb("desktop.bbb", "");
    CliRun converted = run({"convert", archive, "--output", file("out.ipd")});
    EXPECT_EQ(converted.exitCode, 0) << converted.err;
    EXPECT_EQ(converted.out, "File saved as " + file("out.ipd") + "\n");
    EXPECT_EQ(WithoutRoot(run({"list", file("out.ipd")}).out),
              WithoutRoot(run({"list", archive}).out));
    // An IPD file is written as it is.
    EXPECT_EQ(run({"convert", sample(), "--output", file("copy.ipd")}).exitCode, 0);
    EXPECT_EQ(ReadText(file("copy.ipd")), ReadText(sample()));
    // Never over the file it reads.
    CliRun over = run({"convert", file("out.ipd"), "--output", file("out.ipd")});
    EXPECT_EQ(over.exitCode, 2);
}

}  // namespace
}  // namespace orrelin::clitest
