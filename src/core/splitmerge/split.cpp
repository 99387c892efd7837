#include "splitmerge/split.h"

#include "ipd/record_frame.h"

namespace orrelin {
namespace {

std::uint64_t MarkedChildren(const CheckTree& tree, NodeId node) {
    const auto& t = tree.tree();
    const std::size_t children = t.childCount(node);
    if (tree.state(node) == CheckState::All) return children;
    if (tree.state(node) == CheckState::None) return 0;
    std::uint64_t n = 0;
    for (std::size_t row = 0; row < children; ++row)
        n += tree.marked(t.child(node, row)) ? 1u : 0u;
    return n;
}

}  // namespace

std::uint64_t CountSplitRecords(const CheckTree& tree) {
    const auto& t = tree.tree();
    std::uint64_t n = 0;
    for (std::size_t row = 0; row < t.childCount(BackupTree::kRoot); ++row) {
        n += MarkedChildren(tree, t.child(BackupTree::kRoot, row));
    }
    return n;
}

WriteOutcome WriteSplit(const CheckTree& tree, const std::string& target,
                        const ProgressCallback& progress, const std::vector<std::string>& opened) {
    const auto& t = tree.tree();
    std::vector<std::string> protectedFiles = opened;
    protectedFiles.push_back(t.path());

    // The chosen databases in tree order; an empty database is never checked.
    std::vector<NodeId> databases;
    for (std::size_t row = 0; row < t.childCount(BackupTree::kRoot); ++row) {
        NodeId node = t.child(BackupTree::kRoot, row);
        if (tree.marked(node) && t.childCount(node) > 0) databases.push_back(node);
    }
    const std::uint64_t total = CountSplitRecords(tree);

    return WriteIpdFile(target, protectedFiles, total, progress, [&](IpdSink& sink) {
        std::string head;
        AppendIpdHeader(head, static_cast<std::uint16_t>(databases.size()));
        for (NodeId node : databases) {
            const DatabaseNode& database = t.database(node);
            if (database.decoded()) {
                AppendNameEntry(head, DatabaseOfNode(t, node));
            } else {
                AppendNameEntry(head, database.name());  // as its name table held it
            }
        }
        sink.write(head);

        // Each record: its new database index, then the source record from its length on.
        const RecordIndex& records = t.index();
        std::string index;
        for (std::size_t position = 0; position < databases.size(); ++position) {
            NodeId node = databases[position];
            const bool whole = tree.state(node) == CheckState::All;
            index.clear();
            AppendRecordIndex(index, static_cast<std::uint16_t>(position));
            for (std::uint32_t record : t.database(node).records) {
                if (!whole && !tree.marked(t.recordNode(record))) continue;
                const RecordSpan span = records.records[record].span;
                auto bytes = t.image().range(span.lengthStart(), span.end);
                if (!bytes) continue;
                sink.write(std::string_view(index));
                sink.write(*bytes);
                if (!sink.advance()) return false;
            }
        }
        return true;
    });
}

}  // namespace orrelin
