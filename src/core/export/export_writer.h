#pragma once

// A format's writer (its row in export_formats.h says which kinds it is given): what an export
// puts before, between and after the records it visits, and how it renders one record. The engine
// (export_engine.cpp) walks the records; a writer only renders. record() depends on nothing but the
// record and whether it is the first of its database in the export, so records may be rendered in
// any order and joined later.

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "export/export_engine.h"
#include "kinds/record_kinds.h"

namespace orrelin {

class ContactNames;

// What every writer of a run knows from its start.
struct ExportHead {
    const BackupTree& tree;
    const ExportRequest& request;
    // The database of the scope's node: a record's own database for one record, the database
    // for one database; nothing for the whole file, a node of no database or a database the
    // program does not decode.
    std::optional<KnownDb> scopeDatabase;
    // The time stamp the formats that carry one write.
    std::int64_t stampUtc = 0;
    // The records the export writes, known before begin().
    std::uint64_t records = 0;
    // The address book's names for telephone numbers, for the formats that name every number
    // they write (their row's contactNames); null for the others.
    const ContactNames* contacts = nullptr;
    // Hands what the writer has appended so far on to the sink when it has grown large: for a
    // writer that writes much at once in endDatabase() (the HTML page's conversations), on the
    // engine's own thread.
    std::function<void()> flush;
    // The database being written (its position in the record index), set before
    // beginDatabase(); for the writer on the engine's own thread.
    std::size_t database = 0;
    // What the writers of one run share, made by the first one that needs it (writers are all
    // made on the engine's thread), null until then.
    mutable std::shared_ptr<void> shared;
};

// One record as the engine hands it over.
struct RecordItem {
    KnownDb db;
    RecordSpan span;
    std::size_t database;  // its database's position in the record index
    std::size_t row;       // position in its database, from 0
    bool first;            // the first record of its database in this export
};

class ExportWriter {
  public:
    virtual ~ExportWriter() = default;
    virtual void begin() {}
    virtual void beginDatabase(KnownDb) {}
    virtual void record(const RecordItem& item) = 0;
    virtual void endDatabase(KnownDb) {}
    virtual void end() {}
};

// A writer of the request's format appending to `out`.
inline std::unique_ptr<ExportWriter> MakeExportWriter(const ExportHead& head, std::string& out) {
    return InfoOf(head.request.format).writer(head, out);
}

// How the Unicode formats decode: every character kept, times as instants only.
inline DecodeContext UnicodeContext(const ExportRequest& request) {
    DecodeContext context;
    context.text = TextOptions{true, request.eightBitPage};
    context.displayTimes = false;
    return context;
}

}  // namespace orrelin
