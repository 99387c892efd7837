#include <CLI/CLI.hpp>

#include <array>
#include <chrono>
#include <cstdio>
#include <memory>

#include "browser/backup_tree.h"
#include "browser/tree_keys.h"
#include "cli/cli_support.h"
#include "cli/commands.h"
#include "decoders/time_format.h"
#include "export/export_engine.h"
#include "io/file_output.h"
#include "io/platform.h"
#include "kinds/record_kinds.h"

namespace orrelin::cli {
namespace {

struct ExportOptions {
    std::string path;
    std::string format;
    std::string database;
    std::uint64_t record = 0;
    std::string output;
    std::string codePage;
    std::string vcardVersion;
    bool unicode = false;
    bool allDatabases = false;
    TimeZoneOption timeZone;
    CLI::Option* databaseOption = nullptr;
    CLI::Option* recordOption = nullptr;
    CLI::Option* outputOption = nullptr;
    CLI::Option* codePageOption = nullptr;
    CLI::Option* vcardVersionOption = nullptr;
};

// "Exporting: 41% (410000 of 1000000 records)" on one line of standard error, redrawn at most
// ten times a second.
class TerminalProgress {
  public:
    bool operator()(std::uint64_t done, std::uint64_t total) {
        auto now = std::chrono::steady_clock::now();
        if (done < total && now - last_ < std::chrono::milliseconds(100)) return true;
        last_ = now;
        unsigned percent = total == 0 ? 100u : static_cast<unsigned>(done * 100 / total);
        std::fprintf(stderr, "\rExporting: %u%% (%llu of %llu records)", percent,
                     static_cast<unsigned long long>(done), static_cast<unsigned long long>(total));
        std::fflush(stderr);
        shown_ = true;
        return true;
    }
    ~TerminalProgress() {
        if (shown_) std::fputs("\n", stderr);
    }

