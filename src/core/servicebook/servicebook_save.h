#pragma once

// Saving an edited service book entry as a new backup of the one database "Service Book":
//   "Inter@ctive Pager Backup/Restore File" 0A, version 02, count 00 01 (big-endian), 00,
//   name entry 0D 00 "Service Book" 00, then the records, each with database index 00 00.
// Either the rebuilt entry alone, or every entry of its database in tree order with the rebuilt
// one in its place. The backup the entry came from is never changed.

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "browser/backup_tree.h"
#include "ipd/ipd_writer.h"
#include "servicebook/servicebook_record.h"

namespace orrelin {

// The 57 bytes before the records of a saved service book file.
ByteVector ServiceBookFileHeader();

// A service book entry as the editor holds it: the backup it was opened from (sharing its
// image), its record node and the whole record from its database index (`code`).
struct ServiceBookEntry {
    BackupTree tree;
    NodeId node = 0;
    ByteVector code;

    // The entry of a record node; nothing for another node or a record that does not lie
    // in the image.
    static std::optional<ServiceBookEntry> Of(const BackupTree& tree, NodeId node);
};

enum class ServiceBookSaveKind {
    EntryOnly,   // "Export Only This Entry"
    AllEntries,  // "Export All Service Books"
};

// The bytes of the file that a save writes, given the rebuilt record of the entry. All entries:
// each other record of the entry's database whole from its database index, with that index
// written as 00 00.
ByteVector AssembleServiceBookFile(const ServiceBookEntry& entry, const ByteVector& rebuilt,
                                   ServiceBookSaveKind kind);

struct ServiceBookSaveResult {
    std::optional<EditRefusal> refusal;  // the values cannot be stored: nothing was written
    std::string path;                    // the file written, or that could not be written
    std::optional<std::string> writeError;

    bool saved() const { return !refusal && !writeError; }
    // "File saved as " + path.
    std::string confirmation() const { return SavedMessage(path); }
};

// The folder part of the opened path + "Orrelin_Export_" + ddhhnnss of `when` + ".ipd", with
// "_2", "_3", ... when that name is taken.
std::string ServiceBookSaveName(std::string_view openedPath, std::tm when);

// Rebuilds the entry from the 22 values and writes the file through a temporary file: to
// `target` when given, else under ServiceBookSaveName next to the entry's backup.
ServiceBookSaveResult SaveServiceBook(const ServiceBookEntry& entry,
                                      const ServiceBookFields& values, ServiceBookSaveKind kind,
                                      const std::optional<std::string>& target, std::tm when);

}  // namespace orrelin
