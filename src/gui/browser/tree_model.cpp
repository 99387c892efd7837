#include "gui/browser/tree_model.h"

#include "gui/browser/icons.h"
#include "gui/browser/single_byte.h"

namespace orrelin::gui {

BackupTreeModel::BackupTreeModel(QObject* parent) : QAbstractItemModel(parent) {
    for (std::size_t i = 0; i < icons_.size(); ++i)
        icons_[i] = TreeIcon(static_cast<ImageKey>(i));
}

void BackupTreeModel::setTree(BackupTree tree) {
    beginResetModel();
    tree_ = std::move(tree);
    endResetModel();
}

QModelIndex BackupTreeModel::indexOf(NodeId node) const {
    if (node >= tree_.nodeCount()) return {};
    return createIndex(static_cast<int>(tree_.row(node)), 0, static_cast<quintptr>(node));
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
    if (r >= tree_.childCount(p)) return {};
    return createIndex(row, 0, static_cast<quintptr>(tree_.child(p, r)));
}

QModelIndex BackupTreeModel::parent(const QModelIndex& child) const {
    if (!child.isValid()) return {};
    auto p = tree_.parent(nodeOf(child));
    if (!p) return {};
    // Parents are the root or a database node, whose rows need no search.
    return createIndex(static_cast<int>(tree_.row(*p)), 0, static_cast<quintptr>(*p));
}

int BackupTreeModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid()) return 1;
    if (parent.column() != 0) return 0;
    return static_cast<int>(tree_.childCount(nodeOf(parent)));
}

int BackupTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant BackupTreeModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    NodeId node = nodeOf(index);
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return FromSingleByte(tree_.text(node));
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
