#include "browser/tree_keys.h"

#include "kinds/record_kinds.h"

namespace orrelin {

std::string DatabaseKey(const DatabaseNode& database) {
    return std::to_string(database.index) + "DBTop";
}

const DatabaseNode* FindDatabase(const RecordIndex& index, std::string_view nameOrKey) {
    // No database name ends in "DBTop", so a text is either a key or a name.
    for (const auto& node : index.databases) {
        if (DatabaseKey(node) == nameOrKey) return &node;
    }
    return index.databaseNamed(nameOrKey);
}

std::string CountsLine(const RecordIndex& index) {
    std::string line;
    for (KnownDb db : CountedDatabases()) {
        if (!line.empty()) line += ", ";
        line += std::to_string(index.count(db)) + ' ';
        line += KindOf(db).countsCaption;
    }
    return line;
}

}  // namespace orrelin
