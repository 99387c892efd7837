#pragma once

// The part of the tree a search leaves: the records that matched and the databases holding
// them, in tree order.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "browser/backup_tree.h"
#include "search/text_index.h"

namespace orrelin::gui {

struct TreeFilter {
    // The databases shown (positions in the record index), in tree order.
    std::vector<std::uint32_t> databases;
    // Per database position: its row under the root, or -1 when it holds no match.
    std::vector<int> rowOfDatabase;
    // Per database position: its matching record nodes, ascending (tree order).
    std::vector<std::vector<NodeId>> records;
    std::size_t total = 0;

    // The match's place in tree order, or nothing for a node that is not a shown record.
    std::optional<std::size_t> rankOf(const BackupTree& tree, NodeId node) const;
    // The n-th match in tree order (n < total).
    NodeId nth(std::size_t n) const;
};

TreeFilter MakeTreeFilter(const BackupTree& tree, const std::vector<SearchMatch>& matches);

}  // namespace orrelin::gui
