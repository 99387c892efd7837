#include <CLI/CLI.hpp>

#include <memory>
#include <string>

#include "cli/cli_support.h"
#include "cli/commands.h"
#include "cli/tree_lines.h"

namespace orrelin::cli {
namespace {

struct ListOptions {
    std::string path;
    bool allDatabases = false;
    TimeZoneOption timeZone;  // accepted like every reading command; lists show no times
    UnicodeOption unicode;
};

}  // namespace

void AddListCommand(CLI::App& app, CommandResult& result) {
    auto options = std::make_shared<ListOptions>();
    CLI::App* command = app.add_subcommand(
        "list", "Print the database tree: databases, records with their tags, images and labels");
    command->add_option("FILE", options->path, "the IPD backup")->required();
    command->add_flag("--all-databases", options->allDatabases,
                      "list the databases Orrelin does not decode too, with their records");
    options->timeZone.addTo(*command);
    options->unicode.addTo(*command);
    command->callback([options, &result] {
        const auto text = options->unicode.textOptions();
        if (!text) {
            result.exitCode = 2;
            return;
        }
        auto backup =
            OpenBackup(options->path, options->allDatabases ? Databases::All : Databases::Decoded);
        if (!backup) {
            result.exitCode = 2;
            return;
        }
        if (!WriteTree(*backup, options->path, *text)) {
            result.exitCode = 2;
            return;
        }
        if (backup->index.stop) PrintWarning(WalkStopWarning(options->path, *backup->index.stop));
        result.exitCode = 0;
    });
}

}  // namespace orrelin::cli
