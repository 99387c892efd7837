#pragma once

// The export formats, one row each: what the command line and the window call it, the file it
// makes, the kinds of record it takes and the writer that renders them. The engine, the panel
// and the command line read this table alone; a new format is a row here and a writer.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "ipd/record_index.h"
#include "kinds/record_kinds.h"

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
    VCard3,
    GoogleCsv,
    OutlookCsv,
};

struct ExportHead;
class ExportWriter;
// Makes a format's writer appending to `out` (export_writer.h).
using WriterMaker = std::unique_ptr<ExportWriter> (*)(const ExportHead& head, std::string& out);

std::unique_ptr<ExportWriter> MakeTextWriter(const ExportHead& head, std::string& out);
std::unique_ptr<ExportWriter> MakeCsvWriter(const ExportHead& head, std::string& out);
std::unique_ptr<ExportWriter> MakeVCardWriter(const ExportHead& head, std::string& out);
std::unique_ptr<ExportWriter> MakeICalendarWriter(const ExportHead& head, std::string& out);
std::unique_ptr<ExportWriter> MakeJsonWriter(const ExportHead& head, std::string& out);
std::unique_ptr<ExportWriter> MakeAndroidSmsWriter(const ExportHead& head, std::string& out);
std::unique_ptr<ExportWriter> MakeAndroidCallWriter(const ExportHead& head, std::string& out);
std::unique_ptr<ExportWriter> MakeHtmlWriter(const ExportHead& head, std::string& out);
std::unique_ptr<ExportWriter> MakeMboxWriter(const ExportHead& head, std::string& out);
std::unique_ptr<ExportWriter> MakeVCard3Writer(const ExportHead& head, std::string& out);
std::unique_ptr<ExportWriter> MakeGoogleCsvWriter(const ExportHead& head, std::string& out);
std::unique_ptr<ExportWriter> MakeOutlookCsvWriter(const ExportHead& head, std::string& out);

constexpr std::uint32_t KindBit(RecordKind kind) {
    return std::uint32_t{1} << static_cast<unsigned>(kind);
}
template <typename... Kinds>
constexpr std::uint32_t KindBits(Kinds... kinds) {
    return (KindBit(kinds) | ...);
}
inline constexpr std::uint32_t kEveryKind = (std::uint32_t{1} << kRecordKindCount) - 1;

// The records a format takes: those of the kinds named, and, when `undecoded`, those of the
// databases the program does not decode (listed when every database is asked for).
struct KindsTaken {
    std::uint32_t kinds = 0;
    bool undecoded = false;
};

struct ExportFormatInfo {
    ExportFormat format;
    std::string_view name;  // as the command line names it
    // The file: an export named by the program is "Orrelin_Export_", the time and this.
    std::string_view extension;
    std::string_view description;
    std::string_view caption;  // the window's button
    // The window's row of buttons: 0 the first (the one with Cancel), 1 the second; -1 for a
    // form the window does not offer as a button of its own.
    int panelRow;
    // Whether texts are written in full Unicode, with times as exact instants. The text and
    // CSV exports write the window's own single-byte text and shown times instead.
    bool unicode;
    KindsTaken takes;
    WriterMaker writer;
    // Whether the writer names every number it writes from the address book, which the engine
    // then reads before the records.
    bool contactNames = false;
    // Whether every record is rendered on the engine's own thread (the writer uses a library
    // that keeps state of its own).
    bool oneThread = false;
    // Why this build has no such export; empty when it has.
    std::string_view missing = {};
    // The version of the format's document, for a format written in more than one (the
    // command line's --vcard-version); empty for the others. Rows of one name differ in it.
    std::string_view version = {};
    // The object name of the window's button; "export_" and the name when empty.
    std::string_view button = {};
};

#ifdef ORRELIN_WITHOUT_LIBICAL
inline constexpr std::string_view kICalendarMissing = "it was built without libical";
#else
inline constexpr std::string_view kICalendarMissing = {};
#endif

