#include <CLI/CLI.hpp>

#include <charconv>
#include <memory>

#include "browser/image_keys.h"
#include "browser/labels.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "ipd/hex.h"

namespace orrelin::cli {
namespace {

// Output is written in pieces of about this size.
constexpr std::size_t kFlushSize = std::size_t{1} << 20;

void AppendNumber(std::string& out, std::uint64_t n) {
    char digits[24];
    auto [end, ec] = std::to_chars(digits, digits + sizeof digits, n);
    out.append(digits, end);
}

// The lines of one database's records, in pieces of about the flush size so that a large
// database never has to be copied as it grows.
class Lines {
  public:
    std::string& current() {
        if (pieces_.empty() || pieces_.back().size() >= kFlushSize) {
            pieces_.emplace_back();
            pieces_.back().reserve(kFlushSize + 4096);
        }
        return pieces_.back();
    }
    std::vector<std::string>& pieces() { return pieces_; }

  private:
    std::vector<std::string> pieces_;
};

// TAB span TAB image TAB label.
void AppendRecordLine(std::string& line, const IpdImage& image, KnownDb db,
                      const RecordEntry& record) {
    line.push_back('\t');
    AppendNumber(line, record.span.start);
    line.push_back(':');
    AppendNumber(line, record.span.end);
    line.push_back('\t');
    line += ImageKeyName(record.image);
    line.push_back('\t');
    // The walk made this node only after checking that its body lies in the image.
    if (auto body = image.range(record.span.start, record.span.end)) {
        AppendSingleByteLine(line, RecordLabel(db, *body));
    }
    line.push_back('\n');
}

// The tree in pre-order, one node a line: the root (the path as given); each database node as
// key TAB name; each record node as TAB span TAB image TAB label. After a complete walk, an
// empty line, the file name and the counts line.
bool WriteTree(const OpenedBackup& backup, const std::string& path) {
    const RecordIndex& index = backup.index;
    // Labels are made in file order, one pass over the image, and kept per database until
    // the tree is written database by database.
    std::vector<Lines> lines(index.databases.size());
    for (const RecordEntry& record : index.records) {
        AppendRecordLine(lines[record.database].current(), backup.image,
                         index.databases[record.database].db, record);
    }
    std::string out;
    AppendUtf8Line(out, index.rootText);
    out.push_back('\n');
    for (std::size_t i = 0; i < index.databases.size(); ++i) {
        const DatabaseNode& database = index.databases[i];
        out += database.key();
        out.push_back('\t');
        AppendSingleByteLine(out, database.name());
        out.push_back('\n');
        for (std::string& piece : lines[i].pieces()) {
            if (!WriteOut(out)) return false;
            out.clear();
            if (!WriteOut(piece)) return false;
            std::string().swap(piece);
        }
    }
    if (index.complete()) {
        out.push_back('\n');
        AppendUtf8Line(out, FileNameOfPath(path));
        out.push_back('\n');
        out += index.countsLine();
        out.push_back('\n');
    }
    return WriteOut(out);
}

struct ListOptions {
    std::string path;
    TimeZoneOption timeZone;  // accepted like every reading command; lists show no times
};

}  // namespace

void AddListCommand(CLI::App& app, CommandResult& result) {
    auto options = std::make_shared<ListOptions>();
    CLI::App* command = app.add_subcommand(
        "list", "Print the database tree: databases, records with their tags, images and labels");
    command->add_option("FILE", options->path, "the IPD backup")->required();
    options->timeZone.addTo(*command);
    command->callback([options, &result] {
        auto backup = OpenBackup(options->path);
        if (!backup) {
            result.exitCode = 2;
            return;
        }
        if (!WriteTree(*backup, options->path)) {
            result.exitCode = 2;
            return;
        }
        if (backup->index.stop) PrintWarning(WalkStopWarning(options->path, *backup->index.stop));
        result.exitCode = 0;
    });
}

}  // namespace orrelin::cli
