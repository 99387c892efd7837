#pragma once

// One export run: which records an export visits, in which order, with which banners, and the
// file it goes to.
//
// An export file is a run of items, each followed by CR LF: banners (a row of 71 asterisks,
// the title behind its spaces, the row again), the CSV header of a one-database export, and
// one item per record, its rendering behind four spaces per tree depth (8 in a whole-file
// export, where records sit at depth 2; none otherwise).

#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "browser/backup_tree.h"
#include "decoders/decode_context.h"
#include "export/export_tables.h"
#include "io/file_output.h"
#include "io/progress.h"

namespace orrelin {

// The panel's three options, top to bottom.
enum class ExportScope { Record = 0, Database = 1, File = 2 };

struct ExportRequest {
    ExportFormat format = ExportFormat::Text;
    ExportScope scope = ExportScope::File;
    // One record or one database: the chosen option's caption, which picks the banner and the
    // CSV header. A caption of no known kind writes neither banner nor records.
    std::string caption;
    // One record: the record node; one database: the database node. Nothing writes no records.
    std::optional<NodeId> node;
};

// The captions of the first two options when a record whose parent node reads `databaseText`
// is selected; nothing when that database holds no exportable records.
struct OptionCaptions {
    std::string_view selected;
    std::string_view all;
};
std::optional<OptionCaptions> CaptionsForDatabase(std::string_view databaseText);

// The node a scope takes from the selected node: the record itself for one record, its
// database for one database, none for the whole file (or when nothing is selected).
std::optional<NodeId> ScopeNode(const BackupTree& tree, ExportScope scope,
                                std::optional<NodeId> selected);

// The request the panel makes: `scope` is the chosen option, the captions those the options
// were given when the panel opened; the records come from the node `selected` now (a record
// for one record, its parent for one database, the whole tree otherwise).
ExportRequest PanelRequest(const BackupTree& tree, ExportScope scope, ExportFormat format,
                           std::string_view recordCaption, std::string_view databaseCaption,
                           std::optional<NodeId> selected);

// Where the bytes of a run go, in pieces; false stops the run.
using ExportSink = std::function<bool(std::string_view bytes)>;

enum class ExportStatus { Written, Cancelled, Failed };

// Writes the export through `sink`. Cancelled when `progress` returned false, Failed when the
// sink refused bytes. `progress` (may be empty) hears of the records done and to do.
ExportStatus RenderExport(const BackupTree& tree, const ExportRequest& request,
                          const DecodeContext& context, const ExportSink& sink,
                          const ProgressCallback& progress = {});

// The whole export as one string.
std::string RenderExportToString(const BackupTree& tree, const ExportRequest& request,
                                 const DecodeContext& context);

struct ExportResult {
    ExportStatus status = ExportStatus::Written;
    std::string path;
    // Why the file could not be written (Failed only).
    std::string error;
    std::uint64_t bytes = 0;
    // Records written, where the run counts them (the standard formats).
    std::uint64_t records = 0;
};

// Runs `render` into the file `path`: the file appears only when the run has written
// everything, so a cancelled or failed run leaves nothing behind, and an existing file of that
// name is replaced only by a complete one; with IfTaken::NextName (a name from ExportFileName)
// nothing is replaced and result.path is the name the file took. Every export to a file goes
// through here.
ExportResult WriteExportFile(const std::string& path,
                             const std::function<ExportStatus(const ExportSink&)>& render,
                             IfTaken ifTaken = IfTaken::Replace);

// Writes the export to `path`. The file appears only when complete: a cancelled or failed run
// leaves nothing behind, and an existing file of that name is replaced only by a complete one
// (see WriteExportFile for IfTaken::NextName).
ExportResult ExportToFile(const BackupTree& tree, const ExportRequest& request,
                          const DecodeContext& context, const std::string& path,
                          const ProgressCallback& progress = {},
                          IfTaken ifTaken = IfTaken::Replace);

// The file an export of a backup opened as `openedPath` goes to: its folder,
// "Orrelin_Export_", day, hour, minute and second of `when` as two digits each, ".txt" or
// ".csv"; "_2", "_3", ... before the extension when that name is taken.
std::string ExportFileName(std::string_view openedPath, ExportFormat format, std::tm when);
// The same name with any extension (".vcf", ".json", ...).
std::string ExportFileName(std::string_view openedPath, std::string_view extension, std::tm when);

// "Export to: PATH is complete."
std::string CompletionText(std::string_view path);

}  // namespace orrelin
