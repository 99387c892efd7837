#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "browser/backup_tree.h"

namespace orrelin {

// A node's check state, shown as its image: unchecked, partly checked (some but not all of its
// descendants), checked.
enum class CheckState : std::uint8_t { None, Some, All };

inline constexpr std::array<std::string_view, 3> kCheckStateKeys{"None", "Some", "All"};
constexpr std::string_view CheckStateKey(CheckState state) {
    return kCheckStateKeys[static_cast<std::size_t>(state)];
}

// A copy of a backup's tree (texts as the user sees them, keys, spans) in which every node
// carries a check state. Checking a node pushes its state down to all its descendants and
// recomputes its ancestors; an empty database can never be checked, and the root is never
// forced: it stays checked after "check everything" even when an empty database stays unchecked.
class CheckTree {
  public:
    // The tree with no file: the root alone.
    CheckTree();
    // Copies the tree and starts with every node unchecked.
    explicit CheckTree(BackupTree source);

    const BackupTree& tree() const { return tree_; }
    std::size_t nodeCount() const { return states_.size(); }
    CheckState state(NodeId node) const { return states_[node]; }

    // Unchecked or partly checked becomes checked, checked becomes unchecked; then the state
    // goes down to the descendants and up to the ancestors.
    void toggleCheck(NodeId node);
    // Gives every descendant "All" when the node is "All", else "None". A database node
    // without records becomes "None" itself.
    void checkChildren(NodeId node);
    // Recomputes the ancestors: a parent is "Some" when one of its children is "Some" or its
    // children are mixed, else the state all of its children share.
    void checkParent(NodeId node);
    // Sets one node's state alone, without propagation.
    void setState(NodeId node, CheckState state);

    // Checked or partly checked.
    bool marked(NodeId node) const { return states_[node] != CheckState::None; }

  private:
    void fillCounts();
    BackupTree tree_;
    std::vector<CheckState> states_;
    // For the root and each database node: how many of its children are in each state, so that
    // recomputing a parent does not look at all its children again.
    std::vector<std::array<std::uint32_t, 3>> childStates_;
};

// The database a database node stands for: the one its text names, as the user sees it, or
// the one it was made for when the text (edited by the user) names none. Only for a database
// the program decodes.
KnownDb DatabaseOfNode(const BackupTree& tree, NodeId databaseNode);

// The second file of a merge: read and indexed like the file of the main window, into its own
// image and tree, every node unchecked. Nothing (with the reason) when it cannot be read.
Result<CheckTree> LoadSecondIpd(const std::string& path, Databases which = Databases::Decoded);

}  // namespace orrelin
