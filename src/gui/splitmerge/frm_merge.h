#pragma once

#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "browser/backup_tree.h"
#include "gui/browser/platform.h"
#include "splitmerge/check_tree.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace orrelin::gui {

class CheckTreeView;

// The merge window: a check tree of the file open in the main window, one of a second file
// chosen here, and "Merge Selected", which writes the marked records of both as a new backup.
class FrmMerge : public QWidget {
    Q_OBJECT
  public:
    static inline const QString kCaption = QStringLiteral("Merge IPD files");
    static inline const QString kDoneTitle = QStringLiteral(" merging completed successfully");

    // `mainPath` tells which file the main window has open now (it may have changed since this
    // window copied its tree): a merge never writes over it.
    FrmMerge(Platform platform, const BackupTree& mainTree, std::function<QString()> mainPath,
             QWidget* parent = nullptr);

    CheckTree& firstTree() { return first_; }
    // The second file's tree, when one is loaded.
    CheckTree* secondTree() { return second_ ? &*second_ : nullptr; }
    CheckTreeView& tvwfTree() { return *tvwfTree_; }
    CheckTreeView& tvwsTree() { return *tvwsTree_; }
    QLineEdit& smIPD() { return *smIPD_; }
    QPushButton& smBrowse() { return *smBrowse_; }
    QPushButton& btnMerge() { return *btnMerge_; }
    QPushButton& btnExit() { return *btnExit_; }

    // Reads a file into the second tree; false (after a warning) when it cannot be read.
    bool LoadSecondIpd(const QString& path);

  public Q_SLOTS:
    void smBrowse_Click();
    void btnMerge_Click();
    void btnExit_Click();

  private:
    Platform platform_;
    std::function<QString()> mainPath_;
    CheckTree first_;
    std::optional<CheckTree> second_;
    QLineEdit* smIPD_;
    QPushButton* smBrowse_;
    CheckTreeView* tvwfTree_;
    CheckTreeView* tvwsTree_;
    QPushButton* btnMerge_;
    QPushButton* btnExit_;
};

}  // namespace orrelin::gui