  private:
    std::chrono::steady_clock::time_point last_{};
    bool shown_ = false;
};

// The database node --database names; nothing (after saying why) when there is none.
std::optional<NodeId> ChosenDatabase(const BackupTree& tree, const ExportOptions& options) {
    const RecordIndex& index = tree.index();
    const DatabaseNode* database = FindDatabase(index, options.database);
    if (!database) {
        PrintError("unknown database: " + options.database);
        return std::nullopt;
    }
    return tree.databaseNode(static_cast<std::size_t>(database - index.databases.data()));
}

// The node of the --record-th record of that database; nothing (after saying why) when it
// has no such record.
std::optional<NodeId> ChosenRecord(const BackupTree& tree, const ExportOptions& options,
                                   NodeId database) {
    if (auto found = FindRecord(tree.index(), options.database, options.record); !found) {
        PrintError(found.error());
        return std::nullopt;
    }
    return tree.child(database, static_cast<std::size_t>(options.record - 1));
}

// The scope and node the options choose; nothing (after saying why) when they name no database
// or record, or, for the text and CSV formats, a database those formats do not write.
std::optional<ExportRequest> ChooseRequest(const BackupTree& tree, const ExportOptions& options,
                                           ExportFormat format) {
    ExportRequest request;
    request.format = format;
    if (options.databaseOption->count() == 0) return request;
    auto database = ChosenDatabase(tree, options);
    if (!database) return std::nullopt;
    if (!InfoOf(format).unicode && !FormatTakes(format, tree.database(*database))) {
        PrintError("\"" + std::string(tree.text(*database)) +
                   "\" holds no records that can be exported");
        return std::nullopt;
    }
    request.scope = ExportScope::Database;
    request.node = database;
    if (options.recordOption->count() == 0) return request;
    auto record = ChosenRecord(tree, options, *database);
    if (!record) return std::nullopt;
    request.scope = ExportScope::Record;
    request.node = record;
    return request;
}

// The names of the formats that write the databases the program does not decode.
std::string UndecodedFormats() {
    std::string names;
    for (const auto& format : kExportFormats) {
        if (!format.takes.undecoded) continue;
        if (!names.empty()) names += ", ";
        names += format.name;
    }
    return names;
}

template <typename Run>
ExportResult WithProgress(Run run) {
    if (platform::StandardErrorIsTerminal()) {
        TerminalProgress progress;
        return run(ProgressCallback(std::ref(progress)));
    }
    return run(ProgressCallback{});
}

int RunExport(const ExportOptions& options) {
    const ExportFormatInfo* format = ExportFormatByName(options.format);
    if (!format) {
        PrintError("unknown format: " + options.format);
        return 2;
    }
    if (options.vcardVersionOption->count() > 0) {
        format = ExportFormatByName(options.format, options.vcardVersion);
        if (!format || format->version.empty() || options.format != "vcard") {
            PrintError("--vcard-version applies to the vcard format only, as 4.0 or 3.0");
            return 2;
        }
    }
    if (!format->missing.empty()) {
        PrintError("this build of orrelin-cli has no " + std::string(format->caption) +
                   " export (" + std::string(format->missing) + ")");
        return 2;
    }
    ExportRequest request;
    if (options.codePageOption->count() > 0) {
        if (!format->unicode && !options.unicode) {
            PrintError("--codepage applies to " + std::string(format->name) +
                       " only with --unicode");
            return 2;
        }
        auto chosen = ChosenCodePage(options.codePage);
        if (!chosen) return 2;
        request.eightBitPage = *chosen;
    }
    // The text and CSV formats in full Unicode, 8-bit texts read through the same page.
    if (options.unicode && !format->unicode) {
        request.context.text = TextOptions{true, request.eightBitPage};
    }
    if (options.allDatabases && !format->takes.undecoded) {
        PrintError("--all-databases applies to the " + UndecodedFormats() + " format only");
        return 2;
    }
    auto backup =
        OpenBackup(options.path, options.allDatabases ? Databases::All : Databases::Decoded);
    if (!backup) return 2;
    if (backup->index.stop) PrintWarning(WalkStopWarning(options.path, *backup->index.stop));
    BackupTree tree(std::move(backup->image), std::move(backup->index));
    auto chosen = ChooseRequest(tree, options, format->format);
    if (!chosen) return 2;
    request.format = chosen->format;
    request.scope = chosen->scope;
    request.node = chosen->node;
    request.context.timeZoneText = TimeZoneTextFromSetting(options.timeZone.setting());
    request.context.dateStyle = DateStyle::FromEnvironment();

    // A name the user gave is replaced; one the program makes never replaces an earlier file.
    const bool given = options.outputOption->count() > 0;
    std::string path =
        given ? options.output : ExportFileName(options.path, format->format, LocalTimeNow());
    ExportResult result = WithProgress([&](const ProgressCallback& progress) {
        return ExportToFile(tree, request, path, progress,
                            given ? IfTaken::Replace : IfTaken::NextName);
    });
    if (result.status != ExportStatus::Written) {
        PrintError("cannot write " + path + ": " + result.error);
        return 2;
    }
    const ExportClosing closing =
        ClosingMessage(result.path, format->format, result.records, false);
    if (closing.warns()) PrintWarning(closing.warning);
    return WriteOut(closing.lines + "\n") ? 0 : 2;
}

}  // namespace

void AddExportCommand(CLI::App& app, CommandResult& result) {
    auto options = std::make_shared<ExportOptions>();
    CLI::App* command = app.add_subcommand(
        "export",
        "Export records to a file of one of the formats below: the whole file, one database or "
        "one record");
    command->add_option("FILE", options->path, "the IPD backup")->required();
    std::vector<std::string> names;
    std::string formatHelp = "the output format:";
    for (const auto& format : kExportFormats) {
        // A format written in more than one version is named once, by its first row.
        if (ExportFormatByName(format.name) != &format) continue;
        names.emplace_back(format.name);
        formatHelp += " " + std::string(format.name) + " (" + std::string(format.description) + ")";
    }
    command->add_option("--format", options->format, formatHelp)
        ->required()
        ->check(CLI::IsMember(names));
    options->databaseOption = command->add_option(
        "--database", options->database,
        "export only this database: a name such as \"Memos\" or a node key such as \"3DBTop\"");
    options->recordOption =
        command
            ->add_option("--record", options->record,
                         "export only this record of the database, counted from 1 in tree order")
            ->needs(options->databaseOption);
    options->outputOption = command->add_option(
        "--output", options->output,
        "the file to write (default: Orrelin_Export_ and the day and time, next to FILE)");
    options->codePageOption = command->add_option(
        "--codepage", options->codePage,
        "every format but txt and csv, and those with --unicode: the Windows code page 8-bit "
        "texts are read in: " +
            CodePageNumbers(" or ", " (the default)"));
    options->vcardVersionOption = command
                                      ->add_option("--vcard-version", options->vcardVersion,
                                                   "vcard: 4.0 (the default) or 3.0, the form "
                                                   "most contact importers read")
                                      ->check(CLI::IsMember({"4.0", "3.0"}));
    command->add_flag("--unicode", options->unicode,
                      "txt and csv: texts in full Unicode (a UTF-8 file; CSV with a byte order "
                      "mark) instead of reduced to code page 1256");
    command->add_flag("--all-databases", options->allDatabases,
                      "json: the databases Orrelin does not decode too, as their raw fields");
    options->timeZone.addTo(*command);
    command->callback([options, &result] { result.exitCode = RunExport(*options); });
}

}  // namespace orrelin::cli
