#include "gui/browser/tree_model.h"

#include <algorithm>

#include "gui/common/icons.h"
#include "gui/common/single_byte.h"

namespace orrelin::gui {

BackupTreeModel::BackupTreeModel(QObject* parent) : QAbstractItemModel(parent) {
    for (std::size_t i = 0; i < icons_.size(); ++i)
        icons_[i] = TreeIcon(static_cast<ImageKey>(i));
}

void BackupTreeModel::setTree(BackupTree tree) {
    beginResetModel();
    tree_ = std::move(tree);
    filter_.reset();
    endResetModel();
}

void BackupTreeModel::setFilter(std::shared_ptr<const TreeFilter> filter) {
    beginResetModel();
    filter_ = std::move(filter);
    endResetModel();
}

QModelIndex BackupTreeModel::indexOf(NodeId node) const {
    if (node >= tree_.nodeCount()) return {};
    if (filter_ && node != BackupTree::kRoot) return filteredIndexOf(node);
    return createIndex(static_cast<int>(tree_.row(node)), 0, static_cast<quintptr>(node));
}

QModelIndex BackupTreeModel::filteredIndexOf(NodeId node) const {
    if (tree_.kind(node) == NodeKind::Database) {
        const int row = filter_->rowOfDatabase[node - 1];
        return row < 0 ? QModelIndex() : createIndex(row, 0, static_cast<quintptr>(node));
    }
    const auto parent = tree_.parent(node);
    if (!parent || filter_->rowOfDatabase[*parent - 1] < 0) return {};
    const std::vector<NodeId>& nodes = filter_->records[*parent - 1];
    const auto at = std::lower_bound(nodes.begin(), nodes.end(), node);
    if (at == nodes.end() || *at != node) return {};
    return createIndex(static_cast<int>(at - nodes.begin()), 0, static_cast<quintptr>(node));
}

std::size_t BackupTreeModel::childCount(NodeId node) const {
    if (!filter_) return tree_.childCount(node);
    if (node == BackupTree::kRoot) return filter_->databases.size();
    if (tree_.kind(node) == NodeKind::Database) return filter_->records[node - 1].size();
    return 0;
}

NodeId BackupTreeModel::child(NodeId node, std::size_t row) const {
    if (!filter_) return tree_.child(node, row);
    if (node == BackupTree::kRoot) return tree_.databaseNode(filter_->databases[row]);
    return filter_->records[node - 1][row];
}

NodeId BackupTreeModel::nodeOf(const QModelIndex& index) {
    return static_cast<NodeId>(index.internalId());
}

QModelIndex BackupTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (row < 0 || column != 0) return {};
    if (!parent.isValid()) {
        return row == 0 ? createIndex(0, 0, static_cast<quintptr>(BackupTree::kRoot))
                        : QModelIndex();
    }
    NodeId p = nodeOf(parent);
    auto r = static_cast<std::size_t>(row);
    if (r >= childCount(p)) return {};
    return createIndex(row, 0, static_cast<quintptr>(child(p, r)));
}

QModelIndex BackupTreeModel::parent(const QModelIndex& child) const {
    if (!child.isValid()) return {};
    auto p = tree_.parent(nodeOf(child));
    if (!p) return {};
    // Parents are the root or a database node, whose rows need no search.
    if (filter_ && *p != BackupTree::kRoot) {
        return createIndex(filter_->rowOfDatabase[*p - 1], 0, static_cast<quintptr>(*p));
    }
    return createIndex(static_cast<int>(tree_.row(*p)), 0, static_cast<quintptr>(*p));
}

int BackupTreeModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid()) return 1;
    if (parent.column() != 0) return 0;
    return static_cast<int>(childCount(nodeOf(parent)));
}

int BackupTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant BackupTreeModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    NodeId node = nodeOf(index);
    switch (role) {
        case Qt::DisplayRole:
            // While filtered, a database says how many of its records matched.
            if (filter_ && tree_.kind(node) == NodeKind::Database) {
                return shownText(node) +
                       QStringLiteral(" (%1)").arg(filter_->records[node - 1].size());
            }
            return shownText(node);
        case Qt::EditRole:
            return shownText(node);
        case Qt::DecorationRole: {
            auto key = static_cast<std::size_t>(tree_.image(node));
            if (key >= icons_.size()) return {};
            return icons_[key];
        }
        case KeyRole:
            return QString::fromStdString(tree_.key(node));
        case TagRole:
            return QString::fromStdString(tree_.tag(node));
        case ImageKeyRole:
            return QString::fromUtf8(ImageKeyName(tree_.image(node)));
        case NodeIdRole:
            return QVariant::fromValue(static_cast<quint32>(node));
        default:
            return {};
    }
}

QString BackupTreeModel::shownText(NodeId node) const {
    if (!textForm_.unicode) return FromSingleByte(tree_.text(node));
    return QString::fromStdString(tree_.unicodeText(node, textForm_));
}

void BackupTreeModel::setTextForm(const TextOptions& text) {
    Q_EMIT layoutAboutToBeChanged();
    textForm_ = text;
    Q_EMIT layoutChanged();
}

bool BackupTreeModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) return false;
    // The root shows the opened path and a database node the name its records are read by:
    // neither is the user's to rename.
    if (tree_.kind(nodeOf(index)) != NodeKind::Record) return false;
    auto text = ToSingleByte(value.toString());
    if (!text) return false;
    tree_.setText(nodeOf(index), std::move(*text));
    Q_EMIT dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

Qt::ItemFlags BackupTreeModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    // Record labels are the user's to edit in place.
    if (tree_.kind(nodeOf(index)) == NodeKind::Record)
        flags |= Qt::ItemIsEditable | Qt::ItemNeverHasChildren;
    return flags;
}

}  // namespace orrelin::gui
