#include "gui/splitmerge/check_tree_model.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include "gui/common/icons.h"
#include "gui/common/single_byte.h"

namespace orrelin::gui {
namespace {

// The state images shared with the rest of the program: unchecked, partly checked, checked.
QIcon StateIcon(CheckState state) {
    static const std::array<QIcon, 3> icons = [] {
        std::array<QIcon, 3> out;
        for (std::size_t i = 0; i < out.size(); ++i) {
            auto key = CheckStateKey(static_cast<CheckState>(i));
            out[i] =
                CheckStateIcon(QString::fromLatin1(key.data(), static_cast<qsizetype>(key.size())));
        }
        return out;
    }();
    return icons[static_cast<std::size_t>(state)];
}

}  // namespace

CheckTreeModel::CheckTreeModel(QObject* parent) : QAbstractItemModel(parent) {}

void CheckTreeModel::setTree(CheckTree* tree) {
    beginResetModel();
    tree_ = tree;
    endResetModel();
}

NodeId CheckTreeModel::node(const QModelIndex& index) const {
    return static_cast<NodeId>(index.internalId());
}

QModelIndex CheckTreeModel::indexOf(NodeId node) const {
    if (!tree_ || node >= tree_->nodeCount()) return {};
    return createIndex(static_cast<int>(tree_->tree().row(node)), 0, static_cast<quintptr>(node));
}

QModelIndex CheckTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (!tree_ || row < 0 || column != 0) return {};
    if (!parent.isValid()) {
        return row == 0 ? createIndex(0, 0, static_cast<quintptr>(BackupTree::kRoot))
                        : QModelIndex();
    }
    const NodeId p = node(parent);
    if (static_cast<std::size_t>(row) >= tree_->tree().childCount(p)) return {};
    return createIndex(
        row, 0, static_cast<quintptr>(tree_->tree().child(p, static_cast<std::size_t>(row))));
}

QModelIndex CheckTreeModel::parent(const QModelIndex& child) const {
    if (!tree_ || !child.isValid()) return {};
    auto p = tree_->tree().parent(node(child));
    return p ? indexOf(*p) : QModelIndex();
}

int CheckTreeModel::rowCount(const QModelIndex& parent) const {
    if (!tree_) return 0;
    if (!parent.isValid()) return 1;
    if (parent.column() != 0) return 0;
    return static_cast<int>(tree_->tree().childCount(node(parent)));
}

int CheckTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant CheckTreeModel::data(const QModelIndex& index, int role) const {
    if (!tree_ || !index.isValid()) return {};
    const NodeId n = node(index);
    const QString key = QString::fromLatin1(CheckStateKey(tree_->state(n)));
    switch (role) {
        case Qt::DisplayRole:
            return FromSingleByte(tree_->tree().text(n));
        case Qt::DecorationRole:
            return StateIcon(tree_->state(n));
        case kStateKeyRole:
            return key;
        default:
            return {};
    }
}

void CheckTreeModel::toggle(const QModelIndex& index) {
    if (!tree_ || !index.isValid()) return;
    tree_->toggleCheck(node(index));
    // A toggle reaches the node's descendants and ancestors: repaint the root, the databases
    // and every record row, one range per parent.
    const QModelIndex root = indexOf(BackupTree::kRoot);
    Q_EMIT dataChanged(root, root, {Qt::DecorationRole, kStateKeyRole});
    const int databases = rowCount(root);
    if (databases == 0) return;
    Q_EMIT dataChanged(this->index(0, 0, root), this->index(databases - 1, 0, root),
                       {Qt::DecorationRole, kStateKeyRole});
    for (int row = 0; row < databases; ++row) {
        const QModelIndex database = this->index(row, 0, root);
        const int records = rowCount(database);
        if (records > 0) {
            Q_EMIT dataChanged(this->index(0, 0, database), this->index(records - 1, 0, database),
                               {Qt::DecorationRole, kStateKeyRole});
        }
    }
}

CheckTreeView::CheckTreeView(QWidget* parent)
    : QTreeView(parent), model_(new CheckTreeModel(this)) {
    setModel(model_);
    setHeaderHidden(true);
    setUniformRowHeights(true);
    setExpandsOnDoubleClick(true);
    // Every node starts expanded; only the root and the databases have children, so expanding
    // them alone spares a walk over every record row.
    connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        const QModelIndex root = model_->index(0, 0);
        if (!root.isValid()) return;
        expand(root);
        for (int row = 0; row < model_->rowCount(root); ++row)
            expand(model_->index(row, 0, root));
    });
}

QRect CheckTreeView::stateImageRect(const QModelIndex& index) const {
    const QRect item = visualRect(index);
    if (!item.isValid()) return {};
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = item;
    option.index = index;
    option.features |= QStyleOptionViewItem::HasDecoration | QStyleOptionViewItem::HasDisplay;
    option.decorationSize = iconSize().isValid()
                                ? iconSize()
                                : QSize(style()->pixelMetric(QStyle::PM_SmallIconSize),
                                        style()->pixelMetric(QStyle::PM_SmallIconSize));
    option.text = index.data(Qt::DisplayRole).toString();
    return style()->subElementRect(QStyle::SE_ItemViewItemDecoration, &option, this);
}

void CheckTreeView::mousePressEvent(QMouseEvent* event) {
    pressedAt_ = event->position().toPoint();
    pressed_ = event->button() == Qt::LeftButton;
    QTreeView::mousePressEvent(event);
}

void CheckTreeView::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton;
    pressed_ = false;
    QTreeView::mouseReleaseEvent(event);
    if (!click) return;
    const QModelIndex index = indexAt(pressedAt_);
    if (index.isValid() && index == indexAt(event->position().toPoint()) &&
        stateImageRect(index).contains(pressedAt_)) {
        model_->toggle(index);
    }
}

void CheckTreeView::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    const bool typed = !text.isEmpty() && text != QLatin1String("\t") &&
                       !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (!typed) {
        QTreeView::keyPressEvent(event);
        return;
    }
    if (text == QLatin1String(" ") && currentIndex().isValid()) model_->toggle(currentIndex());
    event->accept();
}

}  // namespace orrelin::gui
