#include <CLI/CLI.hpp>

#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli_support.h"
#include "cli/commands.h"
#include "decoders/servicebook_decoder.h"
#include "io/file_output.h"
#include "io/platform.h"
#include "servicebook/servicebook_save.h"
#include "text/codepage.h"

namespace orrelin::cli {
namespace {

struct ServiceBookOptions {
    std::string file;
    std::size_t record = 0;
    std::vector<std::string> sets;
    bool entryOnly = false;
    bool all = false;
    std::string output;
};

int Refuse(const std::string& message) {
    PrintError(message);
    return 2;
}

// The N-th record (from 1) of the backup's "Service Book" databases, in tree order.
std::optional<NodeId> ServiceBookRecord(const BackupTree& tree, std::size_t n) {
    std::size_t seen = 0;
    for (std::size_t row = 0; row < tree.childCount(BackupTree::kRoot); ++row) {
        NodeId database = tree.child(BackupTree::kRoot, row);
        if (tree.text(database) != NameOf(KnownDb::ServiceBook)) continue;
        const std::size_t count = tree.childCount(database);
        if (n - seen <= count) return tree.child(database, n - seen - 1);
        seen += count;
    }
    return std::nullopt;
}

int Run(const ServiceBookOptions& options) {
    if (options.entryOnly == options.all) return Refuse("give one of --entry-only and --all");
    auto backup = OpenBackup(options.file);
    if (!backup) return 2;
    auto tree =
        std::optional<BackupTree>(BackupTree(std::move(backup->image), std::move(backup->index)));
    auto node = options.record >= 1 ? ServiceBookRecord(*tree, options.record) : std::nullopt;
    auto entry = node ? ServiceBookEntry::Of(*tree, *node) : std::nullopt;
    if (!entry) {
        return Refuse("The backup has no service book entry " + std::to_string(options.record) +
                      ".");
    }

    ServiceBookFields values = DecodeServiceBook(tree->image(), *tree->span(*node));
    for (const std::string& set : options.sets) {
        auto equals = set.find('=');
        std::size_t index = ServiceBookFields::kCount;
        if (equals != std::string::npos && equals > 0 && equals <= 2 &&
            set.find_first_not_of("0123456789") >= equals) {
            index = std::stoul(set.substr(0, equals));
        }
        if (index >= ServiceBookFields::kCount) {
            return Refuse("--set takes INDEX=TEXT with an index from 0 to 21: " + set);
        }
        auto text = Utf8ToCp1256(std::string_view(set).substr(equals + 1));
        if (!text) return Refuse(NoSingleByteCode(index).message);
        values.values[index] = *text;
    }

    auto kind = options.all ? ServiceBookSaveKind::AllEntries : ServiceBookSaveKind::EntryOnly;
    std::optional<std::string> target;
    if (!options.output.empty()) {
        if (platform::SameFile(options.output, options.file)) {
            return Refuse("the backup itself is never changed: give another --output");
        }
        target = options.output;
    }
    ServiceBookSaveResult result = SaveServiceBook(*entry, values, kind, target, LocalTimeNow());
    if (result.refusal) return Refuse(result.refusal->message);
    if (result.writeError) return Refuse("cannot write " + result.path + ": " + *result.writeError);
    std::cout << result.confirmation() << "\n";
    return 0;
}

}  // namespace

void AddServiceBookCommand(CLI::App& app, CommandResult& result) {
    auto options = std::make_shared<ServiceBookOptions>();
    CLI::App* command = app.add_subcommand(
        "servicebook", "Edit a service book entry and save it alone or with all entries");
    command->add_option("FILE", options->file, "The backup (.ipd)")->required();
    command->add_option("--record", options->record, "The entry, from 1, in tree order")
        ->required();
    command
        ->add_option("--set", options->sets,
                     "INDEX=TEXT: replaces value INDEX (0 to 21) of the entry")
        ->allow_extra_args(false);
    auto* entryOnly =
        command->add_flag("--entry-only", options->entryOnly, "Save the edited entry alone");
    auto* all = command->add_flag("--all", options->all,
                                  "Save every entry of its database with the edited one");
    entryOnly->excludes(all);
    command->add_option("--output", options->output,
                        "Where to write (default: a new name next to FILE)");
    command->callback([options, &result] { result.exitCode = Run(*options); });
}

}  // namespace orrelin::cli
