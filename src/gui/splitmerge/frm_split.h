#pragma once

#include <QWidget>

#include "browser/backup_tree.h"
#include "gui/browser/platform.h"
#include "ipd/ipd_writer.h"
#include "splitmerge/check_tree.h"

class QPushButton;

namespace orrelin::gui {

class CheckTreeView;

// The split window: a check tree copied from the main tree when the window opens; "Split
// Selected" writes the checked databases and records as a new backup.
class FrmSplit : public QWidget {
    Q_OBJECT
  public:
    static inline const QString kCaption = QStringLiteral("Split IPD file");
    static inline const QString kDoneTitle = QStringLiteral("Split is complete");

    FrmSplit(Platform platform, const BackupTree& mainTree, QWidget* parent = nullptr);

    CheckTree& checkTree() { return tree_; }
    CheckTreeView& tvwTree() { return *tvwTree_; }
    QPushButton& btnSplit() { return *btnSplit_; }
    QPushButton& btnExit() { return *btnExit_; }

  public Q_SLOTS:
    void btnSplit_Click();
    void btnExit_Click();

  private:
    Platform platform_;
    CheckTree tree_;
    CheckTreeView* tvwTree_;
    QPushButton* btnSplit_;
    QPushButton* btnExit_;
};

// Shows the outcome of a write: the confirmation, a refusal (warning) or a failure (critical).
void ShowWriteOutcome(Platform& platform, QWidget* parent, const WriteOutcome& outcome,
                      const QString& doneTitle, const QString& windowTitle);

// Paths between Qt and the core.
std::string LocalPath(const QString& path);
QString FromLocalPath(const std::string& path);

inline const QString kIpdFilter = QStringLiteral("IPD Files (*.ipd)");

}  // namespace orrelin::gui
