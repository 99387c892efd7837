#include "gui/splitmerge/split_window.h"

#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/splitmerge/check_tree_model.h"
#include "gui/splitmerge/write_progress.h"
#include "splitmerge/split.h"

namespace orrelin::gui {

std::string LocalPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString FromLocalPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

QString FolderOf(const BackupTree& tree) {
    if (tree.path().empty()) return {};
    return QFileInfo(FromLocalPath(tree.path())).absolutePath();
}

void ShowWriteOutcome(Platform& platform, QWidget* parent, const WriteOutcome& outcome,
                      const QString& doneTitle, const QString& windowTitle) {
    const QString text = FromLocalPath(outcome.message);
    switch (outcome.status) {
        case WriteStatus::Saved:
            platform.messages.show(parent, MessageIcon::Information, doneTitle, text);
            break;
        case WriteStatus::Refused:
            platform.messages.show(parent, MessageIcon::Warning, windowTitle, text);
            break;
        case WriteStatus::Failed:
            platform.messages.show(parent, MessageIcon::Critical, windowTitle, text);
            break;
        case WriteStatus::Cancelled:
            break;
    }
}

SplitWindow::SplitWindow(Platform platform, const BackupTree& mainTree, QWidget* parent)
    : QWidget(parent, Qt::Window),
      platform_(platform),
      tree_(mainTree),
      checkTreeView_(new CheckTreeView(this)),
      splitButton_(new QPushButton(QStringLiteral("Split Selected"), this)),
      exitButton_(new QPushButton(QStringLiteral("Exit"), this)) {
    setWindowTitle(kCaption);
    setAttribute(Qt::WA_DeleteOnClose);
    checkTreeView_->setObjectName(QStringLiteral("checkTreeView"));
    splitButton_->setObjectName(QStringLiteral("splitButton"));
    exitButton_->setObjectName(QStringLiteral("exitButton"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(splitButton_);
    buttons->addWidget(exitButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(checkTreeView_);
    layout->addLayout(buttons);
    resize(420, 480);

    checkTreeView_->checkModel().setTree(&tree_);
    connect(splitButton_, &QPushButton::clicked, this, &SplitWindow::splitSelected);
    connect(exitButton_, &QPushButton::clicked, this, &SplitWindow::exitClicked);
}

void SplitWindow::splitSelected() {
    const QString target =
        platform_.files.saveFile(this, kIpdFilter, FolderOf(tree_.tree()), kIpdSuffix);
    if (target.isEmpty()) return;
    WriteOutcome outcome;
    {
        WriteProgress progress(this, QStringLiteral("Splitting..."));
        outcome = WriteSplit(tree_, LocalPath(target), progress.callback());
    }
    ShowWriteOutcome(platform_, this, outcome, kDoneTitle, kCaption);
}

void SplitWindow::exitClicked() {
    close();
}

}  // namespace orrelin::gui
