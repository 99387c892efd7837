#include <CLI/CLI.hpp>

#include "cli/commands.h"

namespace orrelin::cli {

// Not built yet: the subcommand is added once its job exists.
void AddSplitMergeCommands(CLI::App& /*app*/, CommandResult& /*result*/) {}

}  // namespace orrelin::cli
