#pragma once

// The core headers come before Qt's, whose keyword macros would otherwise reach them.
#include "browser/backup_tree.h"
#include "decoders/decode_context.h"
#include "gui/browser/tree_filter.h"
#include "gui/common/background_job.h"
#include "search/text_index.h"

#include <QSet>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <cstddef>
#include <memory>
#include <optional>

class QLabel;
class QLineEdit;

namespace orrelin::gui {

class BackupTreeModel;
class BackupTreeView;

// The search field above the tree. Typing filters the tree to the records whose label or a
// decoded value holds the text, keeping their databases with the number of matches; Enter and
// F3 step to the next match, Shift+F3 to the one before; Ctrl+F focuses the field and Esc
// empties it. An empty field gives back the tree as it was, with its expansion and selection.
// The text index is built on a pool thread once a backup is shown; a search typed before it is
// ready waits for it, showing the progress.
class FindBar : public QWidget {
    Q_OBJECT
  public:
    FindBar(BackupTreeModel& model, BackupTreeView& view, QWidget* parent);
    ~FindBar() override;

    QLineEdit& field() { return *field_; }
    // The status bar's text for the search: the number of matches, or the indexing progress.
    // Hidden while the field is empty.
    QLabel& statusLabel() { return *status_; }

    // Before another backup replaces the tree: the field is emptied and the index dropped.
    void reset();
    // The backup now in the model is shown: its index is built in the background.
    void backupShown(const DecodeContext& context);

    bool indexReady() const { return index_ != nullptr; }
    // Runs a search that is still waiting for the typing to pause.
    void searchNow();
    // The matches of the search in force; 0 without one.
    std::size_t matchCount() const;

  public Q_SLOTS:
    void focusField();
    void nextMatch();
    void previousMatch();
    void clear();

  Q_SIGNALS:
    // The index of the shown backup is ready.
    void indexBuilt();
    // A search was applied to the tree.
    void searched(std::size_t matches);

  private:
    void textChanged();
    void runSearch();
    void applyFilter(std::shared_ptr<const TreeFilter> filter);
    void restoreTree();
    void step(bool forward);
    void buildDone();
    void showProgress();
    void remember(const QModelIndex& current);
    void selectRemembered();

    BackupTreeModel& model_;
    BackupTreeView& view_;
    QLineEdit* field_ = nullptr;
    QLabel* status_ = nullptr;
    QTimer pause_;     // the typing pause before a search
    QTimer progress_;  // the indexing progress while a search waits

    BackgroundJob build_;  // of the text index
    std::shared_ptr<const TextIndex> index_;
    bool waiting_ = false;  // a search waits for the index

    // The tree's state when the search began, given back when the field is emptied.
    bool filtered_ = false;
    QSet<NodeId> expanded_;
    std::optional<NodeId> currentBefore_;
    int scrollBefore_ = 0;
    // The node current last, kept across the filter's model resets.
    std::optional<NodeId> current_;
    bool resetting_ = false;
};

}  // namespace orrelin::gui
