#pragma once

#include <QAbstractItemModel>
#include <QTreeView>

#include "splitmerge/check_tree.h"

namespace orrelin::gui {

// The check tree as a Qt model: one column, the node's text, and its check state as the
// decoration ("None", "Some", "All"). The model only shows states; toggling is the core's.
class CheckTreeModel : public QAbstractItemModel {
    Q_OBJECT
  public:
    // The state's key ("None", "Some", "All") of a node.
    static constexpr int kStateKeyRole = Qt::UserRole + 1;

    explicit CheckTreeModel(QObject* parent = nullptr);

    // Shows another tree (or none); the model does not own it.
    void setTree(CheckTree* tree);
    CheckTree* tree() const { return tree_; }

    NodeId node(const QModelIndex& index) const;
    QModelIndex indexOf(NodeId node) const;
    // Toggles the node and repaints every state that may have changed.
    void toggle(const QModelIndex& index);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

  private:
    CheckTree* tree_ = nullptr;
};

// A tree view of a check tree: a click on a node's state image or the space bar toggles the
// node; a click on its label only selects it. Typed characters are consumed, so the view does
// no search by typed letters; navigation keys work as usual.
class CheckTreeView : public QTreeView {
    Q_OBJECT
  public:
    explicit CheckTreeView(QWidget* parent = nullptr);
    CheckTreeModel& checkModel() { return *model_; }

    // Where the node's state image is drawn, in viewport coordinates.
    QRect stateImageRect(const QModelIndex& index) const;

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    CheckTreeModel* model_;
    QPoint pressedAt_;
    bool pressed_ = false;
};

}  // namespace orrelin::gui
