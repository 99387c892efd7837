#pragma once

// Exports to formats other programs read: vCard 4.0 for contacts, iCalendar for appointments
// and tasks, JSON for every record of every recognised database. Unlike the text and CSV
// exports they keep every character: 16-bit texts are decoded from their UTF-16 code units and
// 8-bit texts read through a chosen code page, and times are written as exact UTC instants.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "browser/backup_tree.h"
#include "export/export_job.h"
#include "text/codepage.h"
#include "io/progress.h"

namespace orrelin {

enum class StandardFormat { VCard, ICalendar, Json };

struct StandardFormatInfo {
    StandardFormat format;
    std::string_view name;  // as the command line names it
    std::string_view extension;
    std::string_view description;
};

inline constexpr std::array<StandardFormatInfo, 3> kStandardFormats{{
    {StandardFormat::VCard, "vcard", ".vcf", "vCard 4.0, one card per contact"},
    {StandardFormat::ICalendar, "ics", ".ics", "iCalendar, appointments and tasks"},
    {StandardFormat::Json, "json", ".json", "JSON, every record of every database"},
}};

constexpr const StandardFormatInfo& InfoOf(StandardFormat format) {
    return kStandardFormats[static_cast<std::size_t>(format)];
}
// The format a command-line name stands for (exact); nothing for another name.
const StandardFormatInfo* StandardFormatByName(std::string_view name);

struct StandardExportRequest {
    StandardFormat format = StandardFormat::Json;
    ExportScope scope = ExportScope::File;
    // One record: the record node; one database: the database node. Nothing (or a node of
    // another shape) selects no records.
    std::optional<NodeId> node;
    // How 8-bit texts are read.
    CodePage eightBitPage = CodePage::Cp1252;
    // The creation time iCalendar components carry (Unix seconds); the time of the run when
    // not given.
    std::optional<std::int64_t> stampUtc;
};

// Whether records of database `db` belong in an export of `format`: contacts for vCard,
// appointments and tasks for iCalendar, every recognised database for JSON.
bool FormatTakes(StandardFormat format, KnownDb db);

struct StandardRun {
    ExportStatus status = ExportStatus::Written;
    std::uint64_t records = 0;
};

// Writes the export through `sink`: the records of the request's scope that the format takes,
// in tree order. A scope without such records still gives a valid document: no cards, a
// calendar without components, JSON with empty arrays. Cancelled when `progress` returned
// false, Failed when the sink refused bytes.
StandardRun RenderStandardExport(const BackupTree& tree, const StandardExportRequest& request,
                                 const ExportSink& sink, const ProgressCallback& progress = {});

std::string RenderStandardExportToString(const BackupTree& tree,
                                         const StandardExportRequest& request);

// Writes the export to `path`, which appears only when complete (as ExportToFile).
ExportResult ExportStandardToFile(const BackupTree& tree, const StandardExportRequest& request,
                                  const std::string& path, const ProgressCallback& progress = {},
                                  IfTaken ifTaken = IfTaken::Replace);

// The file an export of a backup opened as `openedPath` goes to, as ExportFileName names it,
// with the format's extension.
std::string StandardExportFileName(std::string_view openedPath, StandardFormat format,
                                   std::tm when);

}  // namespace orrelin
