#pragma once

#include <string>
#include <string_view>

#include "io/progress.h"
#include "ipd/ipd_image.h"
#include "ipd/record_index.h"

namespace orrelin {

// Reads the name table and walks every record of the image: one database node per recognised
// name (per name with Databases::All), one record entry (its span) per record of such a
// database. A damaged file yields the part read before the damage and a WalkStop saying where;
// nothing here throws or reads outside the image.
RecordIndex BuildDatabaseNodes(const IpdImage& image, std::string rootText);
// The same, telling `progress` how many bytes of the file the walk has passed. When it returns
// false the walk stops there, with a WalkStop whose reason is "cancelled".
RecordIndex BuildDatabaseNodes(const IpdImage& image, std::string rootText,
                               const ProgressCallback& progress,
                               Databases which = Databases::Decoded);

// The record walk alone, from `offset` (the first record), into an index whose database nodes
// and slots are already filled. Records of nodes that are not decoded go to the node of their
// name-table position.
void ScanRecords(const IpdImage& image, std::uint64_t offset, RecordIndex& index,
                 const ProgressCallback& progress = {});

// The warning for a walk that stopped early: "PATH: the walk stopped at byte offset N: WHY".
std::string WalkStopWarning(std::string_view path, const WalkStop& stop);

}  // namespace orrelin
