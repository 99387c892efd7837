#pragma once

// The one way records leave the program for another file: an export visits the records of a
// scope (one record, one database, the whole file) in tree order and hands each to the writer
// of the chosen format, which renders it into the output (export_writer.h). The window's panel
// and the command line both call ExportToFile, so they write the same bytes.

#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "browser/backup_tree.h"
#include "decoders/decode_context.h"
#include "export/export_formats.h"
#include "io/file_output.h"
#include "io/progress.h"
#include "text/codepage.h"

namespace orrelin {

// The panel's three options, top to bottom.
enum class ExportScope { Record = 0, Database = 1, File = 2 };

struct ExportRequest {
    ExportFormat format = ExportFormat::Text;
    ExportScope scope = ExportScope::File;
    // One record: the record node; one database: the database node. Nothing (or a node of
    // another shape) selects no records.
    std::optional<NodeId> node;
    // The text and CSV exports' time zone and date style.
    DecodeContext context;
    // How the Unicode formats read 8-bit texts.
    CodePage eightBitPage = CodePage::Cp1252;
    // The creation time iCalendar components carry (Unix seconds); the time of the run when
    // not given.
    std::optional<std::int64_t> stampUtc;
};

// The node a scope takes from the selected node: the record itself for one record; for one
// database the record's database, or the database itself when one is selected; none for the
// whole file (or when nothing is selected).
std::optional<NodeId> ScopeNode(const BackupTree& tree, ExportScope scope,
                                std::optional<NodeId> selected);

// Where the bytes of a run go, in pieces; false stops the run.
using ExportSink = std::function<bool(std::string_view bytes)>;

enum class ExportStatus { Written, Cancelled, Failed };

struct ExportRun {
    ExportStatus status = ExportStatus::Written;
    std::uint64_t records = 0;  // records written
};

// Writes the export through `sink`: the records of the request's scope that the format takes,
// in tree order, under what the format puts around them. A scope without such records still
// gives what the format writes around none (the text banner, an empty document). Cancelled
// when `progress` returned false, Failed when the sink refused bytes. `progress` (may be
// empty) hears of the records done and to do.
ExportRun RenderExport(const BackupTree& tree, const ExportRequest& request, const ExportSink& sink,
                       const ProgressCallback& progress = {});

// The whole export as one string.
std::string RenderExportToString(const BackupTree& tree, const ExportRequest& request);

struct ExportResult {
    ExportStatus status = ExportStatus::Written;
    // The name the file took (see ExportToFile).
    std::string path;
    // Why the file could not be written (Failed only).
    std::string error;
    std::uint64_t bytes = 0;
    std::uint64_t records = 0;
};

// Writes the export to `path`. The file appears only when complete: a cancelled or failed run
// leaves nothing behind, and an existing file of that name is replaced only by a complete one;
// with IfTaken::NextName (a name from ExportFileName) nothing is replaced and result.path is the
// name the file took.
ExportResult ExportToFile(const BackupTree& tree, const ExportRequest& request,
                          const std::string& path, const ProgressCallback& progress = {},
                          IfTaken ifTaken = IfTaken::Replace);

// The file an export of a backup opened as `openedPath` goes to: its folder,
// "Orrelin_Export_", day, hour, minute and second of `when` as two digits each, and the
// format's extension; "_2", "_3", ... before the extension when that name is taken.
std::string ExportFileName(std::string_view openedPath, ExportFormat format, std::tm when);

// What a front end says once an export of `records` records in `format` went to `path`: the
// completion text and the count, a line each (the text and CSV files are not counted unless
// `countEveryFormat`), and the warning of an empty export, if any. The command line prints the
// lines and warns apart; a window shows text().
struct ExportClosing {
    std::string lines;
    std::string warning;
    bool warns() const { return !warning.empty(); }
    // The lines and, when there is one, the warning as a sentence of its own.
    std::string text() const;
};
ExportClosing ClosingMessage(std::string_view path, ExportFormat format, std::uint64_t records,
                             bool countEveryFormat);

}  // namespace orrelin
