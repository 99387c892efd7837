#include "gui/splitmerge/merge_window.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/common/all_databases_option.h"
#include "gui/splitmerge/check_tree_model.h"
#include "gui/splitmerge/split_window.h"
#include "gui/splitmerge/write_progress.h"
#include "splitmerge/merge.h"

namespace orrelin::gui {

MergeWindow::MergeWindow(Platform platform, const BackupTree& mainTree,
                         std::function<QString()> mainPath, QWidget* parent)
    : QWidget(parent, Qt::Window),
      platform_(platform),
      mainPath_(std::move(mainPath)),
      first_(mainTree),
      secondPathField_(new QLineEdit(this)),
      browseButton_(new QPushButton(QStringLiteral("..."), this)),
      firstTreeView_(new CheckTreeView(this)),
      secondTreeView_(new CheckTreeView(this)),
      mergeButton_(new QPushButton(QStringLiteral("Merge Selected"), this)),
      exitButton_(new QPushButton(QStringLiteral("Exit"), this)) {
    setWindowTitle(kCaption);
    setAttribute(Qt::WA_DeleteOnClose);
    auto* titleLabel = new QLabel(QStringLiteral("Merge the IPD files"), this);
    auto* secondFileLabel = new QLabel(QStringLiteral("Choose second IPD file"), this);
    auto* hintLabel = new QLabel(
        QStringLiteral("You can use this form for both merging 2 IPDs or split from one IPD "
                       "file. For splitting, you don't need to choose the second IPD file."),
        this);
    hintLabel->setWordWrap(true);
    titleLabel->setObjectName(QStringLiteral("titleLabel"));
    hintLabel->setObjectName(QStringLiteral("hintLabel"));
    secondFileLabel->setObjectName(QStringLiteral("secondFileLabel"));
    secondPathField_->setObjectName(QStringLiteral("secondPathField"));
    secondPathField_->setReadOnly(true);
    browseButton_->setObjectName(QStringLiteral("browseButton"));
    firstTreeView_->setObjectName(QStringLiteral("firstTreeView"));
    secondTreeView_->setObjectName(QStringLiteral("secondTreeView"));
    mergeButton_->setObjectName(QStringLiteral("mergeButton"));
    exitButton_->setObjectName(QStringLiteral("exitButton"));

    auto* second = new QHBoxLayout;
    second->addWidget(secondFileLabel);
    second->addWidget(secondPathField_, 1);
    second->addWidget(browseButton_);
    auto* trees = new QHBoxLayout;
    trees->addWidget(firstTreeView_);
    trees->addWidget(secondTreeView_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(hintLabel, 1);
    buttons->addWidget(mergeButton_);
    buttons->addWidget(exitButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(titleLabel);
    layout->addLayout(second);
    layout->addLayout(trees, 1);
    layout->addLayout(buttons);
    resize(760, 520);

    firstTreeView_->checkModel().setTree(&first_);
    connect(browseButton_, &QPushButton::clicked, this, &MergeWindow::browseSecondFile);
    connect(mergeButton_, &QPushButton::clicked, this, &MergeWindow::mergeSelected);
    connect(exitButton_, &QPushButton::clicked, this, &MergeWindow::exitClicked);
}

bool MergeWindow::loadSecondFile(const QString& path) {
    secondPathField_->setText(path);
    secondTreeView_->checkModel().setTree(nullptr);
    second_.reset();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    auto loaded = orrelin::LoadSecondIpd(LocalPath(path), StoredDatabases(platform_.settings));
    QApplication::restoreOverrideCursor();
    if (!loaded) {
        // The reason names the file, in the words of every other open.
        platform_.messages.show(this, MessageIcon::Warning, kCaption,
                                QString::fromLocal8Bit(loaded.error()));
        return false;
    }
    second_ = std::move(*loaded);
    secondTreeView_->checkModel().setTree(&*second_);
    QStringList warnings;
    for (const std::string& warning : second_->tree().warnings())
        warnings << path + QStringLiteral(": ") + QString::fromStdString(warning);
    if (!warnings.isEmpty())
        platform_.messages.show(this, MessageIcon::Warning, kCaption,
                                warnings.join(QLatin1Char('\n')));
    return true;
}

void MergeWindow::browseSecondFile() {
    const QString path = platform_.files.openFile(this, kBackupFilter);
    if (path.isEmpty()) return;
    loadSecondFile(path);
}

void MergeWindow::mergeSelected() {
    // A database that outgrows 2-byte handles is refused before a name is asked for.
    if (Status counts = CheckMergedRecordCounts(PlanMerge(first_, secondTree())); !counts) {
        platform_.messages.show(this, MessageIcon::Warning, kCaption,
                                QString::fromStdString(counts.error()));
        return;
    }
    const QString target = platform_.files.saveFile(this, kIpdFilter, FolderOf(first_.tree()));
    if (target.isEmpty()) return;
    std::vector<std::string> opened;
    if (mainPath_) {
        const QString current = mainPath_();
        if (!current.isEmpty()) opened.push_back(LocalPath(current));
    }
    WriteOutcome outcome;
    {
        WriteProgress progress(this, QStringLiteral("Merging..."));
        outcome = WriteMerge(first_, secondTree(), LocalPath(target), progress.callback(), opened);
    }
    ShowWriteOutcome(platform_, this, outcome, kDoneTitle, kCaption);
}

void MergeWindow::exitClicked() {
    close();
}

}  // namespace orrelin::gui
