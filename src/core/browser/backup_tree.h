#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/result.h"
#include "decoders/decode_context.h"
#include "ipd/ipd_image.h"
#include "ipd/record_index.h"
#include "kinds/image_keys.h"
#include "text/single_byte.h"

namespace orrelin {

using NodeId = std::uint32_t;
enum class NodeKind { Root, Database, Record };

// An opened backup as its tree shows it: the root, the recognised databases in name-table order
// and their records in file order, over the image the records lie in. Node ids follow the
// order of creation (0 the root, then the database nodes, then the record nodes in file order),
// so one index serves a million records without a node object each. Record labels are made
// from the record when asked for; only texts the user edited are stored.
class BackupTree {
  public:
    static constexpr NodeId kRoot = 0;
    static constexpr std::string_view kEmptyRootText = "IPD Databases";

    // The tree before any file is opened: the root "IPD Databases" alone.
    BackupTree();
    BackupTree(IpdImage image, RecordIndex index, std::vector<std::string> warnings = {});

    // Reads and indexes a file (an IPD file or a .bbb archive) through OpenBackupFile
    // (browser/open_backup.h), or says why not in its words. With Databases::All the databases
    // the program does not decode are nodes too.
    static Result<BackupTree> Open(const std::string& path, Databases which = Databases::Decoded);

    const IpdImage& image() const { return state_->image; }
    const RecordIndex& index() const { return state_->index; }
    // The opened path ("" before any Open).
    const std::string& path() const { return state_->index.rootText; }
    bool loaded() const { return state_->loaded; }
    // What Open found worth telling about how an archive was put together (sentences without
    // the file's name).
    const std::vector<std::string>& warnings() const { return state_->warnings; }

    std::size_t nodeCount() const {
        return 1 + state_->index.databases.size() + state_->index.records.size();
    }
    NodeKind kind(NodeId node) const;
    std::optional<NodeId> parent(NodeId node) const;
    std::size_t childCount(NodeId node) const;
    NodeId child(NodeId node, std::size_t row) const;
    // Position among its siblings.
    std::size_t row(NodeId node) const;
    // 1-based position in the tree's node collection (creation order).
    std::size_t collectionIndex(NodeId node) const { return static_cast<std::size_t>(node) + 1; }

    // Single-byte text: the root's path, a database's name, a record's label (or what the
    // user typed over any of them).
    SingleByteText text(NodeId node) const;
    void setText(NodeId node, SingleByteText text);
    // The same text in full Unicode (UTF-8): a record's label made from its texts in full
    // Unicode, a database's name read through text.eightBitPage; the root and what the user
    // typed through code page 1256.
    std::string unicodeText(NodeId node, const TextOptions& text) const;
    // "Top", "<index>DBTop", or "" for records.
    std::string key(NodeId node) const;
    // The record's span tag "start:end", or "" for other nodes.
    std::string tag(NodeId node) const;
    std::optional<RecordSpan> span(NodeId node) const;
    ImageKey image(NodeId node) const;

    NodeId databaseNode(std::size_t database) const { return static_cast<NodeId>(1 + database); }
    // The database a database node stands for (`node` must be one).
    const DatabaseNode& database(NodeId node) const { return index().databases[node - 1]; }
    // The database node a record node lies under, as the index holds it; nothing for other
    // nodes.
    const DatabaseNode* databaseOf(NodeId node) const;
    NodeId recordNode(std::size_t record) const {
        return static_cast<NodeId>(1 + index().databases.size() + record);
    }
    // The record's database as its parent node's text names it (exact comparison): the text
    // the window and the exports go by; nothing for other nodes, an edited name or a database
    // the program does not decode.
    std::optional<KnownDb> databaseByParentText(NodeId node) const;

  private:
    struct State {
        IpdImage image;
        RecordIndex index;
        bool loaded = false;
        std::vector<std::string> warnings;
    };
    std::shared_ptr<const State> state_;
    std::unordered_map<NodeId, SingleByteText> edited_;
};

}  // namespace orrelin
