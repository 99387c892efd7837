#include "gui/splitmerge/frm_split.h"

#include <QFile>
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

FrmSplit::FrmSplit(Platform platform, const BackupTree& mainTree, QWidget* parent)
    : QWidget(parent, Qt::Window),
      platform_(platform),
      tree_(mainTree),
      tvwTree_(new CheckTreeView(this)),
      btnSplit_(new QPushButton(QStringLiteral("Split Selected"), this)),
      btnExit_(new QPushButton(QStringLiteral("Exit"), this)) {
    setWindowTitle(kCaption);
    setAttribute(Qt::WA_DeleteOnClose);
    tvwTree_->setObjectName(QStringLiteral("tvwTree"));
    btnSplit_->setObjectName(QStringLiteral("btnSplit"));
    btnExit_->setObjectName(QStringLiteral("btnExit"));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnSplit_);
    buttons->addWidget(btnExit_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tvwTree_);
    layout->addLayout(buttons);
    resize(420, 480);

    tvwTree_->checkModel().setTree(&tree_);
    connect(btnSplit_, &QPushButton::clicked, this, &FrmSplit::btnSplit_Click);
    connect(btnExit_, &QPushButton::clicked, this, &FrmSplit::btnExit_Click);
}

void FrmSplit::btnSplit_Click() {
    const QString target = platform_.files.saveFile(this, kIpdFilter);
    if (target.isEmpty()) return;
    WriteOutcome outcome;
    {
        WriteProgress progress(this, QStringLiteral("Splitting..."));
        outcome = WriteSplit(tree_, LocalPath(target), progress.callback());
    }
    ShowWriteOutcome(platform_, this, outcome, kDoneTitle, kCaption);
}

void FrmSplit::btnExit_Click() {
    close();
}

}  // namespace orrelin::gui
