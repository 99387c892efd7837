#include "browser/tree_keys.h"

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
    auto n = [&index](KnownDb db) { return std::to_string(index.count(db)); };
    return n(KnownDb::Sms) + " SMS Messages, " + n(KnownDb::AddressBookAll) +
           " Address Book (All), " + n(KnownDb::Tasks) + " Tasks, " + n(KnownDb::Memos) +
           " Memos, " + n(KnownDb::CalendarAll) + " Calendar, " + n(KnownDb::PhoneCallLogs) +
           " Phone Calls, " + n(KnownDb::ServiceBook) + " Service Book";
}

}  // namespace orrelin
