#include <CLI/CLI.hpp>

#include "cli/commands.h"

int main(int argc, char** argv) {
    CLI::App app{"Orrelin: reads, exports, splits and merges BlackBerry IPD backups"};
    app.require_subcommand(1);
    app.set_version_flag("--version", orrelin::cli::VersionText());
    orrelin::cli::CommandResult result;
    orrelin::cli::AddListCommand(app, result);
    orrelin::cli::AddShowCommand(app, result);
    orrelin::cli::AddExportCommand(app, result);
    orrelin::cli::AddSplitMergeCommands(app, result);
    orrelin::cli::AddServiceBookCommand(app, result);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        int code = app.exit(e);
        return code == 0 ? 0 : 2;
    }
    return result.exitCode;
}
