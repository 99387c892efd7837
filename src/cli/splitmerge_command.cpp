#include <CLI/CLI.hpp>

#include <charconv>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "browser/backup_tree.h"
#include "browser/tree_keys.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "splitmerge/check_tree.h"
#include "splitmerge/merge.h"
#include "splitmerge/split.h"

namespace orrelin::cli {
namespace {

void Complain(std::string_view message) {
    PrintError(message);
}

// The backup read whole into memory once: the command walks it and writes another file.
std::optional<CheckTree> OpenCheckTree(const std::string& path, bool allDatabases) {
    auto backup = OpenBackup(path, allDatabases ? Databases::All : Databases::Decoded);
    if (!backup) return std::nullopt;
    if (backup->index.stop) PrintWarning(WalkStopWarning(path, *backup->index.stop));
    return CheckTree(BackupTree(std::move(backup->image), std::move(backup->index)));
}

// One toggle as given: a database ("Memos", "3DBTop") or its n-th record ("Memos:4").
struct Toggle {
    std::string database;
    std::optional<std::uint64_t> record;
};

Toggle ParseToggle(const std::string& text, bool recordOnly) {
    auto colon = text.rfind(':');
    if (colon != std::string::npos) {
        std::string_view digits = std::string_view(text).substr(colon + 1);
        std::uint64_t n = 0;
        auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
        if (!digits.empty() && ec == std::errc() && end == digits.data() + digits.size()) {
            return {text.substr(0, colon), n};
        }
    }
    if (recordOnly) return {text, 0};  // no number: refused below as record 0
    return {text, std::nullopt};
}

// Applies one toggle to the tree; false (after saying why) when it names nothing there.
bool Apply(CheckTree& tree, const Toggle& toggle, const std::string& file) {
    const auto& index = tree.tree().index();
    const DatabaseNode* database = FindDatabase(index, toggle.database);
    if (!database) {
        Complain("no database \"" + toggle.database + "\" in " + file);
        return false;
    }
    const auto position = static_cast<std::size_t>(database - index.databases.data());
    if (!toggle.record) {
        tree.toggleCheck(tree.tree().databaseNode(position));
        return true;
    }
    const std::uint64_t n = *toggle.record;
    if (n == 0 || n > database->records.size()) {
        Complain("no record " + std::to_string(n) + " in \"" + toggle.database + "\" of " + file +
                 " (it has " + std::to_string(database->records.size()) + ")");
        return false;
    }
    tree.toggleCheck(tree.tree().recordNode(database->records[static_cast<std::size_t>(n - 1)]));
    return true;
}

// The toggles of the given options in the order they stood on the command line.
std::vector<std::pair<const CLI::Option*, std::string>> InOrder(const CLI::App& command) {
    std::vector<std::pair<const CLI::Option*, std::string>> out;
    std::unordered_map<const CLI::Option*, std::size_t> used;
    for (const CLI::Option* option : command.parse_order()) {
        const auto& results = option->results();
        std::size_t& i = used[option];
        if (i < results.size()) out.emplace_back(option, results[i]);
        ++i;
    }
    return out;
}

int Report(const WriteOutcome& outcome) {
    switch (outcome.status) {
        case WriteStatus::Saved:
            std::cout << outcome.message << '\n';
            return 0;
        case WriteStatus::Cancelled:
            return 2;
        case WriteStatus::Refused:
        case WriteStatus::Failed:
            Complain(outcome.message);
            return 2;
    }
    return 2;
}

struct SplitArgs {
    std::string file;
    std::string output;
    std::vector<std::string> databases;
    std::vector<std::string> records;
    bool allDatabases = false;
};

struct MergeArgs {
    std::string file;
    std::string second;
    std::string output;
    std::vector<std::string> first;
    std::vector<std::string> fromSecond;
    bool allDatabases = false;
};

void AddSplitCommand(CLI::App& app, CommandResult& result) {
    auto splitArgs = std::make_shared<SplitArgs>();
    CLI::App* split = app.add_subcommand(
        "split", "Write the chosen databases and records of a backup as a new backup");
    split->add_option("FILE", splitArgs->file, "The backup to split")->required();
    split->add_option("--output,-o", splitArgs->output, "The new backup")->required();
    CLI::Option* database =
        split
            ->add_option("--database", splitArgs->databases,
                         "Toggle a database (a name such as \"Memos\" or a key such as 3DBTop)")
            ->allow_extra_args(false);
    CLI::Option* record = split
                              ->add_option("--record", splitArgs->records,
                                           "Toggle the N-th record (from 1) of a database: NAME:N")
                              ->allow_extra_args(false);
    split->add_flag("--all-databases", splitArgs->allDatabases,
                    "Offer the databases Orrelin does not decode too");
    split->callback([split, splitArgs, database, record, &result] {
        auto tree = OpenCheckTree(splitArgs->file, splitArgs->allDatabases);
        if (!tree) {
            result.exitCode = 2;
            return;
        }
        for (const auto& [option, value] : InOrder(*split)) {
            if (option != database && option != record) continue;
            Toggle toggle = option == record ? ParseToggle(value, true) : Toggle{value, {}};
            if (!Apply(*tree, toggle, splitArgs->file)) {
                result.exitCode = 2;
                return;
            }
        }
        result.exitCode = Report(WriteSplit(*tree, splitArgs->output));
    });
}

void AddMergeCommand(CLI::App& app, CommandResult& result) {
    auto mergeArgs = std::make_shared<MergeArgs>();
    CLI::App* merge = app.add_subcommand(
        "merge", "Write the chosen records of one or two backups as a new backup");
    merge->add_option("FILE", mergeArgs->file, "The first backup")->required();
    merge->add_option("--second", mergeArgs->second, "The second backup");
    merge->add_option("--output,-o", mergeArgs->output, "The new backup")->required();
    CLI::Option* first =
        merge
            ->add_option("--first", mergeArgs->first,
                         "Toggle a database (NAME) or its N-th record (NAME:N) of the first backup")
            ->allow_extra_args(false);
    CLI::Option* fromSecond =
        merge
            ->add_option(
                "--from-second", mergeArgs->fromSecond,
                "Toggle a database (NAME) or its N-th record (NAME:N) of the second backup")
            ->allow_extra_args(false);
    merge->add_flag("--all-databases", mergeArgs->allDatabases,
                    "Offer the databases Orrelin does not decode too, merged by name");
    merge->callback([merge, mergeArgs, first, fromSecond, &result] {
        result.exitCode = 2;
        if (mergeArgs->second.empty() && !mergeArgs->fromSecond.empty()) {
            Complain("--from-second needs --second FILE2");
            return;
        }
        auto firstTree = OpenCheckTree(mergeArgs->file, mergeArgs->allDatabases);
        if (!firstTree) return;
        std::optional<CheckTree> secondTree;
        if (IsSameFile(mergeArgs->file, mergeArgs->second)) {
            // One file read once: both trees share its image.
            BackupTree copy = firstTree->tree();
            copy.setText(BackupTree::kRoot, mergeArgs->second);
            secondTree.emplace(std::move(copy));
        } else if (!mergeArgs->second.empty()) {
            secondTree = OpenCheckTree(mergeArgs->second, mergeArgs->allDatabases);
            if (!secondTree) return;
        }
        for (const auto& [option, value] : InOrder(*merge)) {
            if (option == first && !Apply(*firstTree, ParseToggle(value, false), mergeArgs->file)) {
                return;
            }
            if (option == fromSecond &&
                !Apply(*secondTree, ParseToggle(value, false), mergeArgs->second)) {
                return;
            }
        }
        result.exitCode =
            Report(WriteMerge(*firstTree, secondTree ? &*secondTree : nullptr, mergeArgs->output));
    });
}

}  // namespace

void AddSplitMergeCommands(CLI::App& app, CommandResult& result) {
    AddSplitCommand(app, result);
    AddMergeCommand(app, result);
}

}  // namespace orrelin::cli
