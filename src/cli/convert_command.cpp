#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>
#include <string>

#include "cli/cli_support.h"
#include "cli/commands.h"
#include "ipd/ipd_writer.h"
#include "ipd/loader.h"

namespace orrelin::cli {
namespace {

struct ConvertArgs {
    std::string file;
    std::string output;
};

// The backup as opened, every database of it, recognised or not, written as one IPD file
// through the same safe path as split: a temporary file that takes its name once complete.
int Convert(const ConvertArgs& args) {
    auto backup = OpenBackup(args.file);
    if (!backup) return 2;
    if (backup->index.stop) PrintWarning(WalkStopWarning(args.file, *backup->index.stop));
    const Bytes bytes = backup->image.fileBytes();
    WriteOutcome outcome = WriteIpdFile(args.output, {args.file}, 1, {}, [&](IpdSink& sink) {
        sink.write(bytes);
        return sink.advance();
    });
    if (outcome.status == WriteStatus::Saved) {
        std::cout << outcome.message << '\n';
        return 0;
    }
    if (!outcome.message.empty()) PrintError(outcome.message);
    return 2;
}

}  // namespace

void AddConvertCommand(CLI::App& app, CommandResult& result) {
    auto args = std::make_shared<ConvertArgs>();
    CLI::App* command = app.add_subcommand(
        "convert", "Write a backup (an IPD file or a .bbb archive) as one IPD file");
    command->add_option("FILE", args->file, "The backup to convert")->required();
    command->add_option("--output,-o", args->output, "The IPD file to write")->required();
    command->callback([args, &result] { result.exitCode = Convert(*args); });
}

}  // namespace orrelin::cli
