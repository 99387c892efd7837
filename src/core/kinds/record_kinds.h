#pragma once

// The kinds of record the program reads, one row a kind and one a database: what its records
// are, how the tree labels them and which image it gives them, how they are decoded, how the
// window shows them and what the exports call them. The tree, the panes, every export and the
// command line read these tables; a new kind of record is a decoder, its field table
// (decoders/field_tables.h) and rows here.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "decoders/decode_context.h"
#include "decoders/field_tables.h"
#include "ipd/byte_reader.h"
#include "ipd/ipd_format.h"
#include "ipd/ipd_image.h"
#include "ipd/record_index.h"
#include "kinds/image_keys.h"

namespace orrelin {

// The kinds of record; the two address books share one kind and so do the two calendars, the
// three message databases and the two browser address databases. Raw is the kind of every
// database the program does not decode: its records are read as their raw fields.
enum class RecordKind : std::uint8_t {
    Sms,
    Address,
    Task,
    Memo,
    Calendar,
    PhoneCall,
    ServiceBook,
    Mail,
    Bookmark,
    BrowserUrl,
    TimeZone,
    Raw,  // stays last
};
inline constexpr std::size_t kRecordKindCount = static_cast<std::size_t>(RecordKind::Raw) + 1;

// A decoded record of any kind: its texts by slot, as the pane shows them, and what some
// exports need beside them.
struct RecordValues {
    static constexpr std::size_t kMaxSlots = 35;
    std::array<std::string, kMaxSlots> texts;
    std::size_t count = 0;  // slots of the kind
    // The record's times as instants (seconds since 1970 UTC) where it has them: a message's
    // sent and received time, an appointment's start and end, a call's time.
    std::optional<std::int64_t> firstInstant;
    std::optional<std::int64_t> secondInstant;
    // A contact's JPEG photo, inside the image it was decoded from.
    Bytes photo;
    // A call's duration in seconds, a message's attachments.
    std::int64_t number = 0;

    std::span<const std::string> view() const { return {texts.data(), count}; }
};

// The texts an ExtraValue::JoinedTexts row names, the empty ones left out, joined by ".".
std::string JoinedTexts(const RecordValues& values, const ExtraRow& extra);

// What the text and CSV exports call a kind; empty captions for a kind they do not write.
struct TextExportNames {
    std::string_view selectedCaption;  // the panel's option for one record
    std::string_view allCaption;       // the panel's option for its whole database
    std::string_view selectedTitle;    // banner of a one-record export
    std::string_view allTitle;         // banner of a one-database export
    // The text block ends with a line break, so an empty line follows the record.
    bool blankLineAfter = false;
};

// How the window lays a kind's pane out: a form of the pane's rows, the service book's own form
// (the one its editor shares), or the table of a record's raw fields.
enum class PaneLayout : std::uint8_t { Rows, ServiceBook, RawFields };

// How the window shows a record of a kind: the pane's caption and object name, its fields'
// object names in the order shown, their shapes, the tabs and the order of the table's rows.
struct PaneInfo {
    std::string_view title;
    std::string_view objectName;
    std::span<const std::string_view> fieldNames;
    std::span<const PaneShapeAt> shapes;
    std::span<const PaneTab> tabs;
    std::span<const std::uint8_t> order;  // rows by their index; empty: the table's order
    std::string_view tallField;           // a box given room for many lines, or ""
    std::uint8_t stackAt;                 // place among the stacked panes, from 0
    // Shows single-byte text whatever the Unicode option (what the service book editor edits).
    bool singleByte = false;
    // The object name of a box showing the record's JPEG photo beside the first tab's fields,
    // or "" for a kind without photos.
    std::string_view photo = {};
    PaneLayout layout = PaneLayout::Rows;
};

// How a kind's tree label is made of the fields its label row names.
enum class LabelJoin : std::uint8_t {
    // The first slot's 16-bit field when that holds data, else its 8-bit field.
    Title,
    // The first of the slots' fields that shows any text, each slot's 16-bit field before its
    // 8-bit one; the row's fallback when none does.
    FirstShown,
    // A contact's two names joined as ContactLabel joins them, both in the form of the first
    // slot's field (16-bit when it holds data), the second read from the field directly after it.
    Names,
};

// Field data a label is read from, in the order tried.
struct LabelPiece {
    Bytes data;
    bool wide = false;  // 16-bit text
};
struct LabelPieces {
    std::array<LabelPiece, 4> at{};
    std::size_t count = 0;
    constexpr void add(Bytes data, bool wide) { at[count++] = {data, wide}; }
};

// The pieces of a label that the slots cannot state, read from the record's fields; they are
// tried in order like FirstShown's.
using LabelReader = LabelPieces (*)(Bytes fields);

// How the tree labels a record of a kind, read from its body alone (kinds/label_rules.h).
struct LabelRule {
    std::array<std::uint8_t, 2> slots{};
    std::uint8_t slotCount = 0;
    LabelJoin join = LabelJoin::Title;
    std::string_view fallback;     // the label when it comes out empty
    LabelReader reader = nullptr;  // reads the pieces instead of the slots' fields
    // Where the record's fields begin in its body (after the handle and the unique id); the
    // fields of the "- All" forms lie inside the first type-10 field there.
    std::size_t fieldsAt = kBodyFieldsAt;
};

// Decodes a record into `out` (its earlier values replaced); `allForm`: the database's records
// have the "- All" form (ipd_format.h).
using KindDecoder = void (*)(const IpdImage& image, RecordSpan span, bool allForm,
                             const DecodeContext& context, RecordValues& out);

struct KindInfo {
    RecordKind kind;
    std::span<const FieldRow> fields;
    std::span<const ExtraRow> extras;  // JSON values beside the texts
    TextExportNames text;
    PaneInfo pane;
    KindDecoder decode;  // nothing for Raw
    LabelRule label;     // nothing for Raw (OtherDatabaseKind)