// In the order of ExportFormat.
// clang-format off
inline constexpr std::array<ExportFormatInfo, 12> kExportFormats{{
    {ExportFormat::Text, "txt", ".txt", "text blocks under banners", "Export to Text file", 0,
     false, {kEveryKind & ~KindBit(RecordKind::ServiceBook)}, MakeTextWriter, false, false, {}, {},
     "exportTextButton"},
    {ExportFormat::Csv, "csv", ".csv", "one quoted line per record", "Export to CSV file", 0,
     false, {kEveryKind & ~KindBit(RecordKind::ServiceBook)}, MakeCsvWriter, false, false, {}, {},
     "exportCsvButton"},
    {ExportFormat::VCard, "vcard", ".vcf", "vCard 4.0, one card per contact", "vCard", 0, true,
     {KindBits(RecordKind::Address)}, MakeVCardWriter, false, false, {}, "4.0"},
    {ExportFormat::ICalendar, "ics", ".ics", "iCalendar, appointments and tasks", "iCalendar", 0,
     true, {KindBits(RecordKind::Calendar, RecordKind::Task)}, MakeICalendarWriter, false, true,
     kICalendarMissing},
    {ExportFormat::Json, "json", ".json", "JSON, every record of every database", "JSON", 0, true,
     {kEveryKind, true}, MakeJsonWriter},
    {ExportFormat::AndroidSms, "android-sms", ".xml", "SMS Backup & Restore messages for Android",
     "Android SMS", 1, true, {KindBits(RecordKind::Sms)}, MakeAndroidSmsWriter, true},
    {ExportFormat::AndroidCalls, "android-calls", ".xml",
     "SMS Backup & Restore call log for Android", "Android Calls", 1, true,
     {KindBits(RecordKind::PhoneCall)}, MakeAndroidCallWriter, true},
    {ExportFormat::Html, "html", ".html", "one self-contained HTML page to read in a browser",
     "HTML", 1, true, {kEveryKind}, MakeHtmlWriter},
    {ExportFormat::Mbox, "mbox", ".mbox", "mbox mailbox of the email and PIN messages", "mbox", 1,
     true, {KindBits(RecordKind::Mail)}, MakeMboxWriter},
    {ExportFormat::VCard3, "vcard", ".vcf", "vCard 3.0, one card per contact", "vCard 3.0", -1,
     true, {KindBits(RecordKind::Address)}, MakeVCard3Writer, false, false, {}, "3.0"},
    {ExportFormat::GoogleCsv, "google-csv", ".csv", "Google Contacts CSV, one line per contact",
     "Google CSV", 1, true, {KindBits(RecordKind::Address)}, MakeGoogleCsvWriter},
    {ExportFormat::OutlookCsv, "outlook-csv", ".csv", "Outlook contacts CSV, one line per contact",
     "Outlook CSV", 1, true, {KindBits(RecordKind::Address)}, MakeOutlookCsvWriter},
}};
// clang-format on

constexpr const ExportFormatInfo& InfoOf(ExportFormat format) {
    return kExportFormats[static_cast<std::size_t>(format)];
}
// The format a command-line name stands for (exact), in `version` when given (the first row of
// the name otherwise); nothing for another name or version.
const ExportFormatInfo* ExportFormatByName(std::string_view name, std::string_view version = {});

// Whether records of database `db` belong in an export of `format`: those of the kinds its row
// takes.
inline bool FormatTakes(ExportFormat format, KnownDb db) {
    return (InfoOf(format).takes.kinds & KindBit(KindOf(db).kind)) != 0;
}
// The same for a database node: a database the program does not decode is taken by the formats
// that take such databases (JSON, as its raw fields).
inline bool FormatTakes(ExportFormat format, const DatabaseNode& database) {
    return database.decoded() ? FormatTakes(format, *database.db) : InfoOf(format).takes.undecoded;
}

}  // namespace orrelin
