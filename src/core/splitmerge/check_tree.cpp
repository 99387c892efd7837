#include "splitmerge/check_tree.h"

namespace orrelin {

CheckTree::CheckTree() : CheckTree(BackupTree()) {}

CheckTree::CheckTree(BackupTree source)
    : tree_(std::move(source)), states_(tree_.nodeCount(), CheckState::None) {
    fillCounts();
    setState(BackupTree::kRoot, CheckState::None);
    checkChildren(BackupTree::kRoot);
}

void CheckTree::fillCounts() {
    // Only the root and the database nodes have children.
    const std::size_t parents = 1 + tree_.childCount(BackupTree::kRoot);
    childStates_.assign(parents, {0, 0, 0});
    for (std::size_t p = 0; p < parents; ++p) {
        childStates_[p][static_cast<std::size_t>(CheckState::None)] =
            static_cast<std::uint32_t>(tree_.childCount(static_cast<NodeId>(p)));
    }
}

void CheckTree::setState(NodeId node, CheckState state) {
    CheckState old = states_[node];
    if (old == state) return;
    states_[node] = state;
    if (auto parent = tree_.parent(node)) {
        auto& counts = childStates_[*parent];
        --counts[static_cast<std::size_t>(old)];
        ++counts[static_cast<std::size_t>(state)];
    }
}

void CheckTree::toggleCheck(NodeId node) {
    setState(node, states_[node] == CheckState::All ? CheckState::None : CheckState::All);
    checkChildren(node);
    checkParent(node);
}

void CheckTree::checkChildren(NodeId node) {
    const std::size_t children = tree_.childCount(node);
    if (tree_.kind(node) == NodeKind::Database && children == 0) {
        setState(node, CheckState::None);
    }
    const CheckState down = states_[node] == CheckState::All ? CheckState::All : CheckState::None;
    if (tree_.kind(node) == NodeKind::Database) {
        // Records have no children, and all of them share this node's counts.
        for (std::uint32_t record : tree_.database(node).records)
            states_[tree_.recordNode(record)] = down;
        auto& counts = childStates_[node];
        counts = {0, 0, 0};
        counts[static_cast<std::size_t>(down)] = static_cast<std::uint32_t>(children);
        return;
    }
    for (std::size_t row = 0; row < children; ++row) {
        NodeId child = tree_.child(node, row);
        setState(child, down);
        checkChildren(child);
    }
}

void CheckTree::checkParent(NodeId node) {
    while (auto parent = tree_.parent(node)) {
        const auto& counts = childStates_[*parent];
        const bool some = counts[static_cast<std::size_t>(CheckState::Some)] > 0;
        const bool none = counts[static_cast<std::size_t>(CheckState::None)] > 0;
        const bool all = counts[static_cast<std::size_t>(CheckState::All)] > 0;
        CheckState state = CheckState::Some;
        if (!some && !none) state = CheckState::All;
        if (!some && !all) state = CheckState::None;
        setState(*parent, state);
        node = *parent;
    }
}

KnownDb DatabaseOfNode(const BackupTree& tree, NodeId databaseNode) {
    if (auto named = KnownDbByName(tree.text(databaseNode))) return *named;
    return *tree.database(databaseNode).db;
}

Result<CheckTree> LoadSecondIpd(const std::string& path, Databases which) {
    auto tree = BackupTree::Open(path, which);
    if (!tree) return Failure{tree.error()};
    return CheckTree(std::move(*tree));
}

}  // namespace orrelin
