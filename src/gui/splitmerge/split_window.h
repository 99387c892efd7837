#pragma once

#include <QWidget>

#include "browser/backup_tree.h"
#include "gui/common/platform.h"
#include "ipd/ipd_writer.h"
#include "splitmerge/check_tree.h"

class QPushButton;

namespace orrelin::gui {

class CheckTreeView;

// The split window: a check tree copied from the main tree when the window opens; "Split
// Selected" writes the checked databases and records as a new backup.
class SplitWindow : public QWidget {
    Q_OBJECT
  public:
    static inline const QString kCaption = QStringLiteral("Split IPD file");
    static inline const QString kDoneTitle = QStringLiteral("Split is complete");

    SplitWindow(Platform platform, const BackupTree& mainTree, QWidget* parent = nullptr);

    CheckTree& checkTree() { return tree_; }
    CheckTreeView& checkTreeView() { return *checkTreeView_; }
    QPushButton& splitButton() { return *splitButton_; }
    QPushButton& exitButton() { return *exitButton_; }

  public Q_SLOTS:
    void splitSelected();
    void exitClicked();

  private:
    Platform platform_;
    CheckTree tree_;
    CheckTreeView* checkTreeView_;
    QPushButton* splitButton_;
    QPushButton* exitButton_;
};

// Shows the outcome of a write: the confirmation, a refusal (warning) or a failure (critical).
void ShowWriteOutcome(Platform& platform, QWidget* parent, const WriteOutcome& outcome,
                      const QString& doneTitle, const QString& windowTitle);

// Paths between Qt and the core.
std::string LocalPath(const QString& path);
QString FromLocalPath(const std::string& path);
// The folder of the tree's backup, where its save dialogs start ("" for no file).
QString FolderOf(const BackupTree& tree);

inline const QString kIpdFilter = QStringLiteral("IPD Files (*.ipd)");
// The extension a written file gets when its name has none.
inline const QString kIpdSuffix = QStringLiteral("ipd");

}  // namespace orrelin::gui
