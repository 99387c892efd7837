#pragma once

// The one way records leave the program for another file: an export visits the records of a
// scope (one record, one database, the whole file) in tree order and hands each to the writer
// of the chosen format, which renders it into the output (export_writer.h). The window's panel
// and the command line both call ExportToFile, so they write the same bytes.

#include <array>
#include <cstdint>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "browser/backup_tree.h"
#include "decoders/decode_context.h"
#include "io/file_output.h"
#include "io/progress.h"
#include "text/codepage.h"

namespace orrelin {

enum class ExportFormat : std::uint8_t {
    Text,
    Csv,
    VCard,
    ICalendar,
    Json,
    AndroidSms,
    AndroidCalls,
    Html,
    Mbox,
};

struct ExportFormatInfo {
    ExportFormat format;
    std::string_view name;  // as the command line names it
    std::string_view extension;
    std::string_view description;
    // Whether texts are written in full Unicode, with times as exact instants. The text and
    // CSV exports write the window's own single-byte text and shown times instead.
    bool unicode;
};

inline constexpr std::array<ExportFormatInfo, 9> kExportFormats{{
    {ExportFormat::Text, "txt", ".txt", "text blocks under banners", false},
    {ExportFormat::Csv, "csv", ".csv", "one quoted line per record", false},
    {ExportFormat::VCard, "vcard", ".vcf", "vCard 4.0, one card per contact", true},
    {ExportFormat::ICalendar, "ics", ".ics", "iCalendar, appointments and tasks", true},
    {ExportFormat::Json, "json", ".json", "JSON, every record of every database", true},
    {ExportFormat::AndroidSms, "android-sms", ".xml", "SMS Backup & Restore messages for Android",
     true},
    {ExportFormat::AndroidCalls, "android-calls", ".xml",
     "SMS Backup & Restore call log for Android", true},
    {ExportFormat::Html, "html", ".html", "one self-contained HTML page to read in a browser",
     true},
    {ExportFormat::Mbox, "mbox", ".mbox", "mbox mailbox of the email and PIN messages", true},
}};

constexpr const ExportFormatInfo& InfoOf(ExportFormat format) {
    return kExportFormats[static_cast<std::size_t>(format)];
}
// The format a command-line name stands for (exact); nothing for another name.
const ExportFormatInfo* ExportFormatByName(std::string_view name);

// Whether records of database `db` belong in an export of `format`: the kinds the text and CSV
// exports know, contacts for vCard, appointments and tasks for iCalendar, every recognised
// database for JSON and HTML, messages and calls for the Android formats, email and PIN
// messages for mbox.
bool FormatTakes(ExportFormat format, KnownDb db);
// The same for a database node: a database the program does not decode (listed when every
// database is asked for) goes to JSON alone, as its raw fields.
bool FormatTakes(ExportFormat format, const DatabaseNode& database);

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

// "Export to: PATH is complete."
std::string CompletionText(std::string_view path);
// "1 record written.", "N records written."
std::string RecordsWrittenText(std::uint64_t records);
// What an export that wrote `records` records in `format` warns of, empty when nothing: a
// Unicode format that took no record wrote an empty document. The text and CSV files always
// hold their banners and headings.
std::string EmptyExportWarning(ExportFormat format, std::uint64_t records);

}  // namespace orrelin
