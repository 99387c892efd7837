#include "browser/backup_tree.h"

#include <algorithm>

#include "browser/open_backup.h"
#include "browser/tree_keys.h"
#include "kinds/labels.h"
#include "text/codepage.h"

namespace orrelin {

BackupTree::BackupTree() {
    auto state = std::make_shared<State>();
    state->index.slots.fill(-1);
    state_ = std::move(state);
}

BackupTree::BackupTree(IpdImage image, RecordIndex index, std::vector<std::string> warnings) {
    auto state = std::make_shared<State>();
    state->warnings = std::move(warnings);
    state->image = std::move(image);
    state->index = std::move(index);
    state->loaded = true;
    state_ = std::move(state);
}

Result<BackupTree> BackupTree::Open(const std::string& path, Databases which) {
    OpenOptions options;
    options.which = which;
    auto opened = OpenBackupFile(path, options);
    if (!opened) return Failure{opened.error()};
    return BackupTree(std::move(opened->image), std::move(opened->index),
                      std::move(opened->warnings));
}

NodeKind BackupTree::kind(NodeId node) const {
    if (node == kRoot) return NodeKind::Root;
    if (node <= index().databases.size()) return NodeKind::Database;
    return NodeKind::Record;
}

std::optional<NodeId> BackupTree::parent(NodeId node) const {
    switch (kind(node)) {
        case NodeKind::Root:
            return std::nullopt;
        case NodeKind::Database:
            return kRoot;
        case NodeKind::Record: {
            const auto& entry = index().records[node - 1 - index().databases.size()];
            return databaseNode(entry.database);
        }
    }
    return std::nullopt;
}

std::size_t BackupTree::childCount(NodeId node) const {
    switch (kind(node)) {
        case NodeKind::Root:
            return index().databases.size();
        case NodeKind::Database:
            return database(node).records.size();
        case NodeKind::Record:
            return 0;
    }
    return 0;
}

NodeId BackupTree::child(NodeId node, std::size_t row) const {
    if (node == kRoot) return databaseNode(row);
    return recordNode(database(node).records[row]);
}

std::size_t BackupTree::row(NodeId node) const {
    switch (kind(node)) {
        case NodeKind::Root:
            return 0;
        case NodeKind::Database:
            return node - 1;
        case NodeKind::Record: {
            auto record = static_cast<std::uint32_t>(node - 1 - index().databases.size());
            const auto& siblings = index().databases[index().records[record].database].records;
            auto it = std::lower_bound(siblings.begin(), siblings.end(), record);
            return static_cast<std::size_t>(it - siblings.begin());
        }
    }
    return 0;
}

SingleByteText BackupTree::text(NodeId node) const {
    if (auto it = edited_.find(node); it != edited_.end()) return it->second;
    switch (kind(node)) {
        case NodeKind::Root:
            return loaded() ? path() : std::string(kEmptyRootText);
        case NodeKind::Database:
            return std::string(database(node).name());
        case NodeKind::Record: {
            const auto& entry = index().records[node - 1 - index().databases.size()];
            auto body = image().range(entry.span.start, entry.span.end);
            if (!body) return {};
            const DatabaseNode& database = index().databases[entry.database];
            return image().fromArchive() ? ArchiveRecordLabel(database, *body)
                                         : RecordLabel(database, *body);
        }
    }
    return {};
}

std::string BackupTree::unicodeText(NodeId node, const TextOptions& text) const {
    if (edited_.count(node) != 0 || kind(node) == NodeKind::Root) {
        return SingleByteToUtf8(this->text(node));
    }
    if (kind(node) == NodeKind::Database) {
        return SingleByteToUtf8(database(node).name(), text.eightBitPage);
    }
    const auto& entry = index().records[node - 1 - index().databases.size()];
    auto body = image().range(entry.span.start, entry.span.end);
    return body ? UnicodeLabel(index().databases[entry.database], *body,
                               TextOptionsFor(image(), text))
                : std::string{};
}

void BackupTree::setText(NodeId node, SingleByteText text) {
    edited_[node] = std::move(text);
}

std::string BackupTree::key(NodeId node) const {
    switch (kind(node)) {
        case NodeKind::Root:
            return "Top";
        case NodeKind::Database:
            return DatabaseKey(database(node));
        case NodeKind::Record:
            return {};
    }
    return {};
}

std::optional<RecordSpan> BackupTree::span(NodeId node) const {
    if (kind(node) != NodeKind::Record) return std::nullopt;
    return index().records[node - 1 - index().databases.size()].span;
}

std::string BackupTree::tag(NodeId node) const {
    auto s = span(node);
    return s ? s->tag() : std::string();
}

ImageKey BackupTree::image(NodeId node) const {
    switch (kind(node)) {
        case NodeKind::Root:
            return ImageKey::sheet;
        case NodeKind::Database:
            return ImageKey::none;
        case NodeKind::Record: {
            const auto& entry = index().records[node - 1 - index().databases.size()];
            auto body = image().range(entry.span.start, entry.span.end);
            return body ? RecordImage(index().databases[entry.database], *body) : ImageKey::none;
        }
    }
    return ImageKey::none;
}

const DatabaseNode* BackupTree::databaseOf(NodeId node) const {
    if (kind(node) != NodeKind::Record) return nullptr;
    return &index().databases[index().records[node - 1 - index().databases.size()].database];
}

std::optional<KnownDb> BackupTree::databaseByParentText(NodeId node) const {
    if (kind(node) != NodeKind::Record || !databaseOf(node)->decoded()) return std::nullopt;
    return KnownDbByName(text(*parent(node)));
}

}  // namespace orrelin
