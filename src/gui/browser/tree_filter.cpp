#include "gui/browser/tree_filter.h"

#include <algorithm>

namespace orrelin::gui {

TreeFilter MakeTreeFilter(const BackupTree& tree, const std::vector<SearchMatch>& matches) {
    const RecordIndex& index = tree.index();
    TreeFilter filter;
    filter.rowOfDatabase.assign(index.databases.size(), -1);
    filter.records.resize(index.databases.size());
    for (const SearchMatch& match : matches) {
        if (match.record >= index.records.size()) continue;
        const std::uint32_t database = index.records[match.record].database;
        filter.records[database].push_back(tree.recordNode(match.record));
    }
    for (std::uint32_t database = 0; database < filter.records.size(); ++database) {
        std::vector<NodeId>& nodes = filter.records[database];
        if (nodes.empty()) continue;
        std::sort(nodes.begin(), nodes.end());
        filter.rowOfDatabase[database] = static_cast<int>(filter.databases.size());
        filter.databases.push_back(database);
        filter.total += nodes.size();
    }
    return filter;
}

std::optional<std::size_t> TreeFilter::rankOf(const BackupTree& tree, NodeId node) const {
    if (tree.kind(node) != NodeKind::Record) return std::nullopt;
    const auto parent = tree.parent(node);
    if (!parent) return std::nullopt;
    const std::size_t database = *parent - 1;
    if (database >= records.size() || rowOfDatabase[database] < 0) return std::nullopt;
    const std::vector<NodeId>& nodes = records[database];
    const auto at = std::lower_bound(nodes.begin(), nodes.end(), node);
    if (at == nodes.end() || *at != node) return std::nullopt;
    std::size_t rank = static_cast<std::size_t>(at - nodes.begin());
    for (std::uint32_t before : databases) {
        if (before == database) break;
        rank += records[before].size();
    }
    return rank;
}

NodeId TreeFilter::nth(std::size_t n) const {
    for (std::uint32_t database : databases) {
        if (n < records[database].size()) return records[database][n];
        n -= records[database].size();
    }
    return BackupTree::kRoot;
}

}  // namespace orrelin::gui
