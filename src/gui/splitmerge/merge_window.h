#pragma once

#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "browser/backup_tree.h"
#include "gui/common/platform.h"
#include "splitmerge/check_tree.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace orrelin::gui {

class CheckTreeView;

// The merge window: a check tree of the file open in the main window, one of a second file
// chosen here, and "Merge Selected", which writes the marked records of both as a new backup.
class MergeWindow : public QWidget {
    Q_OBJECT
  public:
    static inline const QString kCaption = QStringLiteral("Merge IPD files");
    static inline const QString kDoneTitle = QStringLiteral(" merging completed successfully");

    // `mainPath` tells which file the main window has open now (it may have changed since this
    // window copied its tree): a merge never writes over it.
    MergeWindow(Platform platform, const BackupTree& mainTree, std::function<QString()> mainPath,
                QWidget* parent = nullptr);

    CheckTree& firstTree() { return first_; }
    // The second file's tree, when one is loaded.
    CheckTree* secondTree() { return second_ ? &*second_ : nullptr; }
    CheckTreeView& firstTreeView() { return *firstTreeView_; }
    CheckTreeView& secondTreeView() { return *secondTreeView_; }
    QLineEdit& secondPathField() { return *secondPathField_; }
    QPushButton& browseButton() { return *browseButton_; }
    QPushButton& mergeButton() { return *mergeButton_; }
    QPushButton& exitButton() { return *exitButton_; }

    // Reads a file into the second tree; false (after a warning) when it cannot be read.
    bool loadSecondFile(const QString& path);
    // Reads the path typed in the second file's field unless it was read (or tried) last; an
    // emptied field lets the second file go. True when a file was read (or tried) now.
    bool readTypedSecondFile();

  public Q_SLOTS:
    void browseSecondFile();
    void mergeSelected();
    void exitClicked();

  private:
    Platform platform_;
    std::function<QString()> mainPath_;
    CheckTree first_;
    std::optional<CheckTree> second_;
    // The path the second tree was last read from, or tried.
    QString secondPath_;
    QLineEdit* secondPathField_;
    QPushButton* browseButton_;
    CheckTreeView* firstTreeView_;
    CheckTreeView* secondTreeView_;
    QPushButton* mergeButton_;
    QPushButton* exitButton_;
};

}  // namespace orrelin::gui