    bool textExported() const { return !text.selectedCaption.empty(); }
};

struct DatabaseKind {
    KnownDb db;
    RecordKind kind;
    // Banner of the database in a whole-file text export: the title behind its spaces. An
    // empty title: the text and CSV exports leave the database out.
    std::size_t fileTitleIndent;
    std::string_view fileTitle;
    // Its place among the databases of a merged file, from 0.
    std::uint8_t mergeAt;
    // Its place in the counts line, from 1 (0: not counted there), and the caption there.
    std::uint8_t countsAt;
    std::string_view countsCaption;
    // The tree image, read from the record body (handle to last byte). The label is the kind's.
    ImageKey (*image)(Bytes body);
};

// The row every database the program does not decode shares (they are listed only when every
// database is asked for): labels and image read from the raw fields (kinds/raw_fields.h), which
// are also what its records show.
struct OtherDatabaseKind {
    RecordKind kind;
    std::string (*label)(Bytes body);
    std::string (*unicodeLabel)(Bytes body, const TextOptions& text);
    ImageKey (*image)(Bytes body);
};

const KindInfo& InfoOf(RecordKind kind);
const DatabaseKind& KindOf(KnownDb db);
const OtherDatabaseKind& OtherKind();
inline const KindInfo& KindInfoOf(KnownDb db) {
    return InfoOf(KindOf(db).kind);
}
// The kind of a database's records: its row's, Raw for one the program does not decode.
inline RecordKind KindOfDatabase(const DatabaseNode& database) {
    return database.db ? KindOf(*database.db).kind : RecordKind::Raw;
}

// The recognised databases in the order a merged file lists them.
std::span<const KnownDb> MergeOrder();
// The databases the counts line counts, in its order.
std::span<const KnownDb> CountedDatabases();

// The column rows of a kind in the text and CSV exports, in their order there.
std::span<const FieldRow> ExportColumns(RecordKind kind);
// The text rows of a kind in the JSON export, in their order there.
std::span<const FieldRow> JsonTexts(RecordKind kind);

// Decodes a record of database `db` into `out` (its earlier values replaced).
inline void DecodeRecord(const IpdImage& image, KnownDb db, RecordSpan span,
                         const DecodeContext& context, RecordValues& out) {
    KindInfoOf(db).decode(image, span, IsAllForm(db), context, out);
}

}  // namespace orrelin
