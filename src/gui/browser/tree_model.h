#pragma once

#include <QAbstractItemModel>
#include <QIcon>
#include <array>
#include <memory>

#include "browser/backup_tree.h"
#include "gui/browser/tree_filter.h"

namespace orrelin::gui {

// The main tree as a Qt model over a BackupTree: one row per node, the node id as the index's
// internal id. Texts are single-byte text shown through code page 1256; a record's label can be
// edited in place when every typed character has a code page 1256 byte. The root and the
// database nodes keep their texts: a database is known by its name.
class BackupTreeModel : public QAbstractItemModel {
    Q_OBJECT
  public:
    // Extra roles for the other windows and tests.
    enum Role { KeyRole = Qt::UserRole + 1, TagRole, ImageKeyRole, NodeIdRole };

    explicit BackupTreeModel(QObject* parent = nullptr);

    const BackupTree& tree() const { return tree_; }
    BackupTree& tree() { return tree_; }
    // Replaces the whole tree at once (a model reset); any filter goes with the old tree.
    void setTree(BackupTree tree);

    // Shows only the filter's records and the databases holding them, each database's text
    // followed by its number of matches; nullptr shows the whole tree again. A model reset.
    void setFilter(std::shared_ptr<const TreeFilter> filter);
    const TreeFilter* filter() const { return filter_.get(); }

    // Shows database names and record labels in full Unicode (text.unicode) or as single-byte
    // text through code page 1256 (the default); the views redraw.
    void setTextForm(const TextOptions& text);

    QModelIndex indexOf(NodeId node) const;
    static NodeId nodeOf(const QModelIndex& index);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

  private:
    // Children as shown: the whole tree's, or the filter's.
    std::size_t childCount(NodeId node) const;
    NodeId child(NodeId node, std::size_t row) const;
    QModelIndex filteredIndexOf(NodeId node) const;

    BackupTree tree_;
    // A node's text as shown.
    QString shownText(NodeId node) const;

    std::shared_ptr<const TreeFilter> filter_;
    TextOptions textForm_;
    std::array<QIcon, kImageKeyNames.size()> icons_;
};

}  // namespace orrelin::gui
