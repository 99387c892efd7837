#pragma once

#include <string>
#include <vector>

#include "ipd/ipd_writer.h"
#include "splitmerge/check_tree.h"

namespace orrelin {

// Writes the checked part of a backup as a new backup: the name table lists the checked and
// partly checked databases in tree order, and each checked record follows, unchanged but for
// its database index, which becomes its database's position in the new name table.
// The target may not be the backup itself nor any of `opened`.
WriteOutcome WriteSplit(const CheckTree& tree, const std::string& target,
                        const ProgressCallback& progress = {},
                        const std::vector<std::string>& opened = {});

// How many records a split of the current checks writes.
std::uint64_t CountSplitRecords(const CheckTree& tree);

}  // namespace orrelin
