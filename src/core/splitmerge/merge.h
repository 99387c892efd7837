#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ipd/ipd_writer.h"
#include "ipd/record_index.h"
#include "splitmerge/check_tree.h"

namespace orrelin {

// Record handles are 2 bytes: a merged database numbers at most this many records.
inline constexpr std::uint64_t kMaxMergedRecords = 65535;

// Appends a record of `image` with a new database index and handle:
// [index LE16][length LE32][version][handle LE16][unique id][fields], everything but the index
// and the handle copied. A record too short to hold a handle keeps its bytes as they are.
void RenumberRecord(const IpdImage& image, RecordSpan span, std::uint16_t databaseIndex,
                    std::uint16_t handle, std::string& out);

// The marked records of one database from both trees (the first tree's, then the second's,
// each in tree order), renumbered to `databaseIndex` with handles 1, 2, 3, ...
std::string CollectMergeRecords(const CheckTree& first, const CheckTree* second, KnownDb db,
                                std::uint16_t databaseIndex);

// A database of the merged file and how many records it gets: a recognised one, or one the
// program does not decode (in a tree of every database), merged with those of the same name.
struct MergedDatabase {
    KnownDb db;
    std::uint64_t records = 0;
    std::optional<std::string> otherName;

    std::string_view name() const { return otherName ? std::string_view(*otherName) : NameOf(db); }
};

// The databases a merge of the current checks writes, in the order written; a database gets in
// when at least one of its records is marked in either tree. The recognised ones come first,
// in MergeOrder(), then the others in the order their names first appear in the first tree and
// then the second.
std::vector<MergedDatabase> PlanMerge(const CheckTree& first, const CheckTree* second);

// A failure saying why when a database of the plan has more records than handles can number.
Status CheckMergedRecordCounts(const std::vector<MergedDatabase>& plan);

// Writes the marked records of both trees as one new backup. Refused (nothing written) when the
// target is one of the trees' files or of `opened`, or when a database would hold more records
// than handles can number.
WriteOutcome WriteMerge(const CheckTree& first, const CheckTree* second, const std::string& target,
                        const ProgressCallback& progress = {},
                        const std::vector<std::string>& opened = {});

}  // namespace orrelin
