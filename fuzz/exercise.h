#pragma once

// Everything the program does to a backup it opens, run over arbitrary bytes: index the file,
// label every record, build its tree and decode every record with every decoder. Used by the
// fuzz target and by the test that replays the inputs the fuzzer once crashed on.
//
// Besides not crashing, the run checks what must hold for any input and returns the first
// broken rule: every record lies inside the image, and the byte forms of the field and text
// routines agree with their hex text forms.

#include <optional>
#include <string>
#include <vector>

#include "browser/backup_tree.h"
#include "browser/labels.h"
#include "ipd/hex.h"
#include "ipd/ipd_image.h"
#include "ipd/loader.h"

namespace orrelin::fuzz {

namespace detail {

// The byte routines must give what the hex text routines give on the same bytes.
inline std::optional<std::string> CheckByteForms(Bytes fields) {
    const std::string hex = BytesToHex(fields);
    for (std::uint8_t type : {std::uint8_t{2}, std::uint8_t{4}, std::uint8_t{10}, std::uint8_t{32},
                              std::uint8_t{160}}) {
        for (int mode : {0, 2}) {
            if (BytesToHex(FindField(fields, type, mode)) != FindFieldHex(hex, type, mode)) {
                return "FindField and FindFieldHex disagree on type " + std::to_string(type) +
                       " mode " + std::to_string(mode);
            }
        }
    }
    Bytes some = Slice(fields, 0, 64);
    const std::string someHex = BytesToHex(some);
    if (Utf16BeToText(some) != UnicodeHexToText(someHex)) {
        return "Utf16BeToText and UnicodeHexToText disagree";
    }
    for (bool keep : {false, true}) {
        if (BytesToStrippedText(some, keep) != StripControlChars(HexToText(someHex), keep)) {
            return "BytesToStrippedText and StripControlChars disagree";
        }
    }
    return std::nullopt;
}

}  // namespace detail

inline std::optional<std::string> ExerciseBackup(Bytes file) {
    IpdImage image(std::vector<std::uint8_t>(file.begin(), file.end()));
    RecordIndex index = BuildDatabaseNodes(image, "fuzz.ipd");
    (void)index.countsLine();

    for (const RecordEntry& entry : index.records) {
        // A body may end on the image's extra zero byte (a file one byte short), never later.
        if (entry.span.end >= entry.span.start && entry.span.end > image.fileLength()) {
            return "record " + entry.span.tag() + " lies outside the image";
        }
        auto body = image.range(entry.span.start, entry.span.end);
        if (!body) return "record " + entry.span.tag() + " cannot be read";
        if (entry.database >= index.databases.size()) return "record under no database";
        const KnownDb db = index.databases[entry.database].db;
        if (RecordImage(db, *body) != entry.image) return "record image differs on a second look";
        (void)RecordLabel(db, *body);

        // Every label routine on every record, whatever its database.
        (void)SmsLabel(*body);
        (void)SmsIsSent(*body);
        (void)ContactLabel(*body, false);
        (void)ContactLabel(*body, true);
        (void)TaskLabel(*body);
        (void)MemoLabel(*body);
        (void)CalendarLabel(*body, false);
        (void)CalendarLabel(*body, true);
        (void)ServiceBookLabel(*body);
        (void)CallLabel(*body);
        (void)CallIcon(*body);

        if (auto problem = detail::CheckByteForms(Tail(*body, 6))) return problem;
    }

    BackupTree tree(image, index);
    for (NodeId node = 0; node < tree.nodeCount(); ++node) {
        (void)tree.text(node);
        (void)tree.key(node);
        (void)tree.tag(node);
        (void)tree.image(node);
        (void)tree.databaseByParentText(node);
        const std::size_t children = tree.childCount(node);
        if (children > 0) (void)tree.child(node, children - 1);
        if (auto parent = tree.parent(node)) {
            if (tree.child(*parent, tree.row(node)) != node) return "tree rows do not round-trip";
        }
    }
    return std::nullopt;
}

}  // namespace orrelin::fuzz
