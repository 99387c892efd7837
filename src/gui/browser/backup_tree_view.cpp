#include "gui/browser/backup_tree_view.h"

#include <QHeaderView>

#include "gui/browser/tree_model.h"

namespace orrelin::gui {

BackupTreeView::BackupTreeView(BackupTreeModel& model, QWidget* parent) : QTreeView(parent) {
    setObjectName(QStringLiteral("backupTree"));
    setModel(&model);
    setHeaderHidden(true);
    setUniformRowHeights(true);
    setRootIsDecorated(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    setIconSize(QSize(16, 16));
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    header()->setStretchLastSection(false);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { currentNodeChanged(current); });
    connect(this, &QTreeView::clicked, this,
            [this](const QModelIndex& index) { nodeClicked(index); });
    // The selection model survives model resets; a reset leaves no node selected and the
    // root open.
    connect(&model, &QAbstractItemModel::modelReset, this,
            [this, &model] { expand(model.indexOf(BackupTree::kRoot)); });
}

void BackupTreeView::mousePressEvent(QMouseEvent* event) {
    changedDuringPress_ = false;
    QTreeView::mousePressEvent(event);
}

void BackupTreeView::setCurrentQuietly(const QModelIndex& index) {
    quiet_ = true;
    setCurrentIndex(index);
    quiet_ = false;
}

void BackupTreeView::currentNodeChanged(const QModelIndex& current) {
    if (!current.isValid() || quiet_) return;
    changedDuringPress_ = true;
    Q_EMIT nodeChosen(BackupTreeModel::nodeOf(current));
}

void BackupTreeView::nodeClicked(const QModelIndex& index) {
    if (!index.isValid() || changedDuringPress_) return;
    Q_EMIT nodeChosen(BackupTreeModel::nodeOf(index));
}

}  // namespace orrelin::gui
