#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ipd/ipd_format.h"

namespace orrelin {

// Where a record's body lies in the image: from its handle (start, kRecordHandleAt bytes after
// the record's first byte) to its last byte (end), both inclusive. Stated as the tag "start:end".
struct RecordSpan {
    std::uint64_t start = 0;
    std::uint64_t end = 0;

    // The offsets of the record's first byte (its database index) and of its length field.
    std::uint64_t recordStart() const { return start - kRecordHandleAt; }
    std::uint64_t lengthStart() const { return start - kRecordHandleAt + kRecordLengthAt; }

    std::string tag() const;
    // Splits "start:end"; nothing for a text of another shape.
    static std::optional<RecordSpan> Parse(std::string_view tag);
    friend bool operator==(const RecordSpan&, const RecordSpan&) = default;
};

// A database of the name table: a node under the root. The recognised ones always; the others
// only when every database is asked for (Databases::All), with their name as the table holds it.
struct DatabaseNode {
    std::uint16_t index = 0;  // position in the name table
    // The recognised database; nothing for one the program does not decode (read as raw fields).
    std::optional<KnownDb> db;
    std::vector<std::uint32_t> records;  // positions in RecordIndex::records, file order
    // The name of a database the program does not decode (single-byte text, control
    // characters but line breaks dropped); nothing for a recognised one.
    std::optional<std::string> otherName;

    bool decoded() const { return db.has_value(); }
    std::string_view name() const {
        if (db) return NameOf(*db);
        return otherName ? std::string_view(*otherName) : std::string_view();
    }
};

// Which databases a walk makes nodes of: the recognised ones, or every one of the name table.
enum class Databases : std::uint8_t { Decoded, All };

struct RecordEntry {
    RecordSpan span;
    std::uint32_t database = 0;  // position in RecordIndex::databases
};

// Why a walk over a damaged file stopped, and at which byte offset.
struct WalkStop {
    std::uint64_t offset = 0;
    std::string reason;
};

// What a walk over a backup finds: the recognised databases in name-table order and every record
// of them in file order, each record knowing its database.
struct RecordIndex {
    std::string rootText;  // the path as it was given
    std::vector<DatabaseNode> databases;
    std::vector<RecordEntry> records;
    // Per known database: its index in the name table, or -1 (the last of a repeated name wins).
    std::array<std::int32_t, kKnownDbCount> slots{};
    std::array<std::uint32_t, kKnownDbCount> counts{};
    std::optional<WalkStop> stop;  // set when the walk ended before the end of the file

    bool complete() const { return !stop.has_value(); }
    std::uint32_t count(KnownDb db) const { return counts[static_cast<std::size_t>(db)]; }

    // The first database of that name with records, else the first of that name.
    const DatabaseNode* databaseNamed(std::string_view name) const;
};

}  // namespace orrelin
