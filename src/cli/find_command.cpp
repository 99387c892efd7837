#include <CLI/CLI.hpp>

#include <algorithm>
#include <memory>
#include <vector>

#include "browser/tree_keys.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "kinds/labels.h"
#include "search/text_index.h"

namespace orrelin::cli {
namespace {

struct FindOptions {
    std::string path;
    std::string text;
    std::vector<std::string> databases;
    bool allDatabases = false;
};

// Which database nodes to report: those named (by name or node key) with --database, all
// without it. Nothing, after saying so, for a name no node has.
std::optional<std::vector<bool>> ChosenDatabases(const RecordIndex& index,
                                                 const std::vector<std::string>& names) {
    std::vector<bool> chosen(index.databases.size(), names.empty());
    for (const std::string& name : names) {
        bool found = false;
        for (std::size_t i = 0; i < index.databases.size(); ++i) {
            const DatabaseNode& node = index.databases[i];
            if (node.name() == name || DatabaseKey(node) == name) {
                chosen[i] = true;
                found = true;
            }
        }
        if (!found) {
            PrintError("unknown database: " + name);
            return std::nullopt;
        }
    }
    return chosen;
}

// One line a match: database name TAB record number (from 1, as `show --record` takes it)
// TAB label TAB the field that matched.
bool WriteMatches(const OpenedBackup& backup, const std::vector<SearchMatch>& matches,
                  const std::vector<bool>& chosen, std::size_t& written) {
    const RecordIndex& index = backup.index;
    std::string out;
    for (const SearchMatch& match : matches) {
        const RecordEntry& entry = index.records[match.record];
        if (!chosen[entry.database]) continue;
        const DatabaseNode& node = index.databases[entry.database];
        const auto row = std::lower_bound(node.records.begin(), node.records.end(), match.record);
        AppendSingleByteLine(out, node.name());
        out.push_back('\t');
        out += std::to_string(row - node.records.begin() + 1);
        out.push_back('\t');
        if (auto body = backup.image.range(entry.span.start, entry.span.end)) {
            const TextOptions unicode = TextOptionsFor(backup.image, TextOptions{true});
            AppendUtf8Line(out, UnicodeLabel(node, *body, unicode));
        }
        out.push_back('\t');
        AppendSingleByteLine(out, FieldCaption(node, match.field));
        out.push_back('\n');
        ++written;
    }
    return WriteOut(out);
}

int Find(const FindOptions& options) {
    // A database named may be one the program does not decode, as `show` takes it.
    const bool all = options.allDatabases || !options.databases.empty();
    auto backup = OpenBackup(options.path, all ? Databases::All : Databases::Decoded);
    if (!backup) return 2;
    const auto chosen = ChosenDatabases(backup->index, options.databases);
    if (!chosen) return 2;
    if (backup->index.stop) PrintWarning(WalkStopWarning(options.path, *backup->index.stop));
    const TextIndex index = TextIndex::Build(backup->image, backup->index);
    std::size_t written = 0;
    if (!WriteMatches(*backup, index.search(options.text), *chosen, written)) return 2;
    return written > 0 ? 0 : 1;
}

}  // namespace

void AddFindCommand(CLI::App& app, CommandResult& result) {
    auto options = std::make_shared<FindOptions>();
    CLI::App* command = app.add_subcommand(
        "find",
        "Print the records whose label or a decoded value contains TEXT (case, accents and "
        "phone number punctuation set aside): exit 0 with matches, 1 with none, 2 on error");
    command->add_option("FILE", options->path, "the IPD backup")->required();
    command->add_option("TEXT", options->text, "the text to look for")->required();
    command->add_option("--database", options->databases,
                        "look in this database only (a name such as \"Memos\" or a node key "
                        "such as 3DBTop); may be repeated");
    command->add_flag("--all-databases", options->allDatabases,
                      "look in the databases the program does not decode too, by the text "
                      "reading of their raw fields");
    command->callback([options, &result] { result.exitCode = Find(*options); });
}

}  // namespace orrelin::cli
