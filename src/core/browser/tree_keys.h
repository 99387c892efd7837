#pragma once

// How the tree names its database nodes and sums up a backup in the status bar.

#include <string>
#include <string_view>

#include "ipd/record_index.h"

namespace orrelin {

// A database node's key: its position in the name table and "DBTop", such as "3DBTop".
std::string DatabaseKey(const DatabaseNode& database);

// The database node with that key, else the first of that name with records, else the first
// of that name; nothing when none matches.
const DatabaseNode* FindDatabase(const RecordIndex& index, std::string_view nameOrKey);

// The status line: "12 SMS Messages, 30 Address Book (All), 0 Tasks, ...".
std::string CountsLine(const RecordIndex& index);

}  // namespace orrelin
