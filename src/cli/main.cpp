#include <CLI/CLI.hpp>

#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_support.h"
#include "cli/commands.h"
#include "io/file_output.h"
#include "io/platform.h"

namespace {

// For tests only: ORRELIN_TEST_STOP=read stops the process (SIGSTOP where there is one) once a
// backup is open and before it is read, ORRELIN_TEST_STOP=commit once a finished file is about to
// take its name. The test changes files while the process is stopped and then lets it go on
// (SIGCONT).
void StopForTest() {
    orrelin::platform::StopThisProcess();
}

void StopBeforeNaming(const std::string&) {
    StopForTest();
}

void InstallTestStops() {
    const char* stop = std::getenv("ORRELIN_TEST_STOP");
    if (!stop) return;
    if (std::string_view(stop) == "read") orrelin::cli::SetBackupOpenedHook(StopForTest);
    if (std::string_view(stop) == "commit") orrelin::SetBeforeNamingHook(StopBeforeNaming);
}

}  // namespace

int main(int argc, char** argv) {
    InstallTestStops();
    // What is printed and written goes out byte for byte, and file names are taken as UTF-8,
    // on every system.
    orrelin::platform::UseBinaryStandardStreams();
    std::vector<std::string> arguments = orrelin::platform::Utf8Arguments(argc, argv);
    std::vector<char*> utf8Argv;
    for (std::string& argument : arguments)
        utf8Argv.push_back(argument.data());
    utf8Argv.push_back(nullptr);
    CLI::App app{"Orrelin: reads, exports, splits and merges BlackBerry IPD backups"};
    app.require_subcommand(1);
    // A path such as /home/x.ipd is a path on every system, never a Windows-style option.
    app.allow_windows_style_options(false);
    app.set_version_flag("--version", orrelin::cli::VersionText());
    orrelin::cli::CommandResult result;
    orrelin::cli::AddListCommand(app, result);
    orrelin::cli::AddShowCommand(app, result);
    orrelin::cli::AddExportCommand(app, result);
    orrelin::cli::AddSplitMergeCommands(app, result);
    orrelin::cli::AddServiceBookCommand(app, result);
    orrelin::cli::AddFindCommand(app, result);
    orrelin::cli::AddConvertCommand(app, result);
    try {
        app.parse(argc, utf8Argv.data());
    } catch (const CLI::ParseError& e) {
        int code = app.exit(e);
        return code == 0 ? 0 : 2;
    }
    return result.exitCode;
}
