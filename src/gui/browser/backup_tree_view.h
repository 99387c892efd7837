#pragma once

#include "browser/backup_tree.h"

#include <QTreeView>

namespace orrelin::gui {

class BackupTreeModel;

// The tree of the opened backup. It reports a node when it becomes current (a click, the
// keyboard) and again when the current node is clicked once more, so that a pane can be shown
// anew after a setting changed.
class BackupTreeView : public QTreeView {
    Q_OBJECT
  public:
    BackupTreeView(BackupTreeModel& model, QWidget* parent);

    // Makes `index` current and selected without reporting it: a selection given back after
    // the tree was filtered, whose pane is already shown.
    void setCurrentQuietly(const QModelIndex& index);

  Q_SIGNALS:
    void nodeChosen(orrelin::NodeId node);

  protected:
    void mousePressEvent(QMouseEvent* event) override;

  private:
    void currentNodeChanged(const QModelIndex& current);
    void nodeClicked(const QModelIndex& index);

    // Set when the current node changed during the present mouse press, so the click that
    // ends the press does not report the node a second time.
    bool changedDuringPress_ = false;
    bool quiet_ = false;
};

}  // namespace orrelin::gui
