#pragma once

#include <string>

namespace CLI {
class App;
}

namespace orrelin::cli {

// Set by the subcommand that ran: 0 on success, 2 for a refused request (the message has
// already been written to standard error).
struct CommandResult {
    int exitCode = 0;
};

std::string VersionText();

void AddListCommand(CLI::App& app, CommandResult& result);         // list_command.cpp
void AddShowCommand(CLI::App& app, CommandResult& result);         // show_command.cpp
void AddExportCommand(CLI::App& app, CommandResult& result);       // export_command.cpp
void AddSplitMergeCommands(CLI::App& app, CommandResult& result);  // splitmerge_command.cpp
void AddServiceBookCommand(CLI::App& app, CommandResult& result);  // servicebook_command.cpp
void AddFindCommand(CLI::App& app, CommandResult& result);         // find_command.cpp
void AddConvertCommand(CLI::App& app, CommandResult& result);      // convert_command.cpp

}  // namespace orrelin::cli
