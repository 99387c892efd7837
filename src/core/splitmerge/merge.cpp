#include "splitmerge/merge.h"

#include "ipd/record_frame.h"
#include "kinds/record_kinds.h"

#include <algorithm>

namespace orrelin {
namespace {

// A database of the merge: a recognised one, or the ones of a name the program does not decode.
struct MergeKey {
    KnownDb db = KnownDb::Sms;
    const std::string* otherName = nullptr;

    bool takes(const BackupTree& t, NodeId node) const {
        const DatabaseNode& database = t.database(node);
        if (!database.decoded()) return otherName && database.name() == *otherName;
        return !otherName && DatabaseOfNode(t, node) == db;
    }
};

MergeKey KeyOf(const MergedDatabase& database) {
    return {database.db, database.otherName ? &*database.otherName : nullptr};
}

// Calls `visit(image, span)` for every marked record of the key's database in the tree, in
// tree order.
template <typename Visit>
void ForEachMarkedRecord(const CheckTree& tree, const MergeKey& key, Visit&& visit) {
    const auto& t = tree.tree();
    for (std::size_t row = 0; row < t.childCount(BackupTree::kRoot); ++row) {
        NodeId node = t.child(BackupTree::kRoot, row);
        if (!tree.marked(node) || !key.takes(t, node)) continue;
        const bool all = tree.state(node) == CheckState::All;
        for (std::size_t r = 0; r < t.childCount(node); ++r) {
            NodeId record = t.child(node, r);
            if (!all && !tree.marked(record)) continue;
            if (auto span = t.span(record)) {
                if (!visit(t.image(), *span)) return;
            }
        }
    }
}

template <typename Visit>
void ForEachMergeRecord(const CheckTree& first, const CheckTree* second, const MergeKey& key,
                        Visit&& visit) {
    bool go = true;
    auto guarded = [&](const IpdImage& image, RecordSpan span) {
        go = visit(image, span);
        return go;
    };
    ForEachMarkedRecord(first, key, guarded);
    if (go && second) ForEachMarkedRecord(*second, key, guarded);
}

// Adds the names of the marked databases the program does not decode, each once.
void AddOtherNames(const CheckTree& tree, std::vector<std::string>& names) {
    const auto& t = tree.tree();
    for (std::size_t row = 0; row < t.childCount(BackupTree::kRoot); ++row) {
        NodeId node = t.child(BackupTree::kRoot, row);
        const DatabaseNode& database = t.database(node);
        if (database.decoded() || !tree.marked(node)) continue;
        if (std::find(names.begin(), names.end(), database.name()) == names.end())
            names.emplace_back(database.name());
    }
}

}  // namespace

void RenumberRecord(const IpdImage& image, RecordSpan span, std::uint16_t databaseIndex,
                    std::uint16_t handle, std::string& out) {
    // The record's bytes after its database index: from its length to its last byte.
    auto rest = image.range(span.lengthStart(), span.end);
    if (!rest) return;
    const std::size_t at = out.size();
    AppendRecordIndex(out, databaseIndex);
    out.append(reinterpret_cast<const char*>(rest->data()), rest->size());
    // Only a record that has a handle gets a new one.
    SetRecordHandle(out, at, handle);
}

std::string CollectMergeRecords(const CheckTree& first, const CheckTree* second, KnownDb db,
                                std::uint16_t databaseIndex) {
    std::string out;
    std::uint32_t handle = 1;
    ForEachMergeRecord(first, second, MergeKey{db}, [&](const IpdImage& image, RecordSpan span) {
        RenumberRecord(image, span, databaseIndex, static_cast<std::uint16_t>(handle++), out);
        return true;
    });
    return out;
}

std::vector<MergedDatabase> PlanMerge(const CheckTree& first, const CheckTree* second) {
    std::vector<MergedDatabase> plan;
    auto count = [&](const MergeKey& key) {
        std::uint64_t n = 0;
        ForEachMergeRecord(first, second, key, [&](const IpdImage&, RecordSpan) {
            ++n;
            return true;
        });
        return n;
    };
    for (KnownDb db : MergeOrder()) {
        if (std::uint64_t n = count(MergeKey{db}); n > 0) plan.push_back({db, n, {}});
    }
    std::vector<std::string> others;
    AddOtherNames(first, others);
    if (second) AddOtherNames(*second, others);
    for (std::string& name : others) {
        if (std::uint64_t n = count(MergeKey{KnownDb::Sms, &name}); n > 0)
            plan.push_back({KnownDb::Sms, n, std::move(name)});
    }
    return plan;
}

Status CheckMergedRecordCounts(const std::vector<MergedDatabase>& plan) {
    for (const auto& database : plan) {
        if (database.records > kMaxMergedRecords) {
            return Failure{"The merged database \"" + std::string(database.name()) +
                           "\" would hold " + std::to_string(database.records) +
                           " records, but record handles can number no more than 65535 records "
                           "in one database. Nothing was written: mark fewer records of it."};
        }
    }
    return {};
}

WriteOutcome WriteMerge(const CheckTree& first, const CheckTree* second, const std::string& target,
                        const ProgressCallback& progress, const std::vector<std::string>& opened) {
    const auto plan = PlanMerge(first, second);
    if (Status counts = CheckMergedRecordCounts(plan); !counts) {
        return {WriteStatus::Refused, counts.error()};
    }

    std::vector<std::string> protectedFiles = opened;
    protectedFiles.push_back(first.tree().path());
    if (second) protectedFiles.push_back(second->tree().path());
    std::uint64_t total = 0;
    for (const auto& database : plan)
        total += database.records;

    return WriteIpdFile(target, protectedFiles, total, progress, [&](IpdSink& sink) {
        std::string head;
        AppendIpdHeader(head, static_cast<std::uint16_t>(plan.size()));
        for (const auto& database : plan)
            AppendNameEntry(head, database.name());
        sink.write(head);

        bool go = true;
        std::string record;
        for (std::size_t position = 0; position < plan.size() && go; ++position) {
            std::uint32_t handle = 1;
            ForEachMergeRecord(first, second, KeyOf(plan[position]),
                               [&](const IpdImage& image, RecordSpan span) {
                                   record.clear();
                                   RenumberRecord(image, span, static_cast<std::uint16_t>(position),
                                                  static_cast<std::uint16_t>(handle++), record);
                                   sink.write(std::string_view(record));
                                   go = sink.advance();
                                   return go;
                               });
        }
        return go;
    });
}

}  // namespace orrelin
